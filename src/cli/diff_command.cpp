// quennet-diff OLD NEW: the structural comparison of two files as a report, a tree, JSON, or
// the line map of the whole texts. Exit status: 0 equivalent, 1 different, 2 trouble.
#include "commands.h"
#include "json_writer.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "io/source_file.h"
#include "model/comparison_outcome.h"
#include "model/diff_tree_format.h"
#include "model/line_matcher.h"
#include "model/report_writer.h"
#include "model/source_diff.h"
#include "model/source_model.h"
#include "workspace_command.h"

namespace quennet::cli {

namespace {

using model::TPasSrc;

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
    const char* noColor = std::getenv("NO_COLOR");
    return (!noColor || !*noColor) && ::isatty(STDOUT_FILENO);
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

// Side k (0 old, 1 new); the standard input is read in the dialect its label suggests.
std::unique_ptr<TPasSrc> LoadModel(const CliOptions& opt, size_t k) {
    const std::string& path = opt.files[k];
    std::string text = io::JoinLinesCrLf(LoadInputLines(path));
    auto src = std::make_unique<TPasSrc>();
    src->Parse(text, &opt.symbols, {opt.dialect, path == "-" ? opt.Label(k) : path, {}});
    return src;
}

struct StopNote {
    std::string file;
    int32_t line;
    std::string text;
};

// A parse that stopped early leaves declarations unread; the structural comparison alone
// would call such files equivalent.
std::vector<StopNote> StopNotes(const CliOptions& opt, const TPasSrc& o, const TPasSrc& n) {
    std::vector<StopNote> notes;
    const TPasSrc* models[] = {&o, &n};
    for (int k = 0; k < 2; ++k) {
        const model::ParseStatus& s = models[k]->Status;
        if (s.Complete) continue;
        const std::string& name = opt.Label(static_cast<size_t>(k));
        notes.push_back({name, model::ParseStopLine(s), model::ParseStopNote(name, s)});
    }
    return notes;
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
        WriteTreeJson(json, item->Children, kind, depth + 1);
        json.EndObject();
    }
    json.EndArray();
}

int RunMap(const CliOptions& opt) {
    auto records = [](const std::string& path) {
        std::vector<model::TLineRecord> out;
        auto lines = LoadInputLines(path);
        out.reserve(lines.size());
        for (size_t i = 0; i < lines.size(); ++i)
            out.push_back({model::LineKey(lines[i]), static_cast<int32_t>(i), false});
        return out;
    };
    auto a = records(opt.files[0]);
    auto b = records(opt.files[1]);
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
    FlushStandardOutput();
    return same ? 0 : 1;
}

} // namespace

int RunDiffCommand(const CliOptions& opt) {
    HandleWorkspaceOptions(opt);
    // git stops at any status but 0; a difference is not a failure there.
    const auto status = [&](int code) { return opt.gitExternal && code == 1 ? 0 : code; };
    if (opt.output == Output::Map) return status(RunMap(opt));

    auto oldSrc = LoadModel(opt, 0);
    auto newSrc = LoadModel(opt, 1);
    model::TSourceDiff diff(*oldSrc, *newSrc);
    std::vector<StopNote> notes = StopNotes(opt, *oldSrc, *newSrc);
    bool equivalent = model::ClaimsEquivalence(diff, *oldSrc, *newSrc);

    switch (opt.output) {
    case Output::Brief:
        if (!equivalent)
            std::cout << "Files " << opt.Label(0) << " and " << opt.Label(1) << " differ\n";
        break;
    case Output::Tree: {
        for (const auto& line : model::FormatDiffTree(diff.Root))
            std::cout << line << '\n';
        for (const auto& note : notes)
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
        for (const auto& note : notes) {
            json.BeginObject();
            json.Key("file");
            json.Value(note.file);
            json.Key("line");
            json.Value(note.line);
            json.EndObject();
        }
        json.EndArray();
        json.Key("tree");
        WriteTreeJson(json, diff.Root, "text", 0);
        json.EndObject();
        std::cout << '\n';
        break;
    }
    default: {
        std::vector<std::string> lines{"Diff report for", "  " + opt.Label(0), "  " + opt.Label(1),
                                       ""};
        const size_t bodyStart = lines.size();
        model::WriteReport(*oldSrc, *newSrc, lines);
        const size_t bodyEnd = lines.size();
        for (const auto& note : notes)
            lines.push_back(note.text);
        if (equivalent) lines.emplace_back("The compared files syntactically are equivalent.");
        const bool color = UseColor(opt.color);
        std::string out;
        for (size_t i = 0; i < lines.size(); ++i) {
            const char* c = color && i >= bodyStart && i < bodyEnd ? ReportLineColor(lines[i]) : "";
            out += *c ? c + lines[i] + "\033[m\n" : lines[i] + '\n';
        }
        std::cout << out;
        break;
    }
    }
    FlushStandardOutput();
    return status(equivalent ? 0 : 1);
}

} // namespace quennet::cli
