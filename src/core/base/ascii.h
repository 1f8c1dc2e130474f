// Letter case and identifier characters as Pascal reads them: only a-z and A-Z are letters, so a
// byte of a multi-byte character or of a code page never changes, whatever the C locale says.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quennet::base {

constexpr char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}
constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}
constexpr bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
constexpr bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
// A character of a Pascal identifier after its first.
constexpr bool IsIdentChar(char c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_';
}

// Eight bytes with a-z read as A-Z: each such byte loses 0x20; no sum carries into the next.
constexpr uint64_t UpperAscii8(uint64_t w) {
    const uint64_t low7 = w & 0x7F7F7F7F7F7F7F7Full;
    const uint64_t fromA = low7 + 0x1F1F1F1F1F1F1F1Full; // high bit: at least 'a'
    const uint64_t pastZ = low7 + 0x0505050505050505ull; // high bit: beyond 'z'
    return w ^ ((fromA & ~pastZ & ~w & 0x8080808080808080ull) >> 2);
}

inline std::string UpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = AsciiUpper(c);
    return out;
}

inline std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

inline bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

} // namespace quennet::base
