// The scanner automaton. One pass with one character of lookahead; the only back-up is a number
// followed by "..".
#include "pascal/scanner.h"

#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/crc32.h"

namespace quennet::pascal {

namespace {
constexpr std::array<uint8_t, 256> MakeUpper() {
    std::array<uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[c] = static_cast<uint8_t>(c >= 'a' && c <= 'z' ? c - 32 : c);
    t[26] = 0; // Ctrl-Z ends the text
    return t;
}
constexpr auto kUpperTable = MakeUpper();

enum CharClass : uint8_t { cOther, cLetter, cDigit };

constexpr std::array<uint8_t, 256> MakeClasses() {
    std::array<uint8_t, 256> t{};
    for (int c = 'A'; c <= 'Z'; ++c)
        t[c] = cLetter;
    t['_'] = cLetter;
    for (int c = '0'; c <= '9'; ++c)
        t[c] = cDigit;
    return t;
}
constexpr auto kClass = MakeClasses();

// Bytes of a word: bit 1 in the classic reading, bit 2 in the modern ones, which add the bytes
// of other alphabets.
constexpr std::array<uint8_t, 256> MakeWordBytes() {
    std::array<uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const bool word =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        t[c] = static_cast<uint8_t>((word ? 3 : 0) | (c >= 0x80 ? 2 : 0));
    }
    return t;
}
constexpr auto kWordByte = MakeWordBytes();

// Kinds with one spelling have one checksum whatever the letter case; 0 for the others.
const std::array<uint32_t, kMaxTerminal + 1> kFixedSums = [] {
    std::array<uint32_t, kMaxTerminal + 1> sums{};
    for (int k = 0; k <= kMaxTerminal; ++k)
        if (!kTokenSpelling[k].empty()) sums[k] = base::UpperCrc32(kTokenSpelling[k], 0xFFFFFFFFu);
    return sums;
}();

// The keywords' spellings as they lie in memory, padded with zeros to sixteen bytes.
const std::array<std::array<uint64_t, 2>, kMaxTerminal + 1> kSpelled = [] {
    std::array<std::array<uint64_t, 2>, kMaxTerminal + 1> spelled{};
    for (int k = 0; k <= kMaxTerminal; ++k) {
        char padded[16] = {};
        kTokenSpelling[k].copy(padded, sizeof padded);
        std::memcpy(spelled[k].data(), padded, sizeof padded);
    }
    return spelled;
}();

const KeywordBuckets& kBuckets = KeywordBucketTable();

// The keyword among bucket's that word spells, else tIdentifier; byte by byte, for a word too
// near the end of the text to read sixteen bytes.
[[gnu::noinline]] int32_t KeywordByBytes(const Tok* bucket, const char* word, int32_t len) {
    for (const Tok* k = bucket; *k != tEndOfText; ++k) {
        // Spellings are upper-case letters: a byte without its 0x20 bit equals one only if it
        // is that letter in either case.
        const char* spelling = kTokenSpelling[*k].data();
        int32_t i = 1;
        while (i < len && (word[i] & 0xDF) == spelling[i])
            ++i;
        if (i == len) return *k;
    }
    return tIdentifier;
}

// The sum of the tokens the classic automaton reads in text.
uint32_t ClassicSum(std::string_view text) {
    TOp4Scanner classic;
    classic.InitSource(text.data(), static_cast<int32_t>(text.size()));
    uint32_t sum = 0;
    while (classic.Get() != tEndOfText)
        sum += classic.State().CurToken.Sum;
    return sum;
}

#if defined(__SSE2__)
// One bit a byte of the 16 at p: set where a word goes on.
inline uint32_t WordBits16(const char* p, bool modern) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Shifted so that the range sought starts at -128: one signed comparison tests it.
    const __m128i letter = _mm_cmplt_epi8(
        _mm_add_epi8(_mm_or_si128(b, _mm_set1_epi8(0x20)), _mm_set1_epi8(0x80 - 'a')),
        _mm_set1_epi8(-128 + 26));
    const __m128i digit =
        _mm_cmplt_epi8(_mm_add_epi8(b, _mm_set1_epi8(0x80 - '0')), _mm_set1_epi8(-128 + 10));
    const __m128i under = _mm_cmpeq_epi8(b, _mm_set1_epi8('_'));
    uint32_t bits =
        static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(letter, digit), under)));
    if (modern) bits |= static_cast<uint32_t>(_mm_movemask_epi8(b));
    return bits;
}

