// quennet-diff OLD NEW: the structural comparison of two files as a report, a tree, JSON, or
// the line map of the whole texts. Exit status: 0 equivalent, 1 different, 2 trouble.
#include "commands.h"
#include "exit_codes.h"
#include "json_writer.h"

#include <charconv>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "compare/compare_sources.h"
#include "io/output_guard.h"
#include "io/platform.h"
#include "io/source_file.h"
#include "io/text_encoding.h"
#include "model/diff_tree_format.h"
#include "model/line_matcher.h"
#include "workspace_command.h"

namespace quennet::cli {

namespace {

// The kind of a tree node. The root's groups and sections, and the member groups under a class
// (depth 2), are named by their caption; every other node is of its parent's kind (a routine's
// "implementation" is a routine, a class's "Inherited" a class).
const char* NodeKind(const std::string& caption, const char* parentKind, int depth) {
    using Names = std::pair<const char*, const char*>;
    static const Names kRoot[] = {
        {"Type", "type"},
        {"Class/Interface", "class"},
        {"Procedure/Function", "routine"},
        {"Variable", "variable"},
        {"Constant", "constant"},
        {"Main block", "section"},
        {"Initialization", "section"},
        {"Finalization", "section"},
        {"Uses", "uses"},
    };
    static const Names kClassMembers[] = {
        {"Field", "field"}, {"Method", "method"}, {"Property", "property"}};
    auto find = [&](const auto& names, const char* otherwise) {
        for (const auto& [c, kind] : names)
            if (caption == c) return kind;
        return otherwise;
    };
    if (depth == 0) return find(kRoot, "text");
    if (depth == 2 && std::string_view(parentKind) == "class")
        return find(kClassMembers, parentKind);
    return parentKind;
}

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

void WriteRange(JsonWriter& json, const model::TidName* decl) {
    if (!decl) {
        json.Null();
        return;
    }
    json.BeginObject();
    json.Key("first");
    json.Value(decl->FirstLine);
    json.Key("last");
    json.Value(decl->LastLine);
    if (!decl->File.empty()) {
        json.Key("file");
        json.Value(decl->File);
    }
    json.EndObject();
}

// Nodes as {kind, caption, state, state_number, old, new, children}; lines 1-based as in the
// model.
void WriteTreeJson(JsonWriter& json, const model::TSourceDiffList& list, const char* parentKind,
                   int depth) {
    json.BeginArray();
    for (size_t i = 0; i < list.Count(); ++i) {
        const model::TSourceDiffItem* item = list.Items(i);
        const char* kind = NodeKind(item->Caption, parentKind, depth);
        json.BeginObject();
        json.Key("kind");
        json.Value(kind);
        json.Key("caption");
        json.Value(model::ShownCaption(*item));
        json.Key("state");
        json.Value(model::DiffStateName(item->State));
        json.Key("state_number");
        json.Value(static_cast<int32_t>(item->State));
        json.Key("old");
        WriteRange(json, item->OldDecl);
        json.Key("new");
        WriteRange(json, item->NewDecl);
        json.Key("children");
        WriteTreeJson(json, item->Children, kind, depth + 1);
        json.EndObject();
    }
    json.EndArray();
}

int RunMap(std::vector<model::TLineRecord> a, std::vector<model::TLineRecord> b) {
    std::vector<model::TMapEntry> map;
    model::MatchLines(a, b, map);
    bool same = true;
    char block[1 << 16];
    size_t used = 0;
    for (const auto& e : map) {
        if (used > sizeof block - 16) {
            std::cout.write(block, static_cast<std::streamsize>(used));
            used = 0;
        }
        block[used++] = e.Kind == model::Common ? 'C' : e.Kind == model::OldOnly ? 'O' : 'N';
        block[used++] = ' ';
        used = static_cast<size_t>(std::to_chars(block + used, block + sizeof block, e.Line).ptr -
                                   block);
        block[used++] = '\n';
        same = same && e.Kind == model::Common;
    }
    std::cout.write(block, static_cast<std::streamsize>(used));
    FlushStandardOutput();
    return same ? kExitEquivalent : kExitDifferent;
}

// The map needs only the line keys: a text is let go as soon as its keys are made.
std::vector<model::TLineRecord> LineRecordsOfFile(const std::string& path) {
    return model::LineRecordsOf(io::ReadSourceFile(path).Text);
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
            return status(RunMap(model::LineRecordsOf(bytes[0]), model::LineRecordsOf(bytes[1])));
    }

    // The models of a large pair take longer to free than to compare, and the process ends
    // after the report: they are left to it, held from a static so that leak checks see them.
    static const compare::ComparisonResult* kept = nullptr;
    // Not read yet, each file is read on the thread that parses it. The texts are read only
    // by the comparison, and go with it. A missing file is told before the other is parsed.
    if (!workspace)
        for (const std::string& file : opt.files)
            io::RefuseMissingOrFolder(file);
    const auto side = [&](size_t k) {
        return [&, k](std::string& text) {
            if (!workspace) bytes[k] = io::ReadSourceFile(opt.files[k], &identities[k]).Text;
            text = io::TakeAsCrLfText(std::move(bytes[k]));
            compare::SourceText s(text, opt.Label(k), opt.files[k]);
            s.releaseAsRead = true;
            s.readAgain = io::ReaderOfUnchanged(opt.files[k], identities[k]);
            return s;
        };
    };
    kept = new compare::ComparisonResult(
        compare::CompareSources(side(0), side(1), opt.symbols, ReadingOf(opt)));
    const compare::ComparisonResult& result = *kept;
    const bool equivalent = result.equivalent;

    switch (opt.output) {
    case Output::Brief:
        if (!equivalent)
            std::cout << "Files " << opt.Label(0) << " and " << opt.Label(1) << " differ\n";
        break;
    case Output::Tree: {
        for (const auto& line : model::FormatDiffTree(result.diff->Root))
            std::cout << line << '\n';
        for (const auto& note : result.stopNotes)
            std::cerr << note.text << '\n';
        break;
    }
    case Output::Json: {
        JsonWriter json(std::cout);
        json.BeginObject();
        json.Key("format");
        json.Value(kJsonFormat);
        json.Key("old");
        json.Value(opt.Label(0));
        json.Key("new");
        json.Value(opt.Label(1));
        json.Key("equivalent");
        json.Value(equivalent);
        json.Key("stopped");
        json.BeginArray();
        for (const auto& note : result.stopNotes) {
            json.BeginObject();
            json.Key("file");
            json.Value(note.file);
            json.Key("line");
            json.Value(note.line);
            json.EndObject();
        }
        json.EndArray();
        json.Key("tree");
        WriteTreeJson(json, result.diff->Root, "text", 0);
        json.EndObject();
        std::cout << '\n';
        break;
    }
    default: {
        const bool color = UseColor(opt.color);
        std::string out;
        for (size_t i = 0; i < result.report.size(); ++i) {
            const std::string& line = result.report[i];
            const bool body = i >= compare::kReportHeadingLines && i < result.reportBodyEnd;
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
