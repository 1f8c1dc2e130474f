#include "diff/line_matcher_literal.h"

#include <algorithm>

namespace quennet::diff {

using base::TLineRecord;

namespace {

struct Range {
    int Lo1, Hi1, Lo2, Hi2;
    int RunLength; // > 0: a common run of that length starting at new index Lo2, not a range
};

} // namespace

std::vector<TMapEntry> MatchLinesLiteral(const std::vector<TLineRecord>& a,
                                         const std::vector<TLineRecord>& b) {
    std::vector<TMapEntry> out;
    // Recursion as an explicit stack: left range, run, right range.
    std::vector<Range> work{
        {0, static_cast<int>(a.size()) - 1, 0, static_cast<int>(b.size()) - 1, 0}};
    while (!work.empty()) {
        const Range r = work.back();
        work.pop_back();
        if (r.RunLength > 0) {
            for (int k = 0; k < r.RunLength; ++k)
                out.push_back({Common, b[r.Lo2 + k].Line});
            continue;
        }
        const int len1 = r.Hi1 - r.Lo1 + 1, len2 = r.Hi2 - r.Lo2 + 1;
        int best = 0, bestA = 0, bestB = 0;
        auto diagonal = [&](int i, int j, int n) {
            int run = 0;
            for (int k = 0; k <= n; ++k) {
                if (k < n && a[i + k].Key == b[j + k].Key) {
                    ++run;
                    continue;
                }
                if (run > best) {
                    best = run;
                    bestA = i + k - run;
                    bestB = j + k - run;
                }
                run = 0;
            }
        };
        for (int d = 0; d < len2; ++d) {
            const int n = std::min(len1, len2 - d);
            if (n <= best) break;
            diagonal(r.Lo1, r.Lo2 + d, n);
        }
        for (int d = 1; d < len1; ++d) {
            const int n = std::min(len1 - d, len2);
            if (n <= best) break;
            diagonal(r.Lo1 + d, r.Lo2, n);
        }
        if (best == 0) {
            for (int i = r.Lo1; i <= r.Hi1; ++i)
                out.push_back({OldOnly, a[i].Line});
            for (int j = r.Lo2; j <= r.Hi2; ++j)
                out.push_back({NewOnly, b[j].Line});
            continue;
        }
        work.push_back({bestA + best, r.Hi1, bestB + best, r.Hi2, 0});
        work.push_back({0, 0, bestB, 0, best});
        work.push_back({r.Lo1, bestA - 1, r.Lo2, bestB - 1, 0});
    }
    return out;
}

} // namespace quennet::diff
