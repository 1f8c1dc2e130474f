#include "render/json_writer.h"

#include <array>
#include <cstdio>

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
} // namespace

void JsonWriter::String(std::string_view s) {
    buf_ += '"';
    size_t i = 0;
    while (i < s.size()) {
        // Plain ASCII goes through in one piece.
        size_t plain = i;
        while (plain < s.size() && kPlain[static_cast<unsigned char>(s[plain])])
            ++plain;
        buf_.append(s.data() + i, plain - i);
        i = plain;
        if (i == s.size()) break;
        const unsigned char c = static_cast<unsigned char>(s[i]);
        switch (c) {
        case '"': buf_ += "\\\""; break;
        case '\\': buf_ += "\\\\"; break;
        case '\n': buf_ += "\\n"; break;
        case '\r': buf_ += "\\r"; break;
        case '\t': buf_ += "\\t"; break;
        default:
            // Control characters and bytes of no valid UTF-8 sequence are escaped.
            if (size_t n = c >= 0x80 ? Utf8Length(s, i) : 0) {
                buf_.append(s.data() + i, n);
                i += n - 1;
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\u%04x", c);
                buf_ += hex;
            }
        }
        ++i;
    }
    buf_ += '"';
    if (buf_.size() >= kBlock) Flush();
}

} // namespace quennet::render
