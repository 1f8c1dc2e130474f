// The table is computed at compile time from the reflected polynomial.
#include "model/crc32.h"

#include <array>

namespace quennet::model {
namespace {
constexpr std::array<uint32_t, 256> MakeTable() {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[n] = c;
    }
    return t;
}
constexpr auto kTable = MakeTable();
} // namespace

const uint32_t kCrc32Table[256] = {
#define Q(i) kTable[(i)]
#define Q4(i) Q(i), Q((i) + 1), Q((i) + 2), Q((i) + 3)
#define Q16(i) Q4(i), Q4((i) + 4), Q4((i) + 8), Q4((i) + 12)
#define Q64(i) Q16(i), Q16((i) + 16), Q16((i) + 32), Q16((i) + 48)
    Q64(0), Q64(64), Q64(128), Q64(192)
#undef Q64
#undef Q16
#undef Q4
#undef Q
};

} // namespace quennet::model
