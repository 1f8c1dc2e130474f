// Choosing how a view shows a file's bytes, and Windows-1252 both ways.
#include "io/view_encoding.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>

namespace quennet::io {

namespace {

// Characters of the bytes 0x80 to 0x9F; the unassigned ones keep their own value.
constexpr std::array<uint16_t, 32> kHighChars = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct Utf8Char {
    uint32_t Code = 0;
    size_t Length = 1;
    bool Valid = false; // otherwise Code is the lone byte
};

Utf8Char CharAt(std::string_view text, size_t i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) return {b0, 1, true};
    const size_t n = b0 >= 0xF0 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC0 ? 2 : 1;
    if (n == 1 || i + n > text.size() || !IsValidUtf8(text.substr(i, n))) return {b0, 1, false};
    uint32_t code = b0 & (0x7F >> n);
    for (size_t k = 1; k < n; ++k)
        code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    return {code, n, true};
}

// How many bytes of the file a character of the view stands for.
size_t FileBytesOf(const Utf8Char& c) {
    return c.Valid && Windows1252Byte(c.Code) < 0 ? c.Length : 1;
}

} // namespace

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

ViewCharset ViewCharsetOf(const std::vector<std::string>& lines, TextEncoding encoding) {
    if (encoding != TextEncoding::Bytes) return ViewCharset::Utf8;
    return ShowAsUtf8(lines) ? ViewCharset::Utf8 : ViewCharset::Windows1252;
}

uint32_t Windows1252Char(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighChars[byte - 0x80] : byte;
}

int Windows1252Byte(uint32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code < 0x100)) return static_cast<int>(code);
    for (size_t i = 0; i < kHighChars.size(); ++i)
        if (kHighChars[i] == code) return static_cast<int>(0x80 + i);
    return -1;
}

std::string ToViewText(std::string_view bytes, ViewCharset charset) {
    if (charset == ViewCharset::Utf8) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (size_t i = 0; i < bytes.size();) {
        // A character typed that has no byte was kept as UTF-8; it shows as itself again.
        const Utf8Char c = CharAt(bytes, i);
        if (FileBytesOf(c) > 1) {
            out.append(bytes.substr(i, c.Length));
            i += c.Length;
        } else {
            AppendUtf8(out, Windows1252Char(static_cast<unsigned char>(bytes[i++])));
        }
    }
    return out;
}

std::string FromViewText(std::string_view text, ViewCharset charset) {
    if (charset == ViewCharset::Utf8) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const Utf8Char c = CharAt(text, i);
        if (FileBytesOf(c) == 1)
            out += c.Valid ? static_cast<char>(Windows1252Byte(c.Code)) : text[i];
        else
            out.append(text.substr(i, c.Length));
        i += c.Length;
    }
    return out;
}

size_t ViewOffset(std::string_view text, size_t byteIndex, ViewCharset charset) {
    if (charset == ViewCharset::Utf8) return byteIndex;
    size_t i = 0, fileBytes = 0;
    while (i < text.size()) {
        const Utf8Char c = CharAt(text, i);
        fileBytes += FileBytesOf(c);
        if (fileBytes > byteIndex) break;
        i += c.Length;
    }
    return i;
}

namespace {

constexpr char16_t kEscapedByteBase = 0xDC00;

bool IsEscapedByte(char16_t u) {
    return u >= kEscapedByteBase + 0x80 && u <= kEscapedByteBase + 0xFF;
}

bool IsPairAt(std::u16string_view units, size_t k) {
    return units[k] >= 0xD800 && units[k] <= 0xDBFF && k + 1 < units.size() &&
           units[k + 1] >= 0xDC00 && units[k + 1] <= 0xDFFF;
}

struct UnitWidth {
    size_t Bytes;
    size_t Units; // two for a surrogate pair
};

// What FromUtf16 writes for the unit (or pair) at units[k].
UnitWidth WidthAt(std::u16string_view units, size_t k, ViewCharset charset) {
    if (IsPairAt(units, k)) return {charset == ViewCharset::Utf8 ? size_t{4} : size_t{1}, 2};
    const char16_t u = units[k];
    if (charset == ViewCharset::Windows1252 || u < 0x80 || (u >= 0xD800 && u <= 0xDFFF) ||
        u == 0x2028 || u == 0x2029)
        return {1, 1};
    return {u < 0x800 ? size_t{2} : size_t{3}, 1};
}

} // namespace

