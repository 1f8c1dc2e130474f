#include "render/json_writer.h"

#include <array>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quennet::render {

namespace {
// Length of a valid UTF-8 sequence starting at s[i], or 0.
size_t Utf8Length(std::string_view s, size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (c >= 0xF5) n = 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    return n;
}

// Bytes written as they are: printable ASCII but the quote and the backslash.
constexpr auto kPlain = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x80; ++c)
        plain[static_cast<size_t>(c)] = c != '"' && c != '\\';
    return plain;
}();

inline char* Put2(char* out, char a, char b) {
    out[0] = a;
    out[1] = b;
    return out + 2;
}
} // namespace

void JsonWriter::String(std::string_view s) {
    // Six bytes at most for each, the quotes, and one byte for the ":" of a key.
    Room(s.size() * 6 + 3);
    char* out = &buf_[len_];
    *out++ = '"';
    const char* p = s.data();
    const char* const end = p + s.size();
    while (p < end) {
        // Plain ASCII goes through in one piece.
        const char* plain = p;
#if defined(__SSE2__)
        while (end - plain >= 16) {
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(plain));
            // Control characters and bytes from 0x80 are below 0x20 as signed bytes.
            const __m128i special =
                _mm_or_si128(_mm_cmplt_epi8(b, _mm_set1_epi8(0x20)),
                             _mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8('"')),
                                          _mm_cmpeq_epi8(b, _mm_set1_epi8('\\'))));
            const auto bits = static_cast<uint32_t>(_mm_movemask_epi8(special));
            if (bits != 0) {
                plain += std::countr_zero(bits);
                break;
            }
            plain += 16;
        }
#endif
        while (plain < end && kPlain[static_cast<unsigned char>(*plain)])
            ++plain;
        std::memcpy(out, p, static_cast<size_t>(plain - p));
        out += plain - p;
        p = plain;
        if (p == end) break;
        const unsigned char c = static_cast<unsigned char>(*p);
        switch (c) {
        case '"': out = Put2(out, '\\', '"'); break;
        case '\\': out = Put2(out, '\\', '\\'); break;
        case '\n': out = Put2(out, '\\', 'n'); break;
        case '\r': out = Put2(out, '\\', 'r'); break;
        case '\t': out = Put2(out, '\\', 't'); break;
        default:
            // Control characters and bytes of no valid UTF-8 sequence are escaped.
            if (size_t n = c >= 0x80 ? Utf8Length(s, static_cast<size_t>(p - s.data())) : 0) {
                std::memcpy(out, p, n);
                out += n;
                p += n - 1;
            } else {
                static const char kHex[] = "0123456789abcdef";
                const char hex[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
                std::memcpy(out, hex, sizeof hex);
                out += sizeof hex;
            }
        }
        ++p;
    }
    *out++ = '"';
    len_ = static_cast<size_t>(out - &buf_[0]);
    if (len_ >= kBlock) Flush();
}

} // namespace quennet::render
