// quennet-diff --display=inline|side-by-side OLD NEW, and --api OLD NEW: one pair shown in a
// terminal display or as API changes. --display=report hands over to the report command.
#include <iostream>

#include "commands.h"
#include "diff/compare_sources.h"
#include "display_options.h"
#include "exit_codes.h"
#include "io/source_file.h"
#include "io/text_encoding.h"

namespace quennet::cli {

namespace {

void WriteLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l + '\n';
    std::cout << out;
    FlushStandardOutput();
}

} // namespace

int RunDisplayCommand(const CliOptions& opt) {
    DisplayRequest request = MakeDisplayRequest(opt);
    folders::PairOptions& pair = request.tree.pair;
    const std::string oldBytes = io::ReadSourceFile(opt.files[0]).Text;
    const std::string newBytes = io::ReadSourceFile(opt.files[1]).Text;
    const folders::UnitOutcome u =
        folders::CompareUnitTexts(oldBytes, newBytes, opt.Label(0), opt.Label(1), pair);
    std::vector<std::string> lines;
    if (pair.api != folders::ApiMode::Off) {
        lines = {"API changes for", "  " + opt.Label(0), "  " + opt.Label(1), ""};
        lines.insert(lines.end(), u.lines.begin(), u.lines.end());
        lines.push_back(diff::ApiSummary(u.api));
    } else {
        lines = {"--- " + opt.Label(0), "+++ " + opt.Label(1)};
        if (!u.lines.empty()) lines.emplace_back();
        lines.insert(lines.end(), u.lines.begin(), u.lines.end());
        if (u.equivalent) lines.emplace_back(diff::kEquivalentSentence);
    }
    WriteLines(lines);
    if (pair.api == folders::ApiMode::Off) WarnNewFormFindings(opt);
    int status = kExitEquivalent;
    if (request.failOnBreaking)
        status = u.api.breaking > 0 ? kExitDifferent : kExitEquivalent;
    else
        status = u.equivalent ? kExitEquivalent : kExitDifferent;
    // git stops at any status but 0; a difference is not a failure there.
    return opt.gitExternal && status == kExitDifferent ? kExitEquivalent : status;
}

} // namespace quennet::cli
