// Three-way line merging: pairs of equal lines between two versions, and the hunks of a
// three-way merge built on the pairs of BASE with each side.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace quennet::merge3 {

using LinePairs = std::vector<std::pair<int32_t, int32_t>>;

// Equal lines of a and b (by key), ascending in both: a shortest edit script when the
// difference is moderate, the line matcher's pairing beyond that.
LinePairs PairEqualLines(const std::vector<uint64_t>& a, const std::vector<uint64_t>& b);

enum class HunkKind : uint8_t { Stable, TakeLocal, TakeRemote, Conflict };

// Half-open ranges of each version. For Stable all three hold equal lines.
struct Diff3Hunk {
    HunkKind kind = HunkKind::Stable;
    int32_t base = 0, baseEnd = 0;
    int32_t local = 0, localEnd = 0;
    int32_t remote = 0, remoteEnd = 0;
};

// The hunks cover the three versions from start to end, in order. Insertions of the two
// sides that only blank lines of BASE keep apart could as well touch (which side of a blank
// line an insertion goes is a guess of the pairing): with baseBlank given, they are one
// conflict.
std::vector<Diff3Hunk> Diff3(const std::vector<uint64_t>& base, const std::vector<uint64_t>& local,
                             const std::vector<uint64_t>& remote,
                             const std::vector<bool>* baseBlank = nullptr);

} // namespace quennet::merge3
