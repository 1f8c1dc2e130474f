// Merges made from a real unit: LOCAL renames one routine or method everywhere in the file,
// REMOTE edits one statement of its body. Both edits are apart, so a merge that follows the
// rename holds both; the expected text is REMOTE with LOCAL's rename applied. Shared by the
// merge tests and merge bench.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "diff/decl_pairing.h"
#include "io/source_file.h"
#include "model/source_model.h"
#include "pascal/parse.h"
#include "pascal/scanner.h"

namespace quennet::bench {

struct RenameMergeCase {
    std::string name; // the routine, as declared
    std::string base, local, remote, expected;
};

namespace rename_cases {

// Every token spelling name (any case) replaced by to.
inline std::string RenameTokens(const std::string& text, const std::string& name,
                                const std::string& to, int* count = nullptr) {
    pascal::TOp4Scanner scanner;
    scanner.InitSource(text.data(), static_cast<int32_t>(text.size()));
    std::string out;
    size_t from = 0;
    int n = 0;
    while (scanner.Get() != pascal::tEndOfText) {
        const auto& t = scanner.State().CurToken;
        if (static_cast<size_t>(t.Len) != name.size() ||
            model::CompareNames(scanner.GetString(t.Pos, t.Len), name) != 0)
            continue;
        out.append(text, from, static_cast<size_t>(t.Pos) - from);
        out += to;
        from = static_cast<size_t>(t.Pos + t.Len);
        ++n;
    }
    out.append(text, from);
    if (count) *count = n;
    return out;
}

// How many declarations of the model carry this name: a rename everywhere is only safe for one.
inline int Declarations(const model::TPasSrc& src, const std::string& name) {
    int n = 0;
    auto same = [&](const std::string& other) {
        return model::CompareNames(diff::BareName(other), name) == 0;
    };
    for (const auto& p : src.Procs)
        n += same(p->Name);
    for (const auto& t : src.Types)
        n += same(t->Name);
    for (const auto& v : src.Vars)
        n += same(v->Name);
    for (const auto& v : src.Consts)
        n += same(v->Name);
    for (const auto& c : src.Classes) {
        n += same(c->Name);
        for (const auto& m : c->Methods)
            n += same(m->Name);
        for (const auto& f : c->Fields)
            n += same(f->Name);
        for (const auto& p : c->Props)
            n += same(p->Name);
    }
    return n;
}

// A plain statement line of the body (0-based line index), or -1: it ends in ";", holds no
// comment or string, neither it nor its neighbours name the routine, and is no begin or end.
inline int StatementLine(const std::vector<std::string>& lines, const model::TidName& body,
                         const std::string& name) {
    bool inBlock = false;
    for (int32_t i = body.FirstLine; i < body.LastLine - 1 && i < (int32_t)lines.size(); ++i) {
        std::string_view l = lines[static_cast<size_t>(i)];
        const size_t at = l.find_first_not_of(" \t");
        if (at == std::string_view::npos) continue;
        std::string_view word = l.substr(at);
        std::string upper(word);
        for (char& c : upper)
            c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        if (upper.starts_with("BEGIN")) {
            inBlock = true;
            continue;
        }
        if (!inBlock || upper.starts_with("END") || !word.ends_with(";")) continue;
        if (word.find_first_of("{}'/(*") != std::string_view::npos) continue;
        // Lines next to one the rename touches would be edits that touch: diff3 conflicts.
        auto names = [&](int32_t k) {
            return k >= 0 && k < (int32_t)lines.size() &&
                   RenameTokens(lines[static_cast<size_t>(k)], name, "").size() !=
                       lines[static_cast<size_t>(k)].size();
        };
        if (names(i - 1) || names(i) || names(i + 1)) continue;
        return i;
    }
    return -1;
}

} // namespace rename_cases

// Up to most cases from one unit's bytes; none when the unit does not parse whole.
inline std::vector<RenameMergeCase> RenameMergeCases(std::string_view bytes, size_t most) {
    using namespace rename_cases;
    std::vector<RenameMergeCase> out;
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const std::vector<std::string> lines = io::SplitLines(bytes);
    const std::string base = io::JoinLinesCrLf(lines);
    model::TPasSrc src;
    model::ParseOptions reading(model::Dialect::Delphi);
    reading.followIncludes = false;
    quennet::pascal::Parse(src, base, nullptr, reading);
    if (!src.Status.Complete) return out;
    std::vector<const model::TidProc*> routines;
    for (const auto& p : src.Procs)
        routines.push_back(p.get());
    for (const auto& c : src.Classes)
        for (const auto& m : c->Methods)
            routines.push_back(m.get());
    for (const model::TidProc* r : routines) {
        if (out.size() >= most) break;
        const std::string name(diff::BareName(r->Name));
        if (!r->Implementation || r->Name.ends_with(')') || name.size() < 4 || !r->File.empty() ||
            Declarations(src, name) != 1)
            continue;
        const int line = StatementLine(lines, *r->Implementation, name);
        if (line < 0) continue;
        std::vector<std::string> edited = lines;
        std::string& statement = edited[static_cast<size_t>(line)];
        statement.insert(statement.size() - 1, "; Sleep(0)");
        RenameMergeCase c;
        c.name = name;
        c.base = base;
        int renamed = 0;
        c.local = RenameTokens(base, name, name + "Renamed", &renamed);
        c.remote = io::JoinLinesCrLf(edited);
        c.expected = RenameTokens(c.remote, name, name + "Renamed");
        if (renamed >= 2) out.push_back(std::move(c));
    }
    return out;
}

// Up to most cases from one unit's bytes where LOCAL takes a routine out of the interface (its
// heading lines deleted) and moves its body up, before the first body of the implementation;
// REMOTE edits one statement of that body. The expected text is REMOTE with LOCAL's move.
inline std::vector<RenameMergeCase> SectionMoveMergeCases(std::string_view bytes, size_t most) {
    using namespace rename_cases;
    std::vector<RenameMergeCase> out;
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const std::vector<std::string> lines = io::SplitLines(bytes);
    const std::string base = io::JoinLinesCrLf(lines);
    model::TPasSrc src;
    model::ParseOptions reading(model::Dialect::Delphi);
    reading.followIncludes = false;
    quennet::pascal::Parse(src, base, nullptr, reading);
    if (!src.Status.Complete) return out;
    // The first line of the first body: the target stays among the implementation's routines.
    int32_t firstBody = 0;
    std::vector<std::pair<int32_t, int32_t>> headings;
    auto seeBody = [&](const model::TidProc& p) {
        if (p.Implementation && p.Implementation->File.empty() &&
            (firstBody == 0 || p.Implementation->FirstLine < firstBody))
            firstBody = p.Implementation->FirstLine;
    };
    for (const auto& p : src.Procs) {
        seeBody(*p);
        if (p->InInterface) headings.emplace_back(p->FirstLine, p->LastLine);
    }
    for (const auto& c : src.Classes)
        for (const auto& m : c->Methods)
            seeBody(*m);
    for (const auto& p : src.Procs) {
        if (out.size() >= most) break;
        const model::TidImplementation* body = p->Implementation.get();
        const std::string name(diff::BareName(p->Name));
        if (!p->InInterface || !body || p->Name.ends_with(')') || !p->File.empty() ||
            !body->File.empty() || body->FirstLine <= firstBody || Declarations(src, name) != 1)
            continue;
        // The heading alone on its lines, no other heading among them.
        const std::string& first = lines[static_cast<size_t>(p->FirstLine - 1)];
        const size_t at = first.find_first_not_of(" \t");
        const std::string word = at == std::string::npos ? "" : first.substr(at, 9);
        if (model::CompareNames(word.substr(0, 8), "function") != 0 &&
            model::CompareNames(word.substr(0, 9), "procedure") != 0)
            continue;
        if (std::count_if(headings.begin(), headings.end(), [&](const auto& h) {
                return h.first <= p->LastLine && h.second >= p->FirstLine;
            }) != 1)
            continue;
        const int line = StatementLine(lines, *body, name);
        if (line < 0) continue;
        auto move = [&](std::vector<std::string> text) {
            const auto b0 = text.begin() + body->FirstLine - 1, b1 = text.begin() + body->LastLine;
            std::vector<std::string> moved(b0, b1);
            moved.emplace_back();
            text.erase(b0, b1);
            text.insert(text.begin() + firstBody - 1, moved.begin(), moved.end());
            text.erase(text.begin() + p->FirstLine - 1, text.begin() + p->LastLine);
            return io::JoinLinesCrLf(text);
        };
        std::vector<std::string> edited = lines;
        std::string& statement = edited[static_cast<size_t>(line)];
        statement.insert(statement.size() - 1, "; Sleep(0)");
        out.push_back({name, base, move(lines), io::JoinLinesCrLf(edited), move(edited)});
    }
    return out;
}

} // namespace quennet::bench
