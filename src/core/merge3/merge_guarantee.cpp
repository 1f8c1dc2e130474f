// The check pairs the declarations of the four texts by its own rules (only the inputs' parses
// may come from the merge), so a fault in how the merge placed or paired them cannot hide.
#include "merge3/merge_guarantee.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "base/ascii.h"
#include "diff/decl_pairing.h"
#include "io/source_file.h"
#include "merge3/text_outline.h"
#include "model/source_model.h"
#include "pascal/parse.h"

namespace quennet::merge3 {

namespace {

using Lines = std::vector<std::string>;
using Tokens = std::vector<std::string>;

Lines Slice(const Lines& lines, int32_t first, int32_t last) {
    return Lines(lines.begin() + first, lines.begin() + last + 1);
}

struct Unit {
    std::string key;  // kind and upper-case name, with the parameter types where overloaded
    std::string name; // as written
    int32_t first = 0, last = 0;
    bool routine = false;
};

struct Reading {
    const Lines* lines = nullptr;
    std::vector<Unit> units; // sorted, apart, usable ones only once settled
};

void AddSpan(std::vector<Unit>& out, std::string key, std::string name, const model::TidName& d,
             bool routine) {
    if (d.FirstLine > 0 && d.LastLine >= d.FirstLine)
        out.push_back({std::move(key), std::move(name), d.FirstLine - 1, d.LastLine - 1, routine});
}

// Names declared together ("A, B: Integer;") are one unit.
template <class T>
void AddGrouped(const model::DeclList<T>& list, const std::string& kind, const std::string& owner,
                std::vector<Unit>& out) {
    std::map<std::pair<int32_t, int32_t>, std::vector<std::string>> groups;
    for (const auto& item : list)
        groups[{item->FirstLine, item->LastLine}].push_back(item->Name);
    for (auto& [span, names] : groups) {
        if (span.first <= 0 || span.second < span.first) continue;
        std::sort(names.begin(), names.end());
        std::string key = kind, shown = owner;
        for (const auto& n : names)
            key += base::UpperAscii(n) + ",",
                shown += (shown.size() > owner.size() ? ", " : "") + n;
        out.push_back({key, shown, span.first - 1, span.second - 1, false});
    }
}

void Read(Reading& r, const model::TPasSrc* parsed) {
    const Lines& lines = *r.lines;
    for (const UsesSpan& u : FindUsesClauses(lines))
        r.units.push_back({"U:" + u.section, "uses (" + u.section + ")", u.first, u.last, false});
    if (!parsed) {
        for (const RoutineSpan& s : FindRoutines(lines, 0))
            r.units.push_back({"I:" + s.name, s.name, s.first, s.last, true});
        return;
    }
    const model::TPasSrc& src = *parsed;
    std::set<std::string> classes;
    // Overloads are told apart below, by the same rule in every text.
    auto bare = [](const std::string& name) { return name.substr(0, name.find('(')); };
    for (const auto& c : src.Classes) {
        const std::string cls = base::UpperAscii(c->Name);
        classes.insert(cls);
        // A class is its members and the text between them, each checked on its own.
        for (const auto& m : c->Methods) {
            AddSpan(r.units, "C:" + cls + ".M:" + base::UpperAscii(bare(m->Name)),
                    c->Name + "." + bare(m->Name), *m, true);
            if (m->Implementation)
                AddSpan(r.units, "I:" + cls + "." + base::UpperAscii(bare(m->Name)),
                        c->Name + "." + bare(m->Name), *m->Implementation, true);
        }
        for (const auto& p : c->Props)
            AddSpan(r.units, "C:" + cls + ".P:" + base::UpperAscii(p->Name),
                    c->Name + "." + p->Name, *p, false);
        AddGrouped(c->Fields, "C:" + cls + ".F:", c->Name + ".", r.units);
    }
    for (const auto& t : src.Types)
        if (!classes.count(base::UpperAscii(t->Name)))
            AddSpan(r.units, "T:" + base::UpperAscii(t->Name), t->Name, *t, false);
    for (const auto& p : src.Procs) {
        if (p->Implementation)
            AddSpan(r.units, "I:" + base::UpperAscii(bare(p->Name)), bare(p->Name),
                    *p->Implementation, true);
        if (!p->Implementation || p->Implementation->FirstLine != p->FirstLine)
            AddSpan(r.units, "H:" + base::UpperAscii(bare(p->Name)), bare(p->Name), *p, true);
    }
    for (const auto& c : src.Consts)
        AddSpan(r.units, "K:" + base::UpperAscii(c->Name), c->Name, *c, false);
    AddGrouped(src.Vars, "V:", "", r.units);
}

// Keys pair across the four texts only where each text holds them once, apart from the
// others: a unit inside or across another is left to the text around it, in every text.
void Settle(Reading (&all)[4]) {
    // Routines whose name comes more than once anywhere are told apart by parameter types.
    std::set<std::string> overloaded;
    for (auto& r : all) {
        std::map<std::string, int> seen;
        for (const auto& u : r.units)
            if (u.routine && ++seen[u.key] > 1) overloaded.insert(u.key);
    }
    for (auto& r : all)
        for (auto& u : r.units)
            if (overloaded.count(u.key)) {
                std::string types =
                    ParameterTypes(Slice(*r.lines, u.first, std::min(u.last, u.first + 7)), 8);
                u.key += "(" + types + ")";
                u.name += "(" + types + ")";
            }
    std::set<std::string> unusable;
    for (auto& r : all) {
        std::map<std::string, int> seen;
        // Twice in the result is a fault to report, not a reason to look away.
        for (const auto& u : r.units)
            if (++seen[u.key] > 1 && &r != &all[3]) unusable.insert(u.key);
        std::sort(r.units.begin(), r.units.end(), [](const Unit& a, const Unit& b) {
            return a.first != b.first ? a.first < b.first : a.last > b.last;
        });
    }
    for (bool changed = true; changed;) {
        changed = false;
        for (int s = 0; s < 3; ++s) {
            const Reading& r = all[s];
            const Unit* reacher = nullptr;
            for (const auto& u : r.units) {
                if (unusable.count(u.key)) continue;
                if (reacher && u.first <= reacher->last) {
                    changed |= unusable.insert(u.key).second;
                    if (u.last > reacher->last) changed |= unusable.insert(reacher->key).second;
                    continue;
                }
                reacher = &u;
            }
        }
    }
    for (auto& r : all)
        std::erase_if(r.units, [&](const Unit& u) { return unusable.count(u.key) > 0; });
    // In the result, a unit inside or across another where no version had that is a fault:
    // left out, it counts as missing.
    std::vector<Unit> apart;
    for (auto& u : all[3].units)
        if (apart.empty() || u.first > apart.back().last) apart.push_back(std::move(u));
    all[3].units = std::move(apart);
}

// Units of a uses clause by name, in order.
std::vector<std::string> UnitNames(const Lines& clause) {
    Tokens t = PascalTokens(io::JoinLinesCrLf(clause));
    std::vector<std::string> names;
    std::string name;
    bool inName = true;
    for (size_t i = 1; i < t.size(); ++i) {
        const std::string u = base::UpperAscii(t[i]);
        if (u == "," || u == ";") {
            names.push_back(name);
            name.clear(), inName = true;
        } else if (u == "IN") {
            inName = false;
        } else if (inName) {
            name += u;
        }
    }
    return names;
}

// BASE's units plus each side's additions minus each side's removals, each once.
bool UsesHoldExactly(const Lines& b, const Lines& l, const Lines& r, const Lines& res) {
    auto set = [](const Lines& c) {
        auto v = UnitNames(c);
        return std::set<std::string>(v.begin(), v.end());
    };
    const auto sb = set(b), sl = set(l), sr = set(r);
    std::vector<std::string> got = UnitNames(res);
    std::set<std::string> want;
    for (const auto* s : {&sb, &sl, &sr})
        for (const auto& n : *s)
            if ((sl.count(n) || !sb.count(n)) && (sr.count(n) || !sb.count(n))) want.insert(n);
    std::set<std::string> gotSet(got.begin(), got.end());
    return gotSet.size() == got.size() && gotSet == want;
}

// Whether res is what a declaration (or text) present in all three may become.
bool MergesTo(const Lines* b, const Lines& l, const Lines& r, const Lines& res, bool uses) {
    const bool unchanged[2] = {b ? l == *b : l.empty(), b ? r == *b : r.empty()};
    if ((unchanged[0] && res == r) || (unchanged[1] && res == l) || (l == r && res == l))
        return true;
    const Tokens tr = CodeOf(res), tl = CodeOf(l), trr = CodeOf(r);
    const Tokens tb = b ? CodeOf(*b) : Tokens{"\x01"};
    if (tl == tb) return tr == trr;
    if (trr == tb || tl == trr) return tr == tl;
    if (uses && b && UsesHoldExactly(*b, l, r, res)) return true;
    auto join = [](const Lines& x) {
        std::string s;
        for (const auto& line : x)
            s += line + "\n";
        return s;
    };
    ThreeWayResult m = MergeLines({b ? join(*b) : std::string(), "b.pas", "BASE"},
                                  {join(l), "l.pas", "LOCAL"}, {join(r), "r.pas", "REMOTE"});
    return m.conflicts == 0 && CodeOf(io::SplitLines(m.text)) == tr;
}

struct Gap {
    std::string prev, next; // neighbour keys, "" at the ends
    int32_t first = 0, last = -1;
};

std::vector<Gap> GapsOf(const Reading& r) {
    std::vector<Gap> gaps;
    int32_t at = 0;
    std::string prev;
    for (const auto& u : r.units) {
        gaps.push_back({prev, u.key, at, u.first - 1});
        prev = u.key;
        at = u.last + 1;
    }
    gaps.push_back({prev, "", at, static_cast<int32_t>(r.lines->size()) - 1});
    return gaps;
}

class Checker {
public:
    explicit Checker(Reading (&all)[4]) : r_(all) {}

