// Widening changed stretches to places where a directive line is safe. The scan knows only what
// decides that: strings (which end at the line end), the three comment forms and the names of
// the conditional directives.
#include "workspace/merged_blocks.h"

#include "base/ascii.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace quennet::workspace {

namespace {

enum class Lexical { Code, Brace, Paren };
enum class Conditional { None, Open, Else, Close };

Conditional ConditionalOf(std::string_view text, size_t nameStart) {
    std::string name;
    for (size_t i = nameStart; i < text.size() && name.size() < 8; ++i) {
        const char c = text[i];
        if (!base::IsAsciiLetter(c)) break;
        name += base::AsciiUpper(c);
    }
    if (name == "IF" || name == "IFDEF" || name == "IFNDEF" || name == "IFOPT" || name == "IFC")
        return Conditional::Open;
    if (name == "ELSE" || name == "ELSEIF" || name == "ELSEC") return Conditional::Else;
    if (name == "ENDIF" || name == "IFEND" || name == "ENDC") return Conditional::Close;
    return Conditional::None;
}

// Scans one line from the given state; appends the conditional directives it holds.
Lexical ScanLine(std::string_view text, Lexical state, std::vector<Conditional>& found) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        switch (state) {
        case Lexical::Brace:
        case Lexical::Paren: {
            const bool brace = state == Lexical::Brace;
            const size_t end = brace ? text.find('}', i) : text.find("*)", i);
            if (end == std::string_view::npos) return state;
            i = end + (brace ? 1 : 2);
            state = Lexical::Code;
            break;
        }
        case Lexical::Code: {
            const char c = text[i];
            if (c == '\'') {
                const size_t end = text.find('\'', i + 1);
                if (end == std::string_view::npos) return state;
                i = end + 1;
            } else if (c == '/' && i + 1 < n && text[i + 1] == '/') {
                return state;
            } else if (c == '{') {
                if (i + 1 < n && text[i + 1] == '$') {
                    if (auto d = ConditionalOf(text, i + 2); d != Conditional::None)
                        found.push_back(d);
                }
                state = Lexical::Brace;
                ++i;
            } else if (c == '(' && i + 1 < n && text[i + 1] == '*') {
                if (i + 2 < n && text[i + 2] == '$') {
                    if (auto d = ConditionalOf(text, i + 3); d != Conditional::None)
                        found.push_back(d);
                }
                state = Lexical::Paren;
                i += 1; // "(*)" is a whole comment: the search for "*)" starts at the star
            } else {
                ++i;
            }
            break;
        }
        }
    }
    return state;
}

// One version's view of the lines: where a directive may go, and for every line that holds
// conditional directives the span [first, last] of the conditionals they belong to.
struct VersionScan {
    struct LineSpan {
        size_t Line, First, Last;
    };
    std::vector<bool> Safe;     // per boundary 0..n: outside any comment
    std::vector<LineSpan> Span; // by line, only lines that hold conditionals

    VersionScan(const std::function<std::string_view(size_t)>& lineAt,
                const std::vector<TVersionMember>& member, TVersionMember leftOut) {
        const size_t n = member.size();
        Safe.assign(n + 1, true);
        struct Group {
            size_t open, close;
            std::vector<size_t> lines;
        };
        std::vector<Group> groups;
        std::vector<size_t> open; // indices into groups
        Lexical state = Lexical::Code;
        std::vector<Conditional> found;
        for (size_t line = 0; line < n; ++line) {
            Safe[line] = state == Lexical::Code;
            if (member[line] == leftOut) continue;
            found.clear();
            state = ScanLine(lineAt(line), state, found);
            for (Conditional d : found) {
                if (d == Conditional::Open) {
                    open.push_back(groups.size());
                    groups.push_back({line, n - 1, {line}});
                    continue;
                }
                if (open.empty()) { // its opening lies before the text: everything up to here
                    open.push_back(groups.size());
                    groups.push_back({0, n - 1, {}});
                }
                Group& g = groups[open.back()];
                g.lines.push_back(line);
                if (d == Conditional::Close) {
                    g.close = line;
                    open.pop_back();
                }
            }
        }
        Safe[n] = state == Lexical::Code;
        for (const Group& g : groups)
            for (size_t line : g.lines)
                Span.push_back({line, g.open, g.close});
        std::sort(Span.begin(), Span.end(),
                  [](const LineSpan& a, const LineSpan& b) { return a.Line < b.Line; });
        // One entry a line: the widest span of its conditionals.
        size_t out = 0;
        for (size_t i = 0; i < Span.size(); ++i) {
            if (out > 0 && Span[out - 1].Line == Span[i].Line) {
                Span[out - 1].First = std::min(Span[out - 1].First, Span[i].First);
                Span[out - 1].Last = std::max(Span[out - 1].Last, Span[i].Last);
            } else {
                Span[out++] = Span[i];
            }
        }
        Span.resize(out);
    }

    // Calls f(first, last) for each line in [from, to) that holds conditionals.
    template <class F> void SpansIn(size_t from, size_t to, F&& f) const {
        auto it = std::lower_bound(Span.begin(), Span.end(), from,
                                   [](const LineSpan& s, size_t line) { return s.Line < line; });
        for (; it != Span.end() && it->Line < to; ++it)
            f(it->First, it->Last);
    }
};

} // namespace

std::vector<TMergedBlock> MergedBlocks(const std::function<std::string_view(size_t)>& lineAt,
                                       const std::vector<TVersionMember>& member) {
    const size_t n = member.size();
    const VersionScan scans[] = {VersionScan(lineAt, member, TVersionMember::NewOnly),
                                 VersionScan(lineAt, member, TVersionMember::OldOnly)};
    auto safe = [&](size_t b) { return scans[0].Safe[b] && scans[1].Safe[b]; };

    std::vector<TMergedBlock> blocks;
    size_t i = 0;
    while (i < n) {
        if (member[i] == TVersionMember::Both) {
            if (blocks.empty() || !blocks.back().Common) blocks.push_back({i, i, true, false});
            blocks.back().End = ++i;
            continue;
        }
        size_t s = i, e = i;
        while (e < n && member[e] != TVersionMember::Both)
            ++e;
        const size_t runBegin = s, runEnd = e;
        size_t scannedFrom = s, scannedTo = s; // lines whose conditionals are inside [s, e)
        for (;;) {
            while (s > 0 && !safe(s))
                --s;
            while (e < n && (!safe(e) || member[e] != TVersionMember::Both))
                ++e;
            size_t wantS = s, wantE = e;
            auto take = [&](size_t from, size_t to) {
                for (const VersionScan& v : scans)
                    v.SpansIn(from, to, [&](size_t first, size_t last) {
                        wantS = std::min(wantS, first);
                        wantE = std::max(wantE, last + 1);
                    });
            };
            take(s, scannedFrom);
            take(scannedTo, e);
            scannedFrom = s;
            scannedTo = e;
            if (wantS == s && wantE == e) break;
            s = wantS;
            e = wantE;
        }
        // A stretch that reaches back takes over the blocks it covers.
        while (!blocks.empty() && blocks.back().End > s) {
            TMergedBlock& last = blocks.back();
            if (last.Common && last.Begin < s) {
                last.End = s;
                break;
            }
            s = std::min(s, last.Begin);
            blocks.pop_back();
        }
        const bool asItWas = s == runBegin && e == runEnd;
        blocks.push_back({s, e, false, asItWas && member[s] == TVersionMember::NewOnly});
        i = e;
    }
    return blocks;
}

} // namespace quennet::workspace
