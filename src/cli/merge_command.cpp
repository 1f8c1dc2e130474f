// quennet-diff --merge BASE LOCAL REMOTE [-o OUTPUT]: the three-way merge by declarations.
// Exit status: 0 clean, 1 with conflicts, 2 trouble. Its options are read here alone.
#include "commands.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "io/atomic_file.h"
#include "io/source_file.h"
#include "merge/three_way.h"

namespace quennet::cli {

namespace {

const char kMergeUsage[] =
    "Usage: quennet-diff --merge BASE LOCAL REMOTE [-o OUTPUT] [OPTION]...\n"
    "Merge the changes from BASE to LOCAL and from BASE to REMOTE, declaration by\n"
    "declaration, and write the result to OUTPUT (standard output without -o).\n"
    "\n"
    "  -o, --output FILE         write the result to FILE (LOCAL itself is allowed)\n"
    "  -L, --label NAME          names for the conflict markers, given up to three times\n"
    "                            in the order BASE, LOCAL, REMOTE\n"
    "      --dialect NAME        classic, delphi, fpc or auto (the default)\n"
    "  -D, --define SYM          define SYM; may be repeated\n"
    "      --no-default-defines  start from no symbols\n"
    "\n"
    "Conflicts are written as <<<<<<< LOCAL, ||||||| BASE, =======, >>>>>>> REMOTE.\n"
    "Exit status: 0 if the merge is clean, 1 with conflicts, 2 if there was trouble.\n";

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

} // namespace

int RunMergeCommand(std::vector<std::string> args) {
    std::vector<std::string> symbols = TakeDefines(args);
    std::vector<std::string> files, labels;
    std::string output;
    model::Dialect dialect = model::Dialect::Auto;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError("option '" + a + "' needs a value");
            return args[++i];
        };
        if (a == "--help") {
            std::cout << kMergeUsage;
            return 0;
        } else if (a == "--merge") {
            continue;
        } else if (a == "-o" || a == "--output") {
            output = value();
        } else if (a == "-L" || a == "--label") {
            labels.push_back(value());
        } else if (a == "--dialect") {
            auto d = model::DialectFromName(value());
            if (!d) throw UsageError("unknown dialect '" + args[i] + "'");
            dialect = *d;
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError("unknown option '" + a + "'");
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 3) throw UsageError("--merge needs three file names: BASE LOCAL REMOTE");
    if (labels.size() > 3) throw UsageError("at most three labels: BASE, LOCAL, REMOTE");
    const char* defaults[] = {"BASE", "LOCAL", "REMOTE"};
    merge::ThreeWayInput in[3];
    for (int k = 0; k < 3; ++k) {
        in[k].bytes = io::ReadFileBytes(files[k]);
        in[k].fileName = files[k];
        in[k].label = k < static_cast<int>(labels.size()) ? labels[k] : defaults[k];
    }
    if (!output.empty() && (SameFile(output, files[0]) || SameFile(output, files[2])))
        throw std::runtime_error("Will not write over the input \"" + output +
                                 "\"; only LOCAL may be the output");
    merge::ThreeWayOptions options;
    options.symbols = std::move(symbols);
    options.dialect = dialect;
    merge::ThreeWayResult result = merge::MergeThreeWay(in[0], in[1], in[2], options);
    for (const auto& note : result.notes)
        std::cerr << "quennet-diff: " << note << "\n";
    if (output.empty()) {
        std::cout << result.text;
        std::cout.flush();
        if (!std::cout) throw std::runtime_error("Cannot write the result to standard output");
    } else {
        io::WriteFileAtomically(output, result.text);
    }
    return result.conflicts > 0 ? 1 : 0;
}

} // namespace quennet::cli
