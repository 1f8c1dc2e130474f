// Conditional compilation: DEFINE, UNDEF, IFDEF, IFNDEF, IFOPT and ELSE act when the scanner
// skips their brace comment, so excluded text never becomes tokens. Also the parse entry of the
// source model.
#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>

#include "base/read_text_release.h"
#include "model/target.h"
#include "pascal/parse.h"
#include "pascal/parser.h"

namespace quennet::pascal {

using model::DefaultTarget;
using model::Dialect;
using model::FileName;
using model::FindTarget;
using model::ParseOptions;
using model::ResolveDialect;
using model::Target;
using model::TargetNames;
using model::TidName;
using model::TidProc;
using model::TPasSrc;

bool EqualNoCaseAZ(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x -= 32;
        if (y >= 'a' && y <= 'z') y -= 32;
        if (x != y) return false;
    }
    return true;
}

namespace {

std::string UpperAZ(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

// The name after a directive word, from a 1-based start: blanks (1 to 32) trimmed at the front,
// blanks and "}" at the end. Whatever else follows the name stays part of it.
std::string SymbolName(const std::string& text, size_t start1) {
    size_t b = start1 - 1;
    size_t e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) >= 1 &&
           static_cast<unsigned char>(text[b]) <= 32)
        ++b;
    while (e > b) {
        unsigned char c = static_cast<unsigned char>(text[e - 1]);
        if ((c >= 1 && c <= 32) || c == '}')
            --e;
        else
            break;
    }
    return b < e ? text.substr(b, e - b) : std::string();
}

} // namespace

bool TDelphiParser::HasSymbol(std::string_view name) const {
    for (const auto& s : Symbols)
        if (EqualNoCaseAZ(s, name)) return true;
    return false;
}

bool TDelphiParser::Comment() {
    const bool result = TOp4Scanner::Comment();
    if (!s_.CommentsExist) return result;
    // Most comments are no directives: decide that on the raw text, without copying it.
    if (comments_.size() == 1 && GetString(comments_.front().StartPos, 2) != "{$") {
        comments_.clear();
        s_.CommentsExist = false;
        return result;
    }
    ++directivesRead_;
    const int32_t pos = comments_.empty() ? -1 : comments_.front().StartPos;
    const std::string text = UpperAZ(GetComments());
    if (Modern() && text.size() > 2 && text[0] == '{' && text[1] == '$') {
        ModernDirective(text, pos);
        return result;
    }
    if (text.size() < 6 || text[0] != '{' || text[1] != '$') return result;

    // A directive that changes nothing still rested on the symbols being as they are.
    if (StartsWith(text, "{$DEFINE")) {
        std::string name = SymbolName(text, 9);
        if (HasSymbol(name)) {
            ++directiveEvents_;
        } else {
            Symbols.push_back(std::move(name));
            SymbolsChanged();
        }
    } else if (StartsWith(text, "{$UNDEF")) {
        const std::string name = SymbolName(text, 8);
        const auto it = std::find_if(Symbols.begin(), Symbols.end(), [&name](const std::string& s) {
            return EqualNoCaseAZ(s, name);
        });
        if (it == Symbols.end()) {
            ++directiveEvents_;
        } else {
            Symbols.erase(it);
            SymbolsChanged();
        }
    } else if (StartsWith(text, "{$IFDEF") || StartsWith(text, "{$IFNDEF") ||
               StartsWith(text, "{$IFOPT")) {
        ++directiveEvents_;
        const bool negated = StartsWith(text, "{$IFNDEF");
        const bool defined = HasSymbol(SymbolName(text, negated ? 9 : 8));
        if (defined != negated) {
            DirectiveTaken(pos);
            return result;
        }
        const int32_t from = s_.CurLine;
        SkipExcluded(false);
        Skipped(pos, false, from);
    } else if (StartsWith(text, "{$ELSE")) {
        ++directiveEvents_;
        const int32_t from = s_.CurLine;
        SkipExcluded(true);
        Skipped(pos, true, from);
    }
    return result;
}

std::vector<model::InactiveLines> TDelphiParser::TakeInactive() {
    std::vector<model::InactiveLines> out;
    out.reserve(inactive_.size());
    for (auto& [pos, lines] : inactive_)
        if (lines.FirstLine > 0 && lines.FirstLine <= lines.LastLine)
            out.push_back(std::move(lines));
    inactive_.clear();
    return out;
}

void TDelphiParser::DirectiveTaken(int32_t pos) {
    if (pos >= 0) inactive_.erase(pos);
}