std::u16string ToUtf16(std::string_view bytes, ViewCharset charset) {
    std::u16string out;
    out.reserve(bytes.size());
    if (charset == ViewCharset::Windows1252) {
        for (char b : bytes)
            out += static_cast<char16_t>(Windows1252Char(static_cast<unsigned char>(b)));
        return out;
    }
    for (size_t i = 0; i < bytes.size();) {
        const Utf8Char c = CharAt(bytes, i);
        if (!c.Valid) {
            out += static_cast<char16_t>(kEscapedByteBase + c.Code);
        } else if (c.Code >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c.Code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c.Code - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c.Code);
        }
        i += c.Length;
    }
    return out;
}

std::string FromUtf16(std::u16string_view units, ViewCharset charset) {
    std::string out;
    out.reserve(units.size());
    for (size_t k = 0; k < units.size(); ++k) {
        const char16_t u = units[k];
        if (u == 0x2028 || u == 0x2029) {
            out += '\n';
            continue;
        }
        const bool pair = IsPairAt(units, k);
        if (charset == ViewCharset::Windows1252) {
            const int b = pair ? -1 : Windows1252Byte(u);
            out += b < 0 ? '?' : static_cast<char>(b);
        } else if (pair) {
            AppendUtf8(out, 0x10000 + ((uint32_t{u} - 0xD800) << 10) + (units[k + 1] - 0xDC00u));
        } else if (IsEscapedByte(u)) {
            out += static_cast<char>(u - kEscapedByteBase);
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out += '?';
        } else {
            AppendUtf8(out, u);
        }
        if (pair) ++k;
    }
    return out;
}

size_t ByteLength(std::u16string_view units, ViewCharset charset) {
    size_t bytes = 0;
    for (size_t k = 0; k < units.size();) {
        const UnitWidth w = WidthAt(units, k, charset);
        bytes += w.Bytes;
        k += w.Units;
    }
    return bytes;
}

size_t Utf16Offset(std::u16string_view units, size_t byteOffset, ViewCharset charset) {
    size_t k = 0, bytes = 0;
    while (k < units.size()) {
        const UnitWidth w = WidthAt(units, k, charset);
        if (bytes + w.Bytes > byteOffset) break;
        bytes += w.Bytes;
        k += w.Units;
    }
    return k;
}

std::optional<Unencodable> FirstUnencodable(const std::vector<std::string>& viewLines,
                                            ViewCharset charset) {
    if (charset == ViewCharset::Utf8) return std::nullopt;
    for (size_t line = 0; line < viewLines.size(); ++line) {
        const std::string& text = viewLines[line];
        for (size_t i = 0; i < text.size();) {
            const Utf8Char c = CharAt(text, i);
            if (FileBytesOf(c) > 1) return Unencodable{line, text.substr(i, c.Length), c.Code};
            i += c.Length;
        }
    }
    return std::nullopt;
}

std::string DescribeUnencodable(const Unencodable& bad) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", bad.Code);
    const bool invisible = bad.Code < 0x20 || (bad.Code >= 0x7F && bad.Code < 0xA0) ||
                           bad.Code == 0x2028 || bad.Code == 0x2029;
    return invisible ? std::string(code) : "\"" + bad.Character + "\" (" + code + ")";
}

void RequireEncodable(const std::vector<std::string>& viewLines, ViewCharset charset,
                      const std::string& fileName) {
    const std::optional<Unencodable> bad = FirstUnencodable(viewLines, charset);
    if (!bad) return;
    throw std::runtime_error("Cannot save \"" + fileName + "\": line " +
                             std::to_string(bad->Line + 1) + " holds " + DescribeUnencodable(*bad) +
                             ", which its encoding, Windows-1252, has no byte for");
}

} // namespace quennet::io
