// --map: the line matching of the two whole texts, one "C|O|N line" per line. It needs only the
// lines' keys, not a comparison of the models.
#include <charconv>
#include <iostream>

#include "commands.h"
#include "diff/line_matcher.h"
#include "exit_codes.h"
#include "output_format.h"

namespace quennet::cli {

int WriteLineMap(std::vector<base::TLineRecord> a, std::vector<base::TLineRecord> b) {
    std::vector<diff::TMapEntry> map;
    diff::MatchLines(a, b, map);
    bool same = true;
    char block[1 << 16];
    size_t used = 0;
    for (const auto& e : map) {
        if (used > sizeof block - 16) {
            std::cout.write(block, static_cast<std::streamsize>(used));
            used = 0;
        }
        block[used++] = e.Kind == diff::Common ? 'C' : e.Kind == diff::OldOnly ? 'O' : 'N';
        block[used++] = ' ';
        used = static_cast<size_t>(std::to_chars(block + used, block + sizeof block, e.Line).ptr -
                                   block);
        block[used++] = '\n';
        same = same && e.Kind == diff::Common;
    }
    std::cout.write(block, static_cast<std::streamsize>(used));
    FlushStandardOutput();
    return same ? kExitEquivalent : kExitDifferent;
}

namespace {
const RegisterOutputFormat kMap({Output::Map,
                                 "map",
                                 0,
                                 {Command::Diff},
                                 nullptr,
                                 "the line map of the two whole files (C, O or N and a\n"
                                 "0-based line: new line for C and N, old line for O)"});
} // namespace

} // namespace quennet::cli
