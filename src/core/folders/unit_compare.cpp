// Parsing, comparison and rendering of one pair; nothing here is shared between calls.
#include "folders/unit_compare.h"

#include "base/ascii.h"
#include "diff/compare_sources.h"
#include "forms/form_check.h"
#include "forms/form_reader.h"
#include "forms/form_report.h"
#include "io/source_file.h"
#include "io/text_encoding.h"
#include "render/report_writer.h"

namespace quennet::folders {

namespace {

DeclCounts CountDecls(const diff::TSourceDiffList& root) {
    DeclCounts c;
    for (const auto& e : render::DisplayEntries(root)) {
        // A body is part of its routine's entry; a run of text is no declaration.
        if (e.kind == "implementation" || e.kind == "text") continue;
        if (e.state == diff::Removed)
            ++c.removed;
        else if (e.state == diff::Added)
            ++c.added;
        else
            ++c.changed;
    }
    return c;
}

// Longer declarations would not be compared token by token anyway.
constexpr size_t kMostLooseTokens = 4000;

uint64_t Mix(uint64_t h, uint64_t v) {
    return (h ^ v) * 0x100000001B3ull;
}

uint64_t NameKey(std::string_view name) {
    uint64_t h = 0xCBF29CE484222325ull;
    for (char c : base::UpperAscii(name))
        h = Mix(h, static_cast<unsigned char>(c));
    return h;
}

// A routine's body and implementation heading where it has a body: its interface heading is
// another text than the heading it would have without one.
uint64_t Fingerprint(const model::TidProc& p) {
    if (!p.Implementation) return p.Checksum;
    return Mix(Mix(1, p.Implementation->Checksum), p.Implementation->HeadingChecksum);
}

uint64_t Fingerprint(const model::TidType& t) {
    return t.Checksum;
}

// A class is its heritage and its members.
uint64_t Fingerprint(const model::TidClass& c) {
    uint64_t h = Mix(NameKey(c.Kind), NameKey(c.Ancestors));
    auto members = [&h](const auto& list) {
        for (const auto& m : list)
            h = Mix(Mix(h, NameKey(m->Name)), m->Checksum);
    };
    members(c.Fields);
    members(c.Props);
    members(c.Methods);
    for (const auto& m : c.Methods)
        h = Mix(h, m->Implementation ? Fingerprint(*m) : 0);
    return h;
}

class LooseCollector {
public:
    LooseCollector(diff::SideText text, const std::vector<std::string>& lines)
        : tokens_(std::move(text)), lines_(lines) {}

    template <class T>
    void Add(std::vector<LooseDecl>& out, const std::vector<const T*>& decls, diff::NodeKind kind,
             const LooseFilter& withTokens = {}) {
        for (const T* d : decls) {
            LooseDecl l;
            l.kind = kind;
            l.name = d->Name;
            l.fingerprint = Fingerprint(*d);
            l.exposed = Exposed(*d);
            if (!withTokens || withTokens(kind, d->Name)) l.tokens = tokens_.Of(*d);
            if (l.tokens.size() > kMostLooseTokens) l.tokens.clear();
            out.push_back(std::move(l));
        }
    }

    bool Exposed(const model::TidName& d) const {
        if (auto* p = dynamic_cast<const model::TidProc*>(&d)) return p->InInterface;
        // Read from the lines only when asked: most changed units lose no declaration.
        if (interfaceEnd_ < 0) interfaceEnd_ = diff::InterfaceEndLine(lines_);
        return d.FirstLine > 0 && d.FirstLine < interfaceEnd_;
    }

