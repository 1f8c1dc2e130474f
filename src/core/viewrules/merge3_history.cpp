#include "viewrules/merge3_history.h"

#include <algorithm>
#include <cstddef>

namespace quennet::viewrules {

TMerge3History::TMerge3History(std::string text) {
    Reset(std::move(text));
}

void TMerge3History::Reset(std::string text) {
    steps_.clear();
    steps_.push_back({std::move(text), -1});
    at_ = 0;
    saved_ = 0;
}

void TMerge3History::Push(Step step) {
    if (step.text == Text()) return;
    steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(at_) + 1, steps_.end());
    if (saved_ > static_cast<int64_t>(at_)) saved_ = -1;
    steps_.push_back(std::move(step));
    ++at_;
    if (steps_.size() > kLimit) {
        steps_.erase(steps_.begin());
        --at_;
        saved_ = saved_ > 0 ? saved_ - 1 : -1;
    }
}

void TMerge3History::Choose(std::string text) {
    Push({std::move(text), -1});
}

void TMerge3History::Edit(std::string text, int32_t line) {
    // The saved step stays as it was, so that undoing back to it counts as unchanged.
    if (at_ > 0 && steps_[at_].editLine >= 0 && steps_[at_].editLine == line &&
        saved_ != static_cast<int64_t>(at_) && !CanRedo()) {
        steps_[at_].text = std::move(text);
        return;
    }
    Push({std::move(text), line});
}

const std::string& TMerge3History::Undo() {
    if (CanUndo()) --at_;
    return Text();
}

const std::string& TMerge3History::Redo() {
    if (CanRedo()) ++at_;
    return Text();
}

int32_t FirstDifferentLine(const std::string& a, const std::string& b) {
    const auto stop = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (stop.first == a.end() && stop.second == b.end()) return -1;
    // A CR LF pair ends one line, a lone CR or LF one each.
    int32_t line = 0;
    for (auto it = a.begin(); it != stop.first; ++it)
        if (*it == '\n' || (*it == '\r' && (it + 1 == a.end() || it[1] != '\n'))) ++line;
    return line;
}

} // namespace quennet::viewrules
