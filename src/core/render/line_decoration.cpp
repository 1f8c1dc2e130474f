// Line decorations of the selected difference, and moving between changed blocks.
#include "render/line_decoration.h"

#include "model/source_model.h"

namespace quennet::render {

using base::TLineRecord;
using diff::TMapEntry;
using enum diff::MapKind;
using model::TidName;

namespace {

uint32_t SideColor(ViewSide side, const DecorationColors& colors) {
    return side == ViewSide::Old ? colors.OldOnly : colors.NewOnly;
}
int SideImage(ViewSide side) {
    return side == ViewSide::Old ? kOldOnlyImage : kNewOnlyImage;
}

bool IsCommon(const TMapEntry& entry) {
    return entry.Kind == Common;
}

} // namespace

LineRange ViewLines(const TidName* decl) {
    if (!decl) return {};
    if (!decl->File.empty())
        return decl->IncludedAt >= 1 ? LineRange{decl->IncludedAt - 1, decl->IncludedAt - 1}
                                     : LineRange{};
    if (decl->FirstLine < 1 || decl->LastLine < decl->FirstLine) return {};
    return {decl->FirstLine - 1, decl->LastLine - 1};
}

RangeFit FitOfRange(LineRange range, int32_t viewLines, int32_t comparedLines) {
    if (!range.IsSet() || range.Last < viewLines) return RangeFit::Fits;
    return viewLines == comparedLines ? RangeFit::BeyondComparedText : RangeFit::TextChanged;
}

LineDecoration SourceLineDecoration(int32_t line, LineRange range,
                                    const std::vector<TLineRecord>& records, ViewSide side,
                                    const DecorationColors& colors) {
    LineDecoration result;
    if (!range.IsSet()) return result;
    const int64_t index = int64_t{line} - range.First;
    const bool unmatched = index >= 0 && index < static_cast<int64_t>(records.size()) &&
                           records[static_cast<size_t>(index)].Unmatched;
    if (line >= range.First && line <= range.Last) {
        result.Background = colors.Selection;
        if (unmatched) result.Foreground = SideColor(side, colors);
    }
    if (unmatched) result.GutterImage = SideImage(side);
    return result;
}

std::vector<LineDecoration> SourceViewDecorations(LineRange range,
                                                  const std::vector<TLineRecord>& records,
                                                  ViewSide side, const DecorationColors& colors) {
    std::vector<LineDecoration> result;
    if (!range.IsSet() || range.Last < range.First) return result;
    result.reserve(static_cast<size_t>(range.Last - range.First) + 1);
    for (int32_t line = range.First; line <= range.Last; ++line)
        result.push_back(SourceLineDecoration(line, range, records, side, colors));
    return result;
}

std::vector<LineDecoration> DiffViewDecorations(const std::vector<TMapEntry>& map,
                                                const DecorationColors& colors) {
    std::vector<LineDecoration> result(map.size());
    for (size_t i = 0; i < map.size(); ++i) {
        if (map[i].Kind == OldOnly) {
            result[i].Foreground = colors.OldOnly;
            result[i].GutterImage = kOldOnlyImage;
        } else if (map[i].Kind == NewOnly) {
            result[i].Foreground = colors.NewOnly;
            result[i].GutterImage = kNewOnlyImage;
        }
    }
    return result;
}

// Leaves the changed block at the top before looking for the next one. A freshly built view
// starts at line 0, so a difference whose first line is changed opens at its second block:
// that is the established behaviour and users know it; keep it.
std::optional<int32_t> NextDifference(int32_t firstVisible, const std::vector<TMapEntry>& map,
                                      int32_t lineCount) {
    if (map.empty()) return std::nullopt;
    const auto count = static_cast<int64_t>(map.size());
    int64_t i = firstVisible < 0 ? 0 : firstVisible;
    while (i < count && !IsCommon(map[static_cast<size_t>(i)]))
        ++i;
    while (i < count && IsCommon(map[static_cast<size_t>(i)]))
        ++i;
    if (i >= lineCount) i = 0;
    return static_cast<int32_t>(i);
}

std::optional<int32_t> PriorDifference(int32_t firstVisible, const std::vector<TMapEntry>& map) {
    if (map.empty()) return std::nullopt;
    const auto count = static_cast<int64_t>(map.size());
    // The view never shows more lines than the map has; clamp in case it does.
    int64_t i = firstVisible >= count ? count - 1 : firstVisible;
    if (i < 0) return std::nullopt;
    while (i >= 0 && !IsCommon(map[static_cast<size_t>(i)]))
        --i;
    while (i >= 0 && IsCommon(map[static_cast<size_t>(i)]))
        --i;
    while (i >= 0 && !IsCommon(map[static_cast<size_t>(i)]))
        --i;
    const int64_t j = i + 1;
    if (IsCommon(map[static_cast<size_t>(j)])) return std::nullopt;
    return static_cast<int32_t>(j);
}

} // namespace quennet::render
