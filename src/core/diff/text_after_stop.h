// Where a parse lost the structure, the rest of both texts is compared line by line, so that
// no change there goes unshown.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "diff/line_matcher.h"
#include "diff/source_diff.h"

namespace quennet::diff {

// One run of changed lines, 1-based; a side without lines has first > last, with first the
// line the run stands before.
struct TextRun {
    int32_t oldFirst, oldLast;
    int32_t newFirst, newLast;
    bool HasOld() const { return oldFirst <= oldLast; }
    bool HasNew() const { return newFirst <= newLast; }
};

// The changed runs of the two texts (every line followed by CR LF) that reach the stop line of
// a side (1-based; -1 for a side whose parse was complete). Empty when neither side stopped.
std::vector<TextRun> ChangedRunsAfterStop(std::string_view oldText, std::string_view newText,
                                          int32_t oldStop, int32_t newStop);
// The same from the texts' line records (LineRecordsOf).
std::vector<TextRun> ChangedRunsAfterStop(std::vector<base::TLineRecord> oldLines,
                                          std::vector<base::TLineRecord> newLines, int32_t oldStop,
                                          int32_t newStop);

// The runs whose old and new lines differ in more than layout: blanks, line breaks, comments
// (directives count) and letter case outside strings. The texts are read as Pascal from their
// start, so a comment opened before a run is known inside it.
std::vector<TextRun> WithoutLayoutRuns(std::vector<TextRun> runs, std::string_view oldText,
                                       std::string_view newText);

// "Text, lines a-b": the new lines, or the old ones for a run that only removes.
std::string TextRunCaption(const TextRun& run);

// Appends one root node per run to diff; the line ranges are owned by diff.
void AddTextRuns(diff::TSourceDiff& diff, const std::vector<TextRun>& runs);

} // namespace quennet::diff