    std::vector<GuaranteeViolation> Run() {
        for (int s = 0; s < 4; ++s)
            for (size_t i = 0; i < r_[s].units.size(); ++i)
                index_[s].emplace(r_[s].units[i].key, static_cast<int32_t>(i));
        CheckUnits();
        CheckGaps();
        return std::move(found_);
    }

private:
    Reading (&r_)[4];
    std::vector<GuaranteeViolation> found_;
    std::map<std::string, std::string> shown_;
    std::map<std::string, int32_t> index_[4]; // unit positions by key

    const Lines& L(int s) const { return *r_[s].lines; }

    std::string Shown(const std::string& key) {
        if (key.empty()) return "";
        auto it = shown_.find(key);
        return it == shown_.end() ? key : it->second;
    }

    void Report(std::string name, int32_t first, int32_t last, int32_t before,
                const std::optional<Lines> (&text)[3]) {
        GuaranteeViolation v;
        v.name = std::move(name);
        v.first = first, v.last = last, v.before = before;
        for (int s = 0; s < 3; ++s)
            if (text[s]) v.text[s] = *text[s];
        found_.push_back(std::move(v));
    }

    // Where a unit missing from the result belongs: before the next unit of the side that
    // has it that the result holds.
    int32_t PlaceOfMissing(const std::string& key) {
        for (int s : {1, 2, 0}) {
            const auto& units = r_[s].units;
            auto it = std::find_if(units.begin(), units.end(),
                                   [&](const Unit& u) { return u.key == key; });
            if (it == units.end()) continue;
            for (++it; it != units.end(); ++it)
                if (auto there = index_[3].find(it->key); there != index_[3].end())
                    return r_[3].units[there->second].first;
            return static_cast<int32_t>(L(3).size());
        }
        return static_cast<int32_t>(L(3).size());
    }

