// Character diff of two lines: common prefix and suffix trimmed, a byte LCS in between.
#include "viewrules/char_diff.h"

#include <algorithm>

namespace quennet::viewrules {

namespace {

void AddByte(std::vector<ByteRange>& ranges, int32_t at) {
    if (!ranges.empty() && ranges.back().Start + ranges.back().Length == at)
        ++ranges.back().Length;
    else
        ranges.push_back({at, 1});
}

void AddRange(std::vector<ByteRange>& ranges, int32_t start, int32_t length) {
    if (length > 0) ranges.push_back({start, length});
}

} // namespace

CharMarks CharDiff(std::string_view a, std::string_view b) {
    size_t prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    const std::string_view x = a.substr(prefix, a.size() - prefix - suffix);
    const std::string_view y = b.substr(prefix, b.size() - prefix - suffix);
    const auto base = static_cast<int32_t>(prefix);
    CharMarks marks;
    if (x.empty() || y.empty() || x.size() * y.size() > kCharDiffCells) {
        AddRange(marks.Old, base, static_cast<int32_t>(x.size()));
        AddRange(marks.New, base, static_cast<int32_t>(y.size()));
        return marks;
    }
    // lcs[i][j]: length of the common subsequence of x[i..] and y[j..].
    const size_t n = x.size(), m = y.size();
    std::vector<uint16_t> lcs((n + 1) * (m + 1), 0);
    auto at = [&](size_t i, size_t j) -> uint16_t& { return lcs[i * (m + 1) + j]; };
    for (size_t i = n; i-- > 0;)
        for (size_t j = m; j-- > 0;)
            at(i, j) = x[i] == y[j] ? static_cast<uint16_t>(at(i + 1, j + 1) + 1)
                                    : std::max(at(i + 1, j), at(i, j + 1));
    size_t i = 0, j = 0;
    while (i < n && j < m) {
        if (x[i] == y[j]) {
            ++i;
            ++j;
        } else if (at(i + 1, j) >= at(i, j + 1)) {
            AddByte(marks.Old, base + static_cast<int32_t>(i++));
        } else {
            AddByte(marks.New, base + static_cast<int32_t>(j++));
        }
    }
    for (; i < n; ++i)
        AddByte(marks.Old, base + static_cast<int32_t>(i));
    for (; j < m; ++j)
        AddByte(marks.New, base + static_cast<int32_t>(j));
    return marks;
}

} // namespace quennet::viewrules
