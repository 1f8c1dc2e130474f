// Conditional compilation of the modern readings: directive words are whole words, {$IF} and
// {$ELSEIF} evaluate their expressions, {$IFEND}, {$ENDC} and {$ENDIF} all close a level, and
// MacPas {$IFC}/{$ELIFC}/{$ELSEC} work like {$IF}/{$ELSEIF}/{$ELSE}. Excluded text is skipped with
// its comments and strings, so a directive inside them opens or closes nothing.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>

#include "pascal/parser.h"

namespace quennet::pascal {

namespace {

// The integer operand of DIV, MOD and the bit operations: a number beyond the 64-bit range
// saturates, since converting it as it is would be undefined.
long long ToInteger(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 0x1p63) return std::numeric_limits<long long>::max();
    if (v < -0x1p63) return std::numeric_limits<long long>::min();
    return static_cast<long long>(v);
}

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// The directive word of "{$WORD rest}" and the rest without the closing brace.
std::string_view DirectiveWord(std::string_view text, std::string_view* rest) {
    size_t end = 2;
    while (end < text.size() && IsWordChar(text[end]))
        ++end;
    std::string_view tail = text.substr(end);
    if (!tail.empty() && tail.back() == '}') tail.remove_suffix(1);
    if (rest) *rest = tail;
    return text.substr(2, end - 2);
}

std::string_view FirstWord(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && static_cast<unsigned char>(s[b]) <= 32)
        ++b;
    size_t e = b;
    while (e < s.size() && static_cast<unsigned char>(s[e]) > 32 && s[e] != '}')
        ++e;
    return s.substr(b, e - b);
}

bool OpensLevel(std::string_view w) {
    return w == "IF" || w == "IFDEF" || w == "IFNDEF" || w == "IFOPT" || w == "IFC";
}

bool ClosesLevel(std::string_view w) {
    return w == "ENDIF" || w == "IFEND" || w == "ENDC";
}

// A small recursive-descent evaluator over the upper-cased expression text. Values are numbers;
// booleans are 0 and 1; strings compare by text.
class Evaluator {
public:
    Evaluator(std::string_view text, TDelphiParser& parser,
              const std::function<const double*(std::string_view)>& value,
              const std::function<bool(std::string_view)>& defined,
              const std::function<void(const std::string&)>& unknown)
        : text_(text), value_(value), defined_(defined), unknown_(unknown) {
        (void)parser;
        Next();
    }

    double Run() {
        const Value v = Expression();
        return v.isString ? !v.text.empty() : v.number;
    }

private:
    struct Value {
        double number = 0;
        bool isString = false;
        std::string text;
    };
    enum Kind { kEnd, kNumber, kString, kWord, kSymbol };

