// quennet-diff OLD NEW: the structural comparison of two files in the output format asked for
// (output_*.cpp), or the line map of the whole texts. Exit status: 0 equivalent, 1 different,
// 2 trouble.
#include "commands.h"
#include "exit_codes.h"

#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "diff/compare_sources.h"
#include "io/output_guard.h"
#include "io/platform.h"
#include "io/source_file.h"
#include "io/text_encoding.h"
#include "output_format.h"
#include "workspace_command.h"

namespace quennet::cli {

namespace {

// The map needs only the line keys: a text is let go as soon as its keys are made.
std::vector<base::TLineRecord> LineRecordsOfFile(const std::string& path) {
    return base::LineRecordsOf(io::ReadSourceFile(path).Text);
}

} // namespace

int RunDiffCommand(const CliOptions& opt) {
    // git stops at any status but 0; a difference is not a failure there.
    const auto status = [&](int code) {
        return opt.gitExternal && code == kExitDifferent ? kExitEquivalent : code;
    };
    io::RefuseOutputsOverInputs({opt.workspacePath, opt.mergedPath}, opt.files);
    if (opt.output == Output::Map && opt.workspacePath.empty() && opt.mergedPath.empty()) {
        auto oldLines = LineRecordsOfFile(opt.files[0]); // the old file is read first
        return status(WriteLineMap(std::move(oldLines), LineRecordsOfFile(opt.files[1])));
    }
    // Each input is read once: a pipe or the standard input cannot be read again.
    io::FileIdentity identities[2];
    std::string bytes[2];
    const bool workspace = !opt.workspacePath.empty() || !opt.mergedPath.empty();
    if (workspace) {
        io::DecodedText oldSource = io::ReadSourceFile(opt.files[0], &identities[0]);
        io::DecodedText newSource = io::ReadSourceFile(opt.files[1], &identities[1]);
        bytes[0] = std::move(oldSource.Text);
        bytes[1] = std::move(newSource.Text);
        HandleWorkspaceOptions(opt, {opt.files[0], io::SplitLines(bytes[0])},
                               {opt.files[1], io::SplitLines(bytes[1]),
                                io::DetectTextFormat(bytes[1], newSource.Encoding)});
        if (opt.output == Output::Map)
            return status(
                WriteLineMap(base::LineRecordsOf(bytes[0]), base::LineRecordsOf(bytes[1])));
    }

    // The models of a large pair take longer to free than to compare, and the process ends
    // after the report: they are left to it, held from a static so that leak checks see them.
    static const diff::ComparisonResult* kept = nullptr;
    // Not read yet, each file is read on the thread that parses it. The texts are read only
    // by the comparison, and go with it. A missing file is told before the other is parsed.
    // Two small files are parsed in less time than a second thread takes to start.
    constexpr uint64_t kOneThreadBytes = 32 * 1024;
    bool small = !workspace;
    if (!workspace)
        for (const std::string& file : opt.files) {
            io::RefuseMissingOrFolder(file);
            const io::FileInfo info = io::StatPath(file);
            small = small && info.Kind == io::FileKind::Regular && info.Size <= kOneThreadBytes;
        }
    const auto side = [&](size_t k) {
        return [&, k](std::string& text) {
            if (!workspace) bytes[k] = io::ReadSourceFile(opt.files[k], &identities[k]).Text;
            text = io::TakeAsCrLfText(std::move(bytes[k]));
            diff::SourceText s(text, opt.Label(k), opt.files[k]);
            s.releaseAsRead = true;
            s.readAgain = io::ReaderOfUnchanged(opt.files[k], identities[k]);
            return s;
        };
    };
    kept = new diff::ComparisonResult(
        diff::CompareSources(side(0), side(1), opt.symbols, ReadingOf(opt), {}, small));
    const diff::ComparisonResult& result = *kept;
    const bool equivalent = result.equivalent;

    FormatOf(opt.output).write(result, opt);
    FlushStandardOutput();
    // Readings the result may depend on: includes not found, {$IF} names without a value.
    for (int k = 0; k < 2; ++k)
        for (const auto& note : (k == 0 ? result.oldSource : result.newSource)->Status.Notes)
            std::cerr << opt.Label(static_cast<size_t>(k)) << ": " << note << '\n';
    WarnNewFormFindings(opt, result.oldSource.get(), result.newSource.get());
    return status(equivalent ? kExitEquivalent : kExitDifferent);
}

} // namespace quennet::cli
