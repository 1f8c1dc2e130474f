// How the lines of a selected difference look in the source views and the diff view, and how
// the diff view moves between changed blocks. Views only apply these results.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "diff/line_matcher.h"

namespace quennet::model {
class TidName;
}

namespace quennet::render {

// 0xRRGGBB
inline constexpr uint32_t kOldOnlyColor = 0xFF0000;
inline constexpr uint32_t kNewOnlyColor = 0x0000FF;
inline constexpr uint32_t kSelectionBackground = 0xE6E6E6; // RGB(230, 230, 230)

// Gutter images shared with the difference tree's state images.
inline constexpr int kOldOnlyImage = 0;
inline constexpr int kNewOnlyImage = 1;
inline constexpr int kNoImage = -1;

enum class ViewSide { Old, New };

// The colours a theme gives the marks; the defaults are the classic ones.
struct DecorationColors {
    uint32_t OldOnly = kOldOnlyColor;
    uint32_t NewOnly = kNewOnlyColor;
    uint32_t Selection = kSelectionBackground;
};

// 0-based line range of the selected declaration in one view; a first line below 0 is none.
struct LineRange {
    int32_t First = -1;
    int32_t Last = -1;
    bool IsSet() const { return First >= 0; }
    bool operator==(const LineRange&) const = default;
};

// The lines a declaration (or null) takes in the view of the file that was parsed: its own
// lines, or for one read from an include file, whose lines are that file's, the line of the
// directive that brought it in; none when neither is known.
LineRange ViewLines(const model::TidName* decl);

// Whether a selected range can be shown in a view of viewLines lines. Past the end of a view
// that holds as many lines as the compared text did, no edit explains it: the range itself is
// wrong, and a message must not blame the user.
enum class RangeFit { Fits, TextChanged, BeyondComparedText };
RangeFit FitOfRange(LineRange range, int32_t viewLines, int32_t comparedLines);

struct LineDecoration {
    std::optional<uint32_t> Background; // none: the syntax colouring's background
    std::optional<uint32_t> Foreground; // none: the syntax colours
    int GutterImage = kNoImage;
    bool operator==(const LineDecoration&) const = default;
};

// Line `line` of a source view, given the view's range and the records of that range.
LineDecoration SourceLineDecoration(int32_t line, LineRange range,
                                    const std::vector<base::TLineRecord>& records, ViewSide side,
                                    const DecorationColors& colors = {});

// The decorations of the lines range.First .. range.Last, in order; empty with no range.
std::vector<LineDecoration> SourceViewDecorations(LineRange range,
                                                  const std::vector<base::TLineRecord>& records,
                                                  ViewSide side,
                                                  const DecorationColors& colors = {});

// One decoration per line of the diff view, i.e. per map entry.
std::vector<LineDecoration> DiffViewDecorations(const std::vector<diff::TMapEntry>& map,
                                                const DecorationColors& colors = {});

// The diff view's new first visible line, or nothing when the view does not move.
std::optional<int32_t> NextDifference(int32_t firstVisible, const std::vector<diff::TMapEntry>& map,
                                      int32_t lineCount);
std::optional<int32_t> PriorDifference(int32_t firstVisible,
                                       const std::vector<diff::TMapEntry>& map);

} // namespace quennet::render
