// Line matching: a merged sequence of two line lists, compared through 32-bit line keys.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quennet::model {

struct TLineRecord {
    uint32_t Key = 0;
    int32_t Line = 0;       // 0-based line index in its text, ascending in an array
    bool Unmatched = false; // output of MatchLines
};

enum class MapKind : uint8_t { Common = 0, OldOnly = 1, NewOnly = 2 };
using enum MapKind;

struct TMapEntry {
    MapKind Kind = Common;
    int32_t Line = 0; // old line for OldOnly, new line for Common and NewOnly
    bool operator==(const TMapEntry&) const = default;
};

// Ignores blanks outside strings and brace comments, and letter case.
uint32_t LineKey(std::string_view line);
// One record per line of text, split as files are loaded (CR LF, lone CR or LF), without copies.
std::vector<TLineRecord> LineRecordsOf(std::string_view text);
// The keys of those records, appended.
void AppendLineKeys(std::string_view text, std::vector<uint32_t>& keys);

// Replaces map with the merged sequence and sets Unmatched in both arrays.
void MatchLines(std::vector<TLineRecord>& oldLines, std::vector<TLineRecord>& newLines,
                std::vector<TMapEntry>& map);

} // namespace quennet::model
