// The highlighter's scanner: a small hand-written tokenizer, separate from the parser, that
// knows only what it needs to colour text.
#include "workspace/pas_conversion.h"

#include <algorithm>
#include <new>
#include <utility>

namespace quennet::workspace {

namespace {

// Upper case, sorted in ordinal byte order: searched by binary search.
constexpr std::string_view kReservedWords[] = {
    "ABSOLUTE",     "ABSTRACT",
    "AND",          "ARRAY",
    "AS",           "ASM",
    "ASSEMBLER",    "AUTOMATED",
    "BEGIN",        "CASE",
    "CDECL",        "CLASS",
    "CONST",        "CONSTRUCTOR",
    "DEFAULT",      "DESTRUCTOR",
    "DISPID",       "DISPINTERFACE",
    "DIV",          "DO",
    "DOWNTO",       "DYNAMIC",
    "ELSE",         "END",
    "EXCEPT",       "EXPORT",
    "EXPORTS",      "EXTERNAL",
    "FAR",          "FILE",
    "FINALIZATION", "FINALLY",
    "FOR",          "FORWARD",
    "FUNCTION",     "GOTO",
    "IF",           "IMPLEMENTATION",
    "IN",           "INDEX",
    "INHERITED",    "INITIALIZATION",
    "INLINE",       "INTERFACE",
    "IS",           "LABEL",
    "LIBRARY",      "MESSAGE",
    "MOD",          "NAME",
    "NEAR",         "NIL",
    "NODEFAULT",    "NOT",
    "OBJECT",       "OF",
    "OR",           "OUT",
    "OVERRIDE",     "PACKED",
    "PASCAL",       "PRIVATE",
    "PROCEDURE",    "PROGRAM",
    "PROPERTY",     "PROTECTED",
    "PUBLIC",       "PUBLISHED",
    "RAISE",        "READ",
    "READONLY",     "RECORD",
    "REGISTER",     "REPEAT",
    "RESIDENT",     "RESOURCESTRING",
    "SAFECALL",     "SET",
    "SHL",          "SHR",
    "STDCALL",      "STORED",
    "STRING",       "STRINGRESOURCE",
    "THEN",         "THREADVAR",
    "TO",           "TRY",
    "TYPE",         "UNIT",
    "UNTIL",        "USES",
    "VAR",          "VIRTUAL",
    "WHILE",        "WITH",
    "WRITE",        "WRITEONLY",
    "XOR",
};
static_assert(std::size(kReservedWords) == 99);

constexpr std::string_view kPropertyEndWords[] = {
    "END", "FUNCTION", "PRIVATE", "PROCEDURE", "PROTECTED", "PUBLIC", "PUBLISHED",
};

constexpr std::string_view kDirectiveWords[] = {
    "AUTOMATED", "INDEX",  "NAME",           "NODEFAULT", "READ",      "READONLY",
    "RESIDENT",  "STORED", "STRINGRESOURCE", "WRITE",     "WRITEONLY",
};

constexpr std::string_view kKindNames[kTokenKindCount] = {
    "Assembler", "Comment",    "IGNORE", "IGNORE", "Identifier", "Reserved_Word",
    "Number",    "Whitespace", "String", "Symbol", "Plain_Text",
};

constexpr std::string_view kHeader =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS SansSerif;}"
    "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fmodern Courier New;}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
    "\\deflang1033\\pard\\plain\\f2\\fs20 \r\n";

constexpr std::string_view kLineEndSuffix = "\\par ";

template <size_t N> bool Contains(const std::string_view (&table)[N], std::string_view word) {
    return std::binary_search(std::begin(table), std::end(table), word);
}

bool IsLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(unsigned char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
bool IsWhitespace(unsigned char c) {
    return c >= 1 && c <= 32 && c != '\n' && c != '\r';
}
bool IsSymbol(unsigned char c) {
    static constexpr std::string_view kSymbols = "!\"%&()*+,-./:;<=>?@[\\]^`~";
    return c != 0 && kSymbols.find(static_cast<char>(c)) != std::string_view::npos;
}

} // namespace

std::string_view TokenKindName(int kind) {
    return kind >= 0 && kind < kTokenKindCount ? kKindNames[kind] : std::string_view{};
}

TPasConversion::TPasConversion() {
    attributes_[tkLineEnd].Suffix = kLineEndSuffix;
    work_.reserve(1024);
}

void TPasConversion::SetDefaultAttributes() {
    for (auto& a : attributes_)
        a = {};
    attributes_[tkLineEnd].Suffix = kLineEndSuffix;
    SetAttributes(tkReservedWord, fsBold);
}

void TPasConversion::SetAttributes(int kind, unsigned styles) {
    if (kind < 0 || kind >= kTokenKindCount) return;
    TTokenAttributes a;
    if (styles != 0) {
        a.Prefix = "{";
        if (styles & fsBold) a.Prefix += "\\b ";
        if (styles & fsItalic) a.Prefix += "\\i ";
        if (styles & fsUnderline) a.Prefix += "\\u ";
        a.Suffix.push_back('}'); // not = "}": GCC 12 at -O3 warns falsely (-Wrestrict)
    }
    // A line end carries no style: a group around it would span two output lines.
    if (kind == tkLineEnd) a = {"", std::string(kLineEndSuffix)};
    attributes_[kind] = std::move(a);
}

void TPasConversion::Write(std::string_view bytes) {
    size_t overlap = std::min(bytes.size(), data_.size() - position_);
    data_.replace(position_, overlap, bytes);
    position_ += bytes.size();
}

void TPasConversion::AppendSourceText(std::string_view text) {
    Write(text);
    Write("\r\n");
}

std::string TPasConversion::TakeData() {
    position_ = 0;
    return std::exchange(data_, {});
}

bool TPasConversion::IsReservedWord(std::string_view upperWord) {
    return Contains(kReservedWords, upperWord);
}

bool TPasConversion::IsPropertyEndWord(std::string_view upperWord) {
    return Contains(kPropertyEndWords, upperWord);
}

bool TPasConversion::IsDirectiveWord(std::string_view upperWord) {
    if (upperWord == "PROPERTY") inProperty_ = true;
    if (IsPropertyEndWord(upperWord)) inProperty_ = false;
    if (!Contains(kDirectiveWords, upperWord)) return false;
    if (!inProperty_) return true;
    return upperWord == "NAME" || upperWord == "RESIDENT" || upperWord == "STRINGRESOURCE";
}

std::string TPasConversion::EscapeRtf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\\' || c == '{' || c == '}') out += '\\';
        out += c;
    }
    return out;
}