    void CheckUnits() {
        std::map<std::string, std::vector<const Unit*>> byKey[4];
        std::vector<std::string> keys;
        for (int s = 0; s < 4; ++s)
            for (const auto& u : r_[s].units) {
                if (!shown_.count(u.key)) keys.push_back(u.key);
                shown_.emplace(u.key, u.name);
                byKey[s][u.key].push_back(&u);
            }
        for (const auto& key : keys) {
            std::optional<Lines> text[3];
            for (int s = 0; s < 3; ++s)
                if (auto it = byKey[s].find(key); it != byKey[s].end())
                    text[s] = Slice(L(s), it->second[0]->first, it->second[0]->last);
            const auto res = byKey[3].find(key);
            const Unit* in = res == byKey[3].end() ? nullptr : res->second[0];
            const auto& [b, l, r] = text;
            // present: must be there (and what); absent: must not; neither: a conflict.
            enum { Present, Absent, Collision } want;
            if ((l && r) || (!b && (l || r)))
                want = Present;
            else if (!l && !r)
                want = Absent;
            else
                want = CodeOf(l ? *l : *r) == CodeOf(*b) ? Absent : Collision;
            bool ok;
            if (want == Present && in) {
                const Lines got = Slice(L(3), in->first, in->last);
                const Lines& only = l ? *l : *r;
                ok = l && r ? MergesTo(b ? &*b : nullptr, *l, *r, got, key.starts_with("U:"))
                            : got == only || CodeOf(got) == CodeOf(only);
            } else {
                ok = (want == Present) == (in != nullptr) && want != Collision;
            }
            if (res != byKey[3].end())
                for (size_t k = 1; k < res->second.size(); ++k)
                    Report(Shown(key), res->second[k]->first, res->second[k]->last, 0, text);
            if (ok) continue;
            if (in)
                Report(Shown(key), in->first, in->last, 0, text);
            else
                Report(Shown(key), -1, -1, PlaceOfMissing(key), text);
        }
    }

