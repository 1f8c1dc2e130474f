// Pairing by checksums first: a checksum is the sum of its tokens' checksums, so a name
// changed in k places moves it by k times the difference of the two names' checksums, and an
// exact rename is found without the text. Only what that leaves is compared token by token.
#include "diff/decl_pairing.h"

#include <algorithm>
#include <optional>
#include <typeinfo>

#include "base/crc32.h"
#include "pascal/scanner.h"

namespace quennet::diff {

using base::UpperCrc32;
using model::CompareNames;
using model::DeclList;
using model::ItemsInBoth;
using model::MatchItems;
using model::ParamsOf;
using model::TidClass;
using model::TidField;
using model::TidName;
using model::TidProc;
using model::TidVar;
using model::TPasSrc;

std::string_view BareName(std::string_view name) {
    const size_t paren = name.find('(');
    return paren == std::string_view::npos ? name : name.substr(0, paren);
}

const DeclPair* DeclPairing::ForNew(const TidName* newDecl) const {
    auto it = byNew_.find(newDecl);
    return it == byNew_.end() ? nullptr : &pairs_[it->second];
}

const DeclPair* DeclPairing::ForOld(const TidName* oldDecl) const {
    auto it = byOld_.find(oldDecl);
    return it == byOld_.end() ? nullptr : &pairs_[it->second];
}

namespace {

// Occurrences of a name in a text are rarely more.
constexpr uint32_t kMostOccurrences = 64;
// Token comparisons are quadratic: larger lists or declarations pair only exactly.
constexpr size_t kMostCandidatePairs = 2500;
constexpr size_t kMostTokenProduct = 4'000'000;
// Even checksums are compared pair by pair: two unrelated files with thousands of routines
// each pair nothing rather than fill a matrix of millions.
constexpr size_t kMostExactPairs = 1'000'000;
// Past this many table cells in all, the rest pair only exactly (about a tenth of a second).
constexpr size_t kTokenBudget = 50'000'000;

uint32_t TokenSum(std::string_view name) {
    return UpperCrc32(BareName(name), 0xFFFFFFFFu);
}

// Whether n is o with some token of checksum co replaced by one of checksum cn, least to
// kMostOccurrences times.
bool EqualBut(uint32_t o, uint32_t n, uint32_t co, uint32_t cn, uint32_t least = 0) {
    const uint32_t diff = o - n, step = co - cn;
    uint32_t acc = least * step;
    for (uint32_t k = least; k <= kMostOccurrences; ++k, acc += step)
        if (acc == diff) return true;
    return false;
}

// One side's tokens by line, read from its text the first time they are asked for.
class SideTokens {
public:
    explicit SideTokens(SideText source) : source_(std::move(source)) {}

    // The tokens' checksums of lines first to last (1-based), those of masked names as 0.
    std::vector<uint32_t> Span(int32_t first, int32_t last, uint32_t mask) {
        Load();
        std::vector<uint32_t> out;
        auto from = std::lower_bound(tokens_.begin(), tokens_.end(), first,
                                     [](const Token& t, int32_t line) { return t.line < line; });
        for (auto it = from; it != tokens_.end() && it->line <= last; ++it)
            out.push_back(it->sum == mask ? 0 : it->sum);
        return out;
    }

private:
    struct Token {
        int32_t line;
        uint32_t sum;
    };
    SideText source_;
    bool loaded_ = false;
    std::vector<Token> tokens_;

    void Load() {
        if (loaded_) return;
        loaded_ = true;
        if (!source_) return;
        const std::string text = source_();
        pascal::TOp4Scanner scanner;
        scanner.InitSource(text.data(), static_cast<int32_t>(text.size()));
        while (scanner.Get() != pascal::tEndOfText) {
            const auto& t = scanner.State().CurToken;
            tokens_.push_back({t.Line, UpperCrc32(scanner.GetString(t.Pos, t.Len), 0xFFFFFFFFu)});
        }
    }
};

double Similarity(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    const size_t total = a.size() + b.size();
    if (a.empty() || b.empty()) return 0;
    if (2.0 * static_cast<double>(std::min(a.size(), b.size())) / static_cast<double>(total) <
        kRenameSimilarity)
        return 0;
    if (a.size() * b.size() > kMostTokenProduct) return 0;
    std::vector<uint32_t> prev(b.size() + 1, 0), cur(b.size() + 1, 0);
    for (size_t i = 0; i < a.size(); ++i) {
        for (size_t j = 0; j < b.size(); ++j)
            cur[j + 1] = a[i] == b[j] ? prev[j] + 1 : std::max(prev[j + 1], cur[j]);
        std::swap(prev, cur);
    }
    return 2.0 * prev[b.size()] / static_cast<double>(total);
}

const TidProc* AsProc(const TidName* d) {
    return dynamic_cast<const TidProc*>(d);
}

// A declaration's tokens: its lines, and a routine's body where that stands apart.
std::vector<uint32_t> DeclSpan(SideTokens& side, const TidName* d, uint32_t mask) {
    std::vector<uint32_t> out;
    auto add = [&](const TidName* part) {
        if (!part || !part->File.empty() || part->FirstLine <= 0) return false;
        auto span = side.Span(part->FirstLine, part->LastLine, mask);
        out.insert(out.end(), span.begin(), span.end());
        return true;
    };
    const TidProc* p = AsProc(d);
    const TidName* body = p ? p->Implementation.get() : nullptr;
    if (!body || body->FirstLine != d->FirstLine) {
        if (!add(d)) return {};
    }
    if (body && !add(body)) return {};
    return out;
}

struct Cand {
    const TidName* decl;
    const TidClass* owner;
};

} // namespace

class PairingBuilder {
public:
    PairingBuilder(DeclPairing& out, SideText oldText, SideText newText)
        : out_(out), oldTokens_(std::move(oldText)), newTokens_(std::move(newText)) {}

