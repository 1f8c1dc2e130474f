// Which character mapping a view uses to show a file's bytes, and the mapping itself. A view
// only ever holds UTF-8 (or, in an editor control, UTF-16); the bytes of the file never change
// through it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/text_encoding.h"

namespace quennet::io {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// True when the text is valid UTF-8 and holds at least one non-ASCII byte; otherwise the view
// shows each byte as one Windows-1252 character, as an 8-bit text is meant to be read.
bool ShowAsUtf8(const std::vector<std::string>& lines);

enum class ViewCharset { Utf8, Windows1252 };

// Text decoded from UTF-16 or marked as UTF-8 is UTF-8 whatever it holds; plain bytes as
// ShowAsUtf8 decides.
ViewCharset ViewCharsetOf(const std::vector<std::string>& lines, TextEncoding encoding);

// The character of a Windows-1252 byte. The five bytes the code page leaves unassigned (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) are the C1 controls of the same value, so every byte comes back.
uint32_t Windows1252Char(unsigned char byte);
// The byte of a character, or -1 when the code page has none.
int Windows1252Byte(uint32_t code);

// The bytes of a view's text. A character Windows-1252 has no byte for keeps its UTF-8 bytes,
// so that analysis still sees it and the view shows it again; saving refuses such text
// (FirstUnencodable).
std::string FromViewText(std::string_view text, ViewCharset charset);
// The UTF-8 a view shows for bytes of that charset.
std::string ToViewText(std::string_view bytes, ViewCharset charset);
// Where the byte at byteIndex of FromViewText(text) stands in the view's text: one byte may
// be shown by two or three.
size_t ViewOffset(std::string_view text, size_t byteIndex, ViewCharset charset);

// The UTF-16 units an editor control shows for bytes of that charset. UTF-8: a character is
// one unit, two beyond U+FFFF; a byte that starts no valid character is the one unit
// U+DC00 + byte, a lone surrogate that no valid UTF-8 decodes to, so every byte comes back.
// Windows-1252: one unit per byte.
std::u16string ToUtf16(std::string_view bytes, ViewCharset charset);
// The inverse. Paragraph and line separators (U+2029, U+2028) are line breaks, "\n"; a
// character the charset has no bytes for is "?".
std::string FromUtf16(std::u16string_view units, ViewCharset charset);
// How many bytes the units stand for: FromUtf16(units).size(). Each unit (or pair) has bytes
// of its own, so the bytes of a prefix of the units are a prefix of the bytes.
size_t ByteLength(std::u16string_view units, ViewCharset charset);
// Where a byte offset of FromUtf16(units) stands among the units: an offset inside a
// character stands at the character's start, one past the end at the end.
size_t Utf16Offset(std::u16string_view units, size_t byteOffset, ViewCharset charset);

struct Unencodable {
    size_t Line = 0;       // 0-based
    std::string Character; // its UTF-8 bytes
    uint32_t Code = 0;
};
// The character for a message: quoted with its code point, or the code point alone for a
// control or line break, which a terminal would act on or not show.
std::string DescribeUnencodable(const Unencodable& bad);
// The first character of a view's lines that the charset cannot write.
std::optional<Unencodable> FirstUnencodable(const std::vector<std::string>& viewLines,
                                            ViewCharset charset);
// Throws std::runtime_error naming the file, the line and the character when a save of these
// lines would have to change a character.
void RequireEncodable(const std::vector<std::string>& viewLines, ViewCharset charset,
                      const std::string& fileName);

} // namespace quennet::io
