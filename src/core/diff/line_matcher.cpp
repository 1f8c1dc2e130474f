// The longest-common-run line matcher.
#include "diff/line_matcher.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

namespace quennet::diff {

using base::TLineRecord;

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

// The diagonals after the first one, given the best run of the first: those through the first
// old line (increasing new offset), then those through the first new line (increasing old
// offset). Each direction stops at the first diagonal that is not longer than the best run,
// since every later one in that direction is no longer either.
Run ContinueByDiagonals(const TLineRecord* a, const TLineRecord* b, int32_t lo1, int32_t len1,
                        int32_t lo2, int32_t len2, Run best) {
    for (int32_t d = 1; d < len2; ++d) {
        const int32_t n = std::min(len1, len2 - d);
        if (n <= best.Length) break;
        ScanDiagonal(a, b, lo1, lo2 + d, n, best);
    }
    for (int32_t d = 1; d < len1; ++d) {
        const int32_t n = std::min(len1 - d, len2);
        if (n <= best.Length) break;
        ScanDiagonal(a, b, lo1 + d, lo2, n, best);
    }
    return best;
}

// The same run found without searching every diagonal. The search above returns, among the
// longest runs, the first in its order: diagonals through the first old line by increasing new
// offset, then those through the first new line by increasing old offset, and along a diagonal
// the first. A longest run of length L is exactly a common window of L keys, so: find L by
// binary search over window hashes, then, for each new window, the old window of the same hash
// nearest to its diagonal on either side. Hashes only propose; the chosen run is compared key
// by key, and on any disagreement (a hash collision) the diagonal search decides after all.
class WindowHashes {
public:
    // prefix: storage kept across ranges, so that large ranges do not map fresh pages each time.
    WindowHashes(const TLineRecord* r, int32_t lo, int32_t len, std::vector<uint64_t>& prefix)
        : prefix_(prefix) {
        prefix_.resize(static_cast<size_t>(len) + 1); // every word is written below
        prefix_[0] = 0;
        for (int32_t k = 0; k < len; ++k)
            prefix_[k + 1] = prefix_[k] * kBase + r[lo + k].Key + 1;
    }
    // Hash of the window of length L starting at offset k; pow is kBase^L.
    uint64_t Window(int32_t k, int32_t L, uint64_t pow) const {
        return prefix_[k + L] - prefix_[k] * pow;
    }

private:
    static constexpr uint64_t kBase = 0x100000001B3ull;
    std::vector<uint64_t>& prefix_;

public:
    static uint64_t Pow(int32_t L) {
        uint64_t p = 1, b = kBase;
        for (uint32_t e = static_cast<uint32_t>(L); e; e >>= 1, b *= b)
            if (e & 1u) p *= b;
        return p;
    }
};

// Scans the first diagonal of the range like ScanDiagonal, but stops at the first run of
// `bound` pairs: no run in the range is longer, so none later in the order can replace it.
Run ScanFirstDiagonal(const TLineRecord* a, const TLineRecord* b, int32_t i, int32_t j, int32_t n,
                      int32_t bound) {
    Run best;
    int32_t run = 0;
    for (int32_t k = 0; k < n; ++k) {
        if (a[i + k].Key == b[j + k].Key) {
            if (++run == bound) return {run, i + k + 1 - run, j + k + 1 - run};
            continue;
        }
        if (run > best.Length) best = {run, i + k - run, j + k - run};
        run = 0;
    }
    if (run > best.Length) best = {run, i + n - run, j + n - run};
    return best;
}

// Buffers of the searches, reused from range to range.
struct Scratch {
    std::vector<uint64_t> prefixA, prefixB, set;
    std::vector<std::pair<uint64_t, int32_t>> windows;
};

// The longest run through a line that occurs exactly once in each range. In edited texts the
// longest run nearly always holds such a line, so this lower bound usually is the length itself
// and the search for the length needs one test instead of a dozen. Every equal pair is walked
// at most once per diagonal, and an old line lies on at most two runs through such lines.
int32_t AnchoredRunLength(const TLineRecord* a, const TLineRecord* b, int32_t lo1, int32_t len1,
                          int32_t lo2, int32_t len2, Scratch& scratch) {
    // One word a key, in the window set's storage: the key, 1 + the offset of its last old line
    // (0: slot empty), and whether it occurs twice in old, once in new, twice in new.
    constexpr int kAtShift = 32;
    constexpr uint64_t kAtMask = (uint64_t{1} << 29) - 1;
    constexpr uint64_t kOldTwice = uint64_t{1} << 61, kNewOnce = uint64_t{1} << 62,
                       kNewTwice = uint64_t{1} << 63;
    if (static_cast<uint64_t>(len1) >= kAtMask) return 0; // only a bound: none is no error
    size_t size = 16;
    while (size < 2 * static_cast<size_t>(len1))
        size <<= 1;
    const size_t mask = size - 1;
    std::vector<uint64_t>& table = scratch.set;
    table.assign(size, 0);
    auto find = [&](uint32_t key) {
        const uint32_t hash = key * 0x9E3779B1u; // wraps at 32 bits on purpose
        size_t k = hash & mask;
        while (table[k] != 0 && static_cast<uint32_t>(table[k]) != key)
            k = (k + 1) & mask;
        return k;
    };
    for (int32_t i = 0; i < len1; ++i) {
        uint64_t& s = table[find(a[lo1 + i].Key)];
        const uint64_t twice = s != 0 ? kOldTwice : 0;
        s = (s & kOldTwice) | twice | static_cast<uint64_t>(i + 1) << kAtShift | a[lo1 + i].Key;
    }
    for (int32_t j = 0; j < len2; ++j) {
        uint64_t& s = table[find(b[lo2 + j].Key)];
        if (s != 0) s |= (s & kNewOnce) ? kNewTwice : kNewOnce;
    }
    // A line found once on each side pins its run's diagonal, so every such line inside a run
    // lies on it: the walk goes on after the run, and goes back over none of them.
    int32_t best = 0;
    for (int32_t j = 0; j < len2; ++j) {
        const uint64_t s = table[find(b[lo2 + j].Key)];
        if ((s & (kOldTwice | kNewOnce | kNewTwice)) != kNewOnce) continue;
        const int32_t i = static_cast<int32_t>(s >> kAtShift & kAtMask) - 1;
        int32_t start = j, stop = j + 1;
        while (start > 0 && start - j + i > 0 &&
               a[lo1 + start - 1 - j + i].Key == b[lo2 + start - 1].Key)
            --start;
        while (stop < len2 && stop - j + i < len1 && a[lo1 + stop - j + i].Key == b[lo2 + stop].Key)
            ++stop;
        best = std::max(best, stop - start);
        j = stop - 1;
    }
    return best;
}

// Pairs the diagonal search visits after the first diagonal when the best run stays `best`.
int64_t DiagonalWork(int32_t len1, int32_t len2, int32_t best) {
    int64_t work = 0;
    for (int32_t d = 1; d < len2; ++d) {
        const int32_t n = std::min(len1, len2 - d);
        if (n <= best) break;
        work += n;
    }
    for (int32_t d = 1; d < len1; ++d) {
        const int32_t n = std::min(len1 - d, len2);
        if (n <= best) break;
        work += n;
    }
    return work;
}

// `bound` is at least the longest run in the range: the enclosing range's run length. A range
// cut from a larger one often holds a run of that length on its first diagonal (repeated
// lines matched one after the other along one diagonal); finding it there costs only the
// pairs up to it.
Run FindLongestRun(const TLineRecord* a, const TLineRecord* b, int32_t lo1, int32_t hi1,
                   int32_t lo2, int32_t hi2, int32_t bound, Scratch& scratch) {
    const int32_t len1 = hi1 - lo1 + 1;
    const int32_t len2 = hi2 - lo2 + 1;
    if (len1 <= 0 || len2 <= 0) return Run{};
    bound = std::min({bound, len1, len2});
    const Run first = ScanFirstDiagonal(a, b, lo1, lo2, std::min(len1, len2), bound);
    if (first.Length == bound) return first;

    // The rest by whichever search costs less: every remaining diagonal, or a few hashing passes
    // over both ranges (the lower bound, one test of the length, the windows of it), each
    // costing about as much as eight pairs on a diagonal per line (measured).
    const int64_t hashWork = 24 * static_cast<int64_t>(len1 + len2);
    if (DiagonalWork(len1, len2, first.Length) <= hashWork)
        return ContinueByDiagonals(a, b, lo1, len1, lo2, len2, first);

    const WindowHashes ha(a, lo1, len1, scratch.prefixA), hb(b, lo2, len2, scratch.prefixB);
    // An open-addressing set of one side's window hashes of length L (0 stands for 1; a false
    // match only costs the fallback).
    std::vector<uint64_t>& set = scratch.set;
    size_t setMask = 0;
    auto slot = [&](uint64_t h) {
        return static_cast<size_t>((h * 0x9E3779B97F4A7C15ull) >> 17) & setMask;
    };
    auto fillSet = [&](const WindowHashes& side, int32_t len, int32_t L, uint64_t pow) {
        size_t size = 16;
        while (size < 2 * static_cast<size_t>(len))
            size <<= 1;
        set.assign(size, 0);
        setMask = size - 1;
        for (int32_t i = 0; i + L <= len; ++i) {
            const uint64_t h = std::max<uint64_t>(side.Window(i, L, pow), 1);
            size_t k = slot(h);
            while (set[k] != 0 && set[k] != h)
                k = (k + 1) & setMask;
            set[k] = h;
        }
    };
    auto inSet = [&](uint64_t h) {
        h = std::max<uint64_t>(h, 1);
        for (size_t k = slot(h); set[k] != 0; k = (k + 1) & setMask)
            if (set[k] == h) return true;
        return false;
    };
    // Whether some old and some new window of length L share a hash.
    auto common = [&](int32_t L) {
        const uint64_t pow = WindowHashes::Pow(L);
        fillSet(ha, len1, L, pow);
        for (int32_t j = 0; j + L <= len2; ++j)
            if (inSet(hb.Window(j, L, pow))) return true;
        return false;
    };
    // The old windows of length L whose hash some new window shares, as (hash, old offset),
    // sorted.
    std::vector<std::pair<uint64_t, int32_t>>& windows = scratch.windows;
    auto oldWindows = [&](int32_t L) {
        const uint64_t pow = WindowHashes::Pow(L);
        fillSet(hb, len2, L, pow);
        windows.clear();
        for (int32_t i = 0; i + L <= len1; ++i) {
            const uint64_t h = ha.Window(i, L, pow);
            if (inSet(h)) windows.emplace_back(h, i);
        }
        std::sort(windows.begin(), windows.end());
        return pow;
    };
    // The first pair of old and new windows of length L with equal hashes in the search order.
    // With `longer`, also whether some such pair might go on to a run of L + 1; when checking
    // would cost more than a pass over the ranges, it might.
    const auto firstWindows = [&](int32_t L, bool* longer) {
        const uint64_t pow = oldWindows(L);
        int64_t budget = static_cast<int64_t>(len1) + len2;
        // Offsets relative to the range: a window pair (i, j) lies on diagonal j - i; first
        // direction: j - i >= 0, smallest first; second: i - j > 0, smallest first.
        int64_t best1 = -1, best2 = -1; // packed (distance, position) of the best each way
        for (int32_t j = 0; j + L <= len2; ++j) {
            const uint64_t h = hb.Window(j, L, pow);
            auto same = std::lower_bound(windows.begin(), windows.end(), std::make_pair(h, 0));
            auto sameEnd = std::upper_bound(windows.begin(), windows.end(),
                                            std::make_pair(h, std::numeric_limits<int32_t>::max()));
            if (same == sameEnd) continue;
            if (longer && j + L < len2) {
                const uint32_t next = b[lo2 + j + L].Key;
                for (auto w = same; w != sameEnd && !*longer; ++w)
                    *longer = --budget < 0 ||
                              (w->second + L < len1 && a[lo1 + w->second + L].Key == next);
                if (*longer) return Run{};
            }
            // Nearest old window at or before offset j, and the nearest after it.
            auto after = std::upper_bound(same, sameEnd, std::make_pair(h, j));
            if (after != same) {
                const int32_t i = std::prev(after)->second;
                const int64_t key = (static_cast<int64_t>(j - i) << 32) | i;
                if (best1 < 0 || key < best1) best1 = key;
            }
            if (after != sameEnd) {
                const int32_t i = after->second;
                const int64_t key = (static_cast<int64_t>(i - j) << 32) | j;
                if (best2 < 0 || key < best2) best2 = key;
            }
        }
        Run run{L, 0, 0};
        if (best1 >= 0) {
            const int32_t i = static_cast<int32_t>(best1 & 0xFFFFFFFF);
            run.StartA = lo1 + i;
            run.StartB = lo2 + i + static_cast<int32_t>(best1 >> 32);
        } else {
            const int32_t j = static_cast<int32_t>(best2 & 0xFFFFFFFF);
            run.StartB = lo2 + j;
            run.StartA = lo1 + j + static_cast<int32_t>(best2 >> 32);
        }
        return run;
    };
    int32_t lo = std::max(first.Length, AnchoredRunLength(a, b, lo1, len1, lo2, len2, scratch));
    int32_t hi = bound; // common(lo) holds; common(hi + 1) does not
    // Usually the lower bound is the length: the windows of that length, looked at once, show
    // both that none goes on and which comes first.
    bool longer = true;
    Run run;
    if (lo > 0 && lo < hi) {
        longer = false;
        run = firstWindows(lo, &longer);
    }
    if (longer) {
        if (lo < hi && !common(lo + 1)) hi = lo;
        while (lo < hi) {
            const int32_t mid = lo + (hi - lo + 1) / 2;
            if (common(mid))
                lo = mid;
            else
                hi = mid - 1;
        }
        if (lo == first.Length) return first; // the first diagonal comes first in the order
        run = firstWindows(lo, nullptr);
    } else if (lo == first.Length) {
        return first;
    }
    for (int32_t k = 0; k < run.Length; ++k)
        if (a[run.StartA + k].Key != b[run.StartB + k].Key)
            return ContinueByDiagonals(a, b, lo1, len1, lo2, len2, first);
    return run;
}

// One pending piece of the output: either a range still to be matched, or a common run whose
// entries are emitted when it is popped.
struct Task {
    bool IsRange;
    int32_t Lo1, Hi1, Lo2, Hi2; // range bounds; for a run: Lo2 = first new index, Hi2 = length
    int32_t Bound;              // no run in the range is longer
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
    map.reserve(oldLines.size() + newLines.size()); // the most entries there can be
    const TLineRecord* a = oldLines.data();
    const TLineRecord* b = newLines.data();