    void Build(const TPasSrc& o, const TPasSrc& n) {
        Scope(o.Types, n.Types, nullptr, nullptr);
        Scope(o.Classes, n.Classes, nullptr, nullptr);
        Scope(o.Procs, n.Procs, nullptr, nullptr);
        Scope(o.Vars, n.Vars, nullptr, nullptr);
        Scope(o.Consts, n.Consts, nullptr, nullptr);
        // Members of each class present on both sides, by name or renamed.
        std::vector<std::pair<const TidClass*, const TidClass*>> classes;
        for (const auto& [a, b] : ItemsInBoth(o.Classes, n.Classes))
            classes.emplace_back(a, b);
        for (const DeclPair& p : out_.pairs_)
            if (auto* a = dynamic_cast<const TidClass*>(p.oldDecl))
                classes.emplace_back(a, static_cast<const TidClass*>(p.newDecl));
        std::vector<Cand> goneMethods, newMethods;
        for (const auto& [a, b] : classes) {
            Scope(a->Fields, b->Fields, a, b);
            Scope(a->Props, b->Props, a, b);
            Scope(a->Methods, b->Methods, a, b);
            const auto match = MatchItems(a->Methods, b->Methods);
            for (const TidProc* m : match.removed)
                if (!out_.ForOld(m)) goneMethods.push_back({m, a});
            for (const TidProc* m : match.added)
                if (!out_.ForNew(m)) newMethods.push_back({m, b});
        }
        Pair(goneMethods, newMethods, true);
    }

private:
    DeclPairing& out_;
    SideTokens oldTokens_, newTokens_;
    // Token comparisons of one whole comparison, in cells of the common-subsequence table.
    size_t budget_ = kTokenBudget;

    template <class T>
    void Scope(const DeclList<T>& a, const DeclList<T>& b, const TidClass* oa, const TidClass* ob) {
        // As the tree matches them: a routine declared once pairs by name with an overload.
        const auto match = MatchItems(a, b);
        std::vector<Cand> gone, added;
        for (const T* d : match.removed)
            gone.push_back({d, oa});
        if (gone.empty()) return;
        for (const T* d : match.added)
            added.push_back({d, ob});
        Pair(gone, added, false);
    }

    // The sums a name or an owner change moves a checksum by.
    static std::pair<uint32_t, uint32_t> Masks(const Cand& o, const Cand& n, bool move) {
        if (move) return {TokenSum(o.owner->Name), TokenSum(n.owner->Name)};
        return {TokenSum(o.decl->Name), TokenSum(n.decl->Name)};
    }

    template <class T> static bool SameList(const DeclList<T>& a, const DeclList<T>& b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (CompareNames(*a[i], *b[i]) != 0 || a[i]->Checksum != b[i]->Checksum) return false;
        return true;
    }

    // Members by name and checksum; method bodies, which name the class, are left out.
    static bool SameMembers(const TidClass& a, const TidClass& b) {
        return SameList(a.Fields, b.Fields) && SameList(a.Props, b.Props) &&
               SameList(a.Methods, b.Methods);
    }

    static bool Exact(const Cand& o, const Cand& n, bool move) {
        const auto [co, cn] = Masks(o, n, move);
        if (move && CompareNames(o.decl->Name, n.decl->Name) != 0) return false;
        // The checksums of variables, constants and fields leave the name out, and a class's
        // covers its heading only: a class is its members. Any other's holds the name, so a
        // rename shows in it at least once.
        if (auto* vo = dynamic_cast<const TidVar*>(o.decl))
            return vo->Checksum == n.decl->Checksum &&
                   vo->ValueChecksum == static_cast<const TidVar*>(n.decl)->ValueChecksum;
        if (dynamic_cast<const TidField*>(o.decl)) return o.decl->Checksum == n.decl->Checksum;
        if (auto* co_ = dynamic_cast<const TidClass*>(o.decl))
            return EqualBut(o.decl->Checksum, n.decl->Checksum, co, cn) &&
                   SameMembers(*co_, *static_cast<const TidClass*>(n.decl));
        if (!EqualBut(o.decl->Checksum, n.decl->Checksum, co, cn, move ? 0 : 1)) return false;
        const TidProc* po = AsProc(o.decl);
        if (!po) return true;
        const TidProc* pn = AsProc(n.decl);
        const TidName* io = po->Implementation.get();
        const TidName* in = pn->Implementation.get();
        if (!io || !in) return !io && !in;
        return EqualBut(io->Checksum, in->Checksum, co, cn);
    }

