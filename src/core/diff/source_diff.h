// Structural comparison of two sorted models into a tree of removed, added and changed
// declarations. Items point into the two models, which must outlive the comparison.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/source_model.h"

namespace quennet::diff {

class DeclPairing;

// The numbers reach the tree and JSON outputs and the tree's image order, where 1 is a
// document image no comparison produces; they keep their values.
enum class DiffState : uint8_t { Group = 0, Removed = 2, Added = 3, Changed = 4 };
using enum DiffState;

class TSourceDiffItem;

// What a node of the tree stands for. A group, a declaration and its parts ("implementation",
// "Inherited") share the kind of what they hold.
enum class NodeKind : uint8_t {
    Text,
    Type,
    Class,
    Field,
    Method,
    Property,
    Routine,
    Variable,
    Constant,
    Section,
    Uses
};

class TSourceDiffList {
public:
    TSourceDiffList() = default;
    ~TSourceDiffList();
    TSourceDiffList(const TSourceDiffList&) = delete;
    TSourceDiffList& operator=(const TSourceDiffList&) = delete;

    size_t Count() const { return items_.size(); }
    TSourceDiffItem* Items(size_t index) const { return items_[index].get(); }
    // The item is of ItemKind unless a kind is given.
    TSourceDiffItem* AddItem(std::string caption, DiffState state, const model::TidName* oldDecl,
                             const model::TidName* newDecl);
    TSourceDiffItem* AddItem(std::string caption, DiffState state, const model::TidName* oldDecl,
                             const model::TidName* newDecl, NodeKind kind);
    // Links an item built apart (a group filled before it is known to be non-empty).
    TSourceDiffItem* Append(std::unique_ptr<TSourceDiffItem> item);

    NodeKind ItemKind = NodeKind::Text;

private:
    std::vector<std::unique_ptr<TSourceDiffItem>> items_;
};

class TSourceDiffItem {
public:
    TSourceDiffItem(std::string caption, DiffState state, const model::TidName* oldDecl,
                    const model::TidName* newDecl, NodeKind kind = NodeKind::Text)
        : Caption(std::move(caption)), State(state), Kind(kind), OldDecl(oldDecl),
          NewDecl(newDecl) {
        Children.ItemKind = kind;
    }

    std::string Caption;
    DiffState State;
    NodeKind Kind;
    const model::TidName* OldDecl; // not owned; null when absent
    const model::TidName* NewDecl;
    TSourceDiffList Children;
    // The old name of a renamed declaration (Caption is the new one), or the class a member
    // moved here from; empty otherwise.
    std::string RenamedFrom;
    std::string MovedFrom;

    TSourceDiffItem* AddChild(std::string caption, DiffState state, const model::TidName* oldDecl,
                              const model::TidName* newDecl) {
        return Children.AddItem(std::move(caption), state, oldDecl, newDecl);
    }
};

// The caption as shown: a declaration read from an include file names that file, so the
// tree never passes such a declaration off as part of the compared file; a renamed one shows
// both names ("Old -> New"), a moved one where it came from. Caption itself stays the bare
// (new) name that other code matches on.
std::string ShownCaption(const TSourceDiffItem& item);

// The name of the line ranges of a run of changed text beyond a parse stop; no declaration's
// plain range carries it.
inline constexpr char kTextRunName[] = "Text";

// Whether the item is such a run rather than a declaration.
bool IsTextRun(const TSourceDiffItem& item);

// Final with a plain Compare: the constructor runs it, where an override would never be called.
class TSourceDiff final {
public:
    // Both models must have been sorted by SortLists. With a pairing, renamed and moved
    // declarations are one node each rather than a removed and an added one.
    TSourceDiff(const model::TPasSrc& oldSrc, const model::TPasSrc& newSrc,
                const DeclPairing* pairing = nullptr);

    TSourceDiffList Root;

    // Keeps a declaration that no model holds (a run of text) for as long as the tree.
    const model::TidName* Own(std::unique_ptr<model::TidName> decl) {
        owned_.push_back(std::move(decl));
        return owned_.back().get();
    }

private:
    void Compare(const model::TPasSrc& oldSrc, const model::TPasSrc& newSrc,
                 const DeclPairing* pairing);

    std::vector<std::unique_ptr<model::TidName>> owned_;
};

} // namespace quennet::diff