    void Next() {
        while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) <= 32)
            ++pos_;
        token_.clear();
        if (pos_ >= text_.size()) {
            kind_ = kEnd;
            return;
        }
        const char c = text_[pos_];
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '$') {
            size_t e = pos_ + 1;
            while (e < text_.size() && (std::isxdigit(static_cast<unsigned char>(text_[e])) ||
                                        text_[e] == '.' || text_[e] == '_'))
                ++e;
            token_ = std::string(text_.substr(pos_, e - pos_));
            pos_ = e;
            kind_ = kNumber;
        } else if (c == '\'') {
            size_t e = pos_ + 1;
            while (e < text_.size() && text_[e] != '\'')
                ++e;
            token_ = std::string(text_.substr(pos_ + 1, e - pos_ - 1));
            pos_ = std::min(e + 1, text_.size());
            kind_ = kString;
        } else if (IsWordChar(c)) {
            size_t e = pos_;
            while (e < text_.size() && (IsWordChar(text_[e]) || text_[e] == '.'))
                ++e;
            token_ = std::string(text_.substr(pos_, e - pos_));
            pos_ = e;
            kind_ = kWord;
        } else {
            size_t len = 1;
            const std::string_view two = text_.substr(pos_, 2);
            if (two == "<=" || two == ">=" || two == "<>") len = 2;
            token_ = std::string(text_.substr(pos_, len));
            pos_ += len;
            kind_ = kSymbol;
        }
    }
    bool At(std::string_view t) const {
        return (kind_ == kSymbol || kind_ == kWord) && token_ == t;
    }

    static bool IsTrue(const Value& v) { return !v.isString && v.number == 1; }
    static bool IsFalse(const Value& v) { return !v.isString && v.number == 0; }

    // Free Pascal evaluates AND and OR of booleans from the left and stops once the result is
    // known, so a name without a value in the part not read changes nothing and is not noted.
    template <class F> Value Decided(bool decided, F operand) {
        if (decided) ++quiet_;
        Value v = operand();
        if (decided) --quiet_;
        return v;
    }

    void Unknown(const std::string& name) {
        if (quiet_ == 0) unknown_(name);
    }

    static Value Num(double n) {
        Value v;
        v.number = n;
        return v;
    }

    Value Expression() {
        Value left = Simple();
        for (;;) {
            std::string op = token_;
            if (!(At("=") || At("<>") || At("<") || At(">") || At("<=") || At(">="))) return left;
            Next();
            const Value right = Simple();
            int c;
            if (left.isString || right.isString)
                c = left.text < right.text ? -1 : left.text > right.text ? 1 : 0;
            else
                c = left.number < right.number ? -1 : left.number > right.number ? 1 : 0;
            const bool r = op == "="    ? c == 0
                           : op == "<>" ? c != 0
                           : op == "<"  ? c < 0
                           : op == ">"  ? c > 0
                           : op == "<=" ? c <= 0
                                        : c >= 0;
            left = Num(r);
        }
    }

    Value Simple() {
        bool negate = false;
        if (At("+") || At("-")) {
            negate = At("-");
            Next();
        }
        Value left = Term();
        if (negate) left.number = -left.number;
        while (At("+") || At("-") || At("OR") || At("XOR")) {
            const std::string op = token_;
            Next();
            const Value right = Decided(op == "OR" && IsTrue(left), [this] { return Term(); });
            if (op == "+" && left.isString) {
                left.text += right.text;
                continue;
            }
            const long long a = ToInteger(left.number);
            const long long b = ToInteger(right.number);
            left = Num(op == "+"    ? left.number + right.number
                       : op == "-"  ? left.number - right.number
                       : op == "OR" ? static_cast<double>(a | b)
                                    : static_cast<double>(a ^ b));
        }
        return left;
    }

    Value Term() {
        Value left = Factor();
        while (At("*") || At("/") || At("DIV") || At("MOD") || At("AND") || At("SHL") ||
               At("SHR")) {
            const std::string op = token_;
            Next();
            const Value right = Decided(op == "AND" && IsFalse(left), [this] { return Factor(); });
            const long long a = ToInteger(left.number);
            const long long b = ToInteger(right.number);
            double r = 0;
            if (op == "*")
                r = left.number * right.number;
            else if (op == "/")
                r = right.number != 0 ? left.number / right.number : 0;
            else if (op == "DIV" || op == "MOD") {
                // By -1 apart: the smallest integer divided by it overflows, and the processor
                // traps.
                if (b == -1) {
                    r = op == "DIV" ? -static_cast<double>(a) : 0;
                } else if (b != 0) {
                    const long long v = op == "DIV" ? a / b : a % b;
                    r = static_cast<double>(v);
                }
            } else if (op == "AND")
                r = static_cast<double>(a & b);
            else if (op == "SHL")
                r = b >= 0 && b < 63 ? static_cast<double>(a << b) : 0;
            else
                r = b >= 0 && b < 63 ? static_cast<double>(a >> b) : 0;
            left = Num(r);
        }
        return left;
    }

    // The argument of defined(X), declared(X), sizeof(X): one name, parentheses optional.
    std::string Argument() {
        const bool paren = At("(");
        if (paren) Next();
        std::string name = kind_ == kWord ? token_ : std::string();
        if (kind_ != kEnd) Next();
        if (paren && At(")")) Next();
        return name;
    }

    Value Factor() {
        if (++depth_ > 200) return Num(0); // hostile nesting: give up quietly
        Value v;
        if (kind_ == kNumber) {
            v = Num(token_[0] == '$'
                        ? static_cast<double>(std::strtoll(token_.c_str() + 1, nullptr, 16))
                        : std::strtod(token_.c_str(), nullptr));
            Next();
        } else if (kind_ == kString) {
            v.isString = true;
            v.text = token_;
            Next();
        } else if (At("NOT")) {
            Next();
            const Value f = Factor();
            v = Num(f.number == 0 || f.number == 1 ? (f.number == 0) : ~ToInteger(f.number));
        } else if (At("(")) {
            Next();
            v = Expression();
            if (At(")")) Next();
        } else if (kind_ == kWord) {
            const std::string word = token_;
            Next();
            if (word == "DEFINED") {
                v = Num(defined_(Argument()));
            } else if (word == "DECLARED") {
                // The types of the target whose size is known are declared too.
                const std::string name = Argument();
                v = Num(defined_(name) || value_(name) != nullptr ||
                        value_("SIZEOF(" + name + ")") != nullptr);
            } else if (word == "SIZEOF") {
                const std::string name = Argument();
                const double* size = value_("SIZEOF(" + name + ")");
                if (!size) Unknown("SizeOf(" + name + ")");
                v = Num(size ? *size : 0);
            } else if (word == "TRUE" || word == "FALSE") {
                v = Num(word == "TRUE");
            } else if (const double* known = value_(word)) {
                v = Num(*known);
            } else {
                Unknown(word);
                v = Num(0);
            }
        } else if (kind_ != kEnd) {
            Next();
        }
        --depth_;
        return v;
    }

    std::string_view text_;
    size_t pos_ = 0;
    Kind kind_ = kEnd;
    std::string token_;
    int depth_ = 0;
    int quiet_ = 0;
    const std::function<const double*(std::string_view)>& value_;
    const std::function<bool(std::string_view)>& defined_;
    const std::function<void(const std::string&)>& unknown_;
};

} // namespace

