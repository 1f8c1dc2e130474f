// Declarations followed across a change of name or place: a declaration only in OLD and one
// only in NEW, of the same kind, are one declaration renamed (same scope) or moved (a method to
// another class or record). The tree, the report, the API view and the three-way merge all ask
// the same pairing, so none of them can disagree on what was renamed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/source_model.h"

namespace quennet::diff {

// Below this share of common tokens (names masked) two declarations are not one: 2 * LCS /
// (tokens of both), the longest common token subsequence over the two token counts.
inline constexpr double kRenameSimilarity = 0.8;

struct DeclPair {
    const model::TidName* oldDecl;
    const model::TidName* newDecl;
    // The class or record holding a member; null for the unit's own declarations.
    const model::TidClass* oldOwner = nullptr;
    const model::TidClass* newOwner = nullptr;
    bool moved = false;   // to another class; the name is kept
    bool changed = false; // more than the name (or the owner) differs

    bool renamed() const { return !moved; }
};

// The text of one side, asked for only when token similarity must decide: every line followed
// by CR LF, as the parse read it. Null or an empty result: only exact pairs are made.
using SideText = std::function<std::string()>;

class DeclPairing {
public:
    DeclPairing() = default;
    // Pairs the declarations of two sorted models.
    DeclPairing(const model::TPasSrc& oldSrc, const model::TPasSrc& newSrc, SideText oldText = {},
                SideText newText = {});

    const std::vector<DeclPair>& Pairs() const { return pairs_; }
    bool Empty() const { return pairs_.empty(); }
    // Which OLD declaration this NEW one is, null when it is no renamed or moved one.
    const DeclPair* ForNew(const model::TidName* newDecl) const;
    const DeclPair* ForOld(const model::TidName* oldDecl) const;

private:
    std::vector<DeclPair> pairs_;
    std::unordered_map<const model::TidName*, size_t> byOld_, byNew_;

    friend class PairingBuilder;
};

// The token checksums of declarations of one text (a routine with its body), for a token
// similarity across files; the text is scanned once, when first asked.
class DeclTokens {
public:
    explicit DeclTokens(SideText text);
    ~DeclTokens();
    DeclTokens(const DeclTokens&) = delete;
    DeclTokens& operator=(const DeclTokens&) = delete;
    // Empty for a declaration read from an include file.
    std::vector<uint32_t> Of(const model::TidName& decl);

private:
    class Side;
    std::unique_ptr<Side> side_;
};

// 2 * LCS / (tokens of both); 0 where the lengths alone rule out kRenameSimilarity or the
// lists are too long to compare.
double TokenSimilarity(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);

// Whether a comparison or merge in this reading follows renames; dialect is the resolved one.
inline bool FollowsRenames(const model::ParseOptions& options, model::Dialect dialect) {
    using enum model::ParseOptions::Renames;
    return options.renames == On ||
           (options.renames == ByDialect && dialect != model::Dialect::Classic);
}

// A unit's routine whose heading went from the interface to the implementation section or
// back (its body stays where it is): shown as moved where renames are followed.
inline bool MovedBetweenSections(const model::TidProc& o, const model::TidProc& n) {
    return o.InInterface != n.InInterface && o.Implementation && n.Implementation &&
           o.File.empty() && n.File.empty();
}

// Whether such a routine changed beyond its place: its body, or its implementation heading
// (the interface heading and the implementation heading are different texts, so the headings'
// own checksums cannot be compared).
inline bool ChangedBesidesSection(const model::TidProc& o, const model::TidProc& n) {
    return o.Implementation->Checksum != n.Implementation->Checksum ||
           o.Implementation->HeadingChecksum != n.Implementation->HeadingChecksum;
}

// "interface" or "implementation": the section a routine's heading is in.
inline const char* SectionOf(const model::TidProc& p) {
    return p.InInterface ? "interface" : "implementation";
}

// A name as its tokens spell it: an overload's parameter list left out.
std::string_view BareName(std::string_view name);

// Removed and added of a match less what the pairing pairs; the pairs (renamed, or moved here
// from another class) in NEW's name order.
template <class T> struct PairedMatch {
    model::ItemMatch<T> match;
    std::vector<const DeclPair*> paired;
};

template <class T>
PairedMatch<T> MatchPaired(model::ItemMatch<T> match, const DeclPairing* pairing) {
    PairedMatch<T> out{std::move(match), {}};
    if (!pairing || pairing->Empty()) return out;
    std::vector<const T*> removed, added;
    for (const T* o : out.match.removed) {
        if (!pairing->ForOld(o)) removed.push_back(o);
    }
    for (const T* n : out.match.added) {
        const DeclPair* p = pairing->ForNew(n);
        if (p)
            out.paired.push_back(p);
        else
            added.push_back(n);
    }
    out.match.removed = std::move(removed);
    out.match.added = std::move(added);
    return out;
}

} // namespace quennet::diff
