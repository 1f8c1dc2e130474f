// Line keys: a line as the comparisons see it, blanks and letter case aside.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quennet::base {

struct TLineRecord {
    uint32_t Key = 0;
    int32_t Line = 0;       // 0-based line index in its text, ascending in an array
    bool Unmatched = false; // output of MatchLines
};

// Ignores blanks outside strings and brace comments, and letter case.
uint32_t LineKey(std::string_view line);
// One record per line of text, split as files are loaded (CR LF, lone CR or LF), without copies.
std::vector<TLineRecord> LineRecordsOf(std::string_view text);
// The keys of those records, appended.
void AppendLineKeys(std::string_view text, std::vector<uint32_t>& keys);

} // namespace quennet::base
