// Line matching: a merged sequence of two line lists, compared through 32-bit line keys.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/line_keys.h"

namespace quennet::diff {

enum class MapKind : uint8_t { Common = 0, OldOnly = 1, NewOnly = 2 };
using enum MapKind;

struct TMapEntry {
    MapKind Kind = Common;
    int32_t Line = 0; // old line for OldOnly, new line for Common and NewOnly
    bool operator==(const TMapEntry&) const = default;
};

// Replaces map with the merged sequence and sets Unmatched in both arrays.
void MatchLines(std::vector<base::TLineRecord>& oldLines, std::vector<base::TLineRecord>& newLines,
                std::vector<TMapEntry>& map);

} // namespace quennet::diff
