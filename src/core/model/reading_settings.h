// How a comparison reads its files, as a user chose it: dialect, compiler target, symbols and
// include folders. The command line and the window's stored settings both pass through here,
// so the two read a file alike.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/dialect.h"

namespace quennet::model {

struct ReadingChoice {
    Dialect dialect = Dialect::Auto;
    std::string target;                   // a target's name; empty or "auto": the dialect's own
    bool targetSymbols = true;            // false: only `symbols` are defined
    std::vector<std::string> symbols;     // defined besides the target's
    std::vector<std::string> includeDirs; // searched in order after the including file's folder
    bool followIncludes = true;
};

struct Reading {
    ParseOptions options; // fileName left empty: it is each file's own
    std::vector<std::string> symbols;
};

// An unknown target name is passed on, for the parse to refuse.
Reading ReadingOf(const ReadingChoice& choice);

// The choice offered for "the dialect's own target, per file".
inline constexpr char kAutoTarget[] = "auto";

// The window's stored symbol list on a first start: the classic compiler's own symbols.
const std::vector<std::string>& DefaultSymbolList();

// The window's stored values read as a choice. Unknown dialect and target names read as auto.
// A symbol list that holds every default symbol has them stand for the target's symbols, the
// rest added on top (so the first-start list reads a Delphi 12 file with Delphi 12's symbols);
// a list without them is the whole set, as the user wrote it. Blank entries and repeated
// folders are dropped.
ReadingChoice StoredReading(std::string_view dialect, std::string_view target,
                            const std::vector<std::string>& symbolList,
                            const std::vector<std::string>& includeDirs);

} // namespace quennet::model
