// Which reading of Pascal a parse follows. Lives below the parser so that the comparison path
// and the front ends can name it without including the parser.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quennet::base {
class ReadTextRelease;
}

namespace quennet::model {

// Classic is the Delphi 5 grammar exactly; Delphi and Fpc extend it. Auto is a request only:
// ResolveDialect turns it into Delphi or Fpc for a given file.
enum class Dialect { Classic, Delphi, Fpc, Auto };

// "classic", "delphi", "fpc", "auto" (letter case ignored); nullopt for anything else.
std::optional<Dialect> DialectFromName(std::string_view name);
const char* DialectName(Dialect dialect);

// Auto reads .pp and .lpr files and files with a {$MODE ...} directive as Fpc, others as Delphi.
// Any other request is returned as it is.
Dialect ResolveDialect(Dialect requested, std::string_view fileName, std::string_view text);

// How one text is to be read besides its compiler symbols.
struct ParseOptions {
    // Spelled out so that {dialect, fileName, includeDirs} needs no target.
    ParseOptions() = default;
    ParseOptions(Dialect reading, std::string file = {}, std::vector<std::string> dirs = {})
        : dialect(reading), fileName(std::move(file)), includeDirs(std::move(dirs)) {}

    Dialect dialect = Dialect::Classic; // never Auto when handed to Parse
    bool followIncludes = true; // false: {$I} directives are read as comments, as in classic
    bool targetSymbols = false; // see target
    std::string fileName;       // the file the text came from, for include files and notes
    std::vector<std::string> includeDirs;
    // Where the caller lets the parse give back the text it has passed; null: kept whole.
    base::ReadTextRelease* release = nullptr;
    // The compiler target ("fpc-win64"); empty: the dialect's own. Its constants always serve
    // {$IF}; its symbols come before the caller's only when targetSymbols is set, so callers
    // that pass the classic defaults themselves read as before.
    std::string target;
    // Whether the comparison pairs renamed and moved declarations: ByDialect does in the modern
    // readings only, so the classic one keeps its outputs.
    enum class Renames : uint8_t { ByDialect, On, Off } renames = Renames::ByDialect;
};

// The reading a user gets without options: the dialect by each file's name and text, and that
// dialect's target with its symbols. The command line starts from it, and so do the benchmarks
// that count what users would see.
inline ParseOptions DefaultReading() {
    ParseOptions reading(Dialect::Auto);
    reading.targetSymbols = true;
    return reading;
}

} // namespace quennet::model
