// quennet-diff --display=inline|side-by-side OLD NEW, and --api OLD NEW: one pair shown in a
// terminal display or as API changes. --display=report hands over to the report command.
#include <iostream>

#include "commands.h"
#include "compare/compare_sources.h"
#include "display_options.h"
#include "io/source_file.h"

namespace quennet::cli {

namespace {

void WriteLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l + '\n';
    std::cout << out;
    std::cout.flush();
    if (!std::cout) throw std::runtime_error("cannot write to the standard output");
}

} // namespace

int RunDisplayCommand(std::vector<std::string> args) {
    std::vector<std::string> rest = args;
    DisplayRequest request = TakeDisplayOptions(rest, false);
    tree::PairOptions& pair = request.tree.pair;
    if (pair.api == tree::ApiMode::Off && pair.display.style == display::DisplayStyle::Report) {
        // Today's report, byte for byte: the report command parses the rest.
        return RunDiffCommand(std::move(rest));
    }
    pair.symbols = TakeDefines(rest);
    pair.dialect = TakeDialect(rest);
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (const auto& a : rest) {
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            throw UsageError("option '" + a + "' does not go with --display or --api");
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2)
        throw UsageError(files.size() < 2 ? "two file names are needed: OLD NEW"
                                          : "too many file names; expected OLD NEW");

    const std::string oldBytes = io::ReadFileBytes(files[0]);
    const std::string newBytes = io::ReadFileBytes(files[1]);
    const tree::UnitOutcome u =
        tree::CompareUnitTexts(oldBytes, newBytes, files[0], files[1], pair);
    std::vector<std::string> lines;
    if (pair.api != tree::ApiMode::Off) {
        lines = {"API changes for", "  " + files[0], "  " + files[1], ""};
        lines.insert(lines.end(), u.lines.begin(), u.lines.end());
        lines.push_back(api::ApiSummary(u.api));
    } else {
        lines = {"--- " + files[0], "+++ " + files[1]};
        if (!u.lines.empty()) lines.emplace_back();
        lines.insert(lines.end(), u.lines.begin(), u.lines.end());
        if (u.equivalent) lines.emplace_back(compare::kEquivalentSentence);
    }
    WriteLines(lines);
    if (request.failOnBreaking) return u.api.breaking > 0 ? 1 : 0;
    return u.equivalent ? 0 : 1;
}

} // namespace quennet::cli
