#include "merge3/text_outline.h"

#include <algorithm>
#include <string_view>

#include "base/ascii.h"
#include "base/pascal_text.h"

namespace quennet::merge3 {

namespace {

// The text's lines with comments and strings blanked, so keywords and ";" are found only in
// code.
std::vector<std::string> CodeOnly(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    base::LexState state = base::LexState::Code;
    for (const auto& line : lines) {
        std::string code(line.size(), ' ');
        state =
            base::ForEachPiece(line, state, [&](base::PieceKind kind, size_t begin, size_t end) {
                if (kind == base::PieceKind::Code)
                    code.replace(begin, end - begin, line, begin, end - begin);
            });
        out.push_back(std::move(code));
    }
    return out;
}

std::string_view LeadingWord(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    size_t e = b;
    while (e < s.size() && base::IsIdentChar(s[e]))
        ++e;
    return s.substr(b, e - b);
}

struct Unit {
    std::string name; // upper case, the key
    std::string text; // as written, blanks collapsed
};

std::string Collapse(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (static_cast<unsigned char>(c) <= ' ') {
            if (!out.empty() && out.back() != ' ') out += ' ';
        } else {
            out += c;
        }
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// The units of a clause, or nullopt when it holds comments or directives.
std::optional<std::vector<Unit>> Units(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& l : lines)
        all += l + ' ';
    if (all.find_first_of("{}") != std::string::npos || all.find("(*") != std::string::npos ||
        all.find("//") != std::string::npos)
        return std::nullopt;
    size_t start = all.find_first_not_of(" \t");
    if (start == std::string::npos || base::UpperAscii(all.substr(start, 4)) != "USES")
        return std::nullopt;
    size_t semi = all.find(';');
    if (semi == std::string::npos || !Collapse(all.substr(semi + 1)).empty()) return std::nullopt;
    std::vector<Unit> units;
    std::string_view body(all);
    body = body.substr(start + 4, semi - start - 4);
    size_t pos = 0;
    while (pos <= body.size()) {
        size_t comma = body.find(',', pos);
        if (comma == std::string_view::npos) comma = body.size();
        std::string text = Collapse(body.substr(pos, comma - pos));
        if (text.empty()) return std::nullopt;
        size_t n = 0;
        while (n < text.size() && (base::IsIdentChar(text[n]) || text[n] == '.'))
            ++n;
        units.push_back({base::UpperAscii(text.substr(0, n)), text});
        pos = comma + 1;
    }
    return units;
}

const Unit* Find(const std::vector<Unit>& list, const std::string& name) {
    for (const auto& u : list)
        if (u.name == name) return &u;
    return nullptr;
}

std::vector<std::string> Layout(const std::vector<Unit>& units,
                                const std::vector<std::string>& like, size_t likeUnits) {
    const std::string& first = like.front();
    std::string indent = first.substr(0, first.find_first_not_of(" \t"));
    std::string itemIndent = indent + "  ";
    if (like.size() > 1) {
        const std::string& second = like[1];
        itemIndent = second.substr(0, second.find_first_not_of(" \t"));
    }
    std::string keyword = first.substr(indent.size(), 4);
    std::vector<std::string> out;
    const bool onePerLine = like.size() > 2 && like.size() - 1 == likeUnits;
    if (like.size() == 1) {
        std::string line = indent + keyword + " ";
        for (size_t i = 0; i < units.size(); ++i)
            line += units[i].text + (i + 1 < units.size() ? ", " : ";");
        if (line.size() <= 100) return {line};
    }
    out.push_back(indent + keyword);
    std::string line;
    for (size_t i = 0; i < units.size(); ++i) {
        std::string item = units[i].text + (i + 1 < units.size() ? "," : ";");
        if (onePerLine) {
            out.push_back(itemIndent + item);
        } else if (!line.empty() && line.size() + 1 + item.size() > 80) {
            out.push_back(line);
            line = itemIndent + item;
        } else {
            line += line.empty() ? itemIndent + item : " " + item;
        }
    }
    if (!line.empty()) out.push_back(line);
    return out;
}

bool IsRoutineWord(const std::string& w) {
    return w == "PROCEDURE" || w == "FUNCTION" || w == "CONSTRUCTOR" || w == "DESTRUCTOR" ||
           w == "OPERATOR";
}

// The routine name of a heading line ("" when the line is none): the qualified name after
// the routine word, with "class" in front allowed.
std::string HeadingName(std::string_view code) {
    std::string_view rest = code;
    std::string word = base::UpperAscii(LeadingWord(rest));
    auto skipWord = [&]() {
        size_t at = rest.find_first_not_of(" \t");
        rest.remove_prefix(at == std::string_view::npos ? rest.size() : at);
        rest.remove_prefix(std::min(rest.size(), LeadingWord(rest).size()));
    };
    if (word == "CLASS") {
        skipWord();
        word = base::UpperAscii(LeadingWord(rest));
    }
    if (!IsRoutineWord(word)) return "";
    skipWord();
    size_t b = rest.find_first_not_of(" \t");
    if (b == std::string_view::npos) return "";
    size_t e = b;
    while (e < rest.size() && (base::IsIdentChar(rest[e]) || rest[e] == '.'))
        ++e;
    if (e < rest.size() && rest[e] == '<') return ""; // generics: left to the line merge
    return base::UpperAscii(rest.substr(b, e - b));
}

bool AtMargin(const std::string& line) {
    return !line.empty() && line[0] != ' ' && line[0] != '\t';
}

} // namespace

std::vector<RoutineSpan> FindRoutines(const std::vector<std::string>& lines, int32_t from) {
    std::vector<RoutineSpan> spans;
    std::vector<std::string> code = CodeOnly(lines);
    const int32_t n = static_cast<int32_t>(lines.size());
    bool inImplementation = false;
    for (int32_t i = 0; i < n; ++i) {
        if (!AtMargin(code[i])) continue;
        std::string word = base::UpperAscii(LeadingWord(code[i]));
        if (word == "IMPLEMENTATION") inImplementation = true;
        if (word == "INITIALIZATION" || word == "FINALIZATION") inImplementation = false;
        if (!inImplementation || i < from) continue;
        std::string name = HeadingName(code[i]);
        if (name.empty()) continue;
        int32_t end = -1;
        for (int32_t j = i + 1; j < n && end < 0; ++j) {
            if (!AtMargin(code[j])) continue;
            std::string w = base::UpperAscii(LeadingWord(code[j]));
            if (!HeadingName(code[j]).empty() || w == "IMPLEMENTATION" || w == "INITIALIZATION" ||
                w == "FINALIZATION" || w == "INTERFACE")
                break;
            std::string t = base::UpperAscii(Collapse(code[j]));
            if (t == "END.") break;
            if (t == "END;") end = j;
        }
        if (end < 0) continue;
        // The heading runs to the first ";" outside parentheses.
        std::string heading;
        int depth = 0;
        for (int32_t j = i; j <= end && heading.find(';') == std::string::npos; ++j)
            for (char c : code[j]) {
                depth += c == '(' ? 1 : c == ')' ? -1 : 0;
                heading += c;
                if (c == ';' && depth == 0) break;
            }
        spans.push_back({name, base::UpperAscii(Collapse(heading)), i, end});
        i = end;
    }
    return spans;
}

std::vector<std::string> RoutineHeadingNames(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (const auto& code : CodeOnly(lines)) {
        std::string name = HeadingName(code);
        if (!name.empty()) names.push_back(std::move(name));
    }
    return names;
}

std::vector<UsesSpan> FindUsesClauses(const std::vector<std::string>& lines) {
    std::vector<UsesSpan> spans;
    std::vector<std::string> code = CodeOnly(lines);
    std::string section = "MAIN";
    for (int32_t i = 0; i < static_cast<int32_t>(code.size()); ++i) {
        std::string word = base::UpperAscii(LeadingWord(code[i]));
        if (word == "INTERFACE" || word == "IMPLEMENTATION") section = word;
        if (word != "USES") continue;
        int32_t j = i;
        while (j < static_cast<int32_t>(code.size()) && code[j].find(';') == std::string::npos)
            ++j;
        if (j == static_cast<int32_t>(code.size())) break;
        spans.push_back({section, i, j});
        i = j;
    }
    return spans;
}

std::optional<std::vector<std::string>> MergeUsesClause(const std::vector<std::string>& base,
                                                        const std::vector<std::string>& local,
                                                        const std::vector<std::string>& remote) {
    auto b = Units(base), l = Units(local), r = Units(remote);
    if (!b || !l || !r) return std::nullopt;
    // Both sides replacing the same unit, each with units of its own, chose differently
    // what takes its place: a union would keep both choices.
    auto onlyIn = [](const std::vector<Unit>& x, const std::vector<Unit>& y,
                     const std::vector<Unit>& z) {
        return std::any_of(x.begin(), x.end(),
                           [&](const Unit& u) { return !Find(y, u.name) && !Find(z, u.name); });
    };
    bool removedOnBoth = std::any_of(b->begin(), b->end(), [&](const Unit& u) {
        return !Find(*l, u.name) && !Find(*r, u.name);
    });
    if (removedOnBoth && (onlyIn(*l, *b, *r) || onlyIn(*r, *b, *l))) return std::nullopt;
    std::vector<Unit> merged;
    for (const Unit& u : *l) {
        const Unit* inBase = Find(*b, u.name);
        const Unit* inRemote = Find(*r, u.name);
        if (inBase && !inRemote) {
            if (inBase->text != u.text) return std::nullopt; // removed against changed
            continue;
        }
        Unit keep = u;
        if (inBase && inRemote && inRemote->text != inBase->text) {
            if (u.text != inBase->text && u.text != inRemote->text) return std::nullopt;
            keep.text = inRemote->text;
        }
        merged.push_back(keep);
    }
    // REMOTE's additions go after the unit REMOTE puts before them.
    for (size_t k = 0; k < r->size(); ++k) {
        const Unit& u = (*r)[k];
        const Unit* inBase = Find(*b, u.name);
        if (Find(*l, u.name)) continue;
        if (inBase) {
            if (inBase->text != u.text) return std::nullopt; // changed against removed
            continue;
        }
        size_t at = 0;
        for (size_t p = k; p-- > 0;) {
            auto it = std::find_if(merged.begin(), merged.end(),
                                   [&](const Unit& m) { return m.name == (*r)[p].name; });
            if (it != merged.end()) {
                at = static_cast<size_t>(it - merged.begin()) + 1;
                break;
            }
        }
        merged.insert(merged.begin() + static_cast<std::ptrdiff_t>(at), u);
    }
    if (merged.empty()) return std::nullopt;
    auto same = [&](const std::vector<Unit>& list) {
        return std::equal(merged.begin(), merged.end(), list.begin(), list.end(),
                          [](const Unit& x, const Unit& y) { return x.text == y.text; });
    };
    if (same(*l)) return local;
    if (same(*r)) return remote;
    return Layout(merged, local, l->size());
}

} // namespace quennet::merge3
