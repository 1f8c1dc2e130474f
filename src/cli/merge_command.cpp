// quennet-diff --merge BASE LOCAL REMOTE [-o OUTPUT]: the three-way merge by declarations.
// Exit status: 0 clean, 1 with conflicts, 2 trouble.
#include "commands.h"
#include "exit_codes.h"

#include <iostream>
#include <string>
#include <vector>

#include "io/atomic_file.h"
#include "merge3/merge3_files.h"

#include <utility>

namespace quennet::cli {

int RunMergeCommand(const CliOptions& opt) {
    const std::vector<std::string>& files = opt.files;
    const std::vector<std::string>& labels = opt.labels;
    const std::string& output = opt.outputPath;
    const char* defaults[] = {"BASE", "LOCAL", "REMOTE"};
    merge3::Merge3Version v[3];
    for (int k = 0; k < 3; ++k)
        v[k] = merge3::ReadMerge3Version(
            files[k], k < static_cast<int>(labels.size()) ? labels[k] : defaults[k]);
    const merge3::Merge3Encoding encoding = merge3::AlignMerge3Versions(v);
    if (!output.empty()) merge3::RefuseOutputOverInputs(output, files[0], files[2]);
    merge3::ThreeWayOptions options;
    options.symbols = opt.symbols;
    options.dialect = opt.dialect;
    options.reading = ReadingOf(opt);
    merge3::ThreeWayResult result =
        merge3::MergeThreeWay(v[0].input, v[1].input, v[2].input, options);
    merge3::Merge3Bytes out = merge3::EncodeMerge3Result(std::move(result.text), encoding);
    if (!out.note.empty()) result.notes.push_back(std::move(out.note));
    const std::string& bytes = out.bytes;
    for (const auto& note : result.notes)
        std::cerr << "quennet-diff: " << note << "\n";
    if (output.empty()) {
        std::cout << bytes;
        std::cout.flush();
        if (!std::cout) throw std::runtime_error("Cannot write the result to standard output");
    } else {
        io::WriteFileAtomically(output, bytes);
    }
    return result.conflicts > 0 ? kExitDifferent : kExitEquivalent;
}

} // namespace quennet::cli