// startLine: the scanner's line just after the directive. At a line break it already counts
// the next line; text after the directive on its own line leaves that line out of the range.
void TDelphiParser::Skipped(int32_t pos, bool afterElse, int32_t startLine) {
    if (pos < 0) return;
    model::InactiveLines& lines = inactive_[pos];
    if (lines.Directive.empty()) {
        lines.Directive = RawDirective(pos);
        if (afterElse) lines.Opener = OpenerOf(pos);
    }
    const uint8_t after = CharAt(pos + static_cast<int32_t>(lines.Directive.size()));
    lines.FirstLine = after == 13 || after == 10 || after == 0 ? startLine : startLine + 1;
    lines.LastLine = skipStopLine_ - 1;
}

std::string TDelphiParser::RawDirective(int32_t pos) const {
    int32_t end = pos;
    while (end < SourceLength() && src_[end] != '}' && end - pos < 400)
        ++end;
    return std::string(GetString(pos, end - pos + 1));
}

// The {$IF...} that opens the construct an {$ELSE} at pos belongs to, read backwards over
// nested constructs; empty when none is found.
std::string TDelphiParser::OpenerOf(int32_t pos) const {
    int depth = 0;
    for (int32_t i = pos - 1; i >= 0; --i) {
        if (src_[i] != '{' || CharAt(i + 1) != '$') continue;
        std::string word;
        for (int32_t j = i + 2; j < SourceLength() && CharAt(j) >= 'A' && CharAt(j) <= 'Z'; ++j)
            word += static_cast<char>(CharAt(j));
        if (word == "ENDIF" || word == "IFEND" || word == "ENDC") {
            ++depth;
        } else if (StartsWith(word, "IF")) {
            if (depth == 0) return RawDirective(i);
            --depth;
        }
    }
    return {};
}

// Skips excluded text character by character: no tokens are formed and no comments recorded.
void TDelphiParser::SkipExcluded(bool fromElse) {
    int level = 1;
    skipStopLine_ = 0;
    auto skipPastBrace = [this]() -> bool {
        while (s_.Ch != '}' && s_.Ch != 0)
            NextCh();
        if (s_.Ch == 0) return false;
        NextCh();
        return true;
    };
    for (;;) {
        // The current character is tested before advancing.
        while (s_.Ch != '{' && s_.Ch != 0)
            NextCh();
        if (s_.Ch == 0) {
            skipStopLine_ = s_.CurLine + 1;
            return;
        }
        skipStopLine_ = s_.CurLine;
        const std::string head = UpperAZ(GetString(s_.BufPos, 8));
        if (StartsWith(head, "{$IFDEF") || StartsWith(head, "{$IFNDEF") ||
            StartsWith(head, "{$IFOPT")) {
            if (!skipPastBrace()) return;
            ++level;
        } else if (StartsWith(head, "{$ENDIF")) {
            if (!skipPastBrace()) return;
            if (--level <= 0) return;
        } else if (StartsWith(head, "{$ELSE")) {
            if (!skipPastBrace()) return;
            if (!fromElse && level <= 1) return;
        } else {
            NextCh();
        }
    }
}

namespace {

// Lines of the spliced text back to the files they come from.
class LineRemapper {
public:
    explicit LineRemapper(const pascal::IncludeExpansion& x)
        : x_(x), files_(x.Files().begin(), x.Files().end()) {}

