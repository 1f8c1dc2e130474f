#include "viewrules/merge3_names.h"

#include "io/source_file.h"
#include "merge3/text_outline.h"
#include "model/source_model.h"
#include "pascal/parse.h"

#include <algorithm>

namespace quennet::viewrules {

using merge3::FindUsesClauses;
using merge3::Merge3Conflict;
using merge3::UsesSpan;

namespace {

void Add(std::vector<NamedSpan>& out, std::string name, const model::TidName& d) {
    if (!d.File.empty() || d.FirstLine <= 0 || d.LastLine < d.FirstLine) return;
    out.push_back({std::move(name), d.FirstLine - 1, d.LastLine - 1});
}

void AddRoutine(std::vector<NamedSpan>& out, const std::string& name, const model::TidProc& p) {
    const model::TidName* body = p.Implementation.get();
    if (!body || body->FirstLine != p.FirstLine) Add(out, name, p);
    if (body) Add(out, name + " (body)", *body);
}

} // namespace

std::vector<NamedSpan> OutlineDeclarations(const std::vector<std::string>& lines,
                                           const std::string& fileName) {
    const std::string text = io::JoinLinesCrLf(lines);
    model::ParseOptions options = model::DefaultReading();
    options.dialect = model::ResolveDialect(model::Dialect::Auto, fileName, text);
    options.fileName = fileName;
    options.followIncludes = false;
    model::TPasSrc src;
    pascal::Parse(src, text, nullptr, options);
    std::vector<NamedSpan> out;
    for (const auto& t : src.Types)
        Add(out, t->Name, *t);
    for (const auto& c : src.Classes) {
        Add(out, c->Name, *c);
        for (const auto& f : c->Fields)
            Add(out, c->Name + "." + f->Name, *f);
        for (const auto& p : c->Props)
            Add(out, c->Name + "." + p->Name, *p);
        for (const auto& m : c->Methods)
            AddRoutine(out, c->Name + "." + m->Name, *m);
    }
    for (const auto& p : src.Procs)
        AddRoutine(out, p->Name, *p);
    for (const auto* list : {&src.Consts, &src.Vars})
        for (const auto& v : *list)
            Add(out, v->Name, *v);
    Add(out, "initialization", *src.Initialization);
    Add(out, "finalization", *src.Finalization);
    Add(out, "main block", *src.MainBlock);
    // The model keeps a unit per uses entry; the clause as a whole is what conflicts.
    for (const UsesSpan& u : FindUsesClauses(lines))
        out.push_back({"uses", u.first, u.last});
    std::sort(out.begin(), out.end(), [](const NamedSpan& a, const NamedSpan& b) {
        return a.First != b.First ? a.First < b.First : a.Last > b.Last;
    });
    return out;
}

std::string DeclarationAt(const std::vector<NamedSpan>& outline, int32_t first, int32_t last) {
    const NamedSpan* inner = nullptr;
    std::vector<const NamedSpan*> touched;
    for (const NamedSpan& s : outline) {
        if (s.First <= first && s.Last >= last &&
            (!inner || s.Last - s.First < inner->Last - inner->First))
            inner = &s;
        if (s.First <= last && s.Last >= first) touched.push_back(&s);
    }
    if (inner) return inner->Name;
    // Only the outermost of the touched ones: a class, not its members as well.
    std::string names;
    int32_t reach = -1, count = 0;
    for (const NamedSpan* s : touched) {
        if (s->First <= reach) continue;
        reach = s->Last;
        if (++count > 3) break;
        names += (names.empty() ? "" : ", ") + s->Name;
    }
    return names;
}

std::vector<std::string> NameConflicts(const std::vector<Merge3Conflict>& conflicts,
                                       const Merge3ResultMap& map,
                                       const std::array<std::vector<NamedSpan>, 3>& outlines) {
    std::vector<std::string> names;
    for (const Merge3Conflict& c : conflicts) {
        std::string name;
        const std::string* parts[3] = {&c.base, &c.local, &c.remote};
        for (int k : {kLocalPane, kRemotePane, kBasePane}) {
            const auto count = static_cast<int32_t>(io::SplitLines(*parts[k]).size());
            if (count == 0) continue;
            const int32_t at = ConflictLineIn(map, c, k);
            name = DeclarationAt(outlines[k], at, at + count - 1);
            if (!name.empty()) break;
        }
        if (name.empty())
            name =
                "Lines " + std::to_string(c.firstLine + 1) + "-" + std::to_string(c.lastLine + 1);
        names.push_back(std::move(name));
    }
    return names;
}

Merge3Counts CountMerge3(int32_t lineConflicts, int32_t structural, int32_t left) {
    Merge3Counts counts;
    // The declarations can also find a conflict lines cannot (a unit both sides changed).
    counts.ByLines = std::max(lineConflicts, structural);
    counts.Solved = counts.ByLines - structural;
    counts.Left = left;
    return counts;
}

} // namespace quennet::viewrules
