// The comparison as a terminal shows it: per changed declaration a heading and the lines of
// both versions, inline or side by side. Pure text in, text out; colour is ANSI when asked.
#pragma once

#include <string>
#include <vector>

#include "diff/source_diff.h"

namespace quennet::render {

enum class DisplayStyle { Report, Inline, SideBySide };

// "report", "inline", "side-by-side"; false for anything else.
bool DisplayStyleFromName(const std::string& name, DisplayStyle& style);

struct DisplayOptions {
    DisplayStyle style = DisplayStyle::Inline;
    int width = 80; // columns; every printed line fits
    bool color = false;
    int context = 3; // unchanged lines kept around a change; longer runs fold
};

// One line of the tree in display order: what changed and the two line ranges it covers.
struct DisplayEntry {
    std::string kind;                    // "class", "method", "routine", ...
    std::string name;                    // qualified: TFoo.Paint
    diff::DiffState state = diff::Group; // Removed, Added or Changed
    int32_t oldFirst = -1, oldLast = -1; // 1-based, -1 when absent
    int32_t newFirst = -1, newLast = -1;
};

// The entries of the tree that carry text, in tree order. A class prints only its heading
// line (its members come as entries of their own).
std::vector<DisplayEntry> DisplayEntries(const diff::TSourceDiffList& root);

// Lines (without line ends) of the display of both texts; oldLines/newLines as loaded.
std::vector<std::string> RenderDisplay(const std::vector<std::string>& oldLines,
                                       const std::vector<std::string>& newLines,
                                       const diff::TSourceDiffList& root,
                                       const DisplayOptions& options);

// The display of the given entries (any tree that knows its line ranges: forms too).
std::vector<std::string> RenderDisplayEntries(const std::vector<std::string>& oldLines,
                                              const std::vector<std::string>& newLines,
                                              const std::vector<DisplayEntry>& entries,
                                              const DisplayOptions& options);

// Columns a line takes: tabs to the next multiple of 8, a UTF-8 sequence as one column.
int DisplayColumns(const std::string& text);

// Tabs expanded, cut to at most `columns` columns; a cut line ends in '>'.
std::string FitColumns(const std::string& text, int columns);

} // namespace quennet::render
