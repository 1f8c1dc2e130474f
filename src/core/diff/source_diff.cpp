// The difference tree: three merge walks per category (removed, changed, added), with the
// routine, class and section rules deciding what a pair present on both sides shows.
#include "diff/source_diff.h"

#include "diff/decl_pairing.h"

#include <functional>
#include <typeinfo>

namespace quennet::diff {

using model::CompareNames;
using model::DeclList;
using model::IncludeTag;
using model::MatchItems;
using model::PairName;
using model::TidClass;
using model::TidField;
using model::TidImplementation;
using model::TidName;
using model::TidProc;
using model::TidProp;
using model::TidType;
using model::TidUnitRef;
using model::TidVar;
using model::TPasSrc;

TSourceDiffList::~TSourceDiffList() {
    while (!items_.empty())
        items_.pop_back();
}

TSourceDiffItem* TSourceDiffList::AddItem(std::string caption, DiffState state,
                                          const TidName* oldDecl, const TidName* newDecl) {
    return AddItem(std::move(caption), state, oldDecl, newDecl, ItemKind);
}

TSourceDiffItem* TSourceDiffList::AddItem(std::string caption, DiffState state,
                                          const TidName* oldDecl, const TidName* newDecl,
                                          NodeKind kind) {
    return Append(
        std::make_unique<TSourceDiffItem>(std::move(caption), state, oldDecl, newDecl, kind));
}

TSourceDiffItem* TSourceDiffList::Append(std::unique_ptr<TSourceDiffItem> item) {
    items_.push_back(std::move(item));
    return items_.back().get();
}

bool IsTextRun(const TSourceDiffItem& item) {
    const TidName* decl = item.OldDecl ? item.OldDecl : item.NewDecl;
    return decl && typeid(*decl) == typeid(TidName) && decl->Name == kTextRunName;
}

std::string ShownCaption(const TSourceDiffItem& item) {
    std::string shown =
        item.RenamedFrom.empty() ? item.Caption : item.RenamedFrom + " -> " + item.Caption;
    if (!item.MovedFrom.empty()) shown += " (moved from " + item.MovedFrom + ")";
    return shown + IncludeTag(item.OldDecl, item.NewDecl);
}

TSourceDiff::TSourceDiff(const TPasSrc& oldSrc, const TPasSrc& newSrc, const DeclPairing* pairing) {
    Compare(oldSrc, newSrc, pairing);
}

namespace {

std::unique_ptr<TSourceDiffItem> NewGroup(const char* caption, NodeKind kind) {
    return std::make_unique<TSourceDiffItem>(caption, Group, nullptr, nullptr, kind);
}

void LinkIfFilled(TSourceDiffList& parent, std::unique_ptr<TSourceDiffItem> node) {
    if (node->Children.Count() > 0) parent.Append(std::move(node));
}

// The node of a renamed or moved declaration, captioned with its new name.
TSourceDiffItem* PairedNode(TSourceDiffList& group, const DeclPair& p) {
    TSourceDiffItem* node = group.AddItem(p.newDecl->Name, Changed, p.oldDecl, p.newDecl);
    if (p.moved)
        node->MovedFrom = p.oldOwner->Name;
    else
        node->RenamedFrom = p.oldDecl->Name;
    return node;
}

void PairedRoutine(TSourceDiffList& group, const DeclPair& p) {
    TSourceDiffItem* node = PairedNode(group, p);
    const TidName* oi = static_cast<const TidProc*>(p.oldDecl)->Implementation.get();
    const TidName* ni = static_cast<const TidProc*>(p.newDecl)->Implementation.get();
    if (p.changed && oi && ni) node->AddChild("implementation", Changed, oi, ni);
}

// Removed, then changed, then added: each run in name order because both lists are sorted.
// Renamed and moved declarations come after the changed ones.
template <class T>
void ThreePasses(TSourceDiffList& group, const DeclList<T>& oldList, const DeclList<T>& newList,
                 const std::function<void(TSourceDiffList&, const T*, const T*)>& pairRule,
                 const DeclPairing* pairing,
                 const std::function<void(TSourceDiffItem*, const T*)>& onRemoved = {},
                 const std::function<void(TSourceDiffItem*, const T*)>& onAdded = {},
                 const std::function<void(TSourceDiffList&, const DeclPair&)>& onPaired = {}) {
    const auto paired = MatchPaired(MatchItems(oldList, newList), pairing);
    const auto& match = paired.match;
    for (const T* o : match.removed) {
        TSourceDiffItem* node = group.AddItem(o->Name, Removed, o, nullptr);
        if (onRemoved) onRemoved(node, o);
    }
    for (const auto& [o, n] : match.both)
        pairRule(group, o, n);
    for (const DeclPair* p : paired.paired) {
        if (onPaired)
            onPaired(group, *p);
        else
            PairedNode(group, *p);
    }
    for (const T* n : match.added) {
        TSourceDiffItem* node = group.AddItem(n->Name, Added, nullptr, n);
        if (onAdded) onAdded(node, n);
    }
}

template <class T> void ChecksumRule(TSourceDiffList& group, const T* o, const T* n) {
    if (o->Checksum != n->Checksum) group.AddItem(o->Name, Changed, o, n);
}

void VarRule(TSourceDiffList& group, const TidVar* o, const TidVar* n) {
    if (o->Checksum != n->Checksum || o->ValueChecksum != n->ValueChecksum)
        group.AddItem(o->Name, Changed, o, n);
}

// A routine whose heading is unchanged is shown through its bodies only, so selecting it
// highlights the bodies; a changed heading shows the headings and the body as a child.
void RoutineRule(TSourceDiffList& group, const TidProc* o, const TidProc* n) {
    const TidImplementation* oi = o->Implementation.get();
    const TidImplementation* ni = n->Implementation.get();
    // An implementation heading may change without the declaration's (a parameter renamed
    // or its list left out, a directive): its lines belong to the body's range.
    bool bodyDiffers = oi && ni && BodiesDiffer(*o, *n);
    if (o->Checksum == n->Checksum) {
        if (bodyDiffers)
            group.AddItem(PairName(o, n), Changed, oi, ni);
        else if (oi && !ni)
            group.AddItem(PairName(o, n), Removed, oi, nullptr);
        else if (!oi && ni)
            group.AddItem(PairName(o, n), Added, nullptr, ni);
        return;
    }
    TSourceDiffItem* node = group.AddItem(PairName(o, n), Changed, o, n);
    if (bodyDiffers)
        node->AddChild("implementation", Changed, oi, ni);
    else if (oi && !ni)
        node->AddChild("implementation", Removed, oi, nullptr);
    else if (!oi && ni)
        node->AddChild("implementation", Added, nullptr, ni);
}

// A routine moved between the sections is one node whatever its checksums say: the interface
// heading and the implementation heading are different texts.
void SectionMovedRoutine(TSourceDiffList& group, const TidProc* o, const TidProc* n) {
    const bool changed = ChangedBesidesSection(*o, *n);
    TSourceDiffItem* node = group.AddItem(PairName(o, n), Changed, o, n);
    node->MovedFrom = SectionOf(*o);
    if (changed)
        node->AddChild("implementation", Changed, o->Implementation.get(), n->Implementation.get());
}

void RemovedRoutine(TSourceDiffItem* node, const TidProc* o) {
    if (o->Implementation)
        node->AddChild("implementation", Removed, o->Implementation.get(), nullptr);
}

void AddedRoutine(TSourceDiffItem* node, const TidProc* n) {
    if (n->Implementation)
        node->AddChild("implementation", Added, nullptr, n->Implementation.get());
}

void RoutineGroup(TSourceDiffList& parent, const char* caption, NodeKind kind,
                  const DeclList<TidProc>& oldList, const DeclList<TidProc>& newList,
                  const DeclPairing* pairing) {
    auto group = NewGroup(caption, kind);
    auto rule = [pairing](TSourceDiffList& g, const TidProc* o, const TidProc* n) {
        if (pairing && MovedBetweenSections(*o, *n))
            SectionMovedRoutine(g, o, n);
        else
            RoutineRule(g, o, n);
    };
    ThreePasses<TidProc>(group->Children, oldList, newList, rule, pairing, RemovedRoutine,
                         AddedRoutine, PairedRoutine);
    LinkIfFilled(parent, std::move(group));
}

template <class T>
void SimpleGroup(TSourceDiffList& parent, const char* caption, NodeKind kind,
                 const DeclList<T>& oldList, const DeclList<T>& newList,
                 const std::function<void(TSourceDiffList&, const T*, const T*)>& rule,
                 const DeclPairing* pairing,
                 const std::function<void(TSourceDiffList&, const DeclPair&)>& onPaired = {}) {
    auto group = NewGroup(caption, kind);
    ThreePasses<T>(group->Children, oldList, newList, rule, pairing, {}, {}, onPaired);
    LinkIfFilled(parent, std::move(group));
}

void ClassMembers(TSourceDiffItem& node, const TidClass* o, const TidClass* n,
                  const DeclPairing* pairing) {
    if (CompareNames(o->Ancestors, n->Ancestors) != 0) node.AddChild("Inherited", Changed, o, n);
    SimpleGroup<TidField>(node.Children, "Field", NodeKind::Field, o->Fields, n->Fields,
                          ChecksumRule<TidField>, pairing);
    RoutineGroup(node.Children, "Method", NodeKind::Method, o->Methods, n->Methods, pairing);
    SimpleGroup<TidProp>(node.Children, "Property", NodeKind::Property, o->Props, n->Props,
                         ChecksumRule<TidProp>, pairing);
}

// A change of Kind or of the class's own lines alone shows nothing.
void ClassRule(TSourceDiffList& group, const TidClass* o, const TidClass* n,
               const DeclPairing* pairing) {
    auto node = std::make_unique<TSourceDiffItem>(o->Name, Changed, o, n, group.ItemKind);
    ClassMembers(*node, o, n, pairing);
    LinkIfFilled(group, std::move(node));
}

// A renamed class is shown even when its members are all as they were.
void PairedClass(TSourceDiffList& group, const DeclPair& p, const DeclPairing* pairing) {
    ClassMembers(*PairedNode(group, p), static_cast<const TidClass*>(p.oldDecl),
                 static_cast<const TidClass*>(p.newDecl), pairing);
}

// Adding or removing a section is seen as a checksum going from or to 0.
void SectionRule(TSourceDiffList& root, const char* caption, const TidName* o, const TidName* n) {
    if (o->Checksum == n->Checksum) return;
    const DiffState state = o->Checksum == 0 ? Added : n->Checksum == 0 ? Removed : Changed;
    root.AddItem(caption, state, o, n, NodeKind::Section);
}

} // namespace

void TSourceDiff::Compare(const TPasSrc& oldSrc, const TPasSrc& newSrc,
                          const DeclPairing* pairing) {
    // Only the modern readings record used units; the classic tree never has this group.
    SimpleGroup<TidUnitRef>(Root, "Uses", NodeKind::Uses, oldSrc.Uses, newSrc.Uses,
                            ChecksumRule<TidUnitRef>, nullptr);
    SimpleGroup<TidType>(Root, "Type", NodeKind::Type, oldSrc.Types, newSrc.Types,
                         ChecksumRule<TidType>, pairing);
    SimpleGroup<TidClass>(
        Root, "Class/Interface", NodeKind::Class, oldSrc.Classes, newSrc.Classes,
        [pairing](TSourceDiffList& g, const TidClass* o, const TidClass* n) {
            ClassRule(g, o, n, pairing);
        },
        pairing, [pairing](TSourceDiffList& g, const DeclPair& p) { PairedClass(g, p, pairing); });
    RoutineGroup(Root, "Procedure/Function", NodeKind::Routine, oldSrc.Procs, newSrc.Procs,
                 pairing);
    SimpleGroup<TidVar>(Root, "Variable", NodeKind::Variable, oldSrc.Vars, newSrc.Vars, VarRule,
                        pairing);
    SimpleGroup<TidVar>(Root, "Constant", NodeKind::Constant, oldSrc.Consts, newSrc.Consts, VarRule,
                        pairing);
    SectionRule(Root, "Main block", oldSrc.MainBlock.get(), newSrc.MainBlock.get());
    SectionRule(Root, "Initialization", oldSrc.Initialization.get(), newSrc.Initialization.get());
    SectionRule(Root, "Finalization", oldSrc.Finalization.get(), newSrc.Finalization.get());
}

} // namespace quennet::diff
