// Difference spans of a comparison and their overview bands.
#include "viewrules/difference_marks.h"

#include <algorithm>

#include "render/line_decoration.h"

namespace quennet::viewrules {

namespace {

void Collect(const diff::TSourceDiffList& list, DifferenceSpans& out) {
    for (size_t i = 0; i < list.Count(); ++i) {
        const diff::TSourceDiffItem* item = list.Items(i);
        if (item->Children.Count() > 0) {
            Collect(item->Children, out);
            continue;
        }
        MarkKind kind;
        switch (item->State) {
        case diff::Removed: kind = MarkKind::Removed; break;
        case diff::Added: kind = MarkKind::Added; break;
        case diff::Changed: kind = MarkKind::Changed; break;
        default: continue;
        }
        auto add = [kind](const model::TidName* decl, std::vector<LineSpan>& spans) {
            if (const render::LineRange r = render::ViewLines(decl); r.IsSet())
                spans.push_back({r.First, r.Last, kind});
        };
        add(item->OldDecl, out.Old);
        add(item->NewDecl, out.New);
    }
}

} // namespace

DifferenceSpans CollectDifferenceSpans(const diff::TSourceDiffList& root) {
    DifferenceSpans spans;
    Collect(root, spans);
    auto byFirst = [](const LineSpan& a, const LineSpan& b) { return a.First < b.First; };
    std::stable_sort(spans.Old.begin(), spans.Old.end(), byFirst);
    std::stable_sort(spans.New.begin(), spans.New.end(), byFirst);
    return spans;
}

std::vector<int32_t> ChangedLinesWithin(const std::vector<LineSpan>& spans,
                                        const std::vector<int32_t>& toOther) {
    std::vector<int32_t> lines;
    const auto count = static_cast<int32_t>(toOther.size());
    for (const LineSpan& s : spans) {
        if (s.Kind != MarkKind::Changed) continue;
        for (int32_t line = std::max(s.First, 0); line <= s.Last && line < count; ++line)
            if (toOther[static_cast<size_t>(line)] < 0) lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

std::vector<OverviewMark> OverviewMarks(const std::vector<LineSpan>& spans, int32_t lineCount,
                                        int32_t height) {
    std::vector<OverviewMark> marks;
    if (lineCount <= 0 || height <= 0) return marks;
    for (const LineSpan& s : spans) {
        const int64_t first = std::clamp(s.First, 0, lineCount - 1);
        const int64_t last = std::clamp(s.Last, s.First, lineCount - 1);
        auto y = static_cast<int32_t>(first * height / lineCount);
        auto bottom = static_cast<int32_t>((last + 1) * height / lineCount);
        if (bottom - y < kMinOverviewMark) {
            bottom = std::min(height, y + kMinOverviewMark);
            y = std::max(0, bottom - kMinOverviewMark);
        }
        bool joined = false;
        for (auto it = marks.rbegin(); it != marks.rend(); ++it) {
            if (it->Y + it->Height < y) break;
            if (it->Kind == s.Kind) {
                it->Height = std::max(it->Y + it->Height, bottom) - it->Y;
                joined = true;
                break;
            }
        }
        if (!joined) marks.push_back({y, bottom - y, s.Kind});
    }
    return marks;
}

int32_t OverviewLine(int32_t y, int32_t height, int32_t lineCount) {
    if (height <= 0 || lineCount <= 0) return 0;
    const int64_t line = int64_t{std::clamp(y, 0, height - 1)} * lineCount / height;
    return static_cast<int32_t>(std::min<int64_t>(line, lineCount - 1));
}

int32_t OverviewTarget(const std::vector<LineSpan>& spans, int32_t y, int32_t height,
                       int32_t lineCount) {
    const int32_t line = OverviewLine(y, height, lineCount);
    if (height <= 0 || lineCount <= 0) return line;
    int32_t best = -1;
    int32_t bestPixels = 0;
    int64_t bestDistance = 0;
    for (const LineSpan& s : spans) {
        const OverviewMark m = OverviewMarks({s}, lineCount, height).front();
        const int32_t pixels = y < m.Y               ? m.Y - y
                               : y >= m.Y + m.Height ? y - (m.Y + m.Height - 1)
                                                     : 0;
        if (pixels > kOverviewSnap) continue;
        const int64_t distance = line < s.First  ? s.First - line
                                 : line > s.Last ? line - s.Last
                                                 : 0;
        if (best < 0 || pixels < bestPixels || (pixels == bestPixels && distance < bestDistance)) {
            best = std::clamp(s.First, 0, lineCount - 1);
            bestPixels = pixels;
            bestDistance = distance;
        }
    }
    return best >= 0 ? best : line;
}

int32_t RevealTop(int32_t first, int32_t last, int32_t top, int32_t rows, int32_t context) {
    last = std::max(first, last);
    if (first >= top && last < top + std::max(rows, 1)) return top;
    return std::max(0, first - context);
}

int32_t GoToLineTarget(int64_t typed, int32_t lineCount) {
    if (lineCount <= 0) return -1;
    return static_cast<int32_t>(std::clamp<int64_t>(typed, 1, lineCount) - 1);
}

int32_t GoToLineTop(int32_t line, int32_t top, int32_t rows) {
    return RevealTop(line, line, top, rows, std::max(rows, 1) / 3);
}

} // namespace quennet::viewrules