const double* TDelphiParser::ValueOf(std::string_view name) const {
    for (const auto& [n, v] : Values)
        if (n == name) return &v;
    return nullptr;
}

void TDelphiParser::NoteUnknown(const std::string& name) {
    for (const auto& n : noted_)
        if (n == name) return;
    noted_.push_back(name);
    if (Model)
        Model->Status.Notes.push_back("{$IF}: " + name +
                                      " has no value here and is read as false or 0");
}

bool TDelphiParser::Evaluate(std::string_view expression) {
    const std::function<const double*(std::string_view)> value = [this](std::string_view n) {
        return ValueOf(n);
    };
    const std::function<bool(std::string_view)> defined = [this](std::string_view n) {
        return HasSymbol(n);
    };
    const std::function<void(const std::string&)> unknown = [this](const std::string& n) {
        NoteUnknown(n);
    };
    return Evaluator(expression, *this, value, defined, unknown).Run() != 0;
}

// Compilers let {$IF} read the constants declared before it; a value that rests on a name
// without one is left out, and so are strings.
void TDelphiParser::ConstantDeclared(std::string_view name, std::string_view expression) {
    if (expression.find('\'') != std::string_view::npos) return;
    std::string upper(expression);
    for (char& ch : upper)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
    bool known = true;
    const double v = Evaluator(
                         upper, *this, [this](std::string_view n) { return ValueOf(n); },
                         [this](std::string_view n) { return HasSymbol(n); },
                         [&known](const std::string&) { known = false; })
                         .Run();
    if (!known) return;
    std::string key(name);
    for (char& ch : key)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
    auto old = std::find_if(Values.begin(), Values.end(),
                            [&key](const auto& entry) { return entry.first == key; });
    if (old == Values.end())
        Values.emplace_back(std::move(key), v);
    else if (old->second != v)
        old->second = v;
    else
        return;
    SymbolsChanged();
}

