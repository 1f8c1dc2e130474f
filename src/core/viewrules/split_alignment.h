// How two whole texts stand side by side: filler rows that keep matching lines level, the
// changed lines paired for character marks, and where a line of one text would stand in the
// other. Built from the line matcher's map of the two texts.
#pragma once

#include <cstdint>
#include <vector>

#include "diff/line_matcher.h"

namespace quennet::viewrules {

// Count filler rows shown below line AfterLine; AfterLine -1 means above the first line.
struct FillerBlock {
    int32_t AfterLine = -1;
    int32_t Count = 0;
    bool operator==(const FillerBlock&) const = default;
};

struct LinePair {
    int32_t Old = 0;
    int32_t New = 0;
    bool operator==(const LinePair&) const = default;
};

struct SplitAlignment {
    std::vector<FillerBlock> OldFillers; // ascending AfterLine
    std::vector<FillerBlock> NewFillers;
    // Within each unmatched gap, the k-th old line with the k-th new line.
    std::vector<LinePair> Changed;
    // For every old line its new line when common, else -1; and the reverse.
    std::vector<int32_t> OldToNew;
    std::vector<int32_t> NewToOld;
};

// The line matcher over two whole texts, cut first at anchors: lines that stand exactly once in
// each text, in the same order in both (the longest such chain). The matcher runs between
// anchors only, so its cost follows the changed stretches, not the length of the texts.
// Records are numbered 0, 1, ...; Unmatched is set as MatchLines sets it.
std::vector<diff::TMapEntry> MatchTexts(std::vector<base::TLineRecord>& oldLines,
                                        std::vector<base::TLineRecord>& newLines);

// map: MatchTexts (or MatchLines) over the whole old and new texts.
SplitAlignment AlignTexts(const std::vector<diff::TMapEntry>& map, int32_t oldLineCount,
                          int32_t newLineCount);

// Where line `line` of one text stands in the other: its common partner, or the line after the
// nearest common line above it (0 when none), kept inside the other text.
int32_t CounterpartLine(const SplitAlignment& alignment, bool fromOld, int32_t line);

// Whether a declaration at old lines [oldFirst, oldLast] and its counterpart starting at new
// line newFirst (renamed in place, or moved) stand level when the views scroll in step: the
// new line's place in the old text lies within the old declaration or next to it. When they do
// not, the window shows each at its own place.
bool StandLevel(const SplitAlignment& alignment, int32_t oldFirst, int32_t oldLast,
                int32_t newFirst);

// Fillers above the first line cannot be drawn; the views are kept level by shifting the
// other view's first visible row by this much instead (positive: the other view lower).
int32_t SyncedFirstRow(const SplitAlignment& alignment, bool fromOld, int32_t firstRow);

} // namespace quennet::viewrules