// One bit a byte of the 16 at p: set where a byte ends a run (0, Ctrl-Z, a line end, a to d).
inline uint32_t StopBits16(const char* p, char a, char b, char c, char d) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i low =
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_setzero_si128()), _mm_cmpeq_epi8(v, _mm_set1_epi8(26)));
    const __m128i ends =
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(13)), _mm_cmpeq_epi8(v, _mm_set1_epi8(10)));
    __m128i stops =
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(a)), _mm_cmpeq_epi8(v, _mm_set1_epi8(b)));
    if (c != a || d != a)
        stops = _mm_or_si128(stops, _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(c)),
                                                 _mm_cmpeq_epi8(v, _mm_set1_epi8(d))));
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(low, ends), stops)));
}
#endif

inline bool IsHex(uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}
inline bool IsDigit(uint8_t c) {
    return c >= '0' && c <= '9';
}
} // namespace

const uint8_t TCoCoScanner::kUpper[256] = {
#define U(i) kUpperTable[(i)]
#define U4(i) U(i), U((i) + 1), U((i) + 2), U((i) + 3)
#define U16(i) U4(i), U4((i) + 4), U4((i) + 8), U4((i) + 12)
#define U64(i) U16(i), U16((i) + 16), U16((i) + 32), U16((i) + 48)
    U64(0), U64(64), U64(128), U64(192)
#undef U64
#undef U16
#undef U4
#undef U
};

TCoCoScanner::TCoCoScanner() {
    InitSource(nullptr, 0);
}

void TCoCoScanner::InitSource(const char* text, int32_t length) {
    src_ = text;
    srcLen_ = text ? length : 0;
    s_ = TScannerState{};
    comments_.clear();
    NextCh();
}

void TCoCoScanner::ScannerError(int code, int line, int pos, int col) {
    if (OnError) OnError(code, line, pos, col);
    ++s_.ErrorCount;
}

std::string TCoCoScanner::GetComments() {
    std::string text;
    for (const auto& c : comments_)
        text += GetString(c.StartPos, c.EndPos - c.StartPos + 1);
    comments_.clear();
    s_.CommentsExist = false;
    return text;
}

bool TOp4Scanner::Comment() {
    const int32_t start = s_.BufPos;
    const int32_t startLine = s_.CurLine;
    bool result = false;
    // Undo of a "/" or "(" that does not open a comment.
    auto undo = [&](int32_t savedLineStart) {
        if (s_.Ch == 10 || s_.Ch == 13) {
            --s_.CurLine;
            s_.LineStart = savedLineStart;
        }
        --s_.BufPos;
        s_.Ch = s_.LastCh;
    };
    if (s_.Ch == '/') {
        int32_t savedLineStart = s_.LineStart;
        NextCh();
        if (s_.Ch == '/') {
            NextCh();
            for (;;) {
                AdvanceUntil<13>();
                if (s_.Ch == 13) {
                    s_.LineEndsInComment = s_.CurLine - startLine;
                    NextCh();
                    result = true;
                    break;
                }
                if (s_.Ch == 0) break;
                NextCh();
            }
        } else {
            undo(savedLineStart);
        }
    } else if (s_.Ch == '{' && NestedComments) {
        // FPC and OBJFPC modes: braces nest.
        NextCh();
        int depth = 1;
        for (;;) {
            AdvanceUntil<'}', '{'>();
            if (s_.Ch == 0) break;
            depth += s_.Ch == '{' ? 1 : -1;
            NextCh();
            if (depth == 0) {
                s_.LineEndsInComment = s_.CurLine - startLine;
                result = true;
                break;
            }
        }
    } else if (s_.Ch == '{') {
        NextCh();
        for (;;) {
            AdvanceUntil<'}'>();
            if (s_.Ch == '}') {
                s_.LineEndsInComment = s_.CurLine - startLine;
                NextCh();
                result = true;
                break;
            }
            if (s_.Ch == 0) break;
            NextCh();
        }
    } else if (s_.Ch == '(') {
        int32_t savedLineStart = s_.LineStart;
        NextCh();
        if (s_.Ch != '*') {
            undo(savedLineStart);
        } else {
            NextCh();
            for (;;) {
                AdvanceUntil<'*'>();
                if (s_.Ch == '*') {
                    NextCh();
                    if (s_.Ch == ')') {
                        s_.LineEndsInComment = s_.CurLine - startLine;
                        NextCh();
                        result = true;
                        break;
                    }
                    continue; // this character may start the closing pair itself
                }
                if (s_.Ch == 0) break;
                NextCh();
            }
        }
    }
    if (start < s_.BufPos - 1) {
        comments_.push_back({start, s_.BufPos - 1});
        s_.CommentsExist = true;
    }
    return result;
}

