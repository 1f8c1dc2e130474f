// The public surface is read from the model plus two facts the model drops: where the
// interface section ends and which visibility section a member sits in.
#include "diff/api_changes.h"

#include "diff/decl_pairing.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "base/ascii.h"
#include "base/pascal_text.h"

namespace quennet::diff {

using model::CompareNames;
using model::DeclList;
using model::ItemsInBoth;
using model::ItemsMissing;
using model::TidClass;
using model::TidField;
using model::TidName;
using model::TidProc;
using model::TidProp;
using model::TidType;
using model::TidUnitRef;
using model::TidVar;
using model::TPasSrc;

namespace {

using namespace base;
using namespace diff;
using namespace model;

// Lower-case words of lines [first, last] (1-based) outside comments and strings, with
// their line; stops early when `visit` returns false.
void ForEachWord(const std::vector<std::string>& lines, int32_t first, int32_t last,
                 const std::function<bool(const std::string&, int32_t)>& visit) {
    base::LexState state = base::LexState::Code;
    bool more = true;
    for (int32_t ln = std::max(first, 1);
         more && ln <= last && ln <= static_cast<int32_t>(lines.size()); ++ln) {
        const std::string_view s = lines[ln - 1];
        state = base::ForEachPiece(s, state, [&](base::PieceKind kind, size_t begin, size_t end) {
            if (kind != base::PieceKind::Code) return true;
            for (size_t i = begin; i < end;) {
                if (!base::IsAsciiLetter(s[i]) && s[i] != '_') {
                    ++i;
                    continue;
                }
                size_t j = i;
                while (j < end && base::IsIdentChar(s[j]))
                    ++j;
                if (!visit(base::LowerAscii(s.substr(i, j - i)), ln)) return more = false;
                i = j;
            }
            return true;
        });
    }
}

struct Seen {
    bool visible = false;
    Visibility vis = Visibility::Private;
};

class Comparer {
public:
    Comparer(const UnitText& o, const UnitText& n, bool includeProtected,
             const DeclPairing* pairing)
        : pairing_(pairing), old_(o), new_(n), oldEnd_(InterfaceEndLine(*o.lines)),
          newEnd_(InterfaceEndLine(*n.lines)),
          least_(includeProtected ? Visibility::Protected : Visibility::Public) {}

    ApiReport Run() {
        const TPasSrc& o = *old_.src;
        const TPasSrc& n = *new_.src;
        Lists<TidType>(o.Types, n.Types, "type", "", TopSeen(), [&](auto* a, auto* b, auto& nm) {
            if (a->Checksum != b->Checksum) Add(ChangeClass::Breaking, "changed type", "type", nm);
        });
        Lists<TidClass>(
            o.Classes, n.Classes, "class", "", TopSeen(),
            [&](auto* a, auto* b, auto& nm) { Class(a, b, nm, true); },
            [&](auto* a, auto* b, auto& nm) { Class(a, b, nm, false); });
        Lists<TidProc>(o.Procs, n.Procs, "routine", "", TopSeen(), Routine("routine"));
        Lists<TidVar>(o.Vars, n.Vars, "variable", "", TopSeen(), Var("variable"));
        Lists<TidVar>(o.Consts, n.Consts, "constant", "", TopSeen(), Var("constant"));
        Section(o.Initialization.get(), n.Initialization.get());
        Section(o.Finalization.get(), n.Finalization.get());
        Section(o.MainBlock.get(), n.MainBlock.get());
        // A unit's uses are its own: another unit sees none of them.
        Lists<TidUnitRef>(o.Uses, n.Uses, "unit", "", [](const TidName*, bool) { return Seen{}; },
                          {});
        return std::move(report_);
    }

private:
    using SeenFn = std::function<Seen(const TidName*, bool isNew)>;
    template <class T> using PairFn = std::function<void(const T*, const T*, const std::string&)>;

    SeenFn TopSeen() const {
        return [this](const TidName* d, bool isNew) {
            const int32_t end = isNew ? newEnd_ : oldEnd_;
            Seen s;
            s.visible = end > 0 && d->FirstLine > 0 && d->FirstLine < end;
            s.vis = s.visible ? Visibility::Public : Visibility::Private;
            return s;
        };
    }

    SeenFn MemberSeen(const TidClass* oc, const TidClass* nc, bool classVisible) const {
        return [=, this](const TidName* d, bool isNew) {
            const TidClass* cls = isNew ? nc : oc;
            const auto& lines = *(isNew ? new_.lines : old_.lines);
            Seen s;
            if (d->FirstLine <= cls->FirstLine || d->FirstLine > cls->LastLine) return s;
            s.vis = VisibilityAt(lines, cls->FirstLine, d->FirstLine);
            s.visible = classVisible && s.vis >= least_;
            return s;
        };
    }

