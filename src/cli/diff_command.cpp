// quennet-diff OLD NEW: the structural comparison of two files as a report, a tree, JSON, or
// the line map of the whole texts. Exit status: 0 equivalent, 1 different, 2 trouble.
#include "commands.h"
#include "json_writer.h"

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "compare/compare_sources.h"
#include "io/output_guard.h"
#include "io/source_file.h"
#include "model/diff_tree_format.h"
#include "model/line_matcher.h"
#include "workspace_command.h"

namespace quennet::cli {

namespace {

const char kUsage[] =
    "Usage: quennet-diff [OPTION]... OLD NEW\n"
    "Compare two Delphi source files by their declarations.\n"
    "\n"
    "Output (one of):\n"
    "      (default)             the difference report\n"
    "      --tree                the difference tree: indent, caption, TAB, state, TAB,\n"
    "                            old lines, TAB, new lines\n"
    "      --json                the difference tree as JSON\n"
    "      --map                 the line map of the two whole files (C, O or N and a\n"
    "                            0-based line: new line for C and N, old line for O)\n"
    "\n"
    "Compiler symbols (VER130, WIN32 and CPU386 unless told otherwise):\n"
    "  -D, --define SYM          define SYM; may be repeated\n"
    "      --no-default-defines  start from no symbols\n"
    "\n"
    "Reading:\n"
    "      --dialect NAME        classic (the Delphi 5 grammar exactly), delphi, fpc, or\n"
    "                            auto: fpc for .pp and .lpr files and files with {$MODE},\n"
    "                            delphi otherwise (the default)\n"
    "\n"
    "Merge outputs (besides the output above):\n"
    "      --workspace FILE.rtf  write the merge workspace of OLD and NEW\n"
    "      --merged FILE         write the merged source ({$IFDEF NEW_VER} blocks)\n"
    "\n"
    "      --help                show this help and exit\n"
    "      --version             show the version and exit\n"
    "\n"
    "Exit status: 0 if the files are equivalent, 1 if they differ, 2 if there was trouble.\n"
    "Other modes: quennet-diff --model FILE, --dirs OLDDIR NEWDIR, --from-workspace WS,\n"
    "--merge BASE LOCAL REMOTE.\n";

// Output modes. A new mode that works on the two files (for example a workspace or a merged
// output) is one entry in kModes plus one branch in RunDiffCommand; a mode that needs a value
// sets takesValue and finds it in DiffOptions::modeValue.
enum class Mode { Report, Tree, Json, Map };

struct ModeOption {
    const char* flag;
    Mode mode;
    bool takesValue;
};

const ModeOption kModes[] = {
    {"--tree", Mode::Tree, false},
    {"--json", Mode::Json, false},
    {"--map", Mode::Map, false},
};

struct DiffOptions {
    Mode mode = Mode::Report;
    std::string modeFlag; // as given, for messages
    std::string modeValue;
    bool help = false;
    bool version = false;
    std::vector<std::string> files;
    std::vector<std::string> symbols;
    model::Dialect dialect = model::Dialect::Auto;
};

DiffOptions ParseOptions(std::vector<std::string> args) {
    DiffOptions opt;
    opt.symbols = TakeDefines(args);
    opt.dialect = TakeDialect(args);
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            opt.files.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        if (a == "--help" || a == "-h") {
            opt.help = true;
            continue;
        }
        if (a == "--version") {
            opt.version = true;
            continue;
        }
        const ModeOption* found = nullptr;
        for (const auto& m : kModes)
            if (a == m.flag) found = &m;
        if (!found) throw UsageError("unknown option '" + a + "'");
        if (!opt.modeFlag.empty())
            throw UsageError("options '" + opt.modeFlag + "' and '" + a + "' exclude each other");
        opt.mode = found->mode;
        opt.modeFlag = a;
        if (found->takesValue) {
            if (i + 1 >= args.size()) throw UsageError("option '" + a + "' needs a value");
            opt.modeValue = args[++i];
        }
    }
    if (opt.help || opt.version) return opt;
    if (opt.files.size() != 2)
        throw UsageError(opt.files.size() < 2 ? "two file names are needed: OLD NEW"
                                              : "too many file names; expected OLD NEW");
    return opt;
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
    json.EndObject();
}

// Nodes as {caption, state, state_number, old, new, children}; lines 1-based as in the model.
void WriteTreeJson(JsonWriter& json, const model::TSourceDiffList& list) {
    json.BeginArray();
    for (size_t i = 0; i < list.Count(); ++i) {
        const model::TSourceDiffItem* item = list.Items(i);
        json.BeginObject();
        json.Key("caption");
        json.Value(item->Caption);
        json.Key("state");
        json.Value(model::DiffStateName(item->State));
        json.Key("state_number");
        json.Value(static_cast<int32_t>(item->State));
        json.Key("old");
        WriteRange(json, item->OldDecl);
        json.Key("new");
        WriteRange(json, item->NewDecl);
        json.Key("children");
        WriteTreeJson(json, item->Children);
        json.EndObject();
    }
    json.EndArray();
}

void Flush() {
    std::cout.flush();
    if (!std::cout) throw std::runtime_error("cannot write to the standard output");
}

int RunMap(const std::vector<std::string>& oldLines, const std::vector<std::string>& newLines) {
    auto records = [](const std::vector<std::string>& lines) {
        std::vector<model::TLineRecord> out;
        out.reserve(lines.size());
        for (size_t i = 0; i < lines.size(); ++i)
            out.push_back({model::LineKey(lines[i]), static_cast<int32_t>(i), false});
        return out;
    };
    auto a = records(oldLines);
    auto b = records(newLines);
    std::vector<model::TMapEntry> map;
    model::MatchLines(a, b, map);
    bool same = true;
    std::string out;
    for (const auto& e : map) {
        out += e.Kind == model::Common ? "C " : e.Kind == model::OldOnly ? "O " : "N ";
        out += std::to_string(e.Line);
        out += '\n';
        same = same && e.Kind == model::Common;
    }
    std::cout << out;
    Flush();
    return same ? 0 : 1;
}

} // namespace

