// Fuzz target: the line matcher against its literal form. Each byte is one line key from a
// small alphabet, or repeats the previous key, so runs of repeated lines come up often; the
// first byte sets the alphabet and where the old lines end. Every map must pair lines of equal
// keys in order; the literal form, cubic at worst, checks the map itself on small inputs.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "diff/line_matcher.h"
#include "diff/line_matcher_literal.h"
#include "fuzz_support.h"

namespace quennet::fuzz {

inline int LineMatcherFuzzOne(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint32_t alphabet = 1 + data[0] % 8;
    const size_t cut = 1 + (size - 1) * data[1] / 256;
    std::vector<base::TLineRecord> sides[2];
    // The matcher's own search takes its hashing path above about 48 x 48 lines, so 200 lines
    // reach it with room to recurse; the time of an execution grows with the square of this.
    constexpr size_t kMaxLines = 200;
    constexpr size_t kLiteralCells = 128 * 128;
    for (size_t i = 2; i < size; ++i) {
        auto& side = sides[i < cut ? 0 : 1];
        const uint8_t b = data[i];
        const size_t copies = b >= 0xF0 && !side.empty() ? 2 + (b & 0x0F) * 3 : 1;
        const uint32_t key = b >= 0xF0 && !side.empty() ? side.back().Key : b % alphabet;
        for (size_t k = 0; k < copies && side.size() < kMaxLines; ++k) {
            const int32_t line = side.empty() ? b % 3 : side.back().Line + 1 + (b & 1);
            side.push_back({key, line, (b & 2) != 0});
        }
    }
    std::vector<diff::TMapEntry> map{{diff::Common, 99}};
    diff::MatchLines(sides[0], sides[1], map);
    if (sides[0].size() * sides[1].size() <= kLiteralCells)
        Require(map == diff::MatchLinesLiteral(sides[0], sides[1]));

    // Lines in order on both sides, common ones of equal keys; the flags mark exactly the
    // lines the map leaves on one side.
    size_t i = 0, j = 0;
    for (const auto& e : map) {
        if (e.Kind != diff::NewOnly) {
            Require(i < sides[0].size());
            Require(sides[0][i].Unmatched == (e.Kind == diff::OldOnly));
            if (e.Kind == diff::OldOnly) Require(e.Line == sides[0][i].Line);
        }
        if (e.Kind != diff::OldOnly) {
            Require(j < sides[1].size() && e.Line == sides[1][j].Line);
            Require(sides[1][j].Unmatched == (e.Kind == diff::NewOnly));
        }
        if (e.Kind == diff::Common) Require(sides[0][i].Key == sides[1][j].Key);
        if (e.Kind != diff::NewOnly) ++i;
        if (e.Kind != diff::OldOnly) ++j;
    }
    Require(i == sides[0].size() && j == sides[1].size());
    return 0;
}

} // namespace quennet::fuzz

#ifndef QUENNET_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return quennet::fuzz::LineMatcherFuzzOne(data, size);
}
#endif