int32_t TOp4Scanner::Get() {
    for (;;) {
        // Blanks and line ends, with the line counting of NextCh, on locals.
        if (s_.Ch == ' ' || (s_.Ch >= 9 && s_.Ch <= 13)) {
            int32_t pos = s_.BufPos;
            uint8_t ch = s_.Ch, last = 0; // the loop sets last before it reads it
            int32_t line = s_.CurLine, lineStart = s_.LineStart;
            const char* src = src_;
            const int32_t len = srcLen_;
            do {
                if (ch == ' ') {
                    // Runs of blanks (indentation) need no line counting.
                    while (pos + 1 < len && src[pos + 1] == ' ')
                        ++pos;
                }
                last = ch;
                ++pos;
                ch = pos < len ? kUpper[static_cast<uint8_t>(src[pos])] : 0;
                if (ch == 13 || (ch == 10 && last != 13)) {
                    ++line;
                    lineStart = pos;
                }
            } while (ch == ' ' || (ch >= 9 && ch <= 13));
            s_.BufPos = pos;
            s_.Ch = ch;
            s_.LastCh = last;
            s_.CurLine = line;
            s_.LineStart = lineStart;
        }
        if (s_.MacroEnd >= 0 && s_.BufPos >= s_.MacroEnd) {
            // The macro's text is read: the source goes on after its name.
            s_.MacroEnd = -1;
            s_.BufPos = s_.ResumePos;
            s_.Ch = s_.ResumeCh;
            s_.LastCh = s_.ResumeLastCh;
            s_.CurLine = s_.ResumeLine;
            s_.LineStart = s_.ResumeLineStart;
            continue;
        }
        if ((s_.Ch == '/' || s_.Ch == '{' || s_.Ch == '(') && Comment()) continue;
        break;
    }
    s_.PrevToken = s_.CurToken;
    s_.CurToken.Pos = s_.BufPos;
    s_.CurToken.Col = s_.BufPos - s_.LineStart;
    s_.CurToken.Line = s_.CurLine;
    s_.CurToken.Len = 0;
    s_.ContextLen = 0;
    s_.TokenStart = s_.BufPos;
    s_.CurToken.ModernFrom = -1;
    s_.CurToken.MacroUse = -1;
    const uint8_t ch = s_.Ch;
    int32_t kind = tNoSym;
    if (kClass[ch] == cLetter) {
        // Words, the most frequent tokens, without the automaton's dispatch.
        NextCh();
        s_.CurToken.Len = 1;
        SkipWord();
        kind = CheckLiteral();
        TakeSum(kind);
        if (!ModernTokens) return kind;
    } else if (!ModernTokens) {
        kind = ScanToken();
        TakeSum(kind);
        return kind;
    } else {
        const int32_t from = s_.BufPos;
        // Only these first characters can start a modern token form.
        const bool candidate = ch == '&' || ch == '%' || ch == '$' || ch == '\'' || IsDigit(ch);
        if (candidate && ScanModern(ch, kind)) {
            // Its sum is that of the classic tokens of its text, so readings agree on the sums.
            s_.CurToken.ModernFrom = from;
            s_.CurToken.Sum = ClassicSum(GetString(from, s_.CurToken.Pos + s_.CurToken.Len - from));
        } else {
            kind = ScanToken();
            TakeSum(kind);
        }
    }
    const int32_t lastKind = s_.LastKind;
    // "X.Type", "Rec.End": after a point every word is a name.
    if (s_.LastKind == tPoint && kind > tCharConst && kind < tNoSym &&
        kTokenSpelling[kind][0] >= 'A')
        kind = tIdentifier;
    s_.LastKind = kind;
    if (s_.MacroEnd >= 0) {
        s_.CurToken.Line = s_.MacroName.Line;
        s_.CurToken.Col = s_.MacroName.Col;
        s_.CurToken.MacroUse = s_.MacroName.Pos;
        s_.CurToken.MacroUseEnd = s_.MacroName.Pos + s_.MacroName.Len;
    } else if (kind == tIdentifier && ExpandMacros) {
        int32_t textFrom = 0, textTo = 0;
        if (MacroText(s_.CurToken.Pos, s_.CurToken.Len, textFrom, textTo)) {
            // The name gives way to the tokens of its text (a macro's text is not expanded
            // again); an empty text gives the token after the name.
            s_.MacroName = s_.CurToken;
            s_.ResumePos = s_.BufPos;
            s_.ResumeCh = s_.Ch;
            s_.ResumeLastCh = s_.LastCh;
            s_.ResumeLine = s_.CurLine;
            s_.ResumeLineStart = s_.LineStart;
            s_.MacroEnd = textTo;
            s_.BufPos = textFrom;
            s_.Ch = CharAt(textFrom);
            s_.LastCh = ' ';
            s_.LastKind = lastKind;
            s_.CurToken = s_.PrevToken;
            return Get();
        }
    }
    return kind;
}