void TDelphiParser::ModernDirective(const std::string& upperText, int32_t pos) {
    std::string_view rest;
    const std::string_view word = DirectiveWord(upperText, &rest);
    if (word == "I" || word == "INCLUDE") {
        // Trials read a directive again: its note is given once.
        const std::string* note = Includes ? Includes->NoteAt(pos) : nullptr;
        if (note && Model &&
            std::find(includesNoted_.begin(), includesNoted_.end(), pos) == includesNoted_.end()) {
            includesNoted_.push_back(pos);
            Model->Status.Notes.push_back(*note);
        }
    } else if (word == "DEFINE" || word == "SETC") {
        std::string_view body = rest;
        const size_t assign = body.find(":=");
        std::string name(
            FirstWord(assign == std::string_view::npos ? body : body.substr(0, assign)));
        bool changed = false;
        if (!HasSymbol(name)) {
            Symbols.push_back(name);
            changed = true;
        }
        if (assign != std::string_view::npos) {
            if (std::find(macros_.begin(), macros_.end(), name) == macros_.end()) {
                macros_.push_back(name);
                changed = true;
            }
            // Free Pascal puts the text where the name is written; the text is kept as its
            // span in the source, which stays in place.
            if (Fpc() && pos >= 0 && upperText.back() == '}') {
                const size_t at = static_cast<size_t>(body.data() - upperText.data()) + assign + 2;
                const std::string text =
                    name + ' ' + std::to_string(pos + static_cast<int32_t>(at)) + ' ' +
                    std::to_string(pos + static_cast<int32_t>(upperText.size()) - 1);
                auto old = std::find_if(macroTexts_.begin(), macroTexts_.end(),
                                        [&name](const std::string& m) {
                                            return m.size() > name.size() &&
                                                   m[name.size()] == ' ' && m.starts_with(name);
                                        });
                if (old == macroTexts_.end()) {
                    macroTexts_.push_back(text);
                    changed = true;
                } else if (*old != text) {
                    *old = text;
                    changed = true;
                }
            }
            const double v =
                Evaluator(
                    body.substr(assign + 2), *this,
                    [this](std::string_view n) { return ValueOf(n); },
                    [this](std::string_view n) { return HasSymbol(n); }, [](const std::string&) {})
                    .Run();
            auto old = std::find_if(Values.begin(), Values.end(),
                                    [&name](const auto& entry) { return entry.first == name; });
            if (old == Values.end()) {
                Values.emplace_back(name, v);
                changed = true;
            } else if (old->second != v) {
                old->second = v;
                changed = true;
            }
        }
        // A definition that changes nothing still rested on the symbols being as they are.
        if (changed)
            SymbolsChanged();
        else
            ++directiveEvents_;
    } else if (word == "MODE") {
        const std::string_view mode = FirstWord(rest);
        const bool nested = Fpc() && (mode == "FPC" || mode == "OBJFPC");
        bool changed = nested != NestedComments;
        NestedComments = nested;
        // Free Pascal names the mode in a symbol (FPC_OBJFPC, FPC_DELPHI, ...); the mode FPC
        // has none.
        if (Fpc()) {
            static constexpr std::string_view modeSymbols[] = {"FPC_OBJFPC", "FPC_DELPHI",
                                                               "FPC_TP",     "FPC_MACPAS",
                                                               "FPC_ISO",    "FPC_EXTENDEDPASCAL"};
            const size_t before = Symbols.size();
            std::erase_if(Symbols, [](const std::string& s) {
                return std::find(std::begin(modeSymbols), std::end(modeSymbols), s) !=
                       std::end(modeSymbols);
            });
            changed = changed || Symbols.size() != before;
            if (mode == "DELPHIUNICODE") {
                Symbols.insert(Symbols.end(), {"FPC_DELPHI", "FPC_UNICODESTRINGS", "UNICODE"});
                changed = true;
            } else if (mode == "OBJFPC" || mode == "DELPHI" || mode == "TP" || mode == "MACPAS" ||
                       mode == "ISO" || mode == "EXTENDEDPASCAL") {
                Symbols.push_back("FPC_" + std::string(mode));
                changed = true;
            }
            // Integer is a LongInt in the Object Pascal modes, a SmallInt in the others.
            if (!mode.empty()) {
                const double size =
                    mode == "OBJFPC" || mode == "DELPHI" || mode == "DELPHIUNICODE" ? 4 : 2;
                auto old = std::find_if(Values.begin(), Values.end(), [](const auto& entry) {
                    return entry.first == "SIZEOF(INTEGER)";
                });
                if (old == Values.end()) {
                    Values.emplace_back("SIZEOF(INTEGER)", size);
                    changed = true;
                } else if (old->second != size) {
                    old->second = size;
                    changed = true;
                }
            }
        }
        if (changed)
            SymbolsChanged();
        else
            ++directiveEvents_;
    } else if (word == "UNDEF") {
        const std::string_view name = FirstWord(rest);
        const auto same = [name](std::string_view s) { return EqualNoCaseAZ(s, name); };
        const size_t before = Symbols.size() + Values.size() + macros_.size() + macroTexts_.size();
        std::erase_if(Symbols, same);
        std::erase_if(Values, [&same](const auto& entry) { return same(entry.first); });
        std::erase_if(macros_, same);
        std::erase_if(macroTexts_, [&same](const std::string& m) {
            return same(std::string_view(m).substr(0, m.find(' ')));
        });
        if (Symbols.size() + Values.size() + macros_.size() + macroTexts_.size() != before)
            SymbolsChanged();
        else
            ++directiveEvents_;
    } else if (word == "IFDEF" || word == "IFNDEF" || word == "IFOPT") {
        ++directiveEvents_;
        const bool holds = HasSymbol(FirstWord(rest)) != (word == "IFNDEF");
        const int32_t from = s_.CurLine;
        if (holds) {
            DirectiveTaken(pos);
        } else {
            SkipModern(false);
            Skipped(pos, false, from);
        }
    } else if (word == "IF" || word == "IFC") {
        ++directiveEvents_;
        const int32_t from = s_.CurLine;
        if (Evaluate(rest)) {
            DirectiveTaken(pos);
        } else {
            SkipModern(false);
            Skipped(pos, false, from);
        }
    } else if (word == "ELSE" || word == "ELSEIF" || word == "ELSEC" || word == "ELIFC") {
        // The branch before was taken: the rest of the construct is excluded.
        ++directiveEvents_;
        const int32_t from = s_.CurLine;
        SkipModern(true);
        Skipped(pos, true, from);
    }
}