    void Remap(TidName* d) const {
        if (!d || d->FirstLine <= 0) return;
        const pascal::LineOrigin first = x_.Origin(d->FirstLine);
        if (d->LastLine > 0) d->LastLine = x_.LastLineIn(first.File, d->FirstLine, d->LastLine);
        if (first.File != 0) {
            d->File = files_[static_cast<size_t>(first.File)];
            d->IncludedAt = MainLine(d->FirstLine);
        }
        d->FirstLine = first.Line;
    }
    void Remap(TidProc* p) const {
        Remap(static_cast<TidName*>(p));
        Remap(p->Implementation.get());
    }
    // A stop inside an include file is shown at the directive that brought it in.
    int32_t MainLine(int32_t line) const { return line > 0 ? x_.LastLineIn(0, 1, line) : line; }

private:
    const pascal::IncludeExpansion& x_;
    const std::vector<FileName> files_;
};

void RemapLines(TPasSrc& src, const pascal::IncludeExpansion& x) {
    const LineRemapper r(x);
    for (auto& t : src.Types)
        r.Remap(t.get());
    for (auto& c : src.Classes) {
        r.Remap(c.get());
        for (auto& f : c->Fields)
            r.Remap(f.get());
        for (auto& p : c->Props)
            r.Remap(p.get());
        for (auto& m : c->Methods)
            r.Remap(m.get());
    }
    for (auto& p : src.Procs)
        r.Remap(p.get());
    for (auto& v : src.Consts)
        r.Remap(v.get());
    for (auto& v : src.Vars)
        r.Remap(v.get());
    for (auto& u : src.Uses)
        r.Remap(u.get());
    r.Remap(src.Initialization.get());
    r.Remap(src.Finalization.get());
    r.Remap(src.MainBlock.get());
    if (!src.Status.Complete) {
        const int32_t stop =
            src.Status.FirstErrorLine > 0 ? src.Status.FirstErrorLine : src.Status.StopLine;
        const pascal::LineOrigin at = x.Origin(stop);
        if (stop > 0 && at.File != 0)
            src.Status.Notes.push_back("the structure is not followed from line " +
                                       std::to_string(at.Line) + " of the include file " +
                                       x.Files()[static_cast<size_t>(at.File)] + " on");
    }
    // Left-out lines of the file itself; an include file's lines have no place in its view.
    std::vector<model::InactiveLines> inactive;
    for (const model::InactiveLines& range : src.Inactive) {
        model::InactiveLines run = range;
        run.FirstLine = 0;
        for (int32_t line = range.FirstLine; line <= range.LastLine; ++line) {
            const pascal::LineOrigin at = x.Origin(line);
            if (at.File == 0 && run.FirstLine > 0 && at.Line == run.LastLine + 1) {
                run.LastLine = at.Line;
                continue;
            }
            if (run.FirstLine > 0) inactive.push_back(run);
            run.FirstLine = at.File == 0 ? at.Line : 0;
            run.LastLine = run.FirstLine;
        }
        if (run.FirstLine > 0) inactive.push_back(run);
    }
    src.Inactive = std::move(inactive);
    src.Status.FirstErrorLine = r.MainLine(src.Status.FirstErrorLine);
    src.Status.StopLine = r.MainLine(src.Status.StopLine);
}

} // namespace

void Parse(TPasSrc& src, std::string_view text, const std::vector<std::string>* symbols,
           const ParseOptions& options) {
    const Dialect dialect = ResolveDialect(options.dialect, options.fileName, text);
    const bool modern = dialect != Dialect::Classic;
    // A UTF-8 byte-order mark is no part of the text: lines, columns and sums as without it.
    if (modern && text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.remove_prefix(3);
    if (text.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw std::runtime_error("The source text is too large to parse (over 2 GiB).");
    pascal::IncludeExpansion includes;
    const bool expanded = modern && options.followIncludes &&
                          includes.Expand(text, options.fileName, options.includeDirs,
                                          dialect == Dialect::Fpc, options.release);
    // An expanded text is the parse's own copy; the caller's is given back as it is copied.
    if (expanded && options.release) options.release->Passed(text.data() + text.size());
    if (expanded) text = includes.Text();
    // The parse's copy goes back as it is passed too; its lines live on in the caller's keys.
    std::optional<base::ReadTextRelease> copyRelease;
    if (expanded && options.release)
        copyRelease.emplace(text, base::ReadTextRelease::WithoutLines{});
    auto parser = std::make_unique<pascal::TDelphiParser>();
    if (expanded) parser->Includes = &includes;
    parser->Release = expanded ? (copyRelease ? &*copyRelease : nullptr) : options.release;
    parser->Model = &src;
    parser->SetModern(modern);
    parser->SetFpc(dialect == Dialect::Fpc);
    const Target* target = FindTarget(options.target);
    if (!target) {
        if (!options.target.empty())
            throw std::runtime_error("Unknown target \"" + options.target + "\"; the targets are " +
                                     TargetNames() + ".");
        target = &DefaultTarget(dialect);
    }
    if (options.targetSymbols) parser->Symbols = target->Symbols;
    // A symbol the target defines is not added twice, so one {$UNDEF} removes it.
    if (symbols)
        for (const auto& s : *symbols)
            if (!options.targetSymbols || std::find(target->Symbols.begin(), target->Symbols.end(),
                                                    s) == target->Symbols.end())
                parser->Symbols.push_back(s);
    // The constants that {$IF} expressions ask for; the classic reading has no {$IF}.
    if (modern) parser->Values = target->Values;
    src.SeparateOverloads = modern;
    parser->ParseText(text.data(), static_cast<int32_t>(text.size()));
    src.Inactive = parser->TakeInactive();
    if (expanded) RemapLines(src, includes);
    src.FinishBuilding();
}

} // namespace quennet::pascal