// Token forms of the modern readings; false leaves the token to the classic automaton.
bool TOp4Scanner::ScanModern(uint8_t first, int32_t& kind) {
    auto step = [this] {
        NextCh();
        ++s_.CurToken.Len;
    };
    auto digitOrSep = [](uint8_t c) { return IsDigit(c) || c == '_'; };
    auto hexOrSep = [](uint8_t c) { return IsHex(c) || c == '_'; };
    const uint8_t next = CharAt(s_.BufPos + 1);
    switch (first) {
    case '&':
        if (kClass[next] == cLetter) {
            // The "&" only lifts the keyword meaning; the name is the word after it.
            NextCh();
            s_.CurToken.Pos = s_.TokenStart = s_.BufPos;
            ++s_.CurToken.Col;
            SkipRun([](uint8_t c) { return kClass[c] != cOther; });
            kind = tIdentifier;
            return true;
        }
        if (next >= '0' && next <= '7') { // octal
            step();
            SkipRun([](uint8_t c) { return (c >= '0' && c <= '7') || c == '_'; });
            kind = tInteger;
            return true;
        }
        return false;
    case '%':
        if (next != '0' && next != '1') return false;
        step();
        SkipRun([](uint8_t c) { return c == '0' || c == '1' || c == '_'; });
        kind = tInteger;
        return true;
    case '$': {
        // Only hex numbers with a separator are read here.
        int32_t at = s_.BufPos + 1;
        while (IsHex(CharAt(at)))
            ++at;
        if (at == s_.BufPos + 1 || CharAt(at) != '_') return false;
        step();
        SkipRun(hexOrSep);
        kind = tInteger;
        return true;
    }
    case '\'': {
        // An odd run of three quotes or more at the end of a line opens a string that a line
        // starting with the same run closes; the longer runs let a text hold three quotes.
        int32_t quotes = 0;
        while (CharAt(s_.BufPos + quotes) == '\'')
            ++quotes;
        if (quotes < 3 || quotes % 2 == 0) return false;
        int32_t at = s_.BufPos + quotes;
        while (CharAt(at) == ' ' || CharAt(at) == 9)
            ++at;
        if (CharAt(at) != 13 && CharAt(at) != 10) return false;
        const auto runAt = [this](int32_t from) {
            int32_t n = 0;
            while (CharAt(from + n) == '\'')
                ++n;
            return n;
        };
        bool lineStart = false;
        while (s_.Ch != 0) {
            step();
            if (s_.Ch == 13 || s_.Ch == 10) {
                lineStart = true;
            } else if (lineStart && s_.Ch == '\'' && runAt(s_.BufPos) == quotes) {
                for (int32_t k = 0; k < quotes; ++k)
                    step();
                break;
            } else if (s_.Ch != ' ' && s_.Ch != 9) {
                lineStart = false;
            }
        }
        kind = tString;
        return true;
    }
    default: break;
    }
    if (!IsDigit(first)) return false;
    int32_t at = s_.BufPos;
    while (IsDigit(CharAt(at)))
        ++at;
    if (CharAt(at) != '_') return false;
    step();
    SkipRun(digitOrSep);
    kind = tInteger;
    if (s_.Ch == '.' && IsDigit(CharAt(s_.BufPos + 1))) {
        step();
        SkipRun(digitOrSep);
        kind = tReal;
    }
    return true;
}

void TOp4Scanner::SkipToQuoteOrComment() {
    AdvanceUntil<'\'', '/', '(', '{'>();
}

