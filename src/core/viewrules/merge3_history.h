// The undo and redo steps of a merge result: each choice is a step, and typing on one line is
// one step however many keys it took. Steps hold whole texts, so undoing a choice that an edit
// by hand followed gives back exactly what was there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quennet::viewrules {

class TMerge3History {
public:
    explicit TMerge3History(std::string text = {});

    // Starts over with a new text (a file opened): nothing to undo, and it counts as saved.
    void Reset(std::string text);
    // A choice from the list: a step of its own.
    void Choose(std::string text);
    // An edit by hand on line `line`: joins the step before when that was an edit of the same
    // line.
    void Edit(std::string text, int32_t line);

    bool CanUndo() const { return at_ > 0; }
    bool CanRedo() const { return at_ + 1 < steps_.size(); }
    // The text before / after the current step; unchanged when there is none.
    const std::string& Undo();
    const std::string& Redo();
    const std::string& Text() const { return steps_[at_].text; }

    void MarkSaved() { saved_ = static_cast<int64_t>(at_); }
    // The text differs in steps from what was last saved (or opened).
    bool Changed() const { return saved_ != static_cast<int64_t>(at_); }

    // Steps kept; the oldest are let go beyond it.
    static constexpr size_t kLimit = 500;

private:
    struct Step {
        std::string text;
        int32_t editLine = -1; // the line an edit by hand changed; -1 for a choice
    };
    void Push(Step step);

    std::vector<Step> steps_;
    size_t at_ = 0;
    int64_t saved_ = 0; // -1 once that step was let go or overwritten
};

// The first line where two texts differ, for the caret after an undo; -1 when equal.
int32_t FirstDifferentLine(const std::string& a, const std::string& b);

} // namespace quennet::viewrules
