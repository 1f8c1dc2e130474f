// The plain-text difference report. It walks the models itself rather than the tree: it
// shows class members, one line per changed routine and changes outside the model.
#include "render/report_writer.h"

#include <functional>

#include "diff/decl_pairing.h"

namespace quennet::render {

using diff::DeclPair;
using diff::DeclPairing;
using diff::MatchPaired;

using model::CompareNames;
using model::DeclList;
using model::IncludeTag;
using model::MatchItems;
using model::PairName;
using model::TidClass;
using model::TidField;
using model::TidImplementation;
using model::TidProc;
using model::TidProp;
using model::TidType;
using model::TidUnitRef;
using model::TidVar;
using model::TPasSrc;

namespace {

using Lines = std::vector<std::string>;

// The pairing the report is written with; null when renames are not followed.
thread_local const DeclPairing* tPairing = nullptr;

std::string RenamedLine(const char* prefix, const DeclPair& p) {
    return prefix + p.oldDecl->Name + " -> " + p.newDecl->Name + " renamed" +
           (p.changed ? " and changed" : "") + IncludeTag(p.oldDecl, p.newDecl);
}

// Removed, changed, renamed, added; each run in name order. Moved members are written apart.
template <class T>
void ThreeRuns(Lines& out, const DeclList<T>& oldList, const DeclList<T>& newList,
               const std::function<void(Lines&, const T*)>& removed,
               const std::function<void(Lines&, const T*, const T*)>& changed,
               const std::function<void(Lines&, const T*)>& added, const char* renamedPrefix = "* ",
               const std::function<void(Lines&, const DeclPair&)>& renamed = {}) {
    const auto paired = MatchPaired(MatchItems(oldList, newList), tPairing);
    const auto& match = paired.match;
    for (const T* o : match.removed)
        removed(out, o);
    for (const auto& [o, n] : match.both)
        changed(out, o, n);
    for (const DeclPair* p : paired.paired) {
        if (p->moved) continue;
        if (renamed)
            renamed(out, *p);
        else
            out.push_back(RenamedLine(renamedPrefix, *p));
    }
    for (const T* n : match.added)
        added(out, n);
}

// An absent body counts as checksum 0, unlike in the tree.
std::string RoutineSuffix(const TidProc* o, const TidProc* n) {
    bool definition = o->Checksum != n->Checksum;
    const TidImplementation* oi = o->Implementation.get();
    const TidImplementation* ni = n->Implementation.get();
    bool implementation =
        oi && ni ? BodiesDiffer(*o, *n) : (oi ? oi->Checksum : 0) != (ni ? ni->Checksum : 0);
    if (definition && implementation) return " - change";
    if (definition) return " - change definition";
    if (implementation) return " - change implementation";
    return {};
}

// Names the include file of what changed: the headings, or the bodies when only they differ.
std::string RoutineTag(const TidProc* o, const TidProc* n) {
    if (o->Checksum == n->Checksum && o->Implementation && n->Implementation)
        return IncludeTag(o->Implementation.get(), n->Implementation.get());
    return IncludeTag(o, n);
}

std::string Heritage(const TidClass* c) {
    return c->Ancestors.empty() ? std::string() : "(" + c->Ancestors + ")";
}

// A block heading is written only when its category has findings.
void FlushBlock(Lines& dest, const char* heading, Lines& scratch) {
    if (scratch.empty()) return;
    dest.emplace_back(heading);
    for (auto& l : scratch)
        dest.push_back(std::move(l));
    scratch.clear();
}

std::string UnitText(const TidUnitRef* u) {
    return u->InText.empty() ? u->Name : u->Name + " in " + u->InText;
}

void UsesLines(Lines& out, const TPasSrc& o, const TPasSrc& n) {
    ThreeRuns<TidUnitRef>(
        out, o.Uses, n.Uses,
        [](Lines& s, const TidUnitRef* u) {
            s.push_back("- " + UnitText(u) + IncludeTag(u, nullptr));
        },
        [](Lines& s, const TidUnitRef* a, const TidUnitRef* b) {
            if (a->Checksum == b->Checksum) return;
            s.push_back("* " + a->Name + IncludeTag(a, b));
            s.push_back("  - " + UnitText(a));
            s.push_back("  + " + UnitText(b));
        },
        [](Lines& s, const TidUnitRef* u) {
            s.push_back("+ " + UnitText(u) + IncludeTag(nullptr, u));
        });
}

void TypeLines(Lines& out, const TPasSrc& o, const TPasSrc& n) {
    ThreeRuns<TidType>(
        out, o.Types, n.Types,
        [](Lines& s, const TidType* t) {
            s.push_back("- " + t->Name + " = " + t->Text + IncludeTag(t, nullptr));
        },
        [](Lines& s, const TidType* a, const TidType* b) {
            if (a->Checksum == b->Checksum) return;
            s.push_back("* " + a->Name + IncludeTag(a, b));
            s.push_back("  - " + a->Text);
            s.push_back("  + " + b->Text);
        },
        [](Lines& s, const TidType* t) {
            s.push_back("+ " + t->Name + " = " + t->Text + IncludeTag(nullptr, t));
        });
}

void MemberLines(Lines& out, const TidClass* o, const TidClass* n) {
    ThreeRuns<TidField>(
        out, o->Fields, n->Fields,
        [](Lines& s, const TidField* f) {
            s.push_back("  -F " + f->Name + ": " + f->TypeText + ";" + IncludeTag(f, nullptr));
        },
        [](Lines& s, const TidField* a, const TidField* b) {
            if (a->Checksum == b->Checksum) return;
            s.push_back("  *F " + a->Name + IncludeTag(a, b));
            s.push_back("    - :" + a->TypeText + ";");
            s.push_back("    + :" + b->TypeText + ";");
        },
        [](Lines& s, const TidField* f) {
            s.push_back("  +F " + f->Name + ": " + f->TypeText + ";" + IncludeTag(nullptr, f));
        },
        "  *F ");
    ThreeRuns<TidProc>(
        out, o->Methods, n->Methods,
        [](Lines& s, const TidProc* m) { s.push_back("  -M " + m->Text + IncludeTag(m, nullptr)); },
        [](Lines& s, const TidProc* a, const TidProc* b) {
            std::string suffix = RoutineSuffix(a, b);
            if (!suffix.empty()) s.push_back("  *M " + PairName(a, b) + suffix + RoutineTag(a, b));
        },
        [](Lines& s, const TidProc* m) { s.push_back("  +M " + m->Text + IncludeTag(nullptr, m)); },
        "  *M ");
    ThreeRuns<TidProp>(
        out, o->Props, n->Props,
        [](Lines& s, const TidProp* p) {
            s.push_back("  -P " + p->Text + ";" + IncludeTag(p, nullptr));
        },
        [](Lines& s, const TidProp* a, const TidProp* b) {
            if (a->Checksum == b->Checksum) return;
            s.push_back("  *P " + a->Name + IncludeTag(a, b));
            s.push_back("    - " + a->Text + ";");
            s.push_back("    + " + b->Text + ";");
        },
        [](Lines& s, const TidProp* p) {
            s.push_back("  +P " + p->Text + ";" + IncludeTag(nullptr, p));
        },
        "  *P ");
}

// The lines of a class present on both sides under heading, which a renamed class always
// shows.
void ClassPairLines(Lines& s, const TidClass* a, const TidClass* b, std::string heading,
                    bool always) {
    Lines members;
    MemberLines(members, a, b);
    bool heritage = CompareNames(a->Ancestors, b->Ancestors) != 0;
    if (members.empty() && !heritage && !always) return;
    s.push_back(std::move(heading));
    if (heritage) s.push_back("  *I (" + a->Ancestors + ") -> (" + b->Ancestors + ")");
    for (auto& l : members)
        s.push_back(std::move(l));
}

void ClassLines(Lines& out, const TPasSrc& o, const TPasSrc& n) {
    ThreeRuns<TidClass>(
        out, o.Classes, n.Classes,
        [](Lines& s, const TidClass* c) {
            s.push_back("- " + c->Kind + " " + c->Name + Heritage(c) + IncludeTag(c, nullptr));
        },
        [](Lines& s, const TidClass* a, const TidClass* b) {
            ClassPairLines(s, a, b, "* " + a->Name + IncludeTag(a, b), false);
        },
        [](Lines& s, const TidClass* c) {
            s.push_back("+ " + c->Kind + " " + c->Name + Heritage(c) + IncludeTag(nullptr, c));
        },
        "* ",
        [](Lines& s, const DeclPair& p) {
            ClassPairLines(s, static_cast<const TidClass*>(p.oldDecl),
                           static_cast<const TidClass*>(p.newDecl), RenamedLine("* ", p), true);
        });
    if (!tPairing) return;
    for (const DeclPair& p : tPairing->Pairs())
        if (p.moved)
            out.push_back("* " + p.oldOwner->Name + "." + p.oldDecl->Name + " moved to " +
                          p.newOwner->Name + (p.changed ? " and changed" : "") +
                          IncludeTag(p.oldDecl, p.newDecl));
}

void ProcLines(Lines& out, const TPasSrc& o, const TPasSrc& n) {
    ThreeRuns<TidProc>(
        out, o.Procs, n.Procs,
        [](Lines& s, const TidProc* p) { s.push_back("- " + p->Text + IncludeTag(p, nullptr)); },
        [](Lines& s, const TidProc* a, const TidProc* b) {
            if (tPairing && diff::MovedBetweenSections(*a, *b)) {
                s.push_back("* " + PairName(a, b) + " moved to " + diff::SectionOf(*b) +
                            (diff::ChangedBesidesSection(*a, *b) ? " and changed" : ""));
                return;
            }
            std::string suffix = RoutineSuffix(a, b);
            if (!suffix.empty()) s.push_back("* " + PairName(a, b) + suffix + RoutineTag(a, b));
        },
        [](Lines& s, const TidProc* p) { s.push_back("+ " + p->Text + IncludeTag(nullptr, p)); });
}

// Variables and constants differ only in the wording of a value-only change.
void VarLines(Lines& out, const DeclList<TidVar>& o, const DeclList<TidVar>& n,
              const char* valueChange) {
    ThreeRuns<TidVar>(
        out, o, n,
        [](Lines& s, const TidVar* v) {
            s.push_back("- " + v->Name + ": " + v->TypeText + IncludeTag(v, nullptr));
        },
        [valueChange](Lines& s, const TidVar* a, const TidVar* b) {
            if (a->Checksum != b->Checksum) {
                s.push_back("* " + a->Name + IncludeTag(a, b));
                s.push_back("  - :" + a->TypeText);
                s.push_back("  + :" + b->TypeText);
            } else if (a->ValueChecksum != b->ValueChecksum) {
                s.push_back("* " + a->Name + valueChange + IncludeTag(a, b));
            }
        },
        [](Lines& s, const TidVar* v) {
            s.push_back("+ " + v->Name + ": " + v->TypeText + IncludeTag(nullptr, v));
        });
}

} // namespace

void WriteReport(const TPasSrc& oldSrc, const TPasSrc& newSrc, Lines& dest,
                 const DeclPairing* pairing) {
    tPairing = pairing;
    struct Reset {
        ~Reset() { tPairing = nullptr; }
    } reset;
    const size_t start = dest.size();
    Lines scratch;
    UsesLines(scratch, oldSrc, newSrc);
    FlushBlock(dest, ">>> Uses", scratch);
    TypeLines(scratch, oldSrc, newSrc);
    FlushBlock(dest, ">>> Type", scratch);
    ClassLines(scratch, oldSrc, newSrc);
    FlushBlock(dest, ">>> Class/Interface", scratch);
    ProcLines(scratch, oldSrc, newSrc);
    FlushBlock(dest, ">>> Procedure/Function", scratch);
    VarLines(scratch, oldSrc.Vars, newSrc.Vars, " - change init value");
    FlushBlock(dest, ">>> Variable", scratch);
    VarLines(scratch, oldSrc.Consts, newSrc.Consts, " - change value");
    FlushBlock(dest, ">>> Constant", scratch);

    bool init = oldSrc.Initialization->Checksum != newSrc.Initialization->Checksum;
    bool fin = oldSrc.Finalization->Checksum != newSrc.Finalization->Checksum;
    bool main = oldSrc.MainBlock->Checksum != newSrc.MainBlock->Checksum;
    if (init || fin || main) {
        dest.emplace_back(">>> Other");
        if (main)
            dest.push_back("* main block change" +
                           IncludeTag(oldSrc.MainBlock.get(), newSrc.MainBlock.get()));
        if (init)
            dest.push_back("* initialization change" +
                           IncludeTag(oldSrc.Initialization.get(), newSrc.Initialization.get()));
        if (fin)
            dest.push_back("* finalization change" +
                           IncludeTag(oldSrc.Finalization.get(), newSrc.Finalization.get()));
    }

    // Only the whole-file checksum sees parts the model does not record, such as the classic
    // reading's uses clauses.
    if (dest.size() == start && oldSrc.Checksum != newSrc.Checksum)
        dest.emplace_back("* source change (unknown)");
}

ComparisonReport ReportOf(const diff::ComparisonResult& r) {
    ComparisonReport report;
    report.lines = {"Diff report for", "  " + r.oldName, "  " + r.newName, ""};
    WriteReport(*r.oldSource, *r.newSource, report.lines, r.pairing.get());
    report.bodyEnd = report.lines.size();
    for (const auto& note : r.stopNotes)
        report.lines.push_back(note.text);
    report.runsBegin = report.lines.size();
    for (const diff::TextRun& run : r.textRuns)
        report.lines.push_back((run.HasOld() && run.HasNew() ? "* "
                                : run.HasNew()               ? "+ "
                                                             : "- ") +
                               diff::TextRunCaption(run));
    report.runsEnd = report.lines.size();
    if (r.equivalent) report.lines.emplace_back(diff::kEquivalentSentence);
    return report;
}

} // namespace quennet::render