// Skips excluded text up to the branch that is taken (toEnd false) or to the end of the
// construct (toEnd true), one character at a time so no tokens are formed.
void TDelphiParser::SkipModern(bool toEnd) {
    int level = 1;
    skipStopLine_ = 0;
    for (;;) {
        const uint8_t c = s_.Ch;
        if (c == 0) {
            skipStopLine_ = s_.CurLine + 1;
            return;
        }
        const uint8_t next = CharAt(s_.BufPos + 1);
        if (c == '\'') {
            NextCh();
            while (s_.Ch != '\'' && s_.Ch != 0 && s_.Ch != 13 && s_.Ch != 10)
                NextCh();
            if (s_.Ch == '\'') NextCh();
        } else if (c == '/' && next == '/') {
            while (s_.Ch != 13 && s_.Ch != 10 && s_.Ch != 0)
                NextCh();
        } else if (c == '(' && next == '*') {
            NextCh();
            NextCh();
            while (s_.Ch != 0 && !(s_.Ch == '*' && CharAt(s_.BufPos + 1) == ')'))
                NextCh();
            if (s_.Ch != 0) {
                NextCh();
                NextCh();
            }
        } else if (c == '{') {
            const int32_t start = s_.BufPos;
            skipStopLine_ = s_.CurLine;
            while (s_.Ch != '}' && s_.Ch != 0)
                NextCh();
            if (s_.Ch == 0) return;
            NextCh();
            if (CharAt(start + 1) != '$') continue;
            std::string text(GetString(start, s_.BufPos - start));
            for (char& ch : text)
                if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
            std::string_view rest;
            const std::string_view word = DirectiveWord(text, &rest);
            if (OpensLevel(word)) {
                ++level;
            } else if (ClosesLevel(word)) {
                if (--level == 0) return;
            } else if (level == 1 && !toEnd) {
                if (word == "ELSE" || word == "ELSEC") return;
                if ((word == "ELSEIF" || word == "ELIFC") && Evaluate(rest)) return;
            }
        } else {
            NextCh();
            SkipToQuoteOrComment();
        }
    }
}

} // namespace quennet::pascal
