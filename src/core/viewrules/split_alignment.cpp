// Side-by-side alignment of two texts from the line matcher's map.
#include "viewrules/split_alignment.h"

#include <algorithm>
#include <unordered_map>

namespace quennet::viewrules {

namespace {

int32_t TopFillers(const std::vector<FillerBlock>& fillers) {
    return !fillers.empty() && fillers.front().AfterLine < 0 ? fillers.front().Count : 0;
}

// Pairs (old index, new index) of keys found once in each text, as the longest chain that
// rises in both (patience sorting).
std::vector<std::pair<int32_t, int32_t>> Anchors(const std::vector<base::TLineRecord>& a,
                                                 const std::vector<base::TLineRecord>& b) {
    struct Seen {
        int32_t OldCount = 0, NewCount = 0, OldAt = 0, NewAt = 0;
    };
    std::unordered_map<uint32_t, Seen> seen;
    seen.reserve(a.size() + b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        Seen& s = seen[a[i].Key];
        ++s.OldCount;
        s.OldAt = static_cast<int32_t>(i);
    }
    for (size_t j = 0; j < b.size(); ++j) {
        Seen& s = seen[b[j].Key];
        ++s.NewCount;
        s.NewAt = static_cast<int32_t>(j);
    }
    std::vector<std::pair<int32_t, int32_t>> unique;
    for (size_t i = 0; i < a.size(); ++i) {
        const Seen& s = seen[a[i].Key];
        if (s.OldCount == 1 && s.NewCount == 1)
            unique.emplace_back(static_cast<int32_t>(i), s.NewAt);
    }
    // Longest chain rising in the new index: tails[k] ends the best chain of length k + 1.
    std::vector<size_t> tails, previous(unique.size(), SIZE_MAX);
    for (size_t u = 0; u < unique.size(); ++u) {
        auto it = std::lower_bound(tails.begin(), tails.end(), unique[u].second,
                                   [&](size_t t, int32_t j) { return unique[t].second < j; });
        if (it != tails.begin()) previous[u] = *std::prev(it);
        if (it == tails.end())
            tails.push_back(u);
        else
            *it = u;
    }
    std::vector<std::pair<int32_t, int32_t>> chain;
    for (size_t u = tails.empty() ? SIZE_MAX : tails.back(); u != SIZE_MAX; u = previous[u])
        chain.push_back(unique[u]);
    std::reverse(chain.begin(), chain.end());
    return chain;
}

} // namespace

std::vector<diff::TMapEntry> MatchTexts(std::vector<base::TLineRecord>& oldLines,
                                        std::vector<base::TLineRecord>& newLines) {
    std::vector<diff::TMapEntry> map;
    map.reserve(std::max(oldLines.size(), newLines.size()));
    std::vector<base::TLineRecord> a, b;
    std::vector<diff::TMapEntry> piece;
    auto matchBetween = [&](int32_t oldFrom, int32_t oldTo, int32_t newFrom, int32_t newTo) {
        a.assign(oldLines.begin() + oldFrom, oldLines.begin() + oldTo);
        b.assign(newLines.begin() + newFrom, newLines.begin() + newTo);
        diff::MatchLines(a, b, piece);
        map.insert(map.end(), piece.begin(), piece.end());
        for (size_t k = 0; k < a.size(); ++k)
            oldLines[static_cast<size_t>(oldFrom) + k].Unmatched = a[k].Unmatched;
        for (size_t k = 0; k < b.size(); ++k)
            newLines[static_cast<size_t>(newFrom) + k].Unmatched = b[k].Unmatched;
    };
    int32_t oldAt = 0, newAt = 0;
    for (const auto& [i, j] : Anchors(oldLines, newLines)) {
        matchBetween(oldAt, i, newAt, j);
        map.push_back({diff::Common, newLines[static_cast<size_t>(j)].Line});
        oldLines[static_cast<size_t>(i)].Unmatched = false;
        newLines[static_cast<size_t>(j)].Unmatched = false;
        oldAt = i + 1;
        newAt = j + 1;
    }
    matchBetween(oldAt, static_cast<int32_t>(oldLines.size()), newAt,
                 static_cast<int32_t>(newLines.size()));
    return map;
}

SplitAlignment AlignTexts(const std::vector<diff::TMapEntry>& map, int32_t oldLineCount,
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
    for (const diff::TMapEntry& e : map) {
        if (e.Kind == diff::OldOnly) {
            gapOld.push_back(e.Line);
            oldNext = e.Line + 1;
        } else if (e.Kind == diff::NewOnly) {
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

bool StandLevel(const SplitAlignment& alignment, int32_t oldFirst, int32_t oldLast,
                int32_t newFirst) {
    const int32_t place = CounterpartLine(alignment, false, newFirst);
    return place >= oldFirst - 1 && place <= oldLast + 1;
}

int32_t SyncedFirstRow(const SplitAlignment& alignment, bool fromOld, int32_t firstRow) {
    const int32_t oldTop = TopFillers(alignment.OldFillers);
    const int32_t newTop = TopFillers(alignment.NewFillers);
    const int32_t shift = fromOld ? oldTop - newTop : newTop - oldTop;
    return std::max(0, firstRow + shift);
}

} // namespace quennet::viewrules
