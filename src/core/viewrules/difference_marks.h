// Which lines of each view belong to a difference of the comparison, and where those
// differences stand on the overview strip beside a view's scroll bar.
#pragma once

#include <cstdint>
#include <vector>

#include "diff/source_diff.h"

namespace quennet::viewrules {

enum class MarkKind : uint8_t { Removed, Added, Changed };

// 0-based lines First..Last of one view.
struct LineSpan {
    int32_t First = 0;
    int32_t Last = 0;
    MarkKind Kind = MarkKind::Changed;
    bool operator==(const LineSpan&) const = default;
};

struct DifferenceSpans {
    std::vector<LineSpan> Old; // ascending First
    std::vector<LineSpan> New;
};

// The declarations of every difference a user can select (the tree's leaves that carry one).
DifferenceSpans CollectDifferenceSpans(const diff::TSourceDiffList& root);

// The lines of the Changed spans that have no partner in the other text (toOther: a line's
// common partner or -1, as the alignment gives it): the changed, added and removed lines inside
// each changed declaration, ascending and each once.
std::vector<int32_t> ChangedLinesWithin(const std::vector<LineSpan>& spans,
                                        const std::vector<int32_t>& toOther);

// A band of the strip, in pixels from its top.
struct OverviewMark {
    int32_t Y = 0;
    int32_t Height = 0;
    MarkKind Kind = MarkKind::Changed;
    bool operator==(const OverviewMark&) const = default;
};

// Marks never thinner than this, so a one-line difference in a long text stays visible.
inline constexpr int32_t kMinOverviewMark = 2;

// Bands for a strip `height` pixels tall over a text of lineCount lines; bands of one kind
// that touch are joined.
std::vector<OverviewMark> OverviewMarks(const std::vector<LineSpan>& spans, int32_t lineCount,
                                        int32_t height);

// The line a click at y on the strip stands for.
int32_t OverviewLine(int32_t y, int32_t height, int32_t lineCount);

// Where a click at y takes the view: the first line of the difference whose band it hits or
// misses by up to kOverviewSnap pixels (the nearest band, then the nearest lines, when several
// are that close); else OverviewLine. A pixel of a long text stands for many lines and a band
// is two pixels high, so a click just beside a one-line change, taken as the line under the
// pointer, landed tens of lines past it.
inline constexpr int32_t kOverviewSnap = 6;
int32_t OverviewTarget(const std::vector<LineSpan>& spans, int32_t y, int32_t height,
                       int32_t lineCount);

// The first visible line that reveals lines first..last in a view of `rows` rows whose first
// visible line is `top`: unchanged when they are all in view, else `context` lines above
// first, so a block that fits is seen whole and a taller one from its start.
int32_t RevealTop(int32_t first, int32_t last, int32_t top, int32_t rows, int32_t context);

// Go to line: the 0-based line for a 1-based number typed by the user, held to the text (a
// number past the end goes to the last line); -1 for an empty text.
int32_t GoToLineTarget(int64_t typed, int32_t lineCount);
// The first visible line for it: unchanged when the line is in view, else the line stands a
// third of the view from the top, so the lines before it are seen too.
int32_t GoToLineTop(int32_t line, int32_t top, int32_t rows);

} // namespace quennet::viewrules
