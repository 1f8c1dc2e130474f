// Terminal display of the difference tree. The line pairing inside a declaration is the
// line matcher's, so the terminal shows the same common lines as the desktop diff view.
#include "render/diff_display.h"

#include <algorithm>
#include <cctype>

#include "diff/line_matcher.h"
#include "render/line_decoration.h"
#include "render/tree_json.h"

namespace quennet::render {

using diff::TSourceDiffItem;
using diff::TSourceDiffList;

namespace {

using diff::TSourceDiffItem;
using diff::TSourceDiffList;

const char kReset[] = "\x1b[0m";
const char kBold[] = "\x1b[1m";
const char kDim[] = "\x1b[2m";
const char kRed[] = "\x1b[31m";
const char kGreen[] = "\x1b[32m";
const char kReverse[] = "\x1b[7m";
const char kNoReverse[] = "\x1b[27m";

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

const model::TidClass* AsClass(const model::TidName* decl) {
    return dynamic_cast<const model::TidClass*>(decl);
}

void Walk(const TSourceDiffList& list, const std::string& prefix, const std::string& groupKind,
          std::vector<DisplayEntry>& out) {
    for (size_t i = 0; i < list.Count(); ++i) {
        const TSourceDiffItem* item = list.Items(i);
        if (item->State == diff::Group) {
            Walk(item->Children, prefix, NodeKindName(item->Kind), out);
            continue;
        }
        DisplayEntry e;
        e.state = item->State;
        e.name = prefix.empty() ? item->Caption : prefix + "." + item->Caption;
        e.kind = groupKind.empty() ? "section" : groupKind;
        const model::TidName* o = item->OldDecl;
        const model::TidName* n = item->NewDecl;
        // Only lines of the two compared texts can be shown; an include file's are not.
        if (const render::LineRange r = render::ViewLines(o); r.IsSet())
            e.oldFirst = r.First + 1, e.oldLast = r.Last + 1;
        if (const render::LineRange r = render::ViewLines(n); r.IsSet())
            e.newFirst = r.First + 1, e.newLast = r.Last + 1;
        const model::TidClass* cls = AsClass(o ? o : n);
        if (diff::IsTextRun(*item)) {
            e.kind = "text";
        } else if (item->Caption == "implementation" && groupKind.empty()) {
            e.kind = "implementation";
            e.name = prefix;
        } else if (item->Caption == "Inherited" && cls) {
            // Only the heading line holds the ancestors.
            e.kind = "ancestors";
            e.name = prefix;
            e.oldLast = e.oldFirst;
            e.newLast = e.newFirst;
        } else if (cls) {
            if (!cls->Kind.empty()) e.kind = Lower(cls->Kind);
        }
        // A changed class shows through its members; a renamed one also as itself.
        const bool classWithMembers =
            cls && item->State == diff::Changed && item->Caption != "Inherited";
        if (!classWithMembers || !item->RenamedFrom.empty()) {
            out.push_back(e);
            if (!item->RenamedFrom.empty())
                out.back().name += " (renamed from " + item->RenamedFrom + ")";
            if (!item->MovedFrom.empty())
                out.back().name += " (moved from " + item->MovedFrom + ")";
            out.back().name += model::IncludeTag(o, n);
        }
        Walk(item->Children, e.name, "", out);
    }
}

enum class RowKind { Same, Removed, Added, Fold };

struct Row {
    RowKind kind;
    int32_t oldLine = -1; // 0-based
    int32_t newLine = -1;
    int32_t folded = 0;
};

std::string ExpandTabs(const std::string& text) {
    std::string out;
    int col = 0;
    for (char c : text) {
        if (c == '\t') {
            do {
                out += ' ';
                ++col;
            } while (col % 8);
            continue;
        }
        out += c;
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++col;
    }
    return out;
}

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

const std::string& LineAt(const std::vector<std::string>& lines, int32_t index) {
    static const std::string empty;
    return index >= 0 && static_cast<size_t>(index) < lines.size() ? lines[index] : empty;
}

// Rows of the lines first..last (1-based) of both texts, unchanged runs folded.
std::vector<Row> PairedRows(const std::vector<std::string>& oldLines,
                            const std::vector<std::string>& newLines, const DisplayEntry& e,
                            int context) {
    std::vector<base::TLineRecord> a, b;
    for (int32_t l = e.oldFirst; e.oldFirst > 0 && l <= e.oldLast; ++l)
        a.push_back({base::LineKey(LineAt(oldLines, l - 1)), l - 1, false});
    for (int32_t l = e.newFirst; e.newFirst > 0 && l <= e.newLast; ++l)
        b.push_back({base::LineKey(LineAt(newLines, l - 1)), l - 1, false});
    std::vector<Row> rows;
    if (a.empty() || b.empty()) {
        for (const auto& r : a)
            rows.push_back({RowKind::Removed, r.Line, -1});
        for (const auto& r : b)
            rows.push_back({RowKind::Added, -1, r.Line});
        return rows;
    }
    std::vector<diff::TMapEntry> map;
    diff::MatchLines(a, b, map);
    size_t oldCursor = 0;
    for (const auto& m : map) {
        if (m.Kind == diff::Common) {
            int32_t ol = oldCursor < a.size() ? a[oldCursor].Line : -1;
            ++oldCursor;
            rows.push_back({RowKind::Same, ol, m.Line});
        } else if (m.Kind == diff::OldOnly) {
            ++oldCursor;
            rows.push_back({RowKind::Removed, m.Line, -1});
        } else {
            rows.push_back({RowKind::Added, -1, m.Line});
        }
    }
    // Fold every unchanged run longer than the context on its changed sides allows.
    std::vector<Row> folded;
    size_t i = 0;
    while (i < rows.size()) {
        if (rows[i].kind != RowKind::Same) {
            folded.push_back(rows[i++]);
            continue;
        }
        size_t j = i;
        while (j < rows.size() && rows[j].kind == RowKind::Same)
            ++j;
        const size_t head = i == 0 ? 0 : static_cast<size_t>(context);
        const size_t tail = j == rows.size() ? 0 : static_cast<size_t>(context);
        const size_t run = j - i;
        if (run <= head + tail + 1 || (i == 0 && j == rows.size())) {
            folded.insert(folded.end(), rows.begin() + i, rows.begin() + j);
        } else {
            folded.insert(folded.end(), rows.begin() + i, rows.begin() + i + head);
            folded.push_back({RowKind::Fold, -1, -1, static_cast<int32_t>(run - head - tail)});
            folded.insert(folded.end(), rows.begin() + j - tail, rows.begin() + j);
        }
        i = j;
    }
    return folded;
}

int Digits(int32_t n) {
    int d = 1;
    while (n >= 10)
        n /= 10, ++d;
    return d;
}

std::string Number(int32_t zeroBased, int width) {
    std::string s = zeroBased >= 0 ? std::to_string(zeroBased + 1) : std::string();
    return std::string(static_cast<size_t>(std::max(0, width - static_cast<int>(s.size()))), ' ') +
           s;
}

// The byte range [begin, end) of `text` that differs from `other`: what is left after the
// common head and tail.
std::pair<size_t, size_t> ChangedSpan(const std::string& text, const std::string& other) {
    size_t head = 0;
    while (head < text.size() && head < other.size() && text[head] == other[head])
        ++head;
    while (head > 0 && head < text.size() && IsContinuation(text[head]))
        --head;
    size_t tail = 0;
    while (tail < text.size() - head && tail < other.size() - head &&
           text[text.size() - 1 - tail] == other[other.size() - 1 - tail])
        ++tail;
    size_t end = text.size() - tail;
    while (end < text.size() && IsContinuation(text[end]))
        ++end;
    return {head, end};
}

struct Painter {
    bool color;
    std::string Paint(const std::string& text, const char* code) const {
        if (!color || text.empty()) return text;
        return code + text + kReset;
    }
    // `fitted` is a cut of `full`; the span refers to `full`.
    std::string PaintChanged(const std::string& fitted, const char* code,
                             std::pair<size_t, size_t> span) const {
        if (!color) return fitted;
        size_t limit = fitted.size();
        if (!fitted.empty() && fitted.back() == '>' && limit > 0) --limit;
        size_t b = std::min(span.first, limit), e = std::min(span.second, limit);
        if (b >= e) return Paint(fitted, code);
        return std::string(code) + fitted.substr(0, b) + kReverse + fitted.substr(b, e - b) +
               kNoReverse + fitted.substr(e) + kReset;
    }
};

const char* RowCode(RowKind k) {
    return k == RowKind::Removed ? kRed : k == RowKind::Added ? kGreen : kDim;
}

char RowMark(RowKind k) {
    return k == RowKind::Removed ? '-' : k == RowKind::Added ? '+' : ' ';
}

// A change starting at row i: its removed rows run to j, its added rows from j to k.
std::pair<size_t, size_t> ChangeRun(const std::vector<Row>& rows, size_t i) {
    size_t j = i;
    while (j < rows.size() && rows[j].kind == RowKind::Removed)
        ++j;
    size_t k = j;
    while (k < rows.size() && rows[k].kind == RowKind::Added)
        ++k;
    return {j, k};
}

// For each removed or added row, its partner on the other side: the rows of a removed run
// and the added run right after it pair up in order.
std::vector<int> Partners(const std::vector<Row>& rows) {
    std::vector<int> partner(rows.size(), -1);
    size_t i = 0;
    while (i < rows.size()) {
        if (rows[i].kind != RowKind::Removed) {
            ++i;
            continue;
        }
        const auto [j, k] = ChangeRun(rows, i);
        for (size_t p = 0; p < j - i && p < k - j; ++p) {
            partner[i + p] = static_cast<int>(j + p);
            partner[j + p] = static_cast<int>(i + p);
        }
        i = k;
    }
    return partner;
}

const std::string& RowText(const Row& r, const std::vector<std::string>& oldLines,
                           const std::vector<std::string>& newLines) {
    return r.kind == RowKind::Removed ? LineAt(oldLines, r.oldLine) : LineAt(newLines, r.newLine);
}

std::string FoldText(int32_t count) {
    return "... " + std::to_string(count) + (count == 1 ? " unchanged line" : " unchanged lines");
}

std::string StateWord(diff::DiffState state) {
    return state == diff::Removed ? "removed" : state == diff::Added ? "added" : "changed";
}

std::string Heading(const DisplayEntry& e) {
    std::string h = StateWord(e.state) + " " + e.kind + " " + e.name;
    auto range = [](int32_t f, int32_t l) {
        return f == l ? std::to_string(f) : std::to_string(f) + "-" + std::to_string(l);
    };
    if (e.oldFirst > 0) h += "  old " + range(e.oldFirst, e.oldLast);
    if (e.newFirst > 0) h += "  new " + range(e.newFirst, e.newLast);
    return h;
}

void RenderInline(const std::vector<Row>& rows, const std::vector<std::string>& oldLines,
                  const std::vector<std::string>& newLines, int digits, int width,
                  const Painter& painter, std::vector<std::string>& out) {
    const std::vector<int> partner = Partners(rows);
    const int textColumns = std::max(1, width - (2 * digits + 4));
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        if (r.kind == RowKind::Fold) {
            out.push_back(painter.Paint(
                FitColumns(std::string(2 * digits + 4, ' ') + FoldText(r.folded), width), kDim));
            continue;
        }
        const std::string prefix = Number(r.oldLine, digits) + " " + Number(r.newLine, digits) +
                                   " " + RowMark(r.kind) + " ";
        const std::string full = ExpandTabs(RowText(r, oldLines, newLines));
        const std::string fitted = FitColumns(full, textColumns);
        if (partner[i] >= 0) {
            const std::string other = ExpandTabs(RowText(rows[partner[i]], oldLines, newLines));
            out.push_back(painter.PaintChanged(prefix + fitted, RowCode(r.kind), [&] {
                auto s = ChangedSpan(full, other);
                return std::pair{s.first + prefix.size(), s.second + prefix.size()};
            }()));
        } else {
            out.push_back(painter.Paint(prefix + fitted, RowCode(r.kind)));
        }
    }
}

std::string PadTo(const std::string& text, int columns) {
    int have = DisplayColumns(text);
    return have >= columns ? text : text + std::string(static_cast<size_t>(columns - have), ' ');
}

// One half of a side-by-side row: number, mark, text, padded to `columns` unless last.
std::string Half(const Row* r, int32_t line, const std::vector<std::string>& lines, int digits,
                 int columns, const std::string* other, const Painter& painter, bool pad) {
    if (!r) return pad ? std::string(static_cast<size_t>(columns), ' ') : std::string();
    const std::string prefix = Number(line, digits) + " " + RowMark(r->kind) + " ";
    const std::string full = ExpandTabs(LineAt(lines, line));
    const std::string fitted =
        FitColumns(full, std::max(1, columns - static_cast<int>(prefix.size())));
    std::string plain = prefix + fitted;
    std::string padding =
        pad ? std::string(static_cast<size_t>(std::max(0, columns - DisplayColumns(plain))), ' ')
            : std::string();
    if (other) {
        auto s = ChangedSpan(full, *other);
        return painter.PaintChanged(plain, RowCode(r->kind),
                                    {s.first + prefix.size(), s.second + prefix.size()}) +
               padding;
    }
    return painter.Paint(plain, RowCode(r->kind)) + padding;
}

void RenderSideBySide(const std::vector<Row>& rows, const std::vector<std::string>& oldLines,
                      const std::vector<std::string>& newLines, int digits, int width,
                      const Painter& painter, std::vector<std::string>& out) {
    const int half = std::max(digits + 4, (width - 3) / 2);
    const std::string bar = " | ";
    size_t i = 0;
    while (i < rows.size()) {
        const Row& r = rows[i];
        if (r.kind == RowKind::Fold) {
            std::string text =
                std::string(static_cast<size_t>(digits + 3), ' ') + FoldText(r.folded);
            out.push_back(painter.Paint(
                FitColumns(PadTo(FitColumns(text, half), half) + bar + text, width), kDim));
            ++i;
            continue;
        }
        if (r.kind == RowKind::Same) {
            std::string line = Half(&r, r.oldLine, oldLines, digits, half, nullptr, painter, true) +
                               bar +
                               Half(&r, r.newLine, newLines, digits, half, nullptr, painter, false);
            out.push_back(line);
            ++i;
            continue;
        }
        const auto [j, k] = ChangeRun(rows, i);
        const size_t removed = j - i, added = k - j;
        for (size_t p = 0; p < std::max(removed, added); ++p) {
            const Row* left = p < removed ? &rows[i + p] : nullptr;
            const Row* right = p < added ? &rows[j + p] : nullptr;
            std::string leftFull, rightFull;
            if (left) leftFull = ExpandTabs(LineAt(oldLines, left->oldLine));
            if (right) rightFull = ExpandTabs(LineAt(newLines, right->newLine));
            const bool paired = left && right;
            out.push_back(Half(left, left ? left->oldLine : -1, oldLines, digits, half,
                               paired ? &rightFull : nullptr, painter, true) +
                          bar +
                          Half(right, right ? right->newLine : -1, newLines, digits, half,
                               paired ? &leftFull : nullptr, painter, false));
            if (!right) out.back().erase(out.back().find_last_not_of(' ') + 1);
        }
        i = k;
    }
}

} // namespace

