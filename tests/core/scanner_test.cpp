// The token automaton, keyword lookup, line counting and comment records.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/crc32.h"
#include "pascal/scanner.h"

using namespace quennet::pascal;

namespace {

struct Token {
    int32_t kind;
    std::string text;
    int32_t line;
    bool operator==(const Token&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Token& t) {
    return os << "{" << t.kind << " '" << t.text << "' L" << t.line << "}";
}

std::vector<Token> Scan(const std::string& text, bool modern = false) {
    TOp4Scanner s;
    s.ModernTokens = modern;
    s.InitSource(text.data(), static_cast<int32_t>(text.size()));
    std::vector<Token> out;
    for (int guard = 0; guard < 10000; ++guard) {
        int32_t k = s.Get();
        const auto& t = s.State().CurToken;
        if (k == tEndOfText) break;
        out.push_back({k, std::string(s.GetString(t.Pos, t.Len)), t.Line});
    }
    return out;
}

std::vector<int32_t> Kinds(const std::string& text) {
    std::vector<int32_t> k;
    for (const auto& t : Scan(text))
        k.push_back(t.kind);
    return k;
}

} // namespace

TEST(Scanner, KeywordsIgnoreCaseAndLongerWordsStayIdentifiers) {
    EXPECT_EQ(
        Kinds("begin BEGIN Begin BeginUpdate Ending end_"),
        (std::vector<int32_t>{tBegin, tBegin, tBegin, tIdentifier, tIdentifier, tIdentifier}));
    // IF, THEN, ELSE and friends are identifiers to the scanner.
    EXPECT_EQ(Kinds("if then else while repeat"), std::vector<int32_t>(5, tIdentifier));
    EXPECT_EQ(Kinds("resourcestring initialization dispinterface nodefault"),
              (std::vector<int32_t>{tResourceString, tInitialization, tDispInterface, tNoDefault}));
}

// Every keyword in lower case is its token; a word one letter away from a keyword, or with
// another first letter ("RAFECALL" is no SAFECALL), stays an identifier.
TEST(Scanner, KeywordLookupIsExact) {
    std::vector<std::pair<std::string, int32_t>> keywords;
    for (int k = 0; k <= kMaxTerminal; ++k) {
        std::string_view s = kTokenSpelling[k];
        if (!s.empty() && s[0] >= 'A' && s[0] <= 'Z') keywords.emplace_back(s, k);
    }
    ASSERT_EQ(keywords.size(), 91u);
    auto isKeyword = [&](const std::string& w) {
        return std::any_of(keywords.begin(), keywords.end(),
                           [&](const auto& k) { return k.first == w; });
    };
    for (const auto& [word, kind] : keywords) {
        std::string lower = word;
        for (char& c : lower)
            c = static_cast<char>(c + 32);
        // Alone, the word is read near the end of the text; with blanks after it, as one read
        // sixteen bytes at a time.
        const std::string after(16, ' ');
        EXPECT_EQ(Kinds(lower), std::vector<int32_t>{kind}) << word;
        EXPECT_EQ(Kinds(lower + after), std::vector<int32_t>{kind}) << word;
        std::vector<std::string> others;
        for (size_t pos = 0; pos < word.size(); ++pos) {
            others.push_back(word);
            others.back()[pos] = word[pos] == 'Q' ? 'X' : 'Q';
        }
        for (char first = 'A'; first <= 'Z'; ++first) {
            others.push_back(word);
            others.back()[0] = first;
        }
        for (const auto& other : others) {
            if (!isKeyword(other)) {
                EXPECT_EQ(Kinds(other), std::vector<int32_t>{tIdentifier}) << other;
                EXPECT_EQ(Kinds(other + after), std::vector<int32_t>{tIdentifier}) << other;
            }
        }
    }
}

TEST(Scanner, Numbers) {
    EXPECT_EQ(Scan("1..10"),
              (std::vector<Token>{{tInteger, "1", 1}, {tDotDot, "..", 1}, {tInteger, "10", 1}}));
    EXPECT_EQ(Scan("1.5"), (std::vector<Token>{{tReal, "1.5", 1}}));
    EXPECT_EQ(Scan("1. x"), (std::vector<Token>{{tReal, "1.", 1}, {tIdentifier, "x", 1}}));
    EXPECT_EQ(Kinds("1E5 2.5e-3 7e+1"), (std::vector<int32_t>{tReal, tReal, tReal}));
    EXPECT_EQ(Scan("1E x"), (std::vector<Token>{{tNoSym, "1E", 1}, {tIdentifier, "x", 1}}));
    EXPECT_EQ(Scan("$1F $1f"), (std::vector<Token>{{tInteger, "$1F", 1}, {tInteger, "$1f", 1}}));
    EXPECT_EQ(Scan("$ x"), (std::vector<Token>{{tNoSym, "$", 1}, {tIdentifier, "x", 1}}));
    EXPECT_EQ(Scan("a[1..n]"), (std::vector<Token>{{tIdentifier, "a", 1},
                                                   {tLBrack, "[", 1},
                                                   {tInteger, "1", 1},
                                                   {tDotDot, "..", 1},
                                                   {tIdentifier, "n", 1},
                                                   {tRBrack, "]", 1}}));
}

TEST(Scanner, StringsAndCharacterCodes) {
    EXPECT_EQ(Scan("#13#10"), (std::vector<Token>{{tCharConst, "#13", 1}, {tCharConst, "#10", 1}}));
    EXPECT_EQ(Scan("#$0D"), (std::vector<Token>{{tCharConst, "#$0D", 1}}));
    EXPECT_EQ(Scan("'it''s'"), (std::vector<Token>{{tString, "'it''s'", 1}}));
    EXPECT_EQ(
        Scan("'a'#9'b'"),
        (std::vector<Token>{{tString, "'a'", 1}, {tCharConst, "#9", 1}, {tString, "'b'", 1}}));
    EXPECT_EQ(Kinds("# #$ x"), (std::vector<int32_t>{tNoSym, tNoSym, tIdentifier}));
    // An open literal runs to the end of the text; end of text follows.
    EXPECT_EQ(Scan("x 'abc"), (std::vector<Token>{{tIdentifier, "x", 1}, {tString, "'abc", 1}}));
    EXPECT_EQ(Scan("'a\r\nb'"), (std::vector<Token>{{tString, "'a\r\nb'", 1}}));
}

TEST(Scanner, PunctuationAndNoSym) {
    EXPECT_EQ(Kinds(":= <= >= <> < > .. . ^ @"),
              (std::vector<int32_t>{tColon, tEqual, tLessEqual, tGreaterEqual, tNotEqual, tLess,
                                    tGreater, tDotDot, tPoint, tCaret, tAt}));
    EXPECT_EQ(Kinds("! \" % & ? \\ ` | ~ \x80 \xff"), std::vector<int32_t>(11, tNoSym));
    EXPECT_EQ(Kinds("( a"), (std::vector<int32_t>{tLParen, tIdentifier}));
}

TEST(Scanner, CommentsDoNotNestAndAreRecorded) {
    EXPECT_EQ(Kinds("a (* b *) c"), (std::vector<int32_t>{tIdentifier, tIdentifier}));
    EXPECT_EQ(Kinds("a (* x *** y **) c"), (std::vector<int32_t>{tIdentifier, tIdentifier}));
    // "(*)" does not close itself.
    EXPECT_EQ(Kinds("a (*) b *) c"), (std::vector<int32_t>{tIdentifier, tIdentifier}));
    // A brace comment ends at the first "}"; the rest up to a second "}" is tokens.
    EXPECT_EQ(Scan("{ a { b } c }"), (std::vector<Token>{{tIdentifier, "c", 1}, {tNoSym, "}", 1}}));
    EXPECT_EQ(Kinds("a // b\r\nc"), (std::vector<int32_t>{tIdentifier, tIdentifier}));
    // A line feed alone does not end a line comment.
    EXPECT_EQ(Kinds("a // b\nc\r\nd"), (std::vector<int32_t>{tIdentifier, tIdentifier}));
    EXPECT_EQ(Kinds("a / b"), (std::vector<int32_t>{tIdentifier, tSlash, tIdentifier}));

    TOp4Scanner s;
    std::string text = "x { c1 } y (* c2 *) z";
    s.InitSource(text.data(), static_cast<int32_t>(text.size()));
    while (s.Get() != tEndOfText) {
    }
    EXPECT_EQ(s.GetComments(), "{ c1 }(* c2 *)");
    EXPECT_EQ(s.GetComments(), "");
}

TEST(Scanner, UnclosedCommentIsRecordedAndEndsTheText) {
    TOp4Scanner s;
    std::string text = "x {open";
    s.InitSource(text.data(), static_cast<int32_t>(text.size()));
    EXPECT_EQ(s.Get(), tIdentifier);
    EXPECT_EQ(s.Get(), tEndOfText);
    EXPECT_EQ(s.Get(), tEndOfText);
    EXPECT_EQ(s.GetComments(), "{open");
}

TEST(Scanner, LineCounting) {
    auto lines = [](const std::string& text) {
        std::vector<int32_t> l;
        for (const auto& t : Scan(text))
            l.push_back(t.line);
        return l;
    };
    EXPECT_EQ(lines("a\r\nb\rc\nd\n\re"), (std::vector<int32_t>{1, 2, 3, 4, 6}));
    EXPECT_EQ(lines("a {x\r\ny} b // z\r\nc (* \n *) d"), (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(lines("'a\r\nb' c"), (std::vector<int32_t>{1, 2}));
}

TEST(Scanner, CtrlZAndNulEndTheText) {
    EXPECT_EQ(Kinds(std::string("a b\x1A c d")), (std::vector<int32_t>{tIdentifier, tIdentifier}));
    EXPECT_EQ(Kinds(std::string("a\0b", 3)), (std::vector<int32_t>{tIdentifier}));
    TOp4Scanner s;
    std::string text = "a";
    s.InitSource(text.data(), 1);
    EXPECT_EQ(s.Get(), tIdentifier);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(s.Get(), tEndOfText);
}

TEST(Scanner, TokenPositionsAndLengths) {
    TOp4Scanner s;
    std::string text = "  unit\r\n  Foo;";
    s.InitSource(text.data(), static_cast<int32_t>(text.size()));
    EXPECT_EQ(s.Get(), tUnit);
    EXPECT_EQ(s.State().CurToken.Pos, 2);
    EXPECT_EQ(s.State().CurToken.Len, 4);
    EXPECT_EQ(s.Get(), tIdentifier);
    EXPECT_EQ(s.State().CurToken.Pos, 10);
    EXPECT_EQ(s.State().CurToken.Line, 2);
    EXPECT_EQ(s.State().PrevToken.Pos, 2);
    EXPECT_EQ(s.Get(), tSemicolon);
    EXPECT_EQ(s.State().CurToken.Len, 1);
}

// Token forms only the modern readings have; the classic scanner keeps splitting them.
TEST(ScannerModern, NewTokenForms) {
    struct Case {
        const char* text;
        std::vector<Token> modern;
    };
    const Case cases[] = {
        {"&Type := 1",
         {{tIdentifier, "Type", 1}, {tColon, ":", 1}, {tEqual, "=", 1}, {tInteger, "1", 1}}},
        {"&17", {{tInteger, "&17", 1}}},
        {"%1010 %2", {{tInteger, "%1010", 1}, {tNoSym, "%", 1}, {tInteger, "2", 1}}},
        {"1_000_000 $FF_FF 1_0.5",
         {{tInteger, "1_000_000", 1}, {tInteger, "$FF_FF", 1}, {tReal, "1_0.5", 1}}},
        {"X.Type.End",
         {{tIdentifier, "X", 1},
          {tPoint, ".", 1},
          {tIdentifier, "Type", 1},
          {tPoint, ".", 1},
          {tIdentifier, "End", 1}}},
        {"'''' ''", {{tString, "''''", 1}, {tString, "''", 1}}},
        {"'''\r\n  a '' b\r\n  '''\r\nX",
         {{tString, "'''\r\n  a '' b\r\n  '''", 1}, {tIdentifier, "X", 4}}},
        // Five quotes let the text hold three; only a run of five closes it.
        {"'''''\r\n  a ''' b\r\n  ''''\r\n  ''''';X",
         {{tString, "'''''\r\n  a ''' b\r\n  ''''\r\n  '''''", 1},
          {tSemicolon, ";", 4},
          {tIdentifier, "X", 4}}},
        {"''''\r\nX", {{tString, "''''", 1}, {tIdentifier, "X", 2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Scan(c.text, true), c.modern);
    }
    // The classic reading of the same text is unchanged.
    EXPECT_EQ(Kinds("&Type"), (std::vector<int32_t>{tNoSym, tType}));
    EXPECT_EQ(Kinds("1_000"), (std::vector<int32_t>{tInteger, tIdentifier}));
    EXPECT_EQ(Kinds("X.Type"), (std::vector<int32_t>{tIdentifier, tPoint, tType}));
}

// Words, comments and strings of every length around the sixteen bytes read at a time, with
// line ends right after them; the text ends right after the last word.
TEST(Scanner, RunsOfEveryLengthKeepTextsAndLines) {
    const std::string letters = "aZ_9bY8cX7dW6eV5fU4gT3hS2iR1jQ0kPlOmNnMoLpKqJrIsHtGuFvEwDxCyB";
    for (const bool modern : {false, true}) {
        std::string text;
        std::vector<Token> expected;
        int32_t line = 1;
        for (size_t n = 1; n <= 40; ++n) {
            const std::string word = "w" + letters.substr(0, n - 1);
            text += word;
            expected.push_back({tIdentifier, word, line});
            switch (n % 4) {
            case 0: text += "\r\n"; break;
            case 1: text += " {" + std::string(n, '.') + "\n}"; break;
            case 2:
                text += " '" + std::string(n, '*') + "'\r";
                expected.push_back({tString, "'" + std::string(n, '*') + "'", line});
                break;
            default: text += " // " + std::string(n, ')') + "\r\n"; break;
            }
            ++line;
        }
        text += "last";
        expected.push_back({tIdentifier, "last", line});
        SCOPED_TRACE(modern);
        EXPECT_EQ(Scan(text, modern), expected);
    }
    // Bytes of other alphabets go on a word only in the modern readings.
    const std::string utf8 = "abcdefghijklmno\xC3\xA9pqrstuvwxyz\xC3\xA9";
    EXPECT_EQ(Scan(utf8 + " x", true),
              (std::vector<Token>{{tIdentifier, utf8, 1}, {tIdentifier, "x", 1}}));
    EXPECT_EQ(Kinds(utf8),
              (std::vector<int32_t>{tIdentifier, tNoSym, tNoSym, tIdentifier, tNoSym, tNoSym}));
}

// A token's sum is the CRC of its text read in upper case; a modern token form's is the sum of
// the classic tokens of its text.
TEST(Scanner, TokenSumsAreTheUpperCaseCrcOfTheText) {
    auto crc = [](std::string text) {
        for (char& c : text)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        return quennet::base::UpdateCrc32(std::string_view(text), 0xFFFFFFFFu);
    };
    const std::string text = "unit Ab; begin x := $1F + #13 + 'It''s' <> 1.5e3 .. [ ] ^ @ "
                             "TheLongestIdentifierOfAll_123 ResourceString end. ~";
    for (const bool modern : {false, true}) {
        TOp4Scanner s;
        s.ModernTokens = modern;
        s.InitSource(text.data(), static_cast<int32_t>(text.size()));
        EXPECT_EQ(s.State().CurToken.Sum, crc(""));
        int count = 0;
        while (s.Get() != tEndOfText) {
            const auto& t = s.State().CurToken;
            EXPECT_EQ(t.Sum, crc(std::string(s.GetString(t.Pos, t.Len))))
                << s.GetString(t.Pos, t.Len);
            ++count;
        }
        EXPECT_EQ(count, 24);
    }
    TOp4Scanner s;
    s.ModernTokens = true;
    const std::string modern = "&Type 1_000";
    s.InitSource(modern.data(), static_cast<int32_t>(modern.size()));
    s.Get();
    EXPECT_EQ(s.State().CurToken.Sum, crc("&") + crc("Type"));
    s.Get();
    EXPECT_EQ(s.State().CurToken.Sum, crc("1") + crc("_000"));
}