    // The natural form recurses left range, run, right range; the stack holds them in reverse
    // so the entries come out in exactly that order, and deep inputs cannot exhaust the stack.
    std::vector<Task> work;
    Scratch scratch;
    work.push_back({true, 0, static_cast<int32_t>(oldLines.size()) - 1, 0,
                    static_cast<int32_t>(newLines.size()) - 1,
                    std::numeric_limits<int32_t>::max()});
    while (!work.empty()) {
        Task t = work.back();
        work.pop_back();
        if (!t.IsRange) {
            for (int32_t k = 0; k < t.Hi2; ++k)
                map.push_back({Common, b[t.Lo2 + k].Line});
            continue;
        }
        Run run = FindLongestRun(a, b, t.Lo1, t.Hi1, t.Lo2, t.Hi2, t.Bound, scratch);
        if (run.Length == 0) {
            for (int32_t i = t.Lo1; i <= t.Hi1; ++i)
                map.push_back({OldOnly, a[i].Line});
            for (int32_t j = t.Lo2; j <= t.Hi2; ++j)
                map.push_back({NewOnly, b[j].Line});
            continue;
        }
        work.push_back(
            {true, run.StartA + run.Length, t.Hi1, run.StartB + run.Length, t.Hi2, run.Length});
        work.push_back({false, 0, 0, run.StartB, run.Length, 0});
        work.push_back({true, t.Lo1, run.StartA - 1, t.Lo2, run.StartB - 1, run.Length});
    }
    MarkUnmatchedLines(oldLines, newLines, map);
}

} // namespace quennet::diff
