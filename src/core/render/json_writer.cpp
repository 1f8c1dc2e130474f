#include "render/json_writer.h"

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
} // namespace

void JsonWriter::String(std::string_view s) {
    out_ << '"';
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char buf[8];
        switch (c) {
        case '"': out_ << "\\\""; break;
        case '\\': out_ << "\\\\"; break;
        case '\n': out_ << "\\n"; break;
        case '\r': out_ << "\\r"; break;
        case '\t': out_ << "\\t"; break;
        default:
            // Control characters and bytes of no valid UTF-8 sequence are escaped.
            if (c >= 0x20 && c < 0x80) {
                out_ << static_cast<char>(c);
            } else if (size_t n = c >= 0x80 ? Utf8Length(s, i) : 0) {
                out_ << s.substr(i, n);
                i += n - 1;
            } else {
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out_ << buf;
            }
        }
    }
    out_ << '"';
}

} // namespace quennet::render
