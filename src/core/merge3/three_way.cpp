// Declarations become one placeholder line each, so a line merge of the three outlines
// decides where each declaration goes; the placeholders are then filled with the merged
// text of their declaration. Anything the parse cannot vouch for stays plain text.
#include "merge3/three_way.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "base/ascii.h"
#include "io/output_guard.h"
#include "io/source_file.h"
#include "merge3/follow_renames.h"
#include "merge3/layout_compare.h"
#include "merge3/line_diff3.h"
#include "merge3/merge_guarantee.h"
#include "merge3/text_outline.h"
#include "model/source_model.h"
#include "pascal/parse.h"
#include "pascal/scanner.h"

namespace quennet::merge3 {

namespace {

// ",NAME,": appended piece by piece, as GCC 12 at -O3 warns falsely (-Wrestrict) about
// "," + string.
std::string Bracketed(std::string_view name) {
    std::string key(1, ',');
    key += name;
    key += ',';
    return key;
}

using base::IsIdentChar;
using Lines = std::vector<std::string>;
constexpr std::string_view kBom = "\xEF\xBB\xBF";

uint64_t LineHash(std::string_view line) {
    return std::hash<std::string_view>{}(line);
}

// Per line, the declarations around it (a sum of their keys' hashes; 0 outside all): a line
// pairs only with an equal line of the same declarations, so that a line repeated in another
// declaration never anchors an edit there.
using Scopes = std::vector<uint64_t>;

std::vector<uint64_t> Hashes(const Lines& lines, const Scopes* scope = nullptr) {
    std::vector<uint64_t> h;
    h.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        h.push_back(LineHash(lines[i]) ^ (scope && i < scope->size() ? (*scope)[i] : 0));
    return h;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

std::string FirstWord(std::string_view line) {
    line = Trim(line);
    size_t n = 0;
    while (n < line.size() && IsIdentChar(line[n]))
        ++n;
    return base::UpperAscii(line.substr(0, n));
}

// A declaration's last line ends at its ";", perhaps followed by a comment.
bool EndsDeclaration(std::string_view line) {
    size_t semi = line.rfind(';');
    if (semi == std::string_view::npos) return false;
    std::string_view rest = Trim(line.substr(semi + 1));
    return rest.empty() || rest.starts_with("//") || rest.starts_with("{") ||
           rest.starts_with("(*");
}

// One-line comments directly above a declaration travel with it.
bool IsCommentLine(std::string_view line) {
    line = Trim(line);
    if (line.starts_with("//")) return true;
    if (line.starts_with("{") && !line.starts_with("{$"))
        return line.ends_with("}") && line.find('}') == line.size() - 1;
    if (line.starts_with("(*") && !line.starts_with("(*$"))
        return line.ends_with("*)") && line.find("*)") == line.size() - 2;
    return false;
}

// Attributes ("[Test]") on a line of their own belong to the declaration below them.
bool IsAttributeLine(std::string_view line) {
    line = Trim(line);
    return line.size() > 2 && line.front() == '[' && line.back() == ']' &&
           line.find(']') == line.size() - 1;
}

bool IsBlank(std::string_view line) {
    return Trim(line).empty();
}

// Pieces of a text, each a token with the comments and blanks after it (the first one: what
// comes before the first token). Keys leave the blanks out, so layout never collides.
struct Pieces {
    std::vector<std::string> text;
    std::vector<uint64_t> keys;
};

Pieces TokenPieces(const Lines& lines) {
    const std::string crlf = io::JoinLinesCrLf(lines);
    const auto size = static_cast<int32_t>(crlf.size());
    pascal::TOp4Scanner scanner;
    scanner.InitSource(crlf.data(), size);
    std::vector<int32_t> starts{0};
    while (scanner.Get() != pascal::tEndOfText)
        starts.push_back(scanner.State().CurToken.Pos);
    starts.push_back(size);
    Pieces p;
    for (size_t k = 0; k + 1 < starts.size(); ++k) {
        std::string piece = crlf.substr(starts[k], starts[k + 1] - starts[k]);
        std::string key;
        for (char c : piece)
            if (static_cast<unsigned char>(c) > ' ') key += c;
        p.keys.push_back(LineHash(key));
        p.text.push_back(std::move(piece));
    }
    return p;
}

// Lines both sides changed, merged token by token: clean only where the sides' edits are
// apart by at least two tokens they both kept.
constexpr int32_t kTokensApart = 2;

std::optional<Lines> MergeTokens(const Lines& l, const Lines& b, const Lines& r) {
    Pieces pb = TokenPieces(b), pl = TokenPieces(l), pr = TokenPieces(r);
    std::vector<Diff3Hunk> hunks = Diff3(pb.keys, pl.keys, pr.keys);
    // Edits one token apart likely rework one expression together.
    for (size_t k = 1; k + 1 < hunks.size(); ++k)
        if (hunks[k].kind == HunkKind::Stable && hunks[k].baseEnd - hunks[k].base < kTokensApart &&
            hunks[k - 1].kind != hunks[k + 1].kind)
            return std::nullopt;
    std::string joined;
    for (const Diff3Hunk& h : hunks) {
        if (h.kind == HunkKind::Conflict) return std::nullopt;
        const bool remote = h.kind == HunkKind::TakeRemote;
        const Pieces& from = remote ? pr : pl;
        for (int32_t i = remote ? h.remote : h.local; i < (remote ? h.remoteEnd : h.localEnd); ++i)
            joined += from.text[i];
    }
    return io::SplitLines(joined);
}

// One side only inserted lines before (or after) lines the other side rewrote: both edits,
// unless the other side also inserted at that end. Edits that touch without overlapping are
// as independent as those a kept line keeps apart. Blank lines alone do not anchor.
std::optional<Lines> Splice(const Lines& b, const Lines& ins, const Lines& other) {
    if (ins.size() <= b.size() || std::all_of(b.begin(), b.end(), IsBlank)) return std::nullopt;
    const auto gap = static_cast<std::ptrdiff_t>(ins.size() - b.size());
    auto endsWithBase = [&](const Lines& x) {
        return x.size() >= b.size() && std::equal(b.begin(), b.end(), x.end() - b.size());
    };
    auto startsWithBase = [&](const Lines& x) {
        return x.size() >= b.size() && std::equal(b.begin(), b.end(), x.begin());
    };
    Lines merged;
    if (endsWithBase(ins) && !endsWithBase(other)) {
        merged.assign(ins.begin(), ins.begin() + gap);
        merged.insert(merged.end(), other.begin(), other.end());
    } else if (startsWithBase(ins) && !startsWithBase(other)) {
        merged = other;
        merged.insert(merged.end(), ins.end() - gap, ins.end());
    } else {
        return std::nullopt;
    }
    return merged;
}

// What of a text compiles: its tokens, then its directives, which the scanner reads as
// comments ("{$ENDIF}" on its own matters as much as code).
// The token texts of text whose lines already end in CR LF.
std::vector<std::string> TokensOfCrLf(const std::string& crlf) {
    pascal::TOp4Scanner scanner;
    scanner.InitSource(crlf.data(), static_cast<int32_t>(crlf.size()));
    std::vector<std::string> tokens;
    while (scanner.Get() != pascal::tEndOfText) {
        const auto& t = scanner.State().CurToken;
        tokens.emplace_back(scanner.GetString(t.Pos, t.Len));
    }
    return tokens;
}

bool NoCode(const Lines& lines) {
    return CodeOf(lines).size() == 1;
}

// Whether wide already holds every edit narrow made to base: it drops the base lines narrow
// drops, and adds narrow's new lines in the same order (lines compared without blanks).
// Narrow's edit must add lines: a removal against a rewrite stays a conflict.
bool HoldsEdits(const Lines& base, const Lines& narrow, const Lines& wide) {
    auto keys = [](const Lines& lines) {
        std::vector<uint64_t> k;
        for (const auto& line : lines) {
            std::string packed;
            for (char c : line)
                if (static_cast<unsigned char>(c) > ' ') packed += c;
            k.push_back(LineHash(packed));
        }
        return k;
    };
    const auto kb = keys(base), kn = keys(narrow), kw = keys(wide);
    std::vector<bool> keptByNarrow(kb.size()), keptByWide(kb.size()), oldInNarrow(kn.size()),
        oldInWide(kw.size());
    for (auto [i, j] : PairEqualLines(kb, kn))
        keptByNarrow[i] = true, oldInNarrow[j] = true;
    for (auto [i, j] : PairEqualLines(kb, kw))
        keptByWide[i] = true, oldInWide[j] = true;
    for (size_t i = 0; i < kb.size(); ++i)
        if (!keptByNarrow[i] && keptByWide[i]) return false;
    if (std::all_of(oldInNarrow.begin(), oldInNarrow.end(), [](bool old) { return old; }))
        return false;
    size_t w = 0;
    for (size_t j = 0; j < kn.size(); ++j) {
        if (oldInNarrow[j]) continue;
        while (w < kw.size() && (oldInWide[w] || kw[w] != kn[j]))
            ++w;
        if (w == kw.size()) return false;
        ++w;
    }
    return true;
}

struct Decl {
    std::string key;
    int32_t first = 0, last = 0; // 0-based, inclusive
    std::string leads;           // ",NAME," words the first line may start with
    bool overload = false;
    bool lexical = false; // found without the parse, so valid beyond a stop
};

constexpr std::string_view kRoutineLeads =
    ",PROCEDURE,FUNCTION,CONSTRUCTOR,DESTRUCTOR,CLASS,OPERATOR,";

bool Overloaded(const std::string& text) {
    return base::UpperAscii(text).find("OVERLOAD") != std::string::npos;
}

// Names declared together ("A, B: Integer;") share a span: one declaration under all of them.
template <class T>
void AddGrouped(const model::DeclList<T>& list, const char* kind, std::vector<Decl>& out) {
    std::map<std::pair<int32_t, int32_t>, std::vector<std::string>> groups;
    for (const auto& item : list)
        groups[{item->FirstLine, item->LastLine}].push_back(base::UpperAscii(item->Name));
    for (auto& [span, names] : groups) {
        if (span.first <= 0 || span.second < span.first) continue;
        std::sort(names.begin(), names.end());
        std::string key = kind, leads = ",";
        for (const auto& n : names)
            key += n + ",", leads += n + ",";
        out.push_back({key, span.first - 1, span.second - 1, leads, false});
    }
}

// Members of a class, lines as in the file.
void CollectMembers(const model::TidClass& c, std::vector<Decl>& out) {
    auto add = [&](std::string key, const model::TidName& d, std::string leads, bool ov) {
        if (d.FirstLine > 0 && d.LastLine >= d.FirstLine)
            out.push_back({std::move(key), d.FirstLine - 1, d.LastLine - 1, std::move(leads), ov});
    };
    // Attributes in brackets may open a member.
    const std::string routine = std::string(kRoutineLeads) + ",";
    for (const auto& m : c.Methods)
        add("M:" + base::UpperAscii(m->Name), *m, routine, Overloaded(m->Text));
    for (const auto& p : c.Props)
        add("P:" + base::UpperAscii(p->Name), *p, ",PROPERTY,,", false);
    AddGrouped(c.Fields, "F:", out);
}

void CollectDecls(const model::TPasSrc& src, std::vector<Decl>& out,
                  std::map<std::string, std::vector<Decl>>& members) {
    auto add = [&](std::string key, const model::TidName& d, std::string leads, bool ov) {
        if (d.FirstLine > 0 && d.LastLine >= d.FirstLine)
            out.push_back({std::move(key), d.FirstLine - 1, d.LastLine - 1, std::move(leads), ov});
    };
    auto named = [](std::string_view n) { return Bracketed(base::UpperAscii(n)); };
    for (const auto& t : src.Types)
        add("T:" + base::UpperAscii(t->Name), *t, named(t->Name), false);
    for (const auto& c : src.Classes) {
        add("C:" + base::UpperAscii(c->Name), *c, named(c->Name), false);
        CollectMembers(*c, members["C:" + base::UpperAscii(c->Name)]);
        for (const auto& m : c->Methods)
            if (m->Implementation)
                add("I:" + base::UpperAscii(c->Name) + "." + base::UpperAscii(m->Name),
                    *m->Implementation, std::string(kRoutineLeads), Overloaded(m->Text));
    }
    for (const auto& p : src.Procs) {
        bool ov = Overloaded(p->Text);
        if (p->Implementation)
            add("I:" + base::UpperAscii(p->Name), *p->Implementation, std::string(kRoutineLeads),
                ov);
        if (!p->Implementation || p->Implementation->FirstLine != p->FirstLine)
            add("H:" + base::UpperAscii(p->Name), *p, std::string(kRoutineLeads), ov);
    }
    for (const auto& c : src.Consts)
        add("K:" + base::UpperAscii(c->Name), *c, named(c->Name), false);
    AddGrouped(src.Vars, "V:", out);
}

struct Version {
    const ThreeWayInput* input = nullptr;
    Lines lines;
    bool hadBom = false;
    bool complete = true;
    int32_t cut = 0; // lines from here on are not vouched for by the parse
    int32_t stopLine = -1;
    std::unordered_map<std::string, Decl> decls;      // sound declarations by key
    std::set<std::string> unsound;                    // keys seen but not usable
    std::set<std::string> headingNames;               // every routine heading, by name
    std::map<std::string, std::vector<Decl>> members; // by class key
    Scopes scope;                                     // per line; empty: none
    std::unique_ptr<model::TPasSrc> parsed; // for the rename pairing and the check of the result
    model::Dialect dialect = model::Dialect::Classic;
    std::unordered_map<std::string, uint64_t> ownScope; // what each declaration adds to it
};

void CoverScopes(Version& v, const std::vector<Decl>& all) {
    const auto n = static_cast<int32_t>(v.lines.size());
    v.scope.assign(v.lines.size(), 0);
    std::vector<std::vector<uint64_t>> covering(v.lines.size());
    auto cover = [&](const Decl& d) {
        if (d.first < 0 || d.first >= n || d.last < d.first) return;
        // Routines by parameter types too, so that overloads keep their lines apart.
        // (The parse names overloads by its own lists: left aside for one rule on every side.)
        std::string key = d.key.substr(0, d.key.find('('));
        key += "(" +
               ParameterTypes(Lines(v.lines.begin() + d.first,
                                    v.lines.begin() + std::min({d.last + 1, d.first + 8, n})),
                              8) +
               ")";
        const uint64_t h = LineHash(key) | 1;
        v.ownScope.emplace(d.key, h);
        // The parse and the light scan may both find one routine: counted once.
        auto& at = covering[d.first];
        if (std::find(at.begin(), at.end(), h) != at.end()) return;
        for (int32_t i = d.first; i <= std::min(d.last, n - 1); ++i) {
            v.scope[i] += h;
            covering[i].push_back(h);
        }
    };
    // Routine bodies only: elsewhere repeated lines are rare, and new scopes would only move
    // where an edit of equal lines is seen.
    for (const Decl& d : all)
        if (d.key.starts_with("I:")) cover(d);
    // Routines the parse did not see (inactive conditional code, say), found by their layout.
    for (const RoutineSpan& r : FindRoutines(v.lines, 0))
        if (r.first < n && covering[r.first].empty())
            cover({"I:" + r.name, r.first, r.last, std::string(), false, true});
}

void Load(Version& v, const ThreeWayInput& in) {
    v.input = &in;
    std::string_view bytes = in.bytes;
    if (bytes.starts_with(kBom)) {
        v.hadBom = true;
        bytes.remove_prefix(kBom.size());
    }
    v.lines = io::SplitLines(bytes);
}

void Accept(Version& v, std::vector<Decl>& all);

void Analyse(Version& v, const ThreeWayOptions& options) {
    std::string text = io::JoinLinesCrLf(v.lines);
    model::ParseOptions po = options.reading;
    po.dialect = model::ResolveDialect(options.dialect, v.input->fileName, text);
    po.fileName = v.input->fileName;
    // The merge places this file's own lines: an included file's declarations have none here.
    po.followIncludes = false;
    v.dialect = po.dialect;
    v.parsed = std::make_unique<model::TPasSrc>();
    model::TPasSrc& src = *v.parsed;
    pascal::Parse(src, text, &options.symbols, po);
    const model::ParseStatus& st = src.Status;
    v.complete = st.Complete;
    v.cut = static_cast<int32_t>(v.lines.size());
    if (!v.complete) {
        int32_t stop = st.FirstErrorLine > 0 ? st.FirstErrorLine : st.StopLine;
        if (st.StopLine > 0 && (stop <= 0 || st.StopLine < stop)) stop = st.StopLine;
        v.stopLine = stop > 0 ? stop : 1;
        v.cut = std::min(v.cut, v.stopLine - 1);
    }
    std::vector<Decl> all;
    CollectDecls(src, all, v.members);
    for (const UsesSpan& u : FindUsesClauses(v.lines))
        all.push_back({"U:" + u.section, u.first, u.last, ",USES,", false, true});
    // Beyond a stop, routine bodies laid out the usual way; overloads by their headings.
    std::vector<RoutineSpan> routines = FindRoutines(v.lines, v.cut);
    std::map<std::string, int> seen;
    for (const auto& r : routines)
        ++seen[r.name];
    for (const auto& r : routines)
        all.push_back({"I:" + (seen[r.name] > 1 ? r.signature : r.name), r.first, r.last,
                       std::string(kRoutineLeads), false, true});
    for (auto& name : RoutineHeadingNames(v.lines))
        v.headingNames.insert(std::move(name));
    CoverScopes(v, all);
    Accept(v, all);
}

// Keeps the declarations whose span the text confirms and that no other one overlaps.
void Accept(Version& v, std::vector<Decl>& all) {
    std::vector<Decl> sound;
    for (auto& d : all) {
        bool ok = (d.lexical || d.last < v.cut) && !d.overload &&
                  d.leads.find(Bracketed(FirstWord(v.lines[d.first]))) != std::string::npos &&
                  EndsDeclaration(v.lines[d.last]);
        if (ok && !v.unsound.count(d.key) &&
            std::none_of(sound.begin(), sound.end(), [&](const Decl& s) { return s.key == d.key; }))
            sound.push_back(std::move(d));
        else
            v.unsound.insert(d.key);
    }
    // Spans that overlap cannot be moved apart.
    std::sort(sound.begin(), sound.end(),
              [](const Decl& a, const Decl& b) { return a.first < b.first; });
    int32_t reach = -1;
    const Decl* reacher = nullptr;
    for (const auto& d : sound) {
        if (d.first <= reach) {
            v.unsound.insert(d.key);
            v.unsound.insert(reacher->key);
        }
        if (d.last > reach) reach = d.last, reacher = &d;
    }
    for (auto& d : sound)
        if (!v.unsound.count(d.key)) v.decls.emplace(d.key, std::move(d));
}

// A routine missing from a version's outline counts as absent only when no heading of that
// name is written anywhere in it.
bool MayHoldRoutine(const Version& v, const std::string& key) {
    if (!key.starts_with("I:") && !key.starts_with("H:")) return false;
    size_t paren = key.find('(');
    return v.headingNames.count(key.substr(2, paren == std::string::npos ? paren : paren - 2)) > 0;
}

// A declaration counts only where every version vouches for it or for its absence.
std::set<std::string> UsableKeys(const Version* v) {
    std::set<std::string> usable;
    for (int k = 0; k < 3; ++k)
        for (const auto& [key, d] : v[k].decls) {
            bool ok = true;
            for (int o = 0; o < 3; ++o) {
                const Version& other = v[o];
                // Beyond a stop, a routine is surely absent where no heading names it.
                const bool routine = key.starts_with("I:") || key.starts_with("H:");
                if (other.unsound.count(key) ||
                    (!other.decls.count(key) &&
                     ((!other.complete && !d.lexical && !routine) || MayHoldRoutine(other, key))))
                    ok = false;
            }
            if (ok) usable.insert(key);
        }
    return usable;
}

struct Chunk {
    std::string key;
    int32_t first, last;
};

// A text line (chunk < 0) or a declaration's placeholder.
struct Item {
    int32_t line = -1;
    int32_t chunk = -1;
};

struct Outline {
    std::vector<Chunk> chunks;
    std::vector<Item> items;
    std::vector<uint64_t> keys;
    std::unordered_map<std::string, int32_t> chunkOf;
};

void BuildOutline(const Version& v, const std::set<std::string>& usable, Outline& o) {
    for (const auto& [key, d] : v.decls)
        if (usable.count(key)) o.chunks.push_back({key, d.first, d.last});
    std::sort(o.chunks.begin(), o.chunks.end(),
              [](const Chunk& a, const Chunk& b) { return a.first < b.first; });
    int32_t floor = 0;
    for (auto& c : o.chunks) {
        while (c.first > floor &&
               (IsCommentLine(v.lines[c.first - 1]) || IsAttributeLine(v.lines[c.first - 1])))
            --c.first;
        floor = c.last + 1;
    }
    size_t next = 0;
    const int32_t n = static_cast<int32_t>(v.lines.size());
    for (int32_t i = 0; i < n;) {
        if (next < o.chunks.size() && o.chunks[next].first == i) {
            const Chunk& c = o.chunks[next];
            o.chunkOf[c.key] = static_cast<int32_t>(next);
            o.items.push_back({-1, static_cast<int32_t>(next)});
            o.keys.push_back(LineHash(c.key) ^ 0x9E3779B97F4A7C15ull);
            i = c.last + 1;
            ++next;
        } else {
            o.items.push_back({i, -1});
            o.keys.push_back(LineHash(v.lines[i]) ^ (v.scope.empty() ? 0 : v.scope[i]));
            ++i;
        }
    }
}

class Merger {
public:
    Merger(const Version* versions[3], const Outline* outlines[3]) : v_(versions), o_(outlines) {}

    Lines out;
    int32_t conflicts = 0;
    bool unsure = false;
    // Per side: collisions where its comment or layout edits gave way to the other's code.
    int32_t setAside[3] = {0, 0, 0};

    // Merges three versions by their outlines; false when the outline merge had to guess.
    static bool MergeOutlined(const Version* v, Lines& out, int32_t& conflicts,
                              int32_t* setAside = nullptr) {
        std::set<std::string> usable = UsableKeys(v);
        Outline o[3];
        for (int i = 0; i < 3; ++i)
            BuildOutline(v[i], usable, o[i]);
        const Version* vp[3] = {&v[0], &v[1], &v[2]};
        const Outline* op[3] = {&o[0], &o[1], &o[2]};
        Merger m(vp, op);
        m.MergeOutlines();
        if (m.unsure) return false;
        out = std::move(m.out);
        conflicts = m.conflicts;
        if (setAside)
            for (int s = 0; s < 3; ++s)
                setAside[s] += m.setAside[s];
        return true;
    }

    void MergeOutlines() {
        std::vector<bool> blank;
        for (const Item& it : o_[0]->items)
            blank.push_back(it.chunk < 0 && IsBlank(v_[0]->lines[it.line]));
        for (const Diff3Hunk& h : Diff3(o_[0]->keys, o_[1]->keys, o_[2]->keys, &blank)) {
            switch (h.kind) {
            case HunkKind::Stable: EmitItems(1, h.local, h.localEnd); break;
            case HunkKind::TakeLocal:
                EmitItems(1, h.local, h.localEnd);
                EmitRemovedKeys(h, 1);
                break;
            case HunkKind::TakeRemote:
                EmitItems(2, h.remote, h.remoteEnd);
                EmitRemovedKeys(h, 2);
                break;
            case HunkKind::Conflict: ResolveConflict(h); break;
            }
        }
    }

    // Line merge of three texts, conflicts marked.
    void MergeText(const Lines& b, const Lines& l, const Lines& r, Lines& into,
                   const Scopes* sb = nullptr, const Scopes* sl = nullptr,
                   const Scopes* sr = nullptr) {
        auto hb = Hashes(b, sb), hl = Hashes(l, sl), hr = Hashes(r, sr);
        std::vector<bool> blank(b.size());
        for (size_t i = 0; i < b.size(); ++i)
            blank[i] = IsBlank(b[i]);
        for (const Diff3Hunk& h : Diff3(hb, hl, hr, &blank)) {
            if (h.kind == HunkKind::TakeRemote)
                into.insert(into.end(), r.begin() + h.remote, r.begin() + h.remoteEnd);
            else if (h.kind != HunkKind::Conflict)
                into.insert(into.end(), l.begin() + h.local, l.begin() + h.localEnd);
            else
                MergeCollision(Lines(l.begin() + h.local, l.begin() + h.localEnd),
                               Lines(b.begin() + h.base, b.begin() + h.baseEnd),
                               Lines(r.begin() + h.remote, r.begin() + h.remoteEnd), into);
        }
    }

private:
    const Version** v_;
    const Outline** o_;
    std::unordered_set<std::string> placed_;

    const std::string& KeyAt(int side, int32_t item) const {
        return o_[side]->chunks[o_[side]->items[item].chunk].key;
    }

    // The declaration's text in one version, or null where it has none.
    const Lines* TextOf(int side, const std::string& key) {
        auto it = o_[side]->chunkOf.find(key);
        if (it == o_[side]->chunkOf.end()) return nullptr;
        auto& cache = texts_[side];
        auto c = cache.find(key);
        if (c != cache.end()) return &c->second;
        const Chunk& ch = o_[side]->chunks[it->second];
        const Lines& src = v_[side]->lines;
        return &cache.emplace(key, Lines(src.begin() + ch.first, src.begin() + ch.last + 1))
                    .first->second;
    }
    std::unordered_map<std::string, Lines> texts_[3];

    // The scopes of the declaration's lines in one version, or null.
    const Scopes* ScopesOf(int side, const std::string& key) {
        auto it = o_[side]->chunkOf.find(key);
        if (it == o_[side]->chunkOf.end() || v_[side]->scope.empty()) return nullptr;
        auto& cache = scopes_[side];
        auto c = cache.find(key);
        if (c != cache.end()) return &c->second;
        const Chunk& ch = o_[side]->chunks[it->second];
        const Scopes& src = v_[side]->scope;
        Scopes inside(src.begin() + ch.first, src.begin() + ch.last + 1);
        // Inside its own text a declaration's own part of the scope says nothing, and would
        // keep a routine whose parameters one side changed from pairing at all.
        auto own = v_[side]->ownScope.find(key);
        auto d = v_[side]->decls.find(key);
        if (own != v_[side]->ownScope.end() && d != v_[side]->decls.end())
            for (int32_t i = std::max(d->second.first, ch.first);
                 i <= std::min(d->second.last, ch.last); ++i)
                inside[i - ch.first] -= own->second;
        return &cache.emplace(key, std::move(inside)).first->second;
    }
    std::unordered_map<std::string, Scopes> scopes_[3];

    // Lines changed on both sides: a side that changed only their layout or comments yields,
    // and so does one whose edits the other side's already holds.
    void MergeCollision(const Lines& l, const Lines& b, const Lines& r, Lines& into) {
        const Lines* take = nullptr;
        if (SameButLayout(b, l) || (SameTokens(b, l) && !SameTokens(b, r))) {
            take = &r;
            ++setAside[1];
        } else if (HoldsEdits(b, l, r)) {
            take = &r;
        } else if (SameButLayout(b, r) || (SameTokens(b, r) && !SameTokens(b, l))) {
            take = &l;
            ++setAside[2];
        } else if (HoldsEdits(b, r, l)) {
            take = &l;
        }
        if (take) {
            into.insert(into.end(), take->begin(), take->end());
            return;
        }
        std::optional<Lines> merged = Splice(b, l, r);
        if (!merged) merged = Splice(b, r, l);
        if (!merged) merged = MergeTokens(l, b, r);
        if (!merged && NoCode(l) && NoCode(b) && NoCode(r)) {
            // Comments rewritten on both sides: both kept, no code at stake.
            merged = l;
            merged->insert(merged->end(), r.begin(), r.end());
        }
        if (merged)
            into.insert(into.end(), merged->begin(), merged->end());
        else
            MarkConflict(l, b, r, into);
    }

    void MarkConflict(const Lines& l, const Lines& b, const Lines& r, Lines& into) {
        ++conflicts;
        into.push_back("<<<<<<< " + v_[1]->input->label);
        into.insert(into.end(), l.begin(), l.end());
        into.push_back("||||||| " + v_[0]->input->label);
        into.insert(into.end(), b.begin(), b.end());
        into.push_back("=======");
        into.insert(into.end(), r.begin(), r.end());
        into.push_back(">>>>>>> " + v_[2]->input->label);
    }

    bool SameTokens(const Lines& a, const Lines& b) { return CodeOf(a) == CodeOf(b); }

    // A declaration placed twice means the outline merge guessed: the caller starts over.
    bool Place(const std::string& key) {
        if (!placed_.insert(key).second) {
            unsure = true;
            return false;
        }
        return true;
    }

    void MergeDeclaration(const std::string& key, Lines& into) {
        const Lines* b = TextOf(0, key);
        const Lines* l = TextOf(1, key);
        const Lines* r = TextOf(2, key);
        static const Lines kNone;
        if (!l && !r) return;
        if (b && (!l || !r)) {
            const Lines* kept = l ? l : r;
            // Removed on one side, untouched on the other but for layout or comments.
            if (*kept == *b || SameTokens(*kept, *b)) return;
            MarkConflict(l ? *l : kNone, *b, r ? *r : kNone, into);
            return;
        }
        if (!l || !r) {
            const Lines* added = l ? l : r;
            into.insert(into.end(), added->begin(), added->end());
            return;
        }
        const Lines& base = b ? *b : kNone;
        if (*l == *r || (b && *r == base)) {
            into.insert(into.end(), l->begin(), l->end());
            return;
        }
        if (b && *l == base) {
            into.insert(into.end(), r->begin(), r->end());
            return;
        }
        if (b && key.starts_with("U:")) {
            if (auto units = MergeUsesClause(base, *l, *r)) {
                into.insert(into.end(), units->begin(), units->end());
                return;
            }
        }
        Lines merged;
        int32_t before = conflicts;
        if (!b || !key.starts_with("C:") || !MergeMembers(key, base, *l, *r, merged))
            MergeText(base, *l, *r, merged, ScopesOf(0, key), ScopesOf(1, key), ScopesOf(2, key));
        if (conflicts > before) {
            // A side that changed only layout or comments yields to the other.
            const Lines* take = nullptr;
            if (SameTokens(*l, *r) || (b && SameTokens(*r, base))) {
                take = l;
                ++setAside[2];
            } else if (b && SameTokens(*l, base)) {
                take = r;
                ++setAside[1];
            }
            if (take) {
                conflicts = before;
                merged = *take;
            }
        }
        into.insert(into.end(), merged.begin(), merged.end());
    }

    // A class changed on both sides: its members are paired and decided like declarations.
    bool MergeMembers(const std::string& key, const Lines& b, const Lines& l, const Lines& r,
                      Lines& into) {
        Version sub[3];
        const Lines* texts[3] = {&b, &l, &r};
        for (int s = 0; s < 3; ++s) {
            auto members = v_[s]->members.find(key);
            if (members == v_[s]->members.end()) return false;
            const int32_t start = o_[s]->chunks[o_[s]->chunkOf.at(key)].first;
            sub[s].input = v_[s]->input;
            sub[s].lines = *texts[s];
            if (const Scopes* scope = ScopesOf(s, key)) sub[s].scope = *scope;
            sub[s].cut = static_cast<int32_t>(texts[s]->size());
            std::vector<Decl> inside;
            for (Decl d : members->second) {
                d.first -= start, d.last -= start;
                if (d.first < 0 || d.last >= sub[s].cut) return false;
                inside.push_back(std::move(d));
            }
            Accept(sub[s], inside);
        }
        Lines merged;
        int32_t found = 0;
        if (!MergeOutlined(sub, merged, found, setAside)) return false;
        into.insert(into.end(), merged.begin(), merged.end());
        conflicts += found;
        return true;
    }

    void EmitItems(int side, int32_t from, int32_t to) {
        for (int32_t i = from; i < to; ++i) {
            const Item& it = o_[side]->items[i];
            if (it.chunk < 0) {
                out.push_back(v_[side]->lines[it.line]);
            } else {
                const std::string& key = KeyAt(side, i);
                if (Place(key)) MergeDeclaration(key, out);
            }
        }
    }

    // Declarations the taken side removed: gone, unless the other side changed them.
    void EmitRemovedKeys(const Diff3Hunk& h, int taken) {
        for (int32_t i = h.base; i < h.baseEnd; ++i) {
            if (o_[0]->items[i].chunk < 0) continue;
            const std::string& key = KeyAt(0, i);
            if (!o_[taken]->chunkOf.count(key) && o_[3 - taken]->chunkOf.count(key) && Place(key))
                MergeDeclaration(key, out);
        }
    }

    bool OnlyDeclarationsAndNotes(int side, int32_t from, int32_t to, bool& anyPlaceholder) {
        for (int32_t i = from; i < to; ++i) {
            const Item& it = o_[side]->items[i];
            if (it.chunk >= 0)
                anyPlaceholder = true;
            else if (!IsBlank(v_[side]->lines[it.line]) && !IsCommentLine(v_[side]->lines[it.line]))
                return false;
        }
        return true;
    }

    // A region of declarations and blank lines only, each of them nowhere else: decided one
    // by one, in LOCAL's order with REMOTE's own ones after the declaration REMOTE puts
    // before them. False, and nothing written, when the sides order common ones differently.
    bool MergeDeclarationRun(const Diff3Hunk& h) {
        const int32_t from[3] = {h.base, h.local, h.remote};
        const int32_t to[3] = {h.baseEnd, h.localEnd, h.remoteEnd};
        std::vector<std::string> keys[3];
        for (int s = 0; s < 3; ++s)
            for (int32_t i = from[s]; i < to[s]; ++i) {
                const Item& it = o_[s]->items[i];
                if (it.chunk < 0) {
                    if (!IsBlank(v_[s]->lines[it.line])) return false;
                    continue;
                }
                keys[s].push_back(KeyAt(s, i));
            }
        if (keys[0].empty()) return false;
        for (int s = 0; s < 3; ++s)
            for (const std::string& key : keys[s])
                for (int o = 0; o < 3; ++o) {
                    auto at = o_[o]->chunkOf.find(key);
                    if (placed_.count(key) ||
                        (at != o_[o]->chunkOf.end() &&
                         std::find(keys[o].begin(), keys[o].end(), key) == keys[o].end()))
                        return false;
                }
        // Common declarations in the same order on every side.
        for (int a = 0; a < 3; ++a)
            for (int b = a + 1; b < 3; ++b) {
                std::vector<std::string> inA, inB;
                for (const auto& k : keys[a])
                    if (std::find(keys[b].begin(), keys[b].end(), k) != keys[b].end())
                        inA.push_back(k);
                for (const auto& k : keys[b])
                    if (std::find(keys[a].begin(), keys[a].end(), k) != keys[a].end())
                        inB.push_back(k);
                if (inA != inB) return false;
            }
        // A declaration both sides removed, and one added in its place: each side replaced it
        // in its own way.
        auto has = [&](int s, const std::string& k) {
            return std::find(keys[s].begin(), keys[s].end(), k) != keys[s].end();
        };
        const bool removedOnBoth = std::any_of(keys[0].begin(), keys[0].end(),
                                               [&](auto& k) { return !has(1, k) && !has(2, k); });
        auto addsAlone = [&](int s) {
            return std::any_of(keys[s].begin(), keys[s].end(),
                               [&](auto& k) { return !has(0, k) && !has(3 - s, k); });
        };
        if (removedOnBoth && (addsAlone(1) || addsAlone(2))) return false;
        struct Unit {
            std::string key;
            Lines blanks; // the blank lines that follow it on its side
        };
        Lines lead;
        std::vector<Unit> units;
        for (int32_t i = h.local; i < h.localEnd; ++i) {
            const Item& it = o_[1]->items[i];
            if (it.chunk >= 0)
                units.push_back({KeyAt(1, i), {}});
            else
                (units.empty() ? lead : units.back().blanks).push_back(v_[1]->lines[it.line]);
        }
        size_t pos = 0;
        for (int32_t i = h.remote; i < h.remoteEnd; ++i) {
            const Item& it = o_[2]->items[i];
            if (it.chunk < 0) continue;
            const std::string& key = KeyAt(2, i);
            auto mine = std::find_if(units.begin(), units.end(),
                                     [&](const Unit& u) { return u.key == key; });
            if (mine != units.end()) {
                pos = static_cast<size_t>(mine - units.begin()) + 1;
                continue;
            }
            Unit u{key, {}};
            for (int32_t j = i + 1; j < h.remoteEnd && o_[2]->items[j].chunk < 0; ++j)
                u.blanks.push_back(v_[2]->lines[o_[2]->items[j].line]);
            units.insert(units.begin() + static_cast<std::ptrdiff_t>(pos++), std::move(u));
        }
        out.insert(out.end(), lead.begin(), lead.end());
        for (const Unit& u : units) {
            Lines text;
            if (Place(u.key)) MergeDeclaration(u.key, text);
            if (text.empty()) continue;
            out.insert(out.end(), text.begin(), text.end());
            out.insert(out.end(), u.blanks.begin(), u.blanks.end());
        }
        return true;
    }

    void ResolveConflict(const Diff3Hunk& h) {
        if (MergeDeclarationRun(h)) return;
        // Declarations (with their comments) added at the same place on both sides: LOCAL's
        // first, then REMOTE's.
        bool baseHas = false, localHas = false, remoteHas = false;
        if (OnlyDeclarationsAndNotes(0, h.base, h.baseEnd, baseHas) && !baseHas &&
            OnlyDeclarationsAndNotes(1, h.local, h.localEnd, localHas) && localHas &&
            OnlyDeclarationsAndNotes(2, h.remote, h.remoteEnd, remoteHas) && remoteHas) {
            EmitItems(1, h.local, h.localEnd);
            const size_t junction = out.size();
            for (int32_t i = h.remote; i < h.remoteEnd; ++i) {
                const Item& it = o_[2]->items[i];
                // Each side brought its blank line to the place where they now meet.
                if (it.chunk < 0 && out.size() == junction && !out.empty() && IsBlank(out.back()) &&
                    IsBlank(v_[2]->lines[it.line]))
                    continue;
                if (it.chunk < 0 || !placed_.count(KeyAt(2, i))) EmitItems(2, i, i + 1);
            }
            return;
        }
        // Otherwise the region is merged line by line. A declaration that came here from
        // elsewhere brings its merged text; one that was here brings each side's own.
        std::unordered_set<std::string> here;
        for (int32_t i = h.base; i < h.baseEnd; ++i)
            if (o_[0]->items[i].chunk >= 0) here.insert(KeyAt(0, i));
        Lines side[3];
        Scopes scope[3];
        const int32_t from[3] = {h.base, h.local, h.remote};
        const int32_t to[3] = {h.baseEnd, h.localEnd, h.remoteEnd};
        std::unordered_map<std::string, Lines> arrived;
        std::unordered_set<std::string> seenHere;
        for (int s = 0; s < 3; ++s) {
            for (int32_t i = from[s]; i < to[s]; ++i) {
                const Item& it = o_[s]->items[i];
                if (it.chunk < 0) {
                    side[s].push_back(v_[s]->lines[it.line]);
                    scope[s].push_back(v_[s]->scope.empty() ? 0 : v_[s]->scope[it.line]);
                    continue;
                }
                const std::string& key = KeyAt(s, i);
                if (here.count(key)) {
                    if (s > 0 && seenHere.insert(key).second && !Place(key)) continue;
                    const Lines* t = TextOf(s, key);
                    side[s].insert(side[s].end(), t->begin(), t->end());
                    // Its lines pair only with its own lines on the other sides.
                    const size_t at = scope[s].size();
                    if (const Scopes* sc = ScopesOf(s, key))
                        scope[s].insert(scope[s].end(), sc->begin(), sc->end());
                    scope[s].resize(side[s].size(), 0);
                    for (size_t j = at; j < scope[s].size(); ++j)
                        scope[s][j] += LineHash(key) | 1;
                } else if (s > 0) {
                    auto a = arrived.find(key);
                    if (a == arrived.end()) {
                        if (!Place(key)) continue;
                        a = arrived.emplace(key, Lines()).first;
                        MergeDeclaration(key, a->second);
                    }
                    side[s].insert(side[s].end(), a->second.begin(), a->second.end());
                    scope[s].resize(side[s].size(), LineHash(key) | 1);
                }
            }
        }
        // Keys removed here by one side and kept by the other are decided in the line merge.
        MergeText(side[0], side[1], side[2], out, &scope[0], &scope[1], &scope[2]);
    }
};

// Routine headings by text, for the duplicate check.
std::map<std::string, int32_t> Headings(const Lines& lines) {
    std::map<std::string, int32_t> count;
    for (const auto& line : lines) {
        std::string word = FirstWord(line);
        if (word == "CLASS") word = FirstWord(Trim(line).substr(5));
        if (word == "PROCEDURE" || word == "FUNCTION" || word == "CONSTRUCTOR" ||
            word == "DESTRUCTOR")
            ++count[base::UpperAscii(model::CollapseBlanks(line))];
    }
    return count;
}

// A clean merge that holds a routine heading more often than either side did has joined two
// copies of one routine: the sides added it at different places.
bool DuplicatesRoutines(const Lines& merged, const Lines& local, const Lines& remote) {
    auto l = Headings(local), r = Headings(remote);
    for (const auto& [heading, n] : Headings(merged))
        if (n > std::max(l[heading], r[heading])) return true;
    return false;
}

struct Eol {
    std::string text = "\n";
    bool final = true;
};

Eol LineEndsOf(const std::string& bytes, const std::string& fallback) {
    Eol e;
    const std::string& src = bytes.find_first_of("\r\n") != std::string::npos ? bytes : fallback;
    size_t p = src.find_first_of("\r\n");
    if (p != std::string::npos)
        e.text = (src[p] == '\r' && p + 1 < src.size() && src[p + 1] == '\n') ? "\r\n"
                                                                              : src.substr(p, 1);
    const std::string& tail = bytes.empty() ? fallback : bytes;
    e.final = tail.empty() || tail.back() == '\n' || tail.back() == '\r';
    return e;
}

// Line ends are LOCAL's; a byte order mark added or dropped on one side only is that side's change.
std::string Assemble(const Lines& lines, const Version& base, const Version& local,
                     const Version& remote) {
    const bool bom = local.hadBom != base.hadBom ? local.hadBom : remote.hadBom;
    Eol eol = LineEndsOf(local.input->bytes, base.input->bytes);
    std::string text = bom ? std::string(kBom) : std::string();
    for (size_t i = 0; i < lines.size(); ++i) {
        text += lines[i];
        if (i + 1 < lines.size() || eol.final) text += eol.text;
    }
    return text;
}

// A clean merge may still have left out one side's edits to comments or layout: said, not hidden.
void NoteSetAside(const Version* v, const int32_t* setAside, std::vector<std::string>& notes) {
    for (int s = 1; s <= 2; ++s)
        if (setAside[s] > 0)
            notes.push_back(v[s].input->label + ": " + std::to_string(setAside[s]) +
                            (setAside[s] == 1 ? " edit" : " edits") +
                            " of comments or layout left out where " + v[3 - s].input->label +
                            " changed the code on the same lines");
}

std::string StopNote(const Version& v) {
    return v.input->fileName + ": the parse stopped at line " + std::to_string(v.stopLine) +
           "; the rest of the file is merged line by line";
}

// However the result was found, a declaration it got wrong becomes a conflict.
int32_t Guard(const Version* v, Lines& out, const ThreeWayOptions& options,
              const RenamedRoutines& renamed, std::vector<std::string>& notes,
              std::vector<std::string>& caught) {
    const Lines versions[3] = {v[0].lines, v[1].lines, v[2].lines};
    std::vector<GuaranteeViolation> found =
        CheckMergeGuarantee(versions, out, v[1].input->fileName, options,
                            {v[0].parsed.get(), v[1].parsed.get(), v[2].parsed.get()}, renamed);
    for (const auto& f : found) {
        notes.push_back(ViolationNote(f));
        caught.push_back(f.name);
    }
    const std::string labels[3] = {v[0].input->label, v[1].input->label, v[2].input->label};
    return MarkViolations(out, found, labels);
}

} // namespace

std::vector<std::string> CodeOf(const std::vector<std::string>& lines) {
    std::string text = io::JoinLinesCrLf(lines);
    std::vector<std::string> code = TokensOfCrLf(text);
    code.emplace_back("\x01");
    for (size_t at = 0; (at = text.find('$', at)) != std::string::npos; ++at) {
        const bool brace = at > 0 && text[at - 1] == '{';
        if (!brace && !(at > 1 && text[at - 1] == '*' && text[at - 2] == '(')) continue;
        size_t end = text.find(brace ? "}" : "*)", at);
        std::string directive;
        for (size_t i = at; i < std::min(end, text.size()); ++i)
            if (static_cast<unsigned char>(text[i]) > ' ') directive += text[i];
        code.push_back(base::UpperAscii(directive));
    }
    return code;
}

std::vector<std::string> PascalTokens(std::string_view text) {
    if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
    return TokensOfCrLf(io::JoinLinesCrLf(io::SplitLines(text)));
}

void RefuseOutputOverInputs(const std::string& output, const std::string& base,
                            const std::string& remote) {
    for (const std::string* input : {&base, &remote})
        if (io::SameFile(output, *input))
            throw std::runtime_error("Will not write over the input \"" + output +
                                     "\"; only LOCAL may be the output");
}

ThreeWayResult MergeLines(const ThreeWayInput& base, const ThreeWayInput& local,
                          const ThreeWayInput& remote) {
    Version v[3];
    Load(v[0], base), Load(v[1], local), Load(v[2], remote);
    // Without declarations every outline item is a line.
    Lines out;
    ThreeWayResult r;
    int32_t setAside[3] = {0, 0, 0};
    Merger::MergeOutlined(v, out, r.conflicts, setAside);
    NoteSetAside(v, setAside, r.notes);
    r.text = Assemble(out, v[0], v[1], v[2]);
    return r;
}

ThreeWayResult MergeThreeWay(const ThreeWayInput& base, const ThreeWayInput& local,
                             const ThreeWayInput& remote, const ThreeWayOptions& options) {
    Version v[3];
    Load(v[0], base), Load(v[1], local), Load(v[2], remote);
    ThreeWayResult result;
    for (auto& ver : v) {
        Analyse(ver, options);
        if (!ver.complete) result.notes.push_back(StopNote(ver));
    }
    // A side's renamed or moved declarations are filed under BASE's keys.
    std::vector<std::pair<std::string, std::string>> renamed[3];
    RenamedRoutines guaranteeKeys;
    if (diff::FollowsRenames(options.reading, v[0].dialect) && v[0].complete)
        for (int s = 1; s < 3; ++s) {
            auto text = [&ver = v[s]] { return io::JoinLinesCrLf(ver.lines); };
            const diff::DeclPairing pairing(
                *v[0].parsed, *v[s].parsed, [&] { return io::JoinLinesCrLf(v[0].lines); }, text);
            if (v[s].complete) {
                const std::vector<KeyRename> keys = RenamedKeys(pairing, renamed[s]);
                FileUnderBaseKeys(keys, v[s].decls, v[s].members, v[s].unsound);
                // A declaration's own scope goes with it, or its lines would not pair with
                // BASE's inside its own merge.
                auto& own = v[s].ownScope;
                for (const KeyRename& r : keys) {
                    if (!r.classKey.empty()) continue;
                    std::vector<std::string> from;
                    for (const auto& entry : own)
                        if (r.prefix ? entry.first.starts_with(r.from) : entry.first == r.from)
                            from.push_back(entry.first);
                    for (const std::string& key : from) {
                        const std::string to = r.to + key.substr(r.from.size());
                        if (own.count(to)) continue;
                        auto node = own.extract(key);
                        node.key() = to;
                        own.insert(std::move(node));
                    }
                }
                guaranteeKeys[static_cast<size_t>(s - 1)] = GuaranteeKeys(pairing);
            }
        }
    Lines out;
    int32_t conflicts = 0;
    int32_t setAside[3] = {0, 0, 0};
    if (!Merger::MergeOutlined(v, out, conflicts, setAside) ||
        (conflicts == 0 && DuplicatesRoutines(out, v[1].lines, v[2].lines))) {
        Version plain[3];
        Load(plain[0], base), Load(plain[1], local), Load(plain[2], remote);
        for (int s = 0; s < 3; ++s)
            plain[s].scope = v[s].scope;
        out.clear();
        conflicts = 0;
        std::fill(setAside, setAside + 3, 0);
        Merger::MergeOutlined(plain, out, conflicts, setAside);
    }
    NoteSetAside(v, setAside, result.notes);
    if (conflicts == 0)
        conflicts = Guard(v, out, options, guaranteeKeys, result.notes, result.caught);
    result.text = Assemble(out, v[0], v[1], v[2]);
    result.conflicts = conflicts;
    for (int s = 1; s < 3 && conflicts == 0; ++s)
        for (auto& note :
             StaleNameNotes(result.text, v[s].input->bytes, renamed[s], v[s].input->label))
            result.notes.push_back(std::move(note));
    return result;
}

} // namespace quennet::merge3
