// The difference tree: three merge walks per category (removed, changed, added), with the
// routine, class and section rules deciding what a pair present on both sides shows.
#include "diff/source_diff.h"

#include <functional>
#include <typeinfo>

namespace quennet::diff {

using model::CompareNames;
using model::DeclList;
using model::IncludeTag;
using model::MatchItems;
using model::PairName;
using model::TPasSrc;
using model::TidClass;
using model::TidField;
using model::TidName;
using model::TidProc;
using model::TidProp;
using model::TidType;
using model::TidUnitRef;
using model::TidVar;

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
    return item.Caption + IncludeTag(item.OldDecl, item.NewDecl);
}

TSourceDiff::TSourceDiff(const TPasSrc& oldSrc, const TPasSrc& newSrc) {
    Compare(oldSrc, newSrc);
}

namespace {

std::unique_ptr<TSourceDiffItem> NewGroup(const char* caption, NodeKind kind) {
    return std::make_unique<TSourceDiffItem>(caption, Group, nullptr, nullptr, kind);
}

void LinkIfFilled(TSourceDiffList& parent, std::unique_ptr<TSourceDiffItem> node) {
    if (node->Children.Count() > 0) parent.Append(std::move(node));
}

// Removed, then changed, then added: each run in name order because both lists are sorted.
template <class T>
void ThreePasses(TSourceDiffList& group, const DeclList<T>& oldList, const DeclList<T>& newList,
                 const std::function<void(TSourceDiffList&, const T*, const T*)>& pairRule,
                 const std::function<void(TSourceDiffItem*, const T*)>& onRemoved = {},
                 const std::function<void(TSourceDiffItem*, const T*)>& onAdded = {}) {
    const auto match = MatchItems(oldList, newList);
    for (const T* o : match.removed) {
        TSourceDiffItem* node = group.AddItem(o->Name, Removed, o, nullptr);
        if (onRemoved) onRemoved(node, o);
    }
    for (const auto& [o, n] : match.both)
        pairRule(group, o, n);
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

void RemovedRoutine(TSourceDiffItem* node, const TidProc* o) {
    if (o->Implementation)
        node->AddChild("implementation", Removed, o->Implementation.get(), nullptr);
}

void AddedRoutine(TSourceDiffItem* node, const TidProc* n) {
    if (n->Implementation)
        node->AddChild("implementation", Added, nullptr, n->Implementation.get());
}

void RoutineGroup(TSourceDiffList& parent, const char* caption, NodeKind kind,
                  const DeclList<TidProc>& oldList, const DeclList<TidProc>& newList) {
    auto group = NewGroup(caption, kind);
    ThreePasses<TidProc>(group->Children, oldList, newList, RoutineRule, RemovedRoutine,
                         AddedRoutine);
    LinkIfFilled(parent, std::move(group));
}

template <class T>
void SimpleGroup(TSourceDiffList& parent, const char* caption, NodeKind kind,
                 const DeclList<T>& oldList, const DeclList<T>& newList,
                 const std::function<void(TSourceDiffList&, const T*, const T*)>& rule) {
    auto group = NewGroup(caption, kind);
    ThreePasses<T>(group->Children, oldList, newList, rule);
    LinkIfFilled(parent, std::move(group));
}

// A change of Kind or of the class's own lines alone shows nothing.
void ClassRule(TSourceDiffList& group, const TidClass* o, const TidClass* n) {
    auto node = std::make_unique<TSourceDiffItem>(o->Name, Changed, o, n, group.ItemKind);
    if (CompareNames(o->Ancestors, n->Ancestors) != 0) node->AddChild("Inherited", Changed, o, n);
    SimpleGroup<TidField>(node->Children, "Field", NodeKind::Field, o->Fields, n->Fields,
                          ChecksumRule<TidField>);
    RoutineGroup(node->Children, "Method", NodeKind::Method, o->Methods, n->Methods);
    SimpleGroup<TidProp>(node->Children, "Property", NodeKind::Property, o->Props, n->Props,
                         ChecksumRule<TidProp>);
    LinkIfFilled(group, std::move(node));
}

// Adding or removing a section is seen as a checksum going from or to 0.
void SectionRule(TSourceDiffList& root, const char* caption, const TidName* o, const TidName* n) {
    if (o->Checksum == n->Checksum) return;
    const DiffState state = o->Checksum == 0 ? Added : n->Checksum == 0 ? Removed : Changed;
    root.AddItem(caption, state, o, n, NodeKind::Section);
}

} // namespace

void TSourceDiff::Compare(const TPasSrc& oldSrc, const TPasSrc& newSrc) {
    // Only the modern readings record used units; the classic tree never has this group.
    SimpleGroup<TidUnitRef>(Root, "Uses", NodeKind::Uses, oldSrc.Uses, newSrc.Uses,
                            ChecksumRule<TidUnitRef>);
    SimpleGroup<TidType>(Root, "Type", NodeKind::Type, oldSrc.Types, newSrc.Types,
                         ChecksumRule<TidType>);
    SimpleGroup<TidClass>(Root, "Class/Interface", NodeKind::Class, oldSrc.Classes,
                          newSrc.Classes, ClassRule);
    RoutineGroup(Root, "Procedure/Function", NodeKind::Routine, oldSrc.Procs, newSrc.Procs);
    SimpleGroup<TidVar>(Root, "Variable", NodeKind::Variable, oldSrc.Vars, newSrc.Vars, VarRule);
    SimpleGroup<TidVar>(Root, "Constant", NodeKind::Constant, oldSrc.Consts, newSrc.Consts,
                        VarRule);
    SectionRule(Root, "Main block", oldSrc.MainBlock.get(), newSrc.MainBlock.get());
    SectionRule(Root, "Initialization", oldSrc.Initialization.get(), newSrc.Initialization.get());
    SectionRule(Root, "Finalization", oldSrc.Finalization.get(), newSrc.Finalization.get());
}

} // namespace quennet::diff
