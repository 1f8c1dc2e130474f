// Myers' difference algorithm for the pairs, and the classic diff3 walk over the lines of
// BASE that both sides keep.
#include "merge3/line_diff3.h"

#include <algorithm>

#include "diff/line_matcher.h"

namespace quennet::merge3 {

namespace {

// The trace of a shortest edit script costs O(D^2) memory; beyond this D the line matcher
// pairs the lines instead.
constexpr int32_t kMaxEditDistance = 3000;

bool MyersPairs(const uint64_t* a, int32_t n, const uint64_t* b, int32_t m, int32_t offA,
                int32_t offB, LinePairs& out) {
    const int32_t max = n + m;
    const int32_t limit = std::min(max, kMaxEditDistance);
    std::vector<int32_t> v(2 * static_cast<size_t>(max) + 3, 0);
    const int32_t zero = max + 1;
    std::vector<std::vector<int32_t>> trace; // trace[d]: v over k in [-d, d] before step d
    int32_t found = -1;
    for (int32_t d = 0; d <= limit && found < 0; ++d) {
        trace.emplace_back(v.begin() + (zero - d), v.begin() + (zero + d + 1));
        for (int32_t k = -d; k <= d; k += 2) {
            int32_t x = (k == -d || (k != d && v[zero + k - 1] < v[zero + k + 1]))
                            ? v[zero + k + 1]
                            : v[zero + k - 1] + 1;
            int32_t y = x - k;
            while (x < n && y < m && a[x] == b[y])
                ++x, ++y;
            v[zero + k] = x;
            if (x >= n && y >= m) {
                found = d;
                break;
            }
        }
    }
    if (found < 0) return false;
    LinePairs rev;
    int32_t x = n, y = m;
    for (int32_t d = found; d > 0; --d) {
        const std::vector<int32_t>& t = trace[d];
        auto at = [&](int32_t k) { return t[k + d]; };
        int32_t k = x - y;
        int32_t prevK = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? k + 1 : k - 1;
        int32_t prevX = at(prevK), prevY = prevX - prevK;
        while (x > prevX && y > prevY) {
            --x, --y;
            rev.emplace_back(x, y);
        }
        x = prevX, y = prevY;
    }
    while (x > 0 && y > 0) {
        --x, --y;
        rev.emplace_back(x, y);
    }
    for (auto it = rev.rbegin(); it != rev.rend(); ++it)
        out.emplace_back(it->first + offA, it->second + offB);
    return true;
}

void MatcherPairs(const uint64_t* a, int32_t n, const uint64_t* b, int32_t m, int32_t offA,
                  int32_t offB, LinePairs& out) {
    std::vector<base::TLineRecord> oldLines(n), newLines(m);
    for (int32_t i = 0; i < n; ++i)
        oldLines[i] = {static_cast<uint32_t>(a[i] ^ (a[i] >> 32)), i};
    for (int32_t j = 0; j < m; ++j)
        newLines[j] = {static_cast<uint32_t>(b[j] ^ (b[j] >> 32)), j};
    std::vector<diff::TMapEntry> map;
    diff::MatchLines(oldLines, newLines, map);
    int32_t i = 0, j = 0;
    for (const auto& e : map) {
        if (e.Kind == diff::Common) {
            // The matcher's keys are folded to 32 bits: pair only lines that are really equal.
            if (i < n && j < m && a[i] == b[j]) out.emplace_back(i + offA, j + offB);
            ++i, ++j;
        } else if (e.Kind == diff::OldOnly) {
            ++i;
        } else {
            ++j;
        }
    }
}

bool RangesEqual(const std::vector<uint64_t>& x, int32_t xs, int32_t xe,
                 const std::vector<uint64_t>& y, int32_t ys, int32_t ye) {
    return xe - xs == ye - ys && std::equal(x.begin() + xs, x.begin() + xe, y.begin() + ys);
}

bool OnlyBlanks(const Diff3Hunk& h, const std::vector<bool>& blank) {
    for (int32_t i = h.base; i < h.baseEnd; ++i)
        if (!blank[i]) return false;
    return true;
}

void JoinAcrossBlanks(std::vector<Diff3Hunk>& hunks, const std::vector<bool>& blank) {
    std::vector<Diff3Hunk> out;
    for (const Diff3Hunk& h : hunks) {
        const size_t n = out.size();
        if (h.kind != HunkKind::Stable && h.base == h.baseEnd && n >= 2 &&
            out[n - 1].kind == HunkKind::Stable && out[n - 2].kind != HunkKind::Stable &&
            out[n - 2].base == out[n - 2].baseEnd &&
            (h.kind == HunkKind::Conflict || out[n - 2].kind == HunkKind::Conflict ||
             h.kind != out[n - 2].kind) &&
            OnlyBlanks(out[n - 1], blank)) {
            Diff3Hunk joined = out[n - 2];
            joined.kind = HunkKind::Conflict;
            joined.baseEnd = h.baseEnd, joined.localEnd = h.localEnd;
            joined.remoteEnd = h.remoteEnd;
            out.resize(n - 2);
            out.push_back(joined);
        } else {
            out.push_back(h);
        }
    }
    hunks = std::move(out);
}

} // namespace

LinePairs PairEqualLines(const std::vector<uint64_t>& a, const std::vector<uint64_t>& b) {
    LinePairs out;
    int32_t n = static_cast<int32_t>(a.size()), m = static_cast<int32_t>(b.size());
    int32_t pre = 0;
    while (pre < n && pre < m && a[pre] == b[pre])
        out.emplace_back(pre, pre), ++pre;
    int32_t suf = 0;
    while (suf < n - pre && suf < m - pre && a[n - 1 - suf] == b[m - 1 - suf])
        ++suf;
    const int32_t midA = n - pre - suf, midB = m - pre - suf;
    if (midA > 0 && midB > 0 &&
        !MyersPairs(a.data() + pre, midA, b.data() + pre, midB, pre, pre, out))
        MatcherPairs(a.data() + pre, midA, b.data() + pre, midB, pre, pre, out);
    for (int32_t s = suf; s > 0; --s)
        out.emplace_back(n - s, m - s);
    return out;
}

std::vector<Diff3Hunk> Diff3(const std::vector<uint64_t>& base, const std::vector<uint64_t>& local,
                             const std::vector<uint64_t>& remote,
                             const std::vector<bool>* baseBlank) {
    const int32_t nB = static_cast<int32_t>(base.size());
    const int32_t nL = static_cast<int32_t>(local.size());
    const int32_t nR = static_cast<int32_t>(remote.size());
    std::vector<int32_t> toLocal(nB, -1), toRemote(nB, -1);
    for (auto [b, l] : PairEqualLines(base, local))
        toLocal[b] = l;
    for (auto [b, r] : PairEqualLines(base, remote))
        toRemote[b] = r;

    std::vector<Diff3Hunk> hunks;
    int32_t iB = 0, iL = 0, iR = 0;
    for (;;) {
        if (iB < nB && toLocal[iB] == iL && toRemote[iB] == iR) {
            Diff3Hunk h{HunkKind::Stable, iB, iB, iL, iL, iR, iR};
            while (iB < nB && toLocal[iB] == iL && toRemote[iB] == iR)
                ++iB, ++iL, ++iR;
            h.baseEnd = iB, h.localEnd = iL, h.remoteEnd = iR;
            hunks.push_back(h);
            continue;
        }
        int32_t b = iB;
        while (b < nB && (toLocal[b] < 0 || toRemote[b] < 0))
            ++b;
        const int32_t eL = b < nB ? toLocal[b] : nL;
        const int32_t eR = b < nB ? toRemote[b] : nR;
        if (b == iB && eL == iL && eR == iR) break;
        Diff3Hunk h{HunkKind::Conflict, iB, b, iL, eL, iR, eR};
        const bool localSame = RangesEqual(base, iB, b, local, iL, eL);
        const bool remoteSame = RangesEqual(base, iB, b, remote, iR, eR);
        if (localSame && remoteSame)
            h.kind = HunkKind::Stable;
        else if (localSame)
            h.kind = HunkKind::TakeRemote;
        else if (remoteSame || RangesEqual(local, iL, eL, remote, iR, eR))
            h.kind = HunkKind::TakeLocal;
        hunks.push_back(h);
        iB = b, iL = eL, iR = eR;
    }
    if (baseBlank) JoinAcrossBlanks(hunks, *baseBlank);
    return hunks;
}

} // namespace quennet::merge3
