// Dialect names and the automatic choice.
#include "model/dialect.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "base/ascii.h"

namespace quennet::model {

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// A "{$MODE" directive anywhere in the text; letter case and blanks after "$" do not matter.
bool HasModeDirective(std::string_view text) {
    for (size_t at = text.find("{$"); at != std::string_view::npos; at = text.find("{$", at + 2)) {
        if (Lower(text.substr(at + 2, 4)) == "mode" &&
            (at + 6 >= text.size() || !std::isalnum(static_cast<unsigned char>(text[at + 6])) ||
             Lower(text.substr(at + 2, 10)) == "modeswitch"))
            return true;
    }
    return false;
}

// Where a lower-case needle first stands in text from `from` on, in any letter case (ASCII);
// npos if nowhere. Horspool's skips read a few bytes of a large file instead of all.
size_t FindNoCase(std::string_view text, std::string_view needle, size_t from) {
    const size_t n = needle.size();
    if (n == 0 || text.size() < n) return std::string_view::npos;
    std::array<size_t, 256> skip;
    skip.fill(n);
    for (size_t i = 0; i + 1 < n; ++i) {
        skip[static_cast<unsigned char>(needle[i])] = n - 1 - i;
        skip[static_cast<unsigned char>(base::AsciiUpper(needle[i]))] = n - 1 - i;
    }
    for (size_t at = from; at + n <= text.size();
         at += skip[static_cast<unsigned char>(text[at + n - 1])]) {
        size_t i = n;
        while (i > 0 && base::AsciiLower(text[at + i - 1]) == needle[i - 1])
            --i;
        if (i == 0) return at;
    }
    return std::string_view::npos;
}

// A condition on Free Pascal's version in a text that never asks whether it is read by Free
// Pascal: no other compiler takes it (Lazarus units whose mode comes from their package).
bool TestsFpcVersionOnly(std::string_view text) {
    if (FindNoCase(text, "fpc_fullversion", 0) == std::string_view::npos) return false;
    for (std::string_view guard : {"ifdef fpc", "ifndef fpc", "defined(fpc)", "defined (fpc)"}) {
        for (size_t at = FindNoCase(text, guard, 0); at != std::string_view::npos;
             at = FindNoCase(text, guard, at + 1)) {
            const size_t end = at + guard.size();
            if (end >= text.size() || !base::IsIdentChar(text[end])) return false;
        }
    }
    return true;
}

} // namespace

std::optional<Dialect> DialectFromName(std::string_view name) {
    const std::string lower = Lower(name);
    if (lower == "classic") return Dialect::Classic;
    if (lower == "delphi") return Dialect::Delphi;
    if (lower == "fpc") return Dialect::Fpc;
    if (lower == "auto") return Dialect::Auto;
    return std::nullopt;
}

const char* DialectName(Dialect dialect) {
    switch (dialect) {
    case Dialect::Classic: return "classic";
    case Dialect::Delphi: return "delphi";
    case Dialect::Fpc: return "fpc";
    case Dialect::Auto: return "auto";
    }
    return "auto";
}

Dialect ResolveDialect(Dialect requested, std::string_view fileName, std::string_view text) {
    if (requested != Dialect::Auto) return requested;
    const std::string lowerName = Lower(fileName);
    if (EndsWith(lowerName, ".pp") || EndsWith(lowerName, ".lpr") || HasModeDirective(text) ||
        TestsFpcVersionOnly(text))
        return Dialect::Fpc;
    return Dialect::Delphi;
}

} // namespace quennet::model
