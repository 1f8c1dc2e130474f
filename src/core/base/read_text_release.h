// Gives back the memory of a text as its parse passes it. A large pair would otherwise hold
// both texts and both models at once; the caller that opts in keeps its text only to have it
// parsed. A line comparison after a stop needs the lines given back: they are read again
// where the text can be (a file), else they live on as line keys made as they go.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/line_keys.h"

namespace quennet::base {

class ReadTextRelease {
public:
    // text must be the caller's own writable buffer, not read by anyone else from now on.
    // readAgain, when given, returns the whole text again.
    explicit ReadTextRelease(std::string_view text,
                             std::function<std::string()> readAgain = nullptr)
        : text_(text), readAgain_(std::move(readAgain)) {}
    // For a copy made only for the parse, whose lines nobody asks for again.
    struct WithoutLines {};
    ReadTextRelease(std::string_view text, WithoutLines) : text_(text), keepLines_(false) {}
    ~ReadTextRelease();
    ReadTextRelease(const ReadTextRelease&) = delete;
    ReadTextRelease& operator=(const ReadTextRelease&) = delete;

    // Nothing before at (a place in the text) is read again: the whole lines before it go,
    // in large steps.
    void Passed(const char* at);
    bool Holds(const char* at) const {
        return at >= text_.data() && at <= text_.data() + text_.size();
    }
    // The line records of the whole text, as LineRecordsOf(text) gave them before the release.
    std::vector<TLineRecord> LineRecords() const;

private:
    std::string_view text_;
    std::function<std::string()> readAgain_;
    bool keepLines_ = true;
    size_t releasedTo_ = 0;      // a line start; the bytes before it are not to be read
    std::vector<uint32_t> keys_; // of the lines before releasedTo_
};

} // namespace quennet::base
