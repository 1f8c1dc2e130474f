// Reading choices: from stored values or options to what a parse is given.
#include "model/reading_settings.h"

#include <algorithm>

#include "model/source_model.h"
#include "model/target.h"

namespace quennet::model {

namespace {

std::string Trimmed(std::string_view s) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return std::string(s);
}

bool HoldsName(const std::vector<std::string>& list, std::string_view name) {
    return std::any_of(list.begin(), list.end(),
                       [name](const std::string& s) { return CompareNames(s, name) == 0; });
}

} // namespace

Reading ReadingOf(const ReadingChoice& choice) {
    Reading r;
    r.options.dialect = choice.dialect;
    r.options.includeDirs = choice.includeDirs;
    r.options.followIncludes = choice.followIncludes;
    if (CompareNames(choice.target, kAutoTarget) != 0) r.options.target = choice.target;
    r.options.targetSymbols = choice.targetSymbols;
    r.symbols = choice.symbols;
    return r;
}

const std::vector<std::string>& DefaultSymbolList() {
    return DefaultTarget(Dialect::Classic).Symbols;
}

ReadingChoice StoredReading(std::string_view dialect, std::string_view target,
                            const std::vector<std::string>& symbolList,
                            const std::vector<std::string>& includeDirs) {
    ReadingChoice c;
    c.dialect = DialectFromName(dialect).value_or(Dialect::Auto);
    if (const Target* t = FindTarget(target)) c.target = t->Name;

    std::vector<std::string> symbols;
    for (const auto& s : symbolList)
        if (std::string t = Trimmed(s); !t.empty()) symbols.push_back(std::move(t));
    const auto& defaults = DefaultSymbolList();
    c.targetSymbols = std::all_of(defaults.begin(), defaults.end(),
                                  [&](const std::string& d) { return HoldsName(symbols, d); });
    if (c.targetSymbols)
        std::erase_if(symbols, [&](const std::string& s) { return HoldsName(defaults, s); });
    c.symbols = std::move(symbols);

    for (const auto& d : includeDirs)
        if (std::string t = Trimmed(d);
            !t.empty() &&
            std::find(c.includeDirs.begin(), c.includeDirs.end(), t) == c.includeDirs.end())
            c.includeDirs.push_back(std::move(t));
    return c;
}

} // namespace quennet::model
