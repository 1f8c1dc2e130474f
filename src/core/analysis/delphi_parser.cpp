// Conditional compilation: DEFINE, UNDEF, IFDEF, IFNDEF, IFOPT and ELSE act when the scanner
// skips their brace comment, so excluded text never becomes tokens. Also the parse entry of the
// source model.
#include <limits>
#include <memory>
#include <stdexcept>

#include "analysis/parser.h"

namespace quennet::analysis {

namespace {

std::string UpperAZ(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

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
    const std::string text = UpperAZ(GetComments());
    if (Modern() && text.size() > 2 && text[0] == '{' && text[1] == '$') {
        ModernDirective(text);
        return result;
    }
    if (text.size() < 6 || text[0] != '{' || text[1] != '$') return result;

    if (StartsWith(text, "{$DEFINE")) {
        ++directiveEvents_;
        std::string name = SymbolName(text, 9);
        if (!HasSymbol(name)) Symbols.push_back(std::move(name));
    } else if (StartsWith(text, "{$UNDEF")) {
        ++directiveEvents_;
        const std::string name = SymbolName(text, 8);
        for (auto it = Symbols.begin(); it != Symbols.end(); ++it) {
            if (EqualNoCaseAZ(*it, name)) {
                Symbols.erase(it);
                break;
            }
        }
    } else if (StartsWith(text, "{$IFDEF") || StartsWith(text, "{$IFNDEF") ||
               StartsWith(text, "{$IFOPT")) {
        ++directiveEvents_;
        const bool negated = StartsWith(text, "{$IFNDEF");
        const bool defined = HasSymbol(SymbolName(text, negated ? 9 : 8));
        if (defined != negated) return result;
        SkipExcluded(false);
    } else if (StartsWith(text, "{$ELSE")) {
        ++directiveEvents_;
        SkipExcluded(true);
    }
    return result;
}

// Skips excluded text character by character: no tokens are formed and no comments recorded.
void TDelphiParser::SkipExcluded(bool fromElse) {
    int level = 1;
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
        if (s_.Ch == 0) return;
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

} // namespace quennet::analysis

namespace quennet::model {

void TPasSrc::Parse(std::string_view text, const std::vector<std::string>* symbols,
                    const ParseOptions& options) {
    const Dialect dialect = ResolveDialect(options.dialect, options.fileName, text);
    const bool modern = dialect != Dialect::Classic;
    // A UTF-8 byte-order mark is no part of the text: lines, columns and sums as without it.
    if (modern && text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.remove_prefix(3);
    if (text.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw std::runtime_error("The source text is too large to parse (over 2 GiB).");
    auto parser = std::make_unique<analysis::TDelphiParser>();
    parser->Model = this;
    parser->SetModern(modern);
    parser->SetFpc(dialect == Dialect::Fpc);
    if (symbols) parser->Symbols = *symbols;
    // The constants that {$IF} expressions ask for; the symbols stay the caller's, so that
    // {$IFDEF} reads as in the classic dialect.
    if (dialect == Dialect::Delphi)
        parser->Values = {{"COMPILERVERSION", 36},
                          {"RTLVERSION", 36},
                          {"SIZEOF(POINTER)", 4},
                          {"SIZEOF(NATIVEINT)", 4},
                          {"SIZEOF(CHAR)", 2}};
    else if (dialect == Dialect::Fpc)
        parser->Values = {{"FPC_FULLVERSION", 30202}, {"FPC_VERSION", 3},
                          {"FPC_RELEASE", 2},         {"FPC_PATCH", 2},
                          {"SIZEOF(POINTER)", 8},     {"SIZEOF(NATIVEINT)", 8},
                          {"SIZEOF(CHAR)", 1}};
    SeparateOverloads = modern;
    parser->ParseText(text.data(), static_cast<int32_t>(text.size()));
    SortLists();
}

} // namespace quennet::model