bool DisplayStyleFromName(const std::string& name, DisplayStyle& style) {
    if (name == "report")
        style = DisplayStyle::Report;
    else if (name == "inline")
        style = DisplayStyle::Inline;
    else if (name == "side-by-side")
        style = DisplayStyle::SideBySide;
    else
        return false;
    return true;
}

std::vector<DisplayEntry> DisplayEntries(const diff::TSourceDiffList& root) {
    std::vector<DisplayEntry> out;
    Walk(root, "", "", out);
    return out;
}

int DisplayColumns(const std::string& text) {
    int col = 0;
    for (char c : text) {
        if (c == '\t')
            col = (col / 8 + 1) * 8;
        else if (!IsContinuation(c))
            ++col;
    }
    return col;
}

std::string FitColumns(const std::string& text, int columns) {
    std::string expanded = ExpandTabs(text); // not const: returned, it moves
    if (DisplayColumns(expanded) <= columns) return expanded;
    std::string out;
    int col = 0;
    for (size_t i = 0; i < expanded.size(); ++i) {
        const char c = expanded[i];
        if (!IsContinuation(c)) {
            if (col == columns - 1) break;
            ++col;
        }
        out += c;
    }
    return out + '>';
}

std::vector<std::string> RenderDisplay(const std::vector<std::string>& oldLines,
                                       const std::vector<std::string>& newLines,
                                       const diff::TSourceDiffList& root,
                                       const DisplayOptions& options) {
    return RenderDisplayEntries(oldLines, newLines, DisplayEntries(root), options);
}

std::vector<std::string> RenderDisplayEntries(const std::vector<std::string>& oldLines,
                                              const std::vector<std::string>& newLines,
                                              const std::vector<DisplayEntry>& entries,
                                              const DisplayOptions& options) {
    const Painter painter{options.color};
    const int width = std::max(options.width, 20);
    std::vector<std::string> out;
    for (const DisplayEntry& e : entries) {
        if (!out.empty()) out.emplace_back();
        out.push_back(painter.Paint(FitColumns(Heading(e), width), kBold));
        const std::vector<Row> rows = PairedRows(oldLines, newLines, e, options.context);
        int32_t maxLine = std::max({e.oldLast, e.newLast, 1});
        const int digits = Digits(maxLine);
        if (options.style == DisplayStyle::SideBySide)
            RenderSideBySide(rows, oldLines, newLines, digits, width, painter, out);
        else
            RenderInline(rows, oldLines, newLines, digits, width, painter, out);
    }
    return out;
}

} // namespace quennet::render
