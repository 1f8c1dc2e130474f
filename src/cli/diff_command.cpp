// quennet-diff OLD NEW: the structural comparison of two files as a report, a tree, JSON, or
// the line map of the whole texts. Exit status: 0 equivalent, 1 different, 2 trouble.
#include "commands.h"
#include "exit_codes.h"

#include <charconv>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "diff/compare_sources.h"
#include "diff/line_matcher.h"
#include "io/output_guard.h"
#include "io/platform.h"
#include "io/source_file.h"
#include "io/text_encoding.h"
#include "render/diff_tree_format.h"
#include "render/report_writer.h"
#include "render/tree_json.h"
#include "workspace_command.h"

namespace quennet::cli {

namespace {

bool UseColor(ColorWhen when) {
    if (when != ColorWhen::Auto) return when == ColorWhen::Always;
    return io::EnvironmentValue("NO_COLOR").empty() && io::TerminalTakesColours();
}

// Removed red, added green, changed yellow, by the mark that starts a report line.
const char* ReportLineColor(const std::string& line) {
    const size_t at = line.find_first_not_of(' ');
    if (at == std::string::npos) return "";
    switch (line[at]) {
    case '-': return "\033[31m";
    case '+': return "\033[32m";
    case '*': return "\033[33m";
    case '>': return "\033[1m";
    default: return "";
    }
}

int RunMap(std::vector<base::TLineRecord> a, std::vector<base::TLineRecord> b) {
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
        return status(RunMap(std::move(oldLines), LineRecordsOfFile(opt.files[1])));
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
            return status(RunMap(base::LineRecordsOf(bytes[0]), base::LineRecordsOf(bytes[1])));
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

    switch (opt.output) {
    case Output::Brief:
        if (!equivalent)
            std::cout << "Files " << opt.Label(0) << " and " << opt.Label(1) << " differ\n";
        break;
    case Output::Tree: {
        for (const auto& line : render::FormatDiffTree(result.diff->Root))
            std::cout << line << '\n';
        for (const auto& note : result.stopNotes)
            std::cerr << note.text << '\n';
        break;
    }
    case Output::Json: {
        render::WriteComparisonJson(std::cout, result, opt.Label(0), opt.Label(1), equivalent);
        break;
    }
    default: {
        const bool color = UseColor(opt.color);
        std::string out;
        const render::ComparisonReport report = render::ReportOf(result);
        for (size_t i = 0; i < report.lines.size(); ++i) {
            const std::string& line = report.lines[i];
            const bool body = i >= render::kReportHeadingLines && i < report.bodyEnd;
            const char* c = color && body ? ReportLineColor(line) : "";
            out += *c ? c + line + "\033[m\n" : line + '\n';
        }
        std::cout << out;
        break;
    }
    }
    FlushStandardOutput();
    // Readings the result may depend on: includes not found, {$IF} names without a value.
    for (int k = 0; k < 2; ++k)
        for (const auto& note : (k == 0 ? result.oldSource : result.newSource)->Status.Notes)
            std::cerr << opt.Label(static_cast<size_t>(k)) << ": " << note << '\n';
    return status(equivalent ? kExitEquivalent : kExitDifferent);
}

} // namespace quennet::cli
