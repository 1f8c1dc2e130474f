#include "viewrules/merge3_layout.h"

#include "io/source_file.h"
#include "merge3/line_diff3.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace quennet::viewrules {

using merge3::Diff3;
using merge3::Diff3Hunk;
using merge3::HunkKind;
using merge3::Merge3Conflict;
using merge3::PairEqualLines;

namespace {

// Equal bytes, equal key: the views show every byte, so nothing is folded here.
class LineKeys {
public:
    std::vector<uint64_t> Of(const std::vector<std::string>& lines) {
        std::vector<uint64_t> keys;
        keys.reserve(lines.size());
        for (const std::string& line : lines)
            keys.push_back(ids_.try_emplace(line, ids_.size()).first->second);
        return keys;
    }

private:
    std::unordered_map<std::string_view, uint64_t> ids_;
};

void AddFillers(std::vector<viewrules::FillerBlock>& fillers, int32_t afterLine, int32_t count) {
    if (count <= 0) return;
    if (!fillers.empty() && fillers.back().AfterLine == afterLine)
        fillers.back().Count += count;
    else
        fillers.push_back({afterLine, count});
}

} // namespace

Merge3Layout LayOutMerge3(const Merge3Lines& versions) {
    LineKeys ids;
    std::array<std::vector<uint64_t>, 3> keys;
    for (int k = 0; k < 3; ++k)
        keys[k] = ids.Of(versions[k]);
    Merge3Layout layout;
    for (int k = 0; k < 3; ++k) {
        layout.RowOf[k].assign(versions[k].size(), 0);
        layout.Changed[k].assign(versions[k].size(), false);
        layout.BaseOf[k].assign(versions[k].size(), -1);
    }
    for (int k : {kLocalPane, kRemotePane}) {
        for (auto [b, v] : PairEqualLines(keys[kBasePane], keys[k]))
            layout.BaseOf[k][v] = b;
        for (size_t i = 0; i < versions[k].size(); ++i)
            layout.Changed[k][i] = layout.BaseOf[k][i] < 0;
    }
    int32_t row = 0;
    for (const Diff3Hunk& h : Diff3(keys[kBasePane], keys[kLocalPane], keys[kRemotePane])) {
        const int32_t begin[3] = {h.base, h.local, h.remote};
        const int32_t end[3] = {h.baseEnd, h.localEnd, h.remoteEnd};
        int32_t height = 0;
        for (int k = 0; k < 3; ++k)
            height = std::max(height, end[k] - begin[k]);
        bool tinted[3] = {false, false, false};
        Merge3Change change = Merge3Change::Conflict;
        const bool same = std::equal(versions[1].begin() + begin[1], versions[1].begin() + end[1],
                                     versions[2].begin() + begin[2], versions[2].begin() + end[2]);
        switch (h.kind) {
        case HunkKind::Stable: break;
        case HunkKind::TakeLocal:
            change = same ? Merge3Change::Both : Merge3Change::Local;
            tinted[0] = tinted[1] = true;
            tinted[2] = same;
            break;
        case HunkKind::TakeRemote:
            change = Merge3Change::Remote;
            tinted[0] = tinted[2] = true;
            break;
        case HunkKind::Conflict: tinted[0] = tinted[1] = tinted[2] = true; break;
        }
        for (int k = 0; k < 3; ++k) {
            for (int32_t i = begin[k]; i < end[k]; ++i)
                layout.RowOf[k][i] = row + (i - begin[k]);
            AddFillers(layout.Fillers[k], end[k] - 1, height - (end[k] - begin[k]));
            if (tinted[k] && end[k] > begin[k])
                layout.Spans[k].push_back({begin[k], end[k] - 1, change});
        }
        row += height;
    }
    layout.Rows = row;
    return layout;
}

int32_t TopFillerRows(const Merge3Layout& layout, int pane) {
    const auto& f = layout.Fillers[pane];
    return !f.empty() && f.front().AfterLine < 0 ? f.front().Count : 0;
}

int32_t FollowingRow(const Merge3Layout& layout, int from, int32_t firstRow, int to) {
    return std::max(0, firstRow + TopFillerRows(layout, from) - TopFillerRows(layout, to));
}

