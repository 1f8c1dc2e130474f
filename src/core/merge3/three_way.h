// Three-way merge of Pascal sources by declaration: each declaration is paired across BASE,
// LOCAL and REMOTE by identity and decided as a whole; the text around the declarations, and
// any part whose structure is unsure, is merged line by line. Conflicts are written in git's
// diff3 form.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/dialect.h"

namespace quennet::merge3 {

struct ThreeWayInput {
    std::string bytes;
    std::string fileName; // picks the dialect and names the file in notes
    std::string label;    // the name on conflict markers
};

struct ThreeWayOptions {
    std::vector<std::string> symbols;
    model::Dialect dialect = model::Dialect::Auto;
    // Target, target symbols and include folders; dialect and file name are set per file.
    model::ParseOptions reading;
};

struct ThreeWayResult {
    std::string text; // LOCAL's BOM and line ends
    int32_t conflicts = 0;
    // Where a parse lost the structure, so that what follows was merged line by line.
    std::vector<std::string> notes;
    // Declarations the check of clean results found wrong and left as conflicts.
    std::vector<std::string> caught;
};

ThreeWayResult MergeThreeWay(const ThreeWayInput& base, const ThreeWayInput& local,
                             const ThreeWayInput& remote, const ThreeWayOptions& options = {});

// Throws when OUTPUT is BASE or REMOTE: only LOCAL, which the result replaces, may be written.
void RefuseOutputOverInputs(const std::string& output, const std::string& base,
                            const std::string& remote);

// Line merge of whole texts, no structure, in git merge-file's output form; lines both sides
// changed are still tried token by token.
ThreeWayResult MergeLines(const ThreeWayInput& base, const ThreeWayInput& local,
                          const ThreeWayInput& remote);

// The token texts of Pascal source (comments and blanks left out).
std::vector<std::string> PascalTokens(std::string_view text);

// What compiles in lines (without a byte-order mark): their tokens, then their compiler
// directives without blanks and upper-cased, which the scanner takes for comments.
std::vector<std::string> CodeOf(const std::vector<std::string>& lines);

} // namespace quennet::merge3
