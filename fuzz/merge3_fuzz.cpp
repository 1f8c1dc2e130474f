// Fuzz target: the three-way merge on three variants of one text (the input, and two copies
// with lines dropped, repeated, moved or swapped, chosen by the input's own bytes). The merge
// must end; when both sides are the same the result is that side, conflict-free; when one
// side is the base the result is the other side; and a clean result keeps the guarantee (each
// declaration one of its versions or their merge).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "io/source_file.h"
#include "merge3/merge_guarantee.h"
#include "merge3/three_way.h"

namespace quennet::fuzz {

// A small generator, so the edits follow from the input and a failure replays.
struct Steps {
    uint64_t state;
    uint32_t Next(uint32_t bound) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return bound ? static_cast<uint32_t>((state >> 33) % bound) : 0;
    }
};

inline std::vector<std::string> Mutate(std::vector<std::string> lines, Steps& steps) {
    const uint32_t edits = 1 + steps.Next(4);
    for (uint32_t e = 0; e < edits && !lines.empty(); ++e) {
        const uint32_t n = static_cast<uint32_t>(lines.size());
        const uint32_t at = steps.Next(n), len = 1 + steps.Next(std::min<uint32_t>(n - at, 8));
        auto first = lines.begin() + at;
        switch (steps.Next(4)) {
        case 0: lines.erase(first, first + len); break;
        case 1: lines.insert(first, lines[steps.Next(n)]); break;
        case 2: { // move a block elsewhere
            std::vector<std::string> block(first, first + len);
            lines.erase(first, first + len);
            const uint32_t to = steps.Next(static_cast<uint32_t>(lines.size()) + 1);
            lines.insert(lines.begin() + to, block.begin(), block.end());
            break;
        }
        default: lines[at] = lines[steps.Next(n)] + " ;"; break;
        }
    }
    return lines;
}

inline std::string Join(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines)
        s += l + "\n";
    return s;
}

inline std::vector<std::string> LinesWithoutBom(const std::string& text) {
    std::string_view v = text;
    if (v.starts_with("\xEF\xBB\xBF")) v.remove_prefix(3);
    return io::SplitLines(v);
}

inline int Merge3FuzzOne(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    uint64_t seed = 1469598103934665603ull;
    for (unsigned char c : bytes)
        seed = (seed ^ c) * 1099511628211ull;
    Steps steps{seed};
    const std::vector<std::string> lines = LinesWithoutBom(bytes);
    const std::string base = Join(lines);
    const std::string local = Join(Mutate(lines, steps));
    const std::string remote = Join(Mutate(lines, steps));
    merge3::ThreeWayOptions options;
    options.symbols = {"VER130", "WIN32", "CPU386"};
    auto merge3 = [&](const std::string& b, const std::string& l, const std::string& r) {
        return merge3::MergeThreeWay({b, "base.pas", "BASE"}, {l, "local.pas", "LOCAL"},
                                     {r, "remote.pas", "REMOTE"}, options);
    };

    merge3::ThreeWayResult any = merge3(base, local, remote);
    Require(any.conflicts >= 0);
    if (any.conflicts == 0) {
        const std::vector<std::string> versions[3] = {LinesWithoutBom(base), LinesWithoutBom(local),
                                                      LinesWithoutBom(remote)};
        Require(
            merge3::CheckMergeGuarantee(versions, LinesWithoutBom(any.text), "local.pas", options)
                .empty());
    }
    merge3::ThreeWayResult same = merge3(base, local, local);
    Require(same.conflicts == 0 && LinesWithoutBom(same.text) == LinesWithoutBom(local));
    merge3::ThreeWayResult oneSided = merge3(base, base, remote);
    Require(oneSided.conflicts == 0 && LinesWithoutBom(oneSided.text) == LinesWithoutBom(remote));
    return 0;
}

} // namespace quennet::fuzz

#ifndef QUENNET_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return quennet::fuzz::Merge3FuzzOne(data, size);
}
#endif
