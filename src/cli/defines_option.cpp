// The compiler-symbol and dialect options shared by every command that parses.
#include "commands.h"

#include <algorithm>

namespace quennet::cli {

std::vector<std::string> TakeDefines(std::vector<std::string>& args) {
    bool defaults = true;
    std::vector<std::string> extra;
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--no-default-defines") {
            defaults = false;
        } else if (a == "-D" || a == "--define") {
            if (i + 1 >= args.size()) throw UsageError("option " + a + " needs a symbol");
            extra.push_back(args[++i]);
        } else if (a.size() > 2 && a.rfind("-D", 0) == 0) {
            extra.push_back(a.substr(2));
        } else {
            rest.push_back(a);
        }
    }
    args = std::move(rest);
    std::vector<std::string> symbols;
    if (defaults) symbols = {"VER130", "WIN32", "CPU386"};
    symbols.insert(symbols.end(), extra.begin(), extra.end());
    return symbols;
}

model::Dialect TakeDialect(std::vector<std::string>& args) {
    model::Dialect dialect = model::Dialect::Auto;
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--dialect") {
            rest.push_back(args[i]);
            continue;
        }
        if (i + 1 >= args.size()) throw UsageError("option --dialect needs a value");
        auto named = model::DialectFromName(args[++i]);
        if (!named)
            throw UsageError("unknown dialect '" + args[i] +
                             "'; expected classic, delphi, fpc or auto");
        dialect = *named;
    }
    args = std::move(rest);
    return dialect;
}

} // namespace quennet::cli
