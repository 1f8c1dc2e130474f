// Side-by-side alignment of two texts from the line matcher's map.
#include "view/split_alignment.h"

#include <algorithm>

namespace quennet::view {

namespace {

int32_t TopFillers(const std::vector<FillerBlock>& fillers) {
    return !fillers.empty() && fillers.front().AfterLine < 0 ? fillers.front().Count : 0;
}

} // namespace

SplitAlignment AlignTexts(const std::vector<model::TMapEntry>& map, int32_t oldLineCount,
                          int32_t newLineCount) {
    SplitAlignment result;
    result.OldToNew.assign(static_cast<size_t>(std::max(oldLineCount, 0)), -1);
    result.NewToOld.assign(static_cast<size_t>(std::max(newLineCount, 0)), -1);
    int32_t oldNext = 0; // the next old line the map will name
    int32_t newNext = 0;
    std::vector<int32_t> gapOld, gapNew;
    auto closeGap = [&] {
        const auto o = static_cast<int32_t>(gapOld.size());
        const auto n = static_cast<int32_t>(gapNew.size());
        for (int32_t k = 0; k < std::min(o, n); ++k)
            result.Changed.push_back(
                {gapOld[static_cast<size_t>(k)], gapNew[static_cast<size_t>(k)]});
        if (o > n)
            result.NewFillers.push_back({newNext - 1, o - n});
        else if (n > o)
            result.OldFillers.push_back({oldNext - 1, n - o});
        gapOld.clear();
        gapNew.clear();
    };
    for (const model::TMapEntry& e : map) {
        if (e.Kind == model::OldOnly) {
            gapOld.push_back(e.Line);
            oldNext = e.Line + 1;
        } else if (e.Kind == model::NewOnly) {
            gapNew.push_back(e.Line);
            newNext = e.Line + 1;
        } else {
            closeGap();
            // A common entry names the new line; the old one is the next old line in order.
            if (oldNext < oldLineCount && e.Line < newLineCount) {
                result.OldToNew[static_cast<size_t>(oldNext)] = e.Line;
                result.NewToOld[static_cast<size_t>(e.Line)] = oldNext;
            }
            ++oldNext;
            newNext = e.Line + 1;
        }
    }
    closeGap();
    return result;
}

int32_t CounterpartLine(const SplitAlignment& alignment, bool fromOld, int32_t line) {
    const std::vector<int32_t>& map = fromOld ? alignment.OldToNew : alignment.NewToOld;
    const auto otherCount =
        static_cast<int32_t>((fromOld ? alignment.NewToOld : alignment.OldToNew).size());
    if (map.empty() || otherCount == 0) return 0;
    line = std::clamp(line, 0, static_cast<int32_t>(map.size()) - 1);
    if (map[static_cast<size_t>(line)] >= 0) return map[static_cast<size_t>(line)];
    int32_t target = 0;
    for (int32_t i = line - 1; i >= 0; --i)
        if (map[static_cast<size_t>(i)] >= 0) {
            target = map[static_cast<size_t>(i)] + 1;
            break;
        }
    return std::min(target, otherCount - 1);
}

int32_t SyncedFirstRow(const SplitAlignment& alignment, bool fromOld, int32_t firstRow) {
    const int32_t oldTop = TopFillers(alignment.OldFillers);
    const int32_t newTop = TopFillers(alignment.NewFillers);
    const int32_t shift = fromOld ? oldTop - newTop : newTop - oldTop;
    return std::max(0, firstRow + shift);
}

} // namespace quennet::view