    void Add(ChangeClass cls, std::string what, std::string kind, const std::string& name) {
        if (cls == ChangeClass::Internal) {
            ++report_.internal;
            return;
        }
        (cls == ChangeClass::Breaking ? report_.breaking : report_.additive)++;
        report_.changes.push_back({cls, std::move(what), std::move(kind), name});
    }

    // Removed, both, added, as the difference tree walks them. `both` compares two visible
    // versions; `hidden` two versions nobody outside sees (default: any checksum difference).
    template <class T>
    void Lists(const DeclList<T>& a, const DeclList<T>& b, const std::string& kind,
               const std::string& prefix, const SeenFn& seen, const PairFn<T>& both,
               const PairFn<T>& hidden = {}) {
        auto nameOf = [&](const T* d) { return prefix.empty() ? d->Name : prefix + "." + d->Name; };
        auto kindOf = [&](const T* d) {
            if constexpr (std::is_same_v<T, TidClass>) {
                std::string k = d->Kind;
                for (char& c : k)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                return k.empty() ? kind : k;
            }
            return kind;
        };
        for (const T* o : ItemsMissing(a, b)) {
            const bool was = seen(o, false).visible;
            if (const DeclPair* p = pairing_ ? pairing_->ForOld(o) : nullptr) {
                // One change under the old name, not a removal and an addition.
                const T* n = static_cast<const T*>(p->newDecl);
                if (was)
                    Add(ChangeClass::Breaking,
                        p->moved ? "moved to " + p->newOwner->Name
                                 : "renamed " + o->Name + " -> " + n->Name,
                        kindOf(o), nameOf(o));
                else if (!p->moved && seen(n, true).visible)
                    Add(ChangeClass::Additive, "added", kindOf(n), nameOf(n));
                else
                    Add(ChangeClass::Internal, "", "", "");
                continue;
            }
            Add(was ? ChangeClass::Breaking : ChangeClass::Internal, "removed", kindOf(o),
                nameOf(o));
        }
        for (const auto& [o, n] : ItemsInBoth(a, b)) {
            const Seen so = seen(o, false), sn = seen(n, true);
            if (so.visible && (!sn.visible || sn.vis < so.vis)) {
                Add(ChangeClass::Breaking,
                    sn.visible || !prefix.empty() ? "narrower visibility" : "removed", kindOf(o),
                    nameOf(o));
                if (!sn.visible) continue;
            } else if (!so.visible && sn.visible) {
                Add(ChangeClass::Additive, prefix.empty() ? "added" : "wider visibility", kindOf(n),
                    nameOf(n));
                continue;
            }
            if (so.visible)
                both(o, n, nameOf(o));
            else if (hidden)
                hidden(o, n, nameOf(o));
            else if (Differs(o, n))
                Add(ChangeClass::Internal, "", "", "");
        }
        for (const T* n : ItemsMissing(b, a))
            if (!pairing_ || !pairing_->ForNew(n))
                Add(seen(n, true).visible ? ChangeClass::Additive : ChangeClass::Internal, "added",
                    kindOf(n), nameOf(n));
    }

    template <class T> static bool Differs(const T* o, const T* n) {
        if (o->Checksum != n->Checksum) return true;
        if constexpr (std::is_same_v<T, TidVar>) return o->ValueChecksum != n->ValueChecksum;
        if constexpr (std::is_same_v<T, TidProc>) {
            const TidImplementation* oi = o->Implementation.get();
            const TidImplementation* ni = n->Implementation.get();
            return (oi == nullptr) != (ni == nullptr) || (oi && BodiesDiffer(*o, *n));
        }
        return false;
    }

    PairFn<TidProc> Routine(const char* kind) {
        return [this, kind](const TidProc* o, const TidProc* n, const std::string& name) {
            if (o->Checksum != n->Checksum)
                Add(ChangeClass::Breaking, "changed heading", kind, name);
            const TidImplementation* oi = o->Implementation.get();
            const TidImplementation* ni = n->Implementation.get();
            if ((oi == nullptr) != (ni == nullptr) || (oi && BodiesDiffer(*o, *n)))
                Add(ChangeClass::Internal, "", "", "");
        };
    }

    PairFn<TidVar> Var(const char* kind) {
        return [this, kind](const TidVar* o, const TidVar* n, const std::string& name) {
            if (o->Checksum != n->Checksum)
                Add(ChangeClass::Breaking, "changed type", kind, name);
            else if (o->ValueChecksum != n->ValueChecksum)
                // A constant's value is compiled into its users; a variable's is its own.
                Add(std::string(kind) == "constant" ? ChangeClass::Breaking : ChangeClass::Internal,
                    "changed value", kind, name);
        };
    }

