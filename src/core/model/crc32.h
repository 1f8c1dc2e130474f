// CRC-32 (IEEE 802.3, reflected polynomial 0xEDB88320) without final inversion: the register
// is both the token checksum and the line key, and the navigator's file checksum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quennet::model {

extern const uint32_t kCrc32Table[256];

inline uint32_t UpdateCrc32(const void* data, size_t length, uint32_t value) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < length; ++i)
        value = kCrc32Table[(value ^ p[i]) & 0xFFu] ^ (value >> 8);
    return value;
}

inline uint32_t UpdateCrc32(std::string_view bytes, uint32_t value) {
    return UpdateCrc32(bytes.data(), bytes.size(), value);
}

} // namespace quennet::model
