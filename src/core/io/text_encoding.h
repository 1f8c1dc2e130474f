// How a source file's bytes are text: as they are (8-bit or UTF-8), UTF-8 behind a byte-order
// mark, or UTF-16 with a mark. Analysis and views see the text without the mark and UTF-16 as
// UTF-8; whatever is written from the file goes back in its encoding.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quennet::io {

struct FileIdentity;

enum class TextEncoding { Bytes, Utf8Bom, Utf16Le, Utf16Be };

struct DecodedText {
    std::string Text;
    TextEncoding Encoding = TextEncoding::Bytes;
};

// Throws std::runtime_error naming the file when it is not text: a NUL byte in its first
// 8 KB without a UTF-16 mark.
DecodedText DecodeSourceBytes(std::string_view bytes, const std::string& name);
// The same for bytes no longer needed, taken over without a copy where they need no decoding.
DecodedText DecodeSourceBytes(std::string&& bytes, const std::string& name);

// The inverse: the mark, then the text in its encoding. UTF-16 text that was not well formed
// (a lone surrogate) comes back as it was read.
std::string EncodeSourceText(std::string_view text, TextEncoding encoding);

// The UTF-8 bytes of a code point; surrogates get the three bytes of their value.
void AppendUtf8(std::string& out, uint32_t code);

// ReadFileBytes + DecodeSourceBytes.
DecodedText ReadSourceFile(const std::string& path, FileIdentity* identity = nullptr);

// A way to read a regular file again as parser text (CR LF lines), refusing with an error
// naming the file when it is no longer the file identity was taken of; empty when the file
// cannot be read again (a pipe, the standard input).
std::function<std::string()> ReaderOfUnchanged(const std::string& path,
                                               const FileIdentity& identity);

} // namespace quennet::io