    static std::vector<std::string> Ancestors(const std::string& text) {
        std::vector<std::string> out;
        std::string cur;
        for (char c : text + ",") {
            if (c == ',') {
                if (!cur.empty()) out.push_back(cur);
                cur.clear();
            } else if (!std::isspace(static_cast<unsigned char>(c))) {
                cur += c;
            }
        }
        return out;
    }

    static bool Contains(const std::vector<std::string>& names, const std::string& name) {
        return std::any_of(names.begin(), names.end(),
                           [&](const std::string& n) { return CompareNames(n, name) == 0; });
    }

    void Class(const TidClass* o, const TidClass* n, const std::string& name, bool visible) {
        if (visible) {
            const auto oa = Ancestors(o->Ancestors), na = Ancestors(n->Ancestors);
            for (const auto& a : oa)
                if (!Contains(na, a))
                    Add(ChangeClass::Breaking, "removed ancestor " + a, "class", name);
            for (const auto& a : na)
                if (!Contains(oa, a))
                    Add(ChangeClass::Additive, "added ancestor " + a, "class", name);
            if (CompareNames(o->Kind, n->Kind) != 0)
                Add(ChangeClass::Breaking, "changed kind", "class", name);
        } else if (CompareNames(o->Ancestors, n->Ancestors) != 0 ||
                   CompareNames(o->Kind, n->Kind) != 0) {
            Add(ChangeClass::Internal, "", "", "");
        }
        const SeenFn seen = MemberSeen(o, n, visible);
        Lists<TidField>(o->Fields, n->Fields, "field", name, seen, [&](auto* a, auto* b, auto& nm) {
            if (a->Checksum != b->Checksum) Add(ChangeClass::Breaking, "changed type", "field", nm);
        });
        Lists<TidProc>(o->Methods, n->Methods, "method", name, seen, Routine("method"));
        Lists<TidProp>(o->Props, n->Props, "property", name, seen, [&](auto* a, auto* b, auto& nm) {
            if (a->Checksum != b->Checksum)
                Add(ChangeClass::Breaking, "changed heading", "property", nm);
        });
    }

    void Section(const TidName* o, const TidName* n) {
        if (o && n && o->Checksum != n->Checksum) Add(ChangeClass::Internal, "", "", "");
    }

    const DeclPairing* pairing_;
    UnitText old_, new_;
    int32_t oldEnd_, newEnd_;
    Visibility least_;
    ApiReport report_;
};

} // namespace

ApiReport CompareApi(const UnitText& oldUnit, const UnitText& newUnit, bool includeProtected,
                     const diff::DeclPairing* pairing) {
    return Comparer(oldUnit, newUnit, includeProtected, pairing).Run();
}

int32_t InterfaceEndLine(const std::vector<std::string>& lines) {
    int32_t found = 0;
    bool sawInterface = false;
    ForEachWord(lines, 1, static_cast<int32_t>(lines.size()),
                [&](const std::string& w, int32_t ln) {
                    if (w == "interface" && !sawInterface) sawInterface = true;
                    if (w == "implementation" && sawInterface) {
                        found = ln;
                        return false;
                    }
                    return true;
                });
    return found;
}

Visibility VisibilityAt(const std::vector<std::string>& lines, int32_t classFirstLine,
                        int32_t line) {
    Visibility v = Visibility::Public;
    // "strict private" and "strict protected" narrow within the unit only: outside it they
    // read as private and protected.
    ForEachWord(lines, classFirstLine, line - 1, [&](const std::string& w, int32_t) {
        if (w == "private")
            v = Visibility::Private;
        else if (w == "protected")
            v = Visibility::Protected;
        else if (w == "public")
            v = Visibility::Public;
        else if (w == "published")
            v = Visibility::Published;
        return true;
    });
    return v;
}

const char* ChangeClassName(ChangeClass cls) {
    switch (cls) {
    case ChangeClass::Breaking: return "breaking";
    case ChangeClass::Additive: return "additive";
    default: return "internal";
    }
}

std::string ApiSummary(const ApiReport& r) {
    return "API: " + std::to_string(r.breaking) + " breaking, " + std::to_string(r.additive) +
           " additive, " + std::to_string(r.internal) + " internal";
}

std::string ApiChangeLine(const ApiChange& c) {
    return std::string(ChangeClassName(c.cls)) + ": " + c.kind + " " + c.name + ": " + c.what;
}

} // namespace quennet::diff