    // Whether the unit declares the name in its interface, of whatever kind.
    bool ExposesName(const model::TPasSrc& src, std::string_view name) const {
        auto in = [&](const auto& list) {
            const auto* d = model::FindByName(list, name);
            return d && Exposed(*d);
        };
        return in(src.Types) || in(src.Classes) || in(src.Procs) || in(src.Consts) || in(src.Vars);
    }

private:
    diff::DeclTokens tokens_;
    const std::vector<std::string>& lines_;
    mutable int32_t interfaceEnd_ = -1;
};

template <class T> std::vector<const T*> AllOf(const model::DeclList<T>& list) {
    std::vector<const T*> out;
    for (const auto& d : list)
        out.push_back(d.get());
    return out;
}

} // namespace

std::vector<LooseDecl> LooseDeclsOfFile(const std::string& path, const PairOptions& options,
                                        const LooseFilter& withTokens) {
    std::string bytes;
    try {
        bytes = io::ReadSourceFile(path).Text;
    } catch (const std::exception&) {
        return {};
    }
    model::ParseOptions parse = options.reading;
    parse.dialect = options.dialect;
    const auto lines = io::SplitLines(bytes);
    const std::string text = io::JoinLinesCrLf(lines);
    const diff::SourceText side{text, path};
    if (!diff::FollowsRenames(parse, model::ResolveDialect(parse.dialect, side.name, side.text)))
        return {};
    const auto src = diff::ParseSource(side, options.symbols, parse);
    LooseCollector collect([&text]() -> const std::string& { return text; }, lines);
    std::vector<LooseDecl> out;
    const LooseFilter none = [](diff::NodeKind, std::string_view) { return false; };
    const LooseFilter& filter = withTokens ? withTokens : none;
    collect.Add(out, AllOf(src->Types), diff::NodeKind::Type, filter);
    collect.Add(out, AllOf(src->Classes), diff::NodeKind::Class, filter);
    collect.Add(out, AllOf(src->Procs), diff::NodeKind::Routine, filter);
    return out;
}

PairOptions PairReading(const model::Reading& reading) {
    PairOptions pair;
    pair.symbols = reading.symbols;
    pair.dialect = reading.options.dialect;
    pair.reading = reading.options;
    return pair;
}

UnitOutcome CompareUnitTexts(const std::string& oldBytes, const std::string& newBytes,
                             const std::string& oldLabel, const std::string& newLabel,
                             const PairOptions& options) {
    UnitOutcome out;
    if (oldBytes == newBytes) return out;
    const auto oldLines = io::SplitLines(oldBytes);
    const auto newLines = io::SplitLines(newBytes);
    const std::string oldText = io::JoinLinesCrLf(oldLines);
    const std::string newText = io::JoinLinesCrLf(newLines);
    model::ParseOptions parse = options.reading;
    parse.dialect = options.dialect;
    const diff::ComparisonResult r =
        diff::CompareSources({oldText, oldLabel}, {newText, newLabel}, options.symbols, parse);
    render::ComparisonReport report;
    out.equivalent = r.equivalent;
    // A declaration after a stop is missing, not gone.
    if (r.pairing && r.stopNotes.empty()) {
        LooseCollector oldSide([&oldText]() -> const std::string& { return oldText; }, oldLines);
        LooseCollector newSide([&newText]() -> const std::string& { return newText; }, newLines);
        const model::TPasSrc& o = *r.oldSource;
        const model::TPasSrc& n = *r.newSource;
        auto both = [&](const auto& a, const auto& b, diff::NodeKind kind) {
            const auto m = diff::MatchPaired(model::MatchItems(a, b), r.pairing.get()).match;
            oldSide.Add(out.gone, m.removed, kind);
            newSide.Add(out.arrived, m.added, kind);
        };
        both(o.Types, n.Types, diff::NodeKind::Type);
        both(o.Classes, n.Classes, diff::NodeKind::Class);
        both(o.Procs, n.Procs, diff::NodeKind::Routine);
        for (LooseDecl& g : out.gone)
            g.stillExposed = newSide.ExposesName(n, g.name);
    }
    out.decls = CountDecls(r.diff->Root);
    if (options.api != ApiMode::Off) {
        out.api = diff::CompareApi({r.oldSource.get(), &oldLines}, {r.newSource.get(), &newLines},
                                   options.api == ApiMode::Protected, r.pairing.get());
        // A change the model holds no declaration for (in the classic reading, a program's
        // main block) is still one.
        if (!r.equivalent && out.api.breaking + out.api.additive + out.api.internal == 0)
            out.api.internal = 1;
        for (const auto& c : out.api.changes)
            out.lines.push_back(diff::ApiChangeLine(c));
    } else if (options.display.style == render::DisplayStyle::Report) {
        report = render::ReportOf(r);
        out.lines.assign(report.lines.begin() + render::kReportHeadingLines,
                         report.lines.begin() + static_cast<long>(report.bodyEnd));
    } else {
        out.lines = render::RenderDisplay(oldLines, newLines, r.diff->Root, options.display);
    }
    for (const auto& note : r.stopNotes)
        out.lines.push_back(note.text);
    // The report's runs of text beyond a stop follow its notes; other displays show them.
    if (options.api == ApiMode::Off && options.display.style == render::DisplayStyle::Report)
        out.lines.insert(out.lines.end(),
                         report.lines.begin() + static_cast<long>(report.runsBegin),
                         report.lines.begin() + static_cast<long>(report.runsEnd));
    if (!r.stopNotes.empty()) {
        out.status = UnitStatus::Trouble;
        out.problem = r.stopNotes.front().text;
    } else {
        out.status = r.equivalent ? UnitStatus::Same : UnitStatus::Changed;
    }
    return out;
}

void AddFormsBeside(UnitOutcome& unit, const std::string& relative, const std::string& oldUnit,
                    const std::string& newUnit) {
    const std::string oldForm = forms::FormBesideUnit(oldUnit);
    const std::string newForm = forms::FormBesideUnit(newUnit);
    if (oldForm.empty() && newForm.empty()) return;
    const std::string& shown = newForm.empty() ? oldForm : newForm;
    const size_t dot = relative.rfind('.');
    const std::string name = (dot == std::string::npos ? relative : relative.substr(0, dot)) +
                             shown.substr(shown.rfind('.'));
    std::vector<std::string> lines;
    if (oldForm.empty() || newForm.empty()) {
        unit.formChange = oldForm.empty() ? "added" : "removed";
        lines.push_back("--- form " + name + " " + unit.formChange);
    } else {
        std::string oldBytes, newBytes;
        try {
            oldBytes = io::ReadFileBytes(oldForm);
            newBytes = io::ReadFileBytes(newForm);
        } catch (const std::exception& e) {
            unit.status = UnitStatus::Trouble;
            unit.problem = e.what();
            return;
        }
        if (oldBytes == newBytes) return;
        const forms::FormComparison c = forms::CompareForms(forms::ReadForm(oldBytes, oldForm),
                                                            forms::ReadForm(newBytes, newForm));
        if (forms::FormsEquivalent(c, forms::NoiseMode::Show)) return;
        unit.formChange = "changed";
        lines.push_back("--- form " + name);
        for (std::string& line : io::SplitLines(forms::FormReportBody(c, forms::NoiseMode::Show)))
            lines.push_back(std::move(line));
    }
    unit.form = name;
    unit.lines.insert(unit.lines.end(), lines.begin(), lines.end());
    if (unit.status == UnitStatus::Same) unit.status = UnitStatus::Changed;
    unit.equivalent = false;
}

UnitOutcome CompareUnitFiles(const std::string& oldPath, const std::string& newPath,
                             const PairOptions& options) {
    std::string oldBytes, newBytes;
    try {
        oldBytes = io::ReadSourceFile(oldPath).Text;
        newBytes = io::ReadSourceFile(newPath).Text;
    } catch (const std::exception& e) {
        UnitOutcome out;
        out.status = UnitStatus::Trouble;
        out.problem = e.what();
        return out;
    }
    return CompareUnitTexts(oldBytes, newBytes, oldPath, newPath, options);
}

} // namespace quennet::folders