int RunDiffCommand(std::vector<std::string> args) {
    const WorkspaceOptions workspace = TakeWorkspaceOptions(args);
    DiffOptions opt = ParseOptions(std::move(args));
    if (opt.help) {
        std::cout << kUsage;
        Flush();
        return 0;
    }
    if (opt.version) {
        std::cout << "quennet-diff " QUENNET_VERSION "\n";
        Flush();
        return 0;
    }
    if (opt.files[0] == "-" && opt.files[1] == "-")
        throw UsageError("the standard input can be only one of OLD and NEW");
    io::RefuseOutputsOverInputs({workspace.workspacePath, workspace.mergedPath}, opt.files);
    // Each input is read once: a pipe or the standard input cannot be read again.
    const std::string oldBytes = io::ReadFileBytes(opt.files[0]);
    const std::string newBytes = io::ReadFileBytes(opt.files[1]);
    if (workspace.Any() || opt.mode == Mode::Map) {
        const auto oldLines = io::SplitLines(oldBytes);
        const auto newLines = io::SplitLines(newBytes);
        HandleWorkspaceOptions(workspace, {opt.files[0], oldLines}, {opt.files[1], newLines});
        if (opt.mode == Mode::Map) return RunMap(oldLines, newLines);
    }

    model::ParseOptions parseOptions;
    parseOptions.dialect = opt.dialect;
    const compare::ComparisonResult result = compare::CompareSources(
        {io::ToCrLfText(oldBytes), opt.files[0]}, {io::ToCrLfText(newBytes), opt.files[1]},
        opt.symbols, parseOptions);
    const bool equivalent = result.equivalent;

    switch (opt.mode) {
    case Mode::Tree: {
        for (const auto& line : model::FormatDiffTree(result.diff->Root))
            std::cout << line << '\n';
        for (const auto& note : result.stopNotes)
            std::cerr << note.text << '\n';
        break;
    }
    case Mode::Json: {
        JsonWriter json(std::cout);
        json.BeginObject();
        json.Key("old");
        json.Value(opt.files[0]);
        json.Key("new");
        json.Value(opt.files[1]);
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
        WriteTreeJson(json, result.diff->Root);
        json.EndObject();
        std::cout << '\n';
        break;
    }
    default: {
        std::string out;
        for (const auto& l : result.report)
            out += l + '\n';
        std::cout << out;
        break;
    }
    }
    Flush();
    return equivalent ? 0 : 1;
}

} // namespace quennet::cli