Merge3ResultMap MapMerge3Result(const Merge3Lines& versions, const Merge3Layout& layout,
                                const std::vector<std::string>& result,
                                const std::vector<Merge3Conflict>& conflicts) {
    const auto n = static_cast<int32_t>(result.size());
    Merge3ResultMap map;
    map.Origin.assign(n, Merge3Origin::Edited);
    map.Row.assign(n, 0);
    // Lines of conflict blocks are paired with nothing: left in, they make the result differ
    // from each version by all the other side's lines, and the pairing slow.
    std::vector<bool> inConflict(n, false);
    for (const Merge3Conflict& c : conflicts)
        for (int32_t r = std::max(0, c.firstLine); r <= c.lastLine && r < n; ++r)
            inConflict[r] = true;
    // Each side is paired with the result outside the blocks and with its own part inside
    // them, which anchors the lines around a block as well.
    for (int k = 0; k < 3; ++k)
        map.At[k].assign(n, -1);
    for (int k : {kLocalPane, kRemotePane}) {
        std::vector<bool> own(n, false);
        for (int32_t r = 0; r < n; ++r)
            own[r] = !inConflict[r];
        for (const Merge3Conflict& c : conflicts) {
            const auto count =
                static_cast<int32_t>(io::SplitLines(k == kLocalPane ? c.local : c.remote).size());
            const int32_t from = k == kLocalPane ? c.firstLine + 1 : c.lastLine - count;
            for (int32_t r = std::max(0, from); r < from + count && r < n; ++r)
                own[r] = true;
        }
        std::vector<std::string> taken;
        std::vector<int32_t> takenLine;
        for (int32_t r = 0; r < n; ++r)
            if (own[r]) {
                taken.push_back(result[r]);
                takenLine.push_back(r);
            }
        LineKeys ids; // holds views of taken
        const std::vector<uint64_t> resultKeys = ids.Of(taken);
        for (auto [r, v] : PairEqualLines(resultKeys, ids.Of(versions[k])))
            map.At[k][takenLine[r]] = v;
    }
    // BASE through the sides' own pairs with it; a line in neither side (BASE chosen) found
    // by its text alone. Pairing the result with BASE too would cost as much again.
    std::unordered_map<std::string_view, int32_t> baseLine;
    for (auto b = static_cast<int32_t>(versions[kBasePane].size()); b-- > 0;)
        baseLine[versions[kBasePane][b]] = b;
    for (int32_t r = 0; r < n; ++r) {
        if (inConflict[r]) continue;
        for (int k : {kLocalPane, kRemotePane})
            if (map.At[k][r] >= 0 && map.At[kBasePane][r] < 0)
                map.At[kBasePane][r] = layout.BaseOf[k][map.At[k][r]];
        if (map.At[kLocalPane][r] < 0 && map.At[kRemotePane][r] < 0)
            if (auto it = baseLine.find(result[r]); it != baseLine.end())
                map.At[kBasePane][r] = it->second;
    }
    int32_t row = 0;
    for (int32_t r = 0; r < n; ++r) {
        const int32_t l = map.At[kLocalPane][r], m = map.At[kRemotePane][r];
        const bool fromLocal = l >= 0 && layout.Changed[kLocalPane][l];
        const bool fromRemote = m >= 0 && layout.Changed[kRemotePane][m];
        if (fromLocal && fromRemote)
            map.Origin[r] = Merge3Origin::Both;
        else if (fromLocal)
            map.Origin[r] = Merge3Origin::Local;
        else if (fromRemote)
            map.Origin[r] = Merge3Origin::Remote;
        else if (l >= 0 || m >= 0 || map.At[kBasePane][r] >= 0)
            map.Origin[r] = Merge3Origin::Common;
        for (int k : {kLocalPane, kRemotePane})
            if (map.At[k][r] >= 0) {
                row = std::max(row, layout.RowOf[k][map.At[k][r]]);
                break;
            }
        map.Row[r] = row;
    }
    for (int32_t r = 0; r < n; ++r)
        if (inConflict[r]) map.Origin[r] = Merge3Origin::Conflict;
    return map;
}

int32_t ResultLineAtRow(const Merge3ResultMap& map, int32_t row) {
    const auto it = std::lower_bound(map.Row.begin(), map.Row.end(), row);
    if (it == map.Row.end()) return std::max(0, static_cast<int32_t>(map.Row.size()) - 1);
    return static_cast<int32_t>(it - map.Row.begin());
}

int32_t ConflictLineIn(const Merge3ResultMap& map, const Merge3Conflict& conflict, int pane) {
    const auto& at = map.At[pane];
    for (int32_t r = conflict.firstLine;
         r <= conflict.lastLine && r < static_cast<int32_t>(at.size()); ++r)
        if (at[r] >= 0) return at[r];
    for (int32_t r = std::min<int32_t>(conflict.firstLine, static_cast<int32_t>(at.size())) - 1;
         r >= 0; --r)
        if (at[r] >= 0) return at[r] + 1;
    return 0;
}

int32_t StepConflict(const std::vector<Merge3Conflict>& conflicts, int32_t current,
                     int32_t caretLine, bool forward) {
    const auto count = static_cast<int32_t>(conflicts.size());
    if (current >= 0 && current < count) {
        const int32_t next = current + (forward ? 1 : -1);
        return next >= 0 && next < count ? next : -1;
    }
    if (forward) {
        for (int32_t i = 0; i < count; ++i)
            if (conflicts[i].lastLine >= caretLine) return i;
        return -1;
    }
    for (int32_t i = count - 1; i >= 0; --i)
        if (conflicts[i].firstLine <= caretLine) return i;
    return -1;
}

} // namespace quennet::viewrules
