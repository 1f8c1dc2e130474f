// The value types of the binary form (TPF0) and the conversions its readers and writers share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quennet::forms {

enum BinaryValueType : int {
    kVaNull = 0,
    kVaList = 1,
    kVaInt8 = 2,
    kVaInt16 = 3,
    kVaInt32 = 4,
    kVaExtended = 5,
    kVaString = 6,
    kVaIdent = 7,
    kVaFalse = 8,
    kVaTrue = 9,
    kVaBinary = 10,
    kVaSet = 11,
    kVaLString = 12,
    kVaNil = 13,
    kVaCollection = 14,
    kVaSingle = 15,
    kVaCurrency = 16,
    kVaDate = 17,
    kVaWString = 18,
    kVaInt64 = 19,
    kVaUtf8String = 20,
    kVaUString = 21,
    kVaQWord = 22,
};

// The flags byte before a component ($F0 + flags).
enum FilerFlags : int { kFilerInherited = 1, kFilerChildPos = 2, kFilerInline = 4 };

// The 80-bit extended float of the binary form, little-endian, from and to a double.
std::string ExtendedBytes(double value);
double ExtendedValue(std::string_view tenBytes);

// Whether bytes are well-formed UTF-8 (no overlong forms, nothing past U+10FFFF).
bool IsUtf8(std::string_view text);

// The code points of UTF-8 text; a byte that starts no character is taken as Windows-1252.
std::vector<uint32_t> Utf8CodePoints(std::string_view text);

// The text as the model holds strings: Utf8CodePoints encoded again, with surrogate halves
// that make a pair joined, so that writing and reading it back gives the same text.
std::string NormalUtf8(std::string_view text);

} // namespace quennet::forms