void TPasConversion::WriteRaw(std::string_view text) {
    out_.append(text);
}

void TPasConversion::WriteToken(int kind, std::string_view text) {
    const auto& a = attributes_[kind];
    WriteRaw(a.Prefix);
    // Comments and strings carry braces and backslashes by nature. Symbols and single
    // characters are escaped too: in valid Pascal they never hold one, but a stray "}" or "\"
    // written raw would end the document's group or start a control word and break the
    // one-line-per-source-line structure the workspace builder relies on.
    if (kind == tkComment || kind == tkString || kind == tkSymbol || kind == tkPlainText) {
        work_.clear();
        for (char c : text) {
            if (c == '\\' || c == '{' || c == '}') work_ += '\\';
            work_ += c;
        }
        WriteRaw(work_);
    } else {
        WriteRaw(text);
    }
    WriteRaw(a.Suffix);
}

void TPasConversion::ConvertToRtf() {
    const std::string_view src = std::string_view(data_).substr(position_);
    const size_t n = src.size();
    auto at = [&](size_t i) -> unsigned char {
        return i < n ? static_cast<unsigned char>(src[i]) : 0;
    };
    auto text = [&](size_t from, size_t to) { return src.substr(from, to - from); };

    try {
        out_.clear();
        out_.reserve(n + kHeader.size() + 16);
        WriteRaw(kHeader);

        // A CR is skipped together with the character after it: view texts hold CR LF pairs.
        auto lineEnd = [&](size_t& p) {
            p = std::min(p + 2, n);
            WriteToken(tkLineEnd, "\r\n");
        };
        // Comments are written in pieces at line ends, so no group spans two output lines;
        // one that is never closed runs to the end of the text.
        auto comment = [&](size_t start, size_t p, std::string_view close) {
            size_t s = start;
            while (true) {
                unsigned char c = at(p);
                if (c == 0) {
                    if (p > s) WriteToken(tkComment, text(s, p));
                    return p;
                }
                if (c == '\r') {
                    if (p > s) WriteToken(tkComment, text(s, p));
                    lineEnd(p);
                    s = p;
                    continue;
                }
                if (close.empty()) {
                    ++p;
                    continue;
                }
                if (src.compare(p, close.size(), close) == 0) {
                    p += close.size();
                    WriteToken(tkComment, text(s, p));
                    return p;
                }
                ++p;
            }
        };
        auto lineComment = [&](size_t start) {
            size_t p = start;
            while (at(p) != 0 && at(p) != '\r')
                ++p;
            WriteToken(tkComment, text(start, p));
            return p;
        };

        size_t p = 0;
        std::string upper;
        while (true) {
            const unsigned char c = at(p);
            if (c == 0) break; // NUL or the end of the text
            const size_t start = p;
            if (c == '\r') {
                lineEnd(p);
            } else if (IsWhitespace(c)) {
                while (IsWhitespace(at(p)))
                    ++p;
                WriteToken(tkWhitespace, text(start, p));
                // NOLINTNEXTLINE(bugprone-branch-clone): the catch-all below repeats it on purpose
            } else if (c == '\n' || c == '|' || c == '}' || c >= 127) {
                ++p;
                WriteToken(tkPlainText, text(start, p));
            } else if (IsLetter(c)) {
                while (IsLetter(at(p)) || IsDigit(at(p)))
                    ++p;
                const std::string_view word = text(start, p);
                upper.assign(word);
                for (char& ch : upper)
                    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
                int kind = tkIdentifier;
                if (IsReservedWord(upper))
                    kind = IsDirectiveWord(upper) ? tkDirectiveWord : tkReservedWord;
                WriteToken(kind, word);
            } else if (IsDigit(c)) {
                while (IsDigit(at(p)) || at(p) == '.' || at(p) == 'E' || at(p) == 'e')
                    ++p;
                WriteToken(tkNumber, text(start, p));
            } else if (c == '$') {
                while (at(p) == '$' || IsHexDigit(at(p)))
                    ++p;
                WriteToken(tkNumber, text(start, p));
            } else if (c == '#') {
                while (at(p) == '#' || IsDigit(at(p)))
                    ++p;
                WriteToken(tkString, text(start, p));
            } else if (c == '\'') {
                // Checks the current character, moves on until the next one is a quote, then
                // steps over it: a doubled quote makes two adjacent string tokens.
                while (true) {
                    unsigned char s = at(p);
                    if (s == 0 || s == '\n' || s == '\r')
                        throw EConversionError("Invalid string", p);
                    ++p;
                    if (at(p) == '\'') {
                        ++p;
                        break;
                    }
                }
                WriteToken(tkString, text(start, p));
            } else if (c == '{') {
                p = comment(start, start + 1, "}");
            } else if (IsSymbol(c)) {
                bool commentStarted = false;
                while (IsSymbol(at(p))) {
                    const bool parenStar = at(p) == '(' && at(p + 1) == '*';
                    const bool slashes = at(p) == '/' && at(p + 1) == '/';
                    if (parenStar || slashes) {
                        if (p > start) WriteToken(tkSymbol, text(start, p));
                        // "(*" ends at the first "*)" from the character after "(": "(*)" is whole.
                        p = parenStar ? comment(p, p + 1, "*)") : lineComment(p);
                        commentStarted = true;
                        break;
                    }
                    ++p;
                }
                if (!commentStarted) WriteToken(tkSymbol, text(start, p));
            } else {
                ++p; // not reached: every byte belongs to one of the sets above
                WriteToken(tkPlainText, text(start, p));
            }
        }
        WriteRaw("\r\n\\par }\r\n");
    } catch (const std::bad_alloc&) {
        throw EConversionError("conversions buffer to small");
    } catch (const std::length_error&) {
        throw EConversionError("conversions buffer to small");
    }
    data_.swap(out_);
    out_.clear();
    out_.shrink_to_fit();
    position_ = 0;
}

} // namespace quennet::workspace
