// Dialect names and the automatic choice.
#include "model/dialect.h"

#include <algorithm>
#include <cctype>

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

// A condition on Free Pascal's version in a text that never asks whether it is read by Free
// Pascal: no other compiler takes it (Lazarus units whose mode comes from their package).
bool TestsFpcVersionOnly(std::string_view text) {
    const std::string lower = Lower(text);
    if (lower.find("fpc_fullversion") == std::string::npos) return false;
    for (const char* guard : {"ifdef fpc", "ifndef fpc", "defined(fpc)", "defined (fpc)"}) {
        for (size_t at = lower.find(guard); at != std::string::npos;
             at = lower.find(guard, at + 1)) {
            const size_t end = at + std::string_view(guard).size();
            if (end >= lower.size() ||
                !(std::isalnum(static_cast<unsigned char>(lower[end])) || lower[end] == '_'))
                return false;
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
