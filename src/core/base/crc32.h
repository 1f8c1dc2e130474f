// CRC-32 (IEEE 802.3, reflected polynomial 0xEDB88320) without final inversion: the register
// is both the token checksum and the line key, and the navigator's file checksum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quennet::base {

// Tables for one byte and several at a time: t[k][n] is the register after byte n and k zero
// bytes.
struct Crc32Slices {
    uint32_t t[8][256];
};
extern const Crc32Slices kCrc32Slices;

// The register after the bytes with a-z read as A-Z, eight at a time: token checksums ignore
// letter case, and a token's bytes are a parse's most frequent work.
uint32_t UpperCrc32(std::string_view bytes, uint32_t value);

inline uint32_t UpdateCrc32(const void* data, size_t length, uint32_t value) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < length; ++i)
        value = kCrc32Slices.t[0][(value ^ p[i]) & 0xFFu] ^ (value >> 8);
    return value;
}

inline uint32_t UpdateCrc32(std::string_view bytes, uint32_t value) {
    return UpdateCrc32(bytes.data(), bytes.size(), value);
}

} // namespace quennet::base
