// Choosing how a view shows a file's bytes.
#include "io/view_encoding.h"

namespace quennet::io {

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        if (b0 < 0x80) {
            ++i;
            continue;
        }
        size_t extra;
        unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            extra = 1;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            extra = 2;
            if (b0 == 0xE0)
                lo = 0xA0; // overlong
            else if (b0 == 0xED)
                hi = 0x9F; // surrogates
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            extra = 3;
            if (b0 == 0xF0)
                lo = 0x90; // overlong
            else if (b0 == 0xF4)
                hi = 0x8F; // above U+10FFFF
        } else {
            return false;
        }
        if (n - i <= extra) return false;
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        if (b1 < lo || b1 > hi) return false;
        for (size_t k = 2; k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(bytes[i + k]);
            if (b < 0x80 || b > 0xBF) return false;
        }
        i += extra + 1;
    }
    return true;
}

bool ShowAsUtf8(const std::vector<std::string>& lines) {
    bool nonAscii = false;
    for (const auto& line : lines) {
        if (!IsValidUtf8(line)) return false;
        if (!nonAscii)
            for (char c : line)
                if (static_cast<unsigned char>(c) >= 0x80) {
                    nonAscii = true;
                    break;
                }
    }
    return nonAscii;
}

} // namespace quennet::io