// Moves over a run of characters of the given class, none of which is a line end, as a
// sequence of NextCh calls would.
template <class Pred> inline void TOp4Scanner::SkipRun(Pred pred) {
    int32_t pos = s_.BufPos;
    const char* src = src_;
    const int32_t len = srcLen_;
    uint8_t ch = s_.Ch;
    if (!pred(ch)) return;
    uint8_t last;
    do {
        last = ch;
        ++pos;
        ch = pos < len ? kUpper[static_cast<uint8_t>(src[pos])] : 0;
    } while (pred(ch));
    s_.CurToken.Len += pos - s_.BufPos;
    s_.BufPos = pos;
    s_.LastCh = last;
    s_.Ch = ch;
    if (ch == 13 || ch == 10) { // the character before is part of the run, never a CR
        ++s_.CurLine;
        s_.LineStart = pos;
    }
}

// NextCh until the current character is A, B, C or D or the end of the text, on locals.
template <char A, char B, char C, char D> inline void TOp4Scanner::AdvanceUntil() {
    int32_t pos = s_.BufPos;
    uint8_t ch = s_.Ch, last = s_.LastCh;
    int32_t line = s_.CurLine, lineStart = s_.LineStart;
    const char* src = src_;
    const int32_t len = srcLen_;
    constexpr auto a = static_cast<uint8_t>(A), b = static_cast<uint8_t>(B),
                   c = static_cast<uint8_t>(C), d = static_cast<uint8_t>(D);
    while (ch != 0 && ch != a && ch != b && ch != c && ch != d) {
#if defined(__SSE2__)
        // Up to the next byte that stops the run or counts a line, sixteen at a time.
        if (pos + 17 <= len) {
            const uint32_t bits = StopBits16(src + pos + 1, A, B, C, D);
            const int32_t n = bits != 0 ? std::countr_zero(bits) : 16;
            pos += n;
            if (n > 0) ch = kUpper[static_cast<uint8_t>(src[pos])];
            if (n == 16) continue; // the byte before is no CR: last is not read before it is set
        }
#endif
        last = ch;
        ++pos;
        ch = pos < len ? kUpper[static_cast<uint8_t>(src[pos])] : 0;
        if (ch == 13 || (ch == 10 && last != 13)) {
            ++line;
            lineStart = pos;
        }
    }
    s_.BufPos = pos;
    s_.Ch = ch;
    s_.LastCh = last;
    s_.CurLine = line;
    s_.LineStart = lineStart;
}

// The automaton. Each "step" is NextCh plus one more character in the token.
int32_t TOp4Scanner::ScanToken() {
    auto step = [this] {
        NextCh();
        ++s_.CurToken.Len;
    };
    const uint8_t first = s_.Ch;
    step();
    switch (first) {
    case 0:
        // End of text: stay on it so that every later Get returns end of text again.
        s_.Ch = 0;
        --s_.BufPos;
        return tEndOfText;
    case '$':
        if (!IsHex(s_.Ch)) return tNoSym;
        SkipRun(IsHex);
        return tInteger;
    case '#':
        if (IsDigit(s_.Ch)) {
            SkipRun(IsDigit);
            return tCharConst;
        }
        if (s_.Ch == '$') {
            step();
            if (!IsHex(s_.Ch)) return tNoSym;
            SkipRun(IsHex);
            return tCharConst;
        }
        return tNoSym;
    case '\'':
        for (;;) {
            // An open literal at the end of the text runs to the end.
            const int32_t from = s_.BufPos;
            AdvanceUntil<'\''>();
            s_.CurToken.Len += s_.BufPos - from;
            if (s_.Ch == 0) return tString;
            step(); // the quote
            if (s_.Ch != '\'') return tString;
            step(); // a doubled quote
        }
    case '.':
        if (s_.Ch == '.') {
            step();
            return tDotDot;
        }
        return tPoint;
    case '<':
        if (s_.Ch == '=') {
            step();
            return tLessEqual;
        }
        if (s_.Ch == '>') {
            step();
            return tNotEqual;
        }
        return tLess;
    case '>':
        if (s_.Ch == '=') {
            step();
            return tGreaterEqual;
        }
        return tGreater;
    case '[': return tLBrack;
    case ']': return tRBrack;
    case '(': return tLParen;
    case ')': return tRParen;
    case ';': return tSemicolon;
    case ',': return tComma;
    case '=': return tEqual;
    case '+': return tPlus;
    case ':': return tColon;
    case '^': return tCaret;
    case '-': return tMinus;
    case '*': return tStar;
    case '/': return tSlash;
    case '@': return tAt;
    default: break;
    }
    // Words are read by Get. Names in other alphabets (UTF-8, or the file's code page), as today's
    // compilers take them.
    if (ModernTokens && first >= 0x80) {
        SkipWord();
        return tIdentifier;
    }
    if (kClass[first] != cDigit) return tNoSym;

    // Numbers: digits [ "." digits ] [ "E" [ sign ] digits ].
    SkipRun(IsDigit);
    if (s_.Ch == '.') {
        ++s_.ContextLen;
        step();
        if (s_.Ch == '.') {
            // "1..9": the digits alone are the integer; the next token starts at the first point.
            const int32_t firstPoint = s_.BufPos - 1;
            s_.BufPos = firstPoint - 1;
            s_.CurToken.Len = firstPoint - s_.TokenStart;
            NextCh();
            return tInteger;
        }
        if (IsDigit(s_.Ch)) {
            s_.ContextLen = 0;
            SkipRun(IsDigit);
            if (s_.Ch != 'E') return tReal;
        } else if (s_.Ch == 'E') {
            s_.ContextLen = 0;
        } else {
            return tReal;
        }
    } else if (s_.Ch != 'E') {
        return tInteger;
    }
    // Exponent mark.
    step();
    if (s_.Ch == '+' || s_.Ch == '-') {
        step();
        if (!IsDigit(s_.Ch)) return tNoSym;
    } else if (!IsDigit(s_.Ch)) {
        return tNoSym;
    }
    SkipRun(IsDigit);
    return tReal;
}