    // Overloads pair only with the same parameter list.
    static bool SameKind(const Cand& o, const Cand& n, bool move) {
        if (typeid(*o.decl) != typeid(*n.decl)) return false;
        if (move) {
            if (!o.owner || !n.owner || CompareNames(o.owner->Name, n.owner->Name) == 0)
                return false;
            if (CompareNames(o.decl->Name, n.decl->Name) != 0) return false;
        }
        const TidProc* po = AsProc(o.decl);
        if (!po) return true;
        const TidProc* pn = AsProc(n.decl);
        const bool overloaded = po->Name.ends_with(')') || pn->Name.ends_with(')');
        if (!overloaded) return true;
        std::string so, sn;
        return CompareNames(ParamsOf(*po, so), ParamsOf(*pn, sn)) == 0;
    }

    void Add(const Cand& o, const Cand& n, bool move, bool changed) {
        const size_t index = out_.pairs_.size();
        out_.pairs_.push_back({o.decl, n.decl, o.owner, n.owner, move, changed});
        out_.byOld_[o.decl] = index;
        out_.byNew_[n.decl] = index;
        if (const TidProc* p = AsProc(o.decl); p && p->Implementation)
            out_.byOld_[p->Implementation.get()] = index;
        if (const TidProc* p = AsProc(n.decl); p && p->Implementation)
            out_.byNew_[p->Implementation.get()] = index;
    }

    // Exact pairs where each side has exactly one; then the most similar pairs, each the
    // other's single best. Ties are left apart.
    void Pair(const std::vector<Cand>& gone, const std::vector<Cand>& added, bool move) {
        const size_t R = gone.size(), A = added.size();
        if (R == 0 || A == 0 || R * A > kMostExactPairs) return;
        std::vector<std::vector<double>> score(R, std::vector<double>(A, 0));
        std::vector<bool> usedR(R), usedA(A);
        for (size_t i = 0; i < R; ++i)
            for (size_t j = 0; j < A; ++j)
                if (SameKind(gone[i], added[j], move) && Exact(gone[i], added[j], move))
                    score[i][j] = 2; // above any similarity
        if (R * A <= kMostCandidatePairs) {
            for (size_t i = 0; i < R; ++i) {
                std::optional<std::vector<uint32_t>> ti;
                for (size_t j = 0; j < A; ++j) {
                    if (score[i][j] != 0 || !SameKind(gone[i], added[j], move)) continue;
                    // A move masks the owners' names; a rename the declaration's own.
                    const auto [co, cn] = Masks(gone[i], added[j], move);
                    if (!ti) ti = DeclSpan(oldTokens_, gone[i].decl, co);
                    auto tj = DeclSpan(newTokens_, added[j].decl, cn);
                    const size_t cells = ti->size() * tj.size();
                    if (cells > budget_) continue;
                    budget_ -= cells;
                    const double s = Similarity(*ti, tj);
                    if (s >= kRenameSimilarity) score[i][j] = s;
                }
            }
        }
        for (size_t i = 0; i < R; ++i) {
            size_t best = A;
            bool tie = false;
            for (size_t j = 0; j < A; ++j) {
                if (score[i][j] == 0) continue;
                if (best == A || score[i][j] > score[i][best])
                    best = j, tie = false;
                else if (score[i][j] == score[i][best])
                    tie = true;
            }
            if (best == A || tie) continue;
            bool single = true;
            for (size_t k = 0; k < R && single; ++k)
                if (k != i && score[k][best] >= score[i][best]) single = false;
            if (single) Add(gone[i], added[best], move, score[i][best] < 2);
        }
    }
};

class DeclTokens::Side : public SideTokens {
public:
    using SideTokens::SideTokens;
};

DeclTokens::DeclTokens(SideText text) : side_(std::make_unique<Side>(std::move(text))) {}
DeclTokens::~DeclTokens() = default;

std::vector<uint32_t> DeclTokens::Of(const TidName& decl) {
    return DeclSpan(*side_, &decl, 0);
}

double TokenSimilarity(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    return Similarity(a, b);
}

DeclPairing::DeclPairing(const TPasSrc& oldSrc, const TPasSrc& newSrc, SideText oldText,
                         SideText newText) {
    PairingBuilder(*this, std::move(oldText), std::move(newText)).Build(oldSrc, newSrc);
}

} // namespace quennet::diff
