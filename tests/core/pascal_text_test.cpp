// The line-wise reading of Pascal text that the merge, the API view and the outline share.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ascii.h"
#include "base/pascal_text.h"

namespace {

using quennet::base::ForEachPiece;
using quennet::base::LexState;
using quennet::base::PieceKind;

// Each piece as a letter (c code, m comment, s string) and its text.
std::string Pieces(const std::vector<std::string>& lines, LexState* end = nullptr) {
    std::string out;
    LexState state = LexState::Code;
    for (const auto& line : lines) {
        state = ForEachPiece(line, state, [&](PieceKind kind, size_t b, size_t e) {
            out += kind == PieceKind::Code ? 'c' : kind == PieceKind::Comment ? 'm' : 's';
            out += "[" + line.substr(b, e - b) + "]";
        });
        out += '|';
    }
    if (end) *end = state;
    return out;
}

TEST(PascalText, PiecesOfLines) {
    struct Case {
        std::vector<std::string> lines;
        const char* pieces;
        LexState end;
    };
    const Case cases[] = {
        {{"a := 'x{y}'; // z"}, "c[a := ]s['x{y}']c[; ]m[// z]|", LexState::Code},
        {{"x { open", "still } y"}, "c[x ]m[{ open]|m[still }]c[ y]|", LexState::Code},
        // "(*)" opens a comment and does not close it, as the scanner reads it.
        {{"a (*) b", "c *) d"}, "c[a ]m[(*) b]|m[c *)]c[ d]|", LexState::Code},
        {{"(* x *)(**)"}, "m[(* x *)]m[(**)]|", LexState::Code},
        {{"s := 'it''s'"}, "c[s := ]s['it']s['s']|", LexState::Code},
        {{"'open"}, "s['open]|", LexState::Code},
        {{"{ a", ""}, "m[{ a]||", LexState::BraceComment},
        {{"(* a"}, "m[(* a]|", LexState::ParenComment},
        {{"x / y (z)"}, "c[x / y (z)]|", LexState::Code},
    };
    for (const auto& c : cases) {
        LexState end{};
        EXPECT_EQ(Pieces(c.lines, &end), c.pieces) << c.lines[0];
        EXPECT_EQ(end, c.end) << c.lines[0];
    }
}

TEST(PascalText, StopsWhenTheVisitorSaysSo) {
    int seen = 0;
    ForEachPiece("a 'b' c", LexState::Code, [&](PieceKind, size_t, size_t) { return ++seen < 2; });
    EXPECT_EQ(seen, 2);
}

TEST(PascalText, CaseFoldsOnlyAsciiLetters) {
    EXPECT_EQ(quennet::base::UpperAscii("abz\xe9\xc3\xa9_1"), "ABZ\xe9\xc3\xa9_1");
    EXPECT_EQ(quennet::base::LowerAscii("ABZ\xc9"), "abz\xc9");
    EXPECT_TRUE(quennet::base::SameIgnoringCase("TForm1", "tform1"));
    EXPECT_FALSE(quennet::base::SameIgnoringCase("\xe9", "\xc9"));
}

} // namespace
