// The tables are computed at compile time from the reflected polynomial.
#include "base/crc32.h"

#include "base/ascii.h"

namespace quennet::base {
namespace {
constexpr Crc32Slices MakeSlices() {
    Crc32Slices c{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t v = n;
        for (int k = 0; k < 8; ++k)
            v = (v & 1u) ? 0xEDB88320u ^ (v >> 1) : v >> 1;
        c.t[0][n] = v;
    }
    for (int k = 1; k < 8; ++k)
        for (uint32_t n = 0; n < 256; ++n)
            c.t[k][n] = (c.t[k - 1][n] >> 8) ^ c.t[0][c.t[k - 1][n] & 0xFFu];
    return c;
}
} // namespace

constexpr Crc32Slices kCrc32Slices = MakeSlices();

uint32_t UpperCrc32(std::string_view bytes, uint32_t value) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t n = bytes.size();
    const auto& t = kCrc32Slices.t;
    // Eight bytes a step: names run long.
    for (; n >= 8; p += 8, n -= 8) {
        const uint64_t w =
            UpperAscii8(uint64_t{p[0]} | uint64_t{p[1]} << 8 | uint64_t{p[2]} << 16 |
                        uint64_t{p[3]} << 24 | uint64_t{p[4]} << 32 | uint64_t{p[5]} << 40 |
                        uint64_t{p[6]} << 48 | uint64_t{p[7]} << 56);
        const uint32_t lo = value ^ static_cast<uint32_t>(w);
        const auto hi = static_cast<uint32_t>(w >> 32);
        value = t[7][lo & 0xFFu] ^ t[6][(lo >> 8) & 0xFFu] ^ t[5][(lo >> 16) & 0xFFu] ^
                t[4][lo >> 24] ^ t[3][hi & 0xFFu] ^ t[2][(hi >> 8) & 0xFFu] ^
                t[1][(hi >> 16) & 0xFFu] ^ t[0][hi >> 24];
    }
    if (n >= 4) {
        uint32_t w =
            uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
        // Each byte below 0x80 from 'a' to 'z' loses 0x20; no sum carries into the next byte.
        const uint32_t low7 = w & 0x7F7F7F7Fu;
        const uint32_t fromA = low7 + 0x1F1F1F1Fu; // high bit: at least 'a'
        const uint32_t pastZ = low7 + 0x05050505u; // high bit: beyond 'z'
        w ^= (fromA & ~pastZ & ~w & 0x80808080u) >> 2;
        value ^= w;
        value = t[3][value & 0xFFu] ^ t[2][(value >> 8) & 0xFFu] ^ t[1][(value >> 16) & 0xFFu] ^
                t[0][value >> 24];
        p += 4;
        n -= 4;
    }
    for (; n > 0; ++p, --n) {
        const unsigned char b =
            static_cast<unsigned char>(*p - 'a') < 26u ? static_cast<unsigned char>(*p - 32) : *p;
        value = t[0][(value ^ b) & 0xFFu] ^ (value >> 8);
    }
    return value;
}

} // namespace quennet::base