    // The text of s between units prev and next; nullopt unless s holds them side by side.
    std::optional<Lines> Between(int s, const std::vector<Gap>& gaps, const std::string& prev,
                                 const std::string& next) {
        auto indexOf = [&](const std::string& key, int32_t none) -> int32_t {
            if (key.empty()) return none;
            auto it = index_[s].find(key);
            return it == index_[s].end() ? -2 : it->second;
        };
        const int32_t p = indexOf(prev, -1);
        const int32_t n = indexOf(next, static_cast<int32_t>(r_[s].units.size()));
        if (p == -2 || n == -2 || n != p + 1) return std::nullopt;
        const Gap& g = gaps[n];
        return g.last >= g.first ? Slice(L(s), g.first, g.last) : Lines();
    }

    static std::string Packed(std::string_view line) {
        std::string p;
        for (char c : line)
            if (static_cast<unsigned char>(c) > ' ') p += c;
        return p;
    }

    void CheckGaps() {
        std::vector<Gap> gaps[3];
        std::set<std::string> gapLines; // every line outside the units, blanks left out
        for (int s = 0; s < 3; ++s) {
            gaps[s] = GapsOf(r_[s]);
            for (const Gap& g : gaps[s])
                for (int32_t i = g.first; i <= g.last; ++i)
                    gapLines.insert(Packed(L(s)[i]));
        }
        for (const Gap& g : GapsOf(r_[3])) {
            const Lines got = g.last >= g.first ? Slice(L(3), g.first, g.last) : Lines();
            std::optional<Lines> text[3];
            for (int s = 0; s < 3; ++s)
                text[s] = Between(s, gaps[s], g.prev, g.next);
            bool ok;
            const Tokens code = CodeOf(got);
            if (text[1] && text[2] && text[0]) {
                ok = MergesTo(&*text[0], *text[1], *text[2], got, false);
            } else {
                // Neighbours new to each other: each line of code stood between units somewhere,
                // none comes from inside one.
                ok = std::all_of(got.begin(), got.end(), [&](const std::string& line) {
                    return CodeOf({line}).size() == 1 || gapLines.count(Packed(line)) > 0;
                });
            }
            if (ok) continue;
            std::string name = "the text " + (g.prev.empty() ? std::string("at the start")
                                                             : "after " + Shown(g.prev));
            if (!g.next.empty())
                name += (g.prev.empty() ? ", before " : " and before ") + Shown(g.next);
            if (!text[1]) text[1] = got; // the result's own text, so that nothing is lost
            if (got.empty())
                Report(name, -1, -1, g.first, text);
            else
                Report(name, g.first, g.last, 0, text);
        }
    }
};

} // namespace

std::string ParameterTypes(const std::vector<std::string>& text, size_t atMost) {
    // The heading's lines: up to the first ";" outside parentheses (counted roughly).
    Lines heading;
    int nesting = 0;
    for (size_t i = 0; i < std::min(text.size(), atMost); ++i) {
        heading.push_back(text[i]);
        bool ends = false;
        for (char c : text[i]) {
            nesting += c == '(' ? 1 : c == ')' ? -1 : 0;
            ends = ends || (c == ';' && nesting <= 0);
        }
        if (ends) break;
    }
    Tokens t = PascalTokens(io::JoinLinesCrLf(heading));
    size_t open = 0;
    while (open < t.size() && t[open] != "(" && t[open] != ";")
        ++open;
    if (open == t.size() || t[open] == ";") return "";
    std::string sig, modifier, type;
    size_t names = 0;
    bool inType = false, inDefault = false;
    int depth = 0;
    for (size_t i = open + 1; i < t.size(); ++i) {
        const std::string u = base::UpperAscii(t[i]);
        if (depth == 0 && (u == ")" || u == ";")) {
            for (size_t n = 0; n < std::max<size_t>(names, 1); ++n)
                sig += modifier + " " + type + ",";
            if (u == ")") break;
            names = 0, modifier.clear(), type.clear(), inType = inDefault = false;
            continue;
        }
        if (u == "(" || u == "[") ++depth;
        if (u == ")" || u == "]") --depth;
        if (inDefault) continue;
        if (inType) {
            if (depth == 0 && u == "=")
                inDefault = true;
            else
                type += u + " ";
        } else if (u == ":") {
            inType = true;
        } else if (names == 0 && modifier.empty() &&
                   (u == "CONST" || u == "VAR" || u == "OUT" || u == "CONSTREF")) {
            modifier = u;
        } else if (u != ",") {
            ++names;
        }
    }
    return sig;
}

KeyRewrites GuaranteeKeys(const diff::DeclPairing& pairing) {
    KeyRewrites out;
    for (const diff::DeclPair& p : pairing.Pairs()) {
        if (!dynamic_cast<const model::TidProc*>(p.oldDecl)) continue;
        const std::string o = base::UpperAscii(diff::BareName(p.oldDecl->Name));
        const std::string n = base::UpperAscii(diff::BareName(p.newDecl->Name));
        if (!p.oldOwner || !p.newOwner) {
            out.emplace_back("I:" + n, "I:" + o);
            out.emplace_back("H:" + n, "H:" + o);
            continue;
        }
        const std::string oc = base::UpperAscii(p.oldOwner->Name),
                          nc = base::UpperAscii(p.newOwner->Name);
        out.emplace_back("C:" + nc + ".M:" + n, "C:" + oc + ".M:" + o);
        out.emplace_back("I:" + nc + "." + n, "I:" + oc + "." + o);
    }
    return out;
}

std::vector<GuaranteeViolation> CheckMergeGuarantee(const std::vector<std::string> (&versions)[3],
                                                    const std::vector<std::string>& result,
                                                    const std::string& fileName,
                                                    const ThreeWayOptions& options,
                                                    std::array<const model::TPasSrc*, 3> parsed,
                                                    const RenamedRoutines& renamed) {
    Reading all[4];
    for (int s = 0; s < 3; ++s)
        all[s].lines = &versions[s];
    all[3].lines = &result;
    // Where any text does not parse to the end, all four are read the same light way, so that
    // a unit the parse missed in one is not taken for one removed.
    std::unique_ptr<model::TPasSrc> own[4];
    const model::TPasSrc* models[4] = {parsed[0], parsed[1], parsed[2], nullptr};
    bool complete = true;
    for (int s = 0; s < 4; ++s) {
        if (models[s]) {
            complete = complete && models[s]->Status.Complete;
            continue;
        }
        std::string text = io::JoinLinesCrLf(*all[s].lines);
        model::ParseOptions po = options.reading;
        po.dialect = model::ResolveDialect(options.dialect, fileName, text);
        po.fileName = fileName;
        po.followIncludes = false;
        own[s] = std::make_unique<model::TPasSrc>();
        pascal::Parse(*own[s], text, &options.symbols, po);
        models[s] = own[s].get();
        complete = complete && models[s]->Status.Complete;
    }
    for (int s = 0; s < 4; ++s)
        Read(all[s], complete ? models[s] : nullptr);
    // A renamed or moved routine keeps BASE's key in the side that changed it and in the result.
    for (int side = 0; side < 2; ++side)
        for (const auto& [from, to] : renamed[static_cast<size_t>(side)])
            for (Reading* r : {&all[side + 1], &all[3]})
                for (Unit& u : r->units)
                    if (u.routine && u.key == from) u.key = to;
    Settle(all);
    return Checker(all).Run();
}

int32_t MarkViolations(std::vector<std::string>& result,
                       const std::vector<GuaranteeViolation>& violations,
                       const std::string (&labels)[3]) {
    std::vector<const GuaranteeViolation*> order;
    order.reserve(violations.size());
    for (const auto& v : violations)
        order.push_back(&v);
    auto at = [](const GuaranteeViolation* v) { return v->first >= 0 ? v->first : v->before; };
    // From the bottom up, so that earlier lines keep their numbers.
    std::stable_sort(order.begin(), order.end(),
                     [&](const auto* a, const auto* b) { return at(a) > at(b); });
    int32_t marked = 0;
    int32_t floor = static_cast<int32_t>(result.size()) + 1;
    for (const GuaranteeViolation* v : order) {
        if (v->first >= 0 && v->last >= floor) continue; // overlaps one already marked
        Lines block{"<<<<<<< " + labels[1]};
        block.insert(block.end(), v->text[1].begin(), v->text[1].end());
        block.push_back("||||||| " + labels[0]);
        block.insert(block.end(), v->text[0].begin(), v->text[0].end());
        block.push_back("=======");
        block.insert(block.end(), v->text[2].begin(), v->text[2].end());
        block.push_back(">>>>>>> " + labels[2]);
        auto pos = result.begin() + std::min<int32_t>(at(v), static_cast<int32_t>(result.size()));
        if (v->first >= 0) pos = result.erase(pos, result.begin() + v->last + 1);
        result.insert(pos, block.begin(), block.end());
        floor = at(v);
        ++marked;
    }
    return marked;
}

std::string ViolationNote(const GuaranteeViolation& v) {
    return v.name + ": the clean merge was none of its versions nor their merge; left as a "
                    "conflict";
}

} // namespace quennet::merge3
