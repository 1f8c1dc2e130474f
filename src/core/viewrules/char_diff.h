// Character-level marks inside a pair of changed lines: the byte ranges of each line that are
// not part of the longest common subsequence of the two.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quennet::viewrules {

struct ByteRange {
    int32_t Start = 0;
    int32_t Length = 0;
    bool operator==(const ByteRange&) const = default;
};

struct CharMarks {
    std::vector<ByteRange> Old; // ascending, never touching
    std::vector<ByteRange> New;
};

// Pairs whose middles (after the common prefix and suffix) would need a table larger than
// this are marked from the end of the prefix to the start of the suffix.
inline constexpr size_t kCharDiffCells = size_t{1} << 18;

CharMarks CharDiff(std::string_view oldLine, std::string_view newLine);

} // namespace quennet::viewrules
