// The compiler-symbol options shared by every command that parses.
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

} // namespace quennet::cli
