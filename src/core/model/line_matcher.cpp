// Line keys and the longest-common-run line matcher.
#include "model/line_matcher.h"

#include <algorithm>
#include <string>

#include "model/crc32.h"

namespace quennet::model {

uint32_t LineKey(std::string_view line) {
    size_t begin = 0, end = line.size();
    while (begin < end && static_cast<unsigned char>(line[begin]) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(line[end - 1]) <= 32)
        --end;
    if (begin == end) return 0xFFFFFFFFu;

    enum { Normal, InString, InComment } state = Normal;
    std::string folded;
    folded.reserve(end - begin);
    for (size_t i = begin; i < end; ++i) {
        char c = line[i];
        switch (state) {
        case Normal:
            if (c == '\'')
                state = InString;
            else if (c == '{')
                state = InComment;
            else if (c == '\t' || c == ' ')
                continue;
            break;
        case InString:
            if (c == '\'') state = Normal;
            break;
        case InComment:
            if (c == '}') state = Normal;
            break;
        }
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        folded.push_back(c);
    }
    return UpdateCrc32(folded, 0xFFFFFFFFu);
}

namespace {

struct Run {
    int32_t Length = 0;
    int32_t StartA = 0;
    int32_t StartB = 0;
};

// Scans one diagonal from (i, j) over n pairs; only a strictly longer run replaces the best,
// so among equal runs the first one met in the search order wins.
void ScanDiagonal(const TLineRecord* a, const TLineRecord* b, int32_t i, int32_t j, int32_t n,
                  Run& best) {
    int32_t run = 0;
    for (int32_t k = 0; k < n; ++k) {
        if (a[i + k].Key == b[j + k].Key) {
            ++run;
            continue;
        }
        if (run > best.Length) best = {run, i + k - run, j + k - run};
        run = 0;
    }
    if (run > best.Length) best = {run, i + n - run, j + n - run};
}

// Diagonals through the first old line first (increasing new offset), then those through the
// first new line (increasing old offset). Each direction stops at the first diagonal that is
// not longer than the best run, since every later one in that direction is no longer either.
Run FindLongestRun(const TLineRecord* a, const TLineRecord* b, int32_t lo1, int32_t hi1,
                   int32_t lo2, int32_t hi2) {
    Run best;
    const int32_t len1 = hi1 - lo1 + 1;
    const int32_t len2 = hi2 - lo2 + 1;
    for (int32_t d = 0; d < len2; ++d) {
        int32_t n = std::min(len1, len2 - d);
        if (n <= best.Length) break;
        ScanDiagonal(a, b, lo1, lo2 + d, n, best);
    }
    for (int32_t d = 1; d < len1; ++d) {
        int32_t n = std::min(len1 - d, len2);
        if (n <= best.Length) break;
        ScanDiagonal(a, b, lo1 + d, lo2, n, best);
    }
    return best;
}

// One pending piece of the output: either a range still to be matched, or a common run whose
// entries are emitted when it is popped.
struct Task {
    bool IsRange;
    int32_t Lo1, Hi1, Lo2, Hi2; // range bounds; for a run: Lo2 = first new index, Hi2 = length
};

void MarkUnmatchedLines(std::vector<TLineRecord>& a, std::vector<TLineRecord>& b,
                        const std::vector<TMapEntry>& map) {
    for (auto& r : a)
        r.Unmatched = false;
    for (auto& r : b)
        r.Unmatched = false;
    auto mark = [](std::vector<TLineRecord>& records, int32_t line) {
        auto it = std::lower_bound(records.begin(), records.end(), line,
                                   [](const TLineRecord& r, int32_t l) { return r.Line < l; });
        if (it != records.end() && it->Line == line) it->Unmatched = true;
    };
    for (const auto& e : map) {
        if (e.Kind == OldOnly)
            mark(a, e.Line);
        else if (e.Kind == NewOnly)
            mark(b, e.Line);
    }
}

} // namespace

void MatchLines(std::vector<TLineRecord>& oldLines, std::vector<TLineRecord>& newLines,
                std::vector<TMapEntry>& map) {
    map.clear();
    const TLineRecord* a = oldLines.data();
    const TLineRecord* b = newLines.data();

    // The natural form recurses left range, run, right range; the stack holds them in reverse
    // so the entries come out in exactly that order, and deep inputs cannot exhaust the stack.
    std::vector<Task> work;
    work.push_back({true, 0, static_cast<int32_t>(oldLines.size()) - 1, 0,
                    static_cast<int32_t>(newLines.size()) - 1});
    while (!work.empty()) {
        Task t = work.back();
        work.pop_back();
        if (!t.IsRange) {
            for (int32_t k = 0; k < t.Hi2; ++k)
                map.push_back({Common, b[t.Lo2 + k].Line});
            continue;
        }
        Run run = FindLongestRun(a, b, t.Lo1, t.Hi1, t.Lo2, t.Hi2);
        if (run.Length == 0) {
            for (int32_t i = t.Lo1; i <= t.Hi1; ++i)
                map.push_back({OldOnly, a[i].Line});
            for (int32_t j = t.Lo2; j <= t.Hi2; ++j)
                map.push_back({NewOnly, b[j].Line});
            continue;
        }
        work.push_back({true, run.StartA + run.Length, t.Hi1, run.StartB + run.Length, t.Hi2});
        work.push_back({false, 0, 0, run.StartB, run.Length});
        work.push_back({true, t.Lo1, run.StartA - 1, t.Lo2, run.StartB - 1});
    }
    MarkUnmatchedLines(oldLines, newLines, map);
}

} // namespace quennet::model