// The rest of a word whose first character is read, as a run of NextCh calls would.
inline void TOp4Scanner::SkipWord() {
    const char* src = src_;
    const int32_t len = srcLen_;
    const uint8_t bit = ModernTokens ? 2 : 1;
    int32_t pos = s_.BufPos;
#if defined(__SSE2__)
    for (;;) {
        if (pos + 16 > len) break;
        const uint32_t bits = WordBits16(src + pos, ModernTokens);
        if (bits != 0xFFFFu) {
            pos += std::countr_zero(~bits);
            goto done;
        }
        pos += 16;
    }
#endif
    while (pos < len && (kWordByte[static_cast<uint8_t>(src[pos])] & bit) != 0)
        ++pos;
#if defined(__SSE2__)
done:
#endif
    if (pos == s_.BufPos) return; // NextCh counted the line end it stands on
    // The word's bytes are no line ends; the one after it may be.
    s_.CurToken.Len += pos - s_.BufPos;
    s_.LastCh = kUpper[static_cast<uint8_t>(src[pos - 1])];
    s_.Ch = pos < len ? kUpper[static_cast<uint8_t>(src[pos])] : 0;
    s_.BufPos = pos;
    if (s_.Ch == 13 || s_.Ch == 10) {
        ++s_.CurLine;
        s_.LineStart = pos;
    }
}

inline int32_t TOp4Scanner::CheckLiteral() {
    const int32_t len = s_.CurToken.Len;
    if (len < 2 || len > 14) return tIdentifier;
    const char* word = src_ + s_.TokenStart;
    const uint8_t first = static_cast<uint8_t>(word[0] & 0xDF);
    if (first < 'A' || first > 'Z') return tIdentifier; // "_" starts no keyword
    const Tok* bucket = kBuckets.Kinds[len][first - 'A'];
    if (*bucket == tEndOfText) return tIdentifier; // no keyword of this length and first letter
    if constexpr (std::endian::native == std::endian::little) {
        if (s_.TokenStart <= srcLen_ - 16) {
            // The word's sixteen bytes as two numbers, past its end cleared, letters without
            // their case bit: one comparison a keyword.
            uint64_t w[2];
            std::memcpy(w, word, sizeof w);
            const uint64_t caseless = 0xDFDFDFDFDFDFDFDFull;
            w[0] &= caseless & (len >= 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * len)) - 1);
            w[1] &= caseless & (len <= 8 ? 0 : (uint64_t{1} << (8 * (len - 8))) - 1);
            for (const Tok* k = bucket; *k != tEndOfText; ++k)
                if (kSpelled[*k][0] == w[0] && kSpelled[*k][1] == w[1]) return *k;
            return tIdentifier;
        }
    }
    return KeywordByBytes(bucket, word, len);
}

inline void TOp4Scanner::TakeSum(int32_t kind) {
    const uint32_t fixed = kFixedSums[static_cast<size_t>(kind)];
    s_.CurToken.Sum =
        fixed != 0 ? fixed
                   : base::UpperCrc32(GetString(s_.CurToken.Pos, s_.CurToken.Len), 0xFFFFFFFFu);
}

} // namespace quennet::pascal
