// Form files (.dfm, .lfm, .fmx, .xfm) in every mode that takes them: the comparison outputs,
// --model, --form-text and --merge. Which files are forms is decided in UsesForms alone.
#include <iostream>

#include "commands.h"
#include "diff/compare_sources.h"
#include "display_options.h"
#include "exit_codes.h"
#include "forms/form_compare.h"
#include "forms/form_merge.h"
#include "forms/form_reader.h"
#include "forms/form_report.h"
#include "forms/form_writer.h"
#include "io/atomic_file.h"
#include "io/source_file.h"
#include "merge3/three_way.h"
#include "render/diff_display.h"
#include "render/json_writer.h"

namespace quennet::cli {

namespace {

using namespace quennet::forms;

bool IsFormOperand(const std::string& path) {
    return IsFormFileName(path) || LooksLikeForm(io::ReadRegularFileHead(path, 512));
}

forms::NoiseMode NoiseModeOf(const CliOptions& opt) {
    return NoiseModeNamed(opt.formNoise);
}

// Faults of a form go to stderr with their place; the rest of the file is left out.
void TellNotes(const FormFile& f) {
    for (const auto& n : f.Notes)
        std::cerr << "quennet-diff: " << n.Text() << "\n";
}

using render::HexValue;
using render::LineSpanMembers;

void Lines(render::JsonWriter& j, const char* key, int first, int last) {
    j.Key(key);
    if (!first) {
        j.Null();
        return;
    }
    j.BeginObject();
    LineSpanMembers(j, first, last);
    j.EndObject();
}

void Properties(render::JsonWriter& j, const std::vector<FormProperty>& properties);

void Value(render::JsonWriter& j, const FormValue& v) {
    switch (v.Kind) {
    case ValueKind::Integer: j.Value(v.Integer); break;
    case ValueKind::Float: j.Number(v.Float); break;
    case ValueKind::String:
    case ValueKind::Identifier: j.Value(v.Text); break;
    case ValueKind::Binary: HexValue(j, v.Text); break;
    case ValueKind::Set:
        j.BeginArray();
        for (const auto& e : v.Set())
            j.Value(e);
        j.EndArray();
        break;
    case ValueKind::List:
        j.BeginArray();
        for (const auto& e : v.List()) {
            j.BeginObject();
            j.Key("type");
            j.Value(KindName(e.Kind));
            j.Key("value");
            Value(j, e);
            j.EndObject();
        }
        j.EndArray();
        break;
    case ValueKind::Collection:
        j.BeginArray();
        for (const auto& item : v.Items()) {
            j.BeginObject();
            if (item.Order) {
                j.Key("order");
                j.Value(*item.Order);
            }
            j.Key("properties");
            Properties(j, item.Properties);
            j.EndObject();
        }
        j.EndArray();
        break;
    }
}

const char* FloatTypeName(FloatKind k) {
    switch (k) {
    case FloatKind::Single: return "single";
    case FloatKind::Currency: return "currency";
    case FloatKind::Date: return "date";
    case FloatKind::Extended: break;
    }
    return "extended";
}

void Properties(render::JsonWriter& j, const std::vector<FormProperty>& properties) {
    j.BeginArray();
    for (const auto& p : properties) {
        j.BeginObject();
        j.Key("name");
        j.Value(p.Name);
        j.Key("type");
        j.Value(KindName(p.Value.Kind));
        if (p.Value.Kind == ValueKind::Float) {
            j.Key("float");
            j.Value(FloatTypeName(p.Value.FloatType));
        }
        j.Key("value");
        Value(j, p.Value);
        if (p.FirstLine) LineSpanMembers(j, p.FirstLine, p.LastLine);
        j.EndObject();
    }
    j.EndArray();
}

void Object(render::JsonWriter& j, const FormObject& o, const std::string& path) {
    j.BeginObject();
    j.Key("path");
    j.Value(path);
    j.Key("name");
    j.Value(o.Name);
    j.Key("class");
    j.Value(o.Class);
    j.Key("kind");
    j.Value(ObjectKindName(o.Kind));
    if (o.Index) {
        j.Key("index");
        j.Value(*o.Index);
    }
    if (o.FirstLine) LineSpanMembers(j, o.FirstLine, o.LastLine);
    j.Key("properties");
    Properties(j, o.Properties);
    j.Key("objects");
    j.BeginArray();
    for (const auto& c : o.Children)
        Object(j, c, path + "." + PathStep(c));
    j.EndArray();
    j.EndObject();
}

void Notes(render::JsonWriter& j, const std::vector<FormNote>& notes) {
    j.BeginArray();
    for (const auto& n : notes) {
        j.BeginObject();
        j.Key("file");
        j.Value(n.File);
        j.Key("line");
        j.Value(n.Line);
        j.Key("column");
        j.Value(n.Column);
        j.Key("message");
        j.Value(n.Message);
        j.EndObject();
    }
    j.EndArray();
}

int RunFormModel(const CliOptions& opt) {
    const FormFile f = ReadFormFile(opt.files[0]);
    TellNotes(f);
    render::JsonWriter j(std::cout);
    j.BeginObject();
    render::FormatMember(j);
    j.Key("kind");
    j.Value("form");
    j.Key("name");
    j.Value(opt.files[0]);
    j.Key("binary");
    j.Value(f.Binary);
    j.Key("notes");
    Notes(j, f.Notes);
    j.Key("root");
    if (f.HasRoot)
        Object(j, f.Root, PathStep(f.Root));
    else
        j.Null();
    j.EndObject();
    std::cout << '\n';
    return kExitEquivalent;
}

// A text form that does not read whole is printed as it is, so that a diff through it still
// shows every line; a binary one as far as it reads, with trouble.
int RunFormText(const CliOptions& opt) {
    const FormFile f = ReadFormFile(opt.files[0]);
    TellNotes(f);
    if (!f.Binary && !f.Notes.empty()) {
        for (const auto& line : f.Lines)
            std::cout << line << '\n';
        return kExitEquivalent;
    }
    if (f.HasRoot) std::cout << FormToText(f.Root, "\n");
    // Text after the form is shown as it stands.
    for (size_t i = static_cast<size_t>(f.TrailingLine); f.TrailingLine && i <= f.Lines.size(); ++i)
        std::cout << f.Lines[i - 1] << '\n';
    return f.Notes.empty() ? kExitEquivalent : kExitTrouble;
}

void TreeJson(render::JsonWriter& j, const std::vector<FormDiffNode>& nodes) {
    j.BeginArray();
    for (const auto& n : nodes) {
        j.BeginObject();
        j.Key("kind");
        j.Value(NodeKindName(n.Kind));
        j.Key("caption");
        j.Value(n.Caption);
        j.Key("state");
        j.Value(ChangeName(n.Change));
        j.Key("noise");
        j.Value(n.Noise);
        Lines(j, "old", n.OldFirst, n.OldLast);
        Lines(j, "new", n.NewFirst, n.NewLast);
        if (n.Kind == FormNodeKind::Object) {
            if (!n.OldClass.empty()) {
                j.Key("old_class");
                j.Value(n.OldClass);
            }
            if (!n.NewClass.empty()) {
                j.Key("new_class");
                j.Value(n.NewClass);
            }
            if (!n.OldKind.empty()) {
                j.Key("old_kind");
                j.Value(n.OldKind);
                j.Key("new_kind");
                j.Value(n.NewKind);
            }
            if (!n.OldIndex.empty()) {
                j.Key("old_position");
                j.Value(n.OldIndex);
                j.Key("new_position");
                j.Value(n.NewIndex);
            }
            if (!n.OldParent.empty()) {
                j.Key("moved_from");
                j.Value(n.OldParent);
            }
            j.Key("reordered");
            j.Value(n.Reordered);
        } else {
            if (n.Change != FormChange::Added) {
                j.Key("old_value");
                j.Value(n.OldValue);
            }
            if (n.Change != FormChange::Removed) {
                j.Key("new_value");
                j.Value(n.NewValue);
            }
        }
        j.Key("children");
        TreeJson(j, n.Children);
        j.EndObject();
    }
    j.EndArray();
}

// A binary form is shown as its text form, so that its parts have lines.
FormFile ReadFormForDisplay(const std::string& path) {
    FormFile f = ReadFormFile(path);
    if (!f.Binary || !f.HasRoot) return f;
    FormFile text = ReadTextForm(FormToText(f.Root, "\n"), io::TextEncoding::Bytes, f.Name);
    text.Notes.insert(text.Notes.end(), f.Notes.begin(), f.Notes.end());
    return text;
}

int RunFormDisplay(const CliOptions& opt) {
    const DisplayRequest request = MakeDisplayRequest(opt);
    const FormFile a = ReadFormForDisplay(opt.files[0]);
    const FormFile b = ReadFormForDisplay(opt.files[1]);
    const NoiseMode mode = NoiseModeOf(opt);
    const FormComparison c = CompareForms(a, b);
    std::vector<render::DisplayEntry> entries;
    for (const auto& p : FormDisplayParts(c, mode)) {
        render::DisplayEntry e{p.kind, p.name};
        e.state = p.change == FormChange::Added     ? diff::Added
                  : p.change == FormChange::Removed ? diff::Removed
                                                    : diff::Changed;
        if (p.oldFirst > 0) e.oldFirst = p.oldFirst, e.oldLast = p.oldLast;
        if (p.newFirst > 0) e.newFirst = p.newFirst, e.newLast = p.newLast;
        entries.push_back(std::move(e));
    }
    std::string out = "--- " + opt.Label(0) + "\n+++ " + opt.Label(1) + "\n";
    const std::vector<std::string> lines = render::RenderDisplayEntries(
        {a.Lines.begin(), a.Lines.end()}, {b.Lines.begin(), b.Lines.end()}, entries,
        request.tree.pair.display);
    if (!lines.empty()) out += "\n";
    for (const auto& l : lines)
        out += l + "\n";
    const bool equivalent = FormsEquivalent(c, mode);
    if (mode == NoiseMode::Hide && c.NoiseChanges)
        out += "Designer noise: " + std::to_string(c.NoiseChanges) + " hidden\n";
    if (equivalent) out += std::string(diff::kEquivalentSentence) + "\n";
    std::cout << out;
    for (const auto& n : c.Stops)
        std::cerr << "quennet-diff: " << n.Text() << "\n";
    // git stops at any status but 0; a difference is not a failure there.
    return opt.gitExternal || equivalent ? kExitEquivalent : kExitDifferent;
}

int RunFormDiff(const CliOptions& opt) {
    if (opt.output == Output::Map || !opt.workspacePath.empty() || !opt.mergedPath.empty() ||
        !opt.api.empty())
        throw UsageError("form files are compared as a report, --tree, --json, --brief or "
                         "--display");
    if (WantsDisplay(opt)) return RunFormDisplay(opt);
    const FormFile a = ReadFormFile(opt.files[0]);
    const FormFile b = ReadFormFile(opt.files[1]);
    const NoiseMode mode = NoiseModeOf(opt);
    const FormComparison c = CompareForms(a, b);
    const bool equivalent = FormsEquivalent(c, mode);

    switch (opt.output) {
    case Output::Brief:
        if (!equivalent)
            std::cout << "Files " << opt.Label(0) << " and " << opt.Label(1) << " differ\n";
        break;
    case Output::Tree:
        std::cout << FormTreeText(c, mode);
        for (const auto& n : c.Stops)
            std::cerr << "quennet-diff: " << n.Text() << "\n";
        break;
    case Output::Json: {
        render::JsonWriter j(std::cout);
        j.BeginObject();
        render::FormatMember(j);
        j.Key("kind");
        j.Value("form");
        j.Key("old");
        j.Value(opt.Label(0));
        j.Key("new");
        j.Value(opt.Label(1));
        j.Key("equivalent");
        j.Value(equivalent);
        j.Key("noise");
        j.Value(static_cast<int64_t>(c.NoiseChanges));
        j.Key("stopped"); // as for units: where a file's structure was followed up to
        j.BeginArray();
        for (const auto& stop : c.Stops) {
            j.BeginObject();
            j.Key("file");
            j.Value(stop.File);
            j.Key("line");
            j.Value(static_cast<int64_t>(stop.Line));
            j.EndObject();
        }
        j.EndArray();
        j.Key("notes");
        std::vector<FormNote> notes = a.Notes;
        notes.insert(notes.end(), b.Notes.begin(), b.Notes.end());
        Notes(j, notes);
        j.Key("tree");
        std::vector<FormDiffNode> shown;
        for (const auto& n : c.Objects) {
            FormDiffNode s = mode == NoiseMode::Show ? n : WithNoise(n, false);
            if (mode != NoiseMode::Show && s.Children.empty() && !ObjectChangedItself(s)) continue;
            shown.push_back(std::move(s));
        }
        TreeJson(j, shown);
        j.EndObject();
        std::cout << '\n';
        break;
    }
    default: std::cout << FormReportText(c, mode, opt.Label(0), opt.Label(1)); break;
    }
    const int code = equivalent ? kExitEquivalent : kExitDifferent;
    return opt.gitExternal && code == kExitDifferent ? kExitEquivalent : code;
}

int RunFormMerge(const CliOptions& opt) {
    const char* defaults[] = {"BASE", "LOCAL", "REMOTE"};
    std::string bytes[3];
    for (int k = 0; k < 3; ++k)
        bytes[k] = io::ReadFileBytes(opt.files[static_cast<size_t>(k)]);
    std::string labels[3];
    for (size_t k = 0; k < 3; ++k)
        labels[k] = k < opt.labels.size() ? opt.labels[k] : defaults[k];
    const FormMergeResult r = MergeForms(bytes[0], bytes[1], bytes[2], labels, opt.files);
    for (const auto& note : r.Notes)
        std::cerr << "quennet-diff: " << note << "\n";
    if (opt.outputPath.empty()) {
        std::cout << r.Bytes;
        std::cout.flush();
        if (!std::cout) throw std::runtime_error("Cannot write the result to standard output");
    } else {
        // LOCAL may take the result, as git's merge driver asks; BASE and REMOTE never.
        merge3::RefuseOutputOverInputs(opt.outputPath, opt.files[0], opt.files[2]);
        io::WriteFileAtomically(opt.outputPath, r.Bytes);
    }
    return r.Conflicts > 0 ? kExitDifferent : kExitEquivalent;
}

} // namespace

bool UsesForms(const CliOptions& opt) {
    switch (opt.command) {
    case Command::FormText: return true;
    case Command::Model:
    case Command::Diff:
    case Command::Merge:
        for (const auto& f : opt.files)
            if (IsFormOperand(f)) return true;
        return false;
    default: return false;
    }
}

int RunFormCommand(const CliOptions& opt) {
    switch (opt.command) {
    case Command::Model: return RunFormModel(opt);
    case Command::FormText: return RunFormText(opt);
    case Command::Merge: return RunFormMerge(opt);
    default: return RunFormDiff(opt);
    }
}

} // namespace quennet::cli
