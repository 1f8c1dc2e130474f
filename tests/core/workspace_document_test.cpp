// The workspace document: indexes, formats of characters and line breaks, editing, find.
#include <gtest/gtest.h>

#include <random>

#include "workspace/workspace_document.h"

using namespace quennet::workspace;

namespace {

const TCharFormat kB{kBlack, false}, kR{kRed, false}, kU{kBlue, true};

// "ab" red + "c" blue bold | break black; "" break red; "xyz" black, end blue.
TWorkspaceDocument Sample() {
    TWorkspaceDocument d;
    d.AppendLine("abc", {{2, kR}, {1, kU}}, kB);
    d.AppendLine("", {}, kR);
    d.AppendLine("xyz", {{3, kB}}, kU);
    return d;
}

} // namespace

TEST(WorkspaceDocument, Indexes) {
    TWorkspaceDocument empty;
    EXPECT_EQ(empty.LineCount(), 1u);
    EXPECT_EQ(empty.TextLineCount(), 0u);
    EXPECT_EQ(empty.TextLength(), 0u);
    EXPECT_TRUE(empty.LineColor(0).IsAutomatic());

    auto d = Sample();
    EXPECT_EQ(d.TextLength(), 3u + 1 + 0 + 1 + 3);
    EXPECT_EQ(d.LineFromChar(3), 0u); // the break belongs to its line
    EXPECT_EQ(d.LineFromChar(100), 2u);
    EXPECT_EQ(d.TextRange(0, 100), "abc\n\nxyz");
    EXPECT_EQ(d.TextRange(2, 4), "c\n\nx");
    EXPECT_TRUE(d.IsConsistent());
}

TEST(WorkspaceDocument, ColorsOfCharactersAndBreaks) {
    auto d = Sample();
    EXPECT_EQ(d.ColorAt(0), kRed);
    EXPECT_EQ(d.FormatAt(2), kU);
    EXPECT_EQ(d.ColorAt(3), kBlack); // line 0's break
    EXPECT_EQ(d.LineColor(1), kRed); // an empty line: its break
    EXPECT_EQ(d.LineColor(2), kBlack);
    EXPECT_EQ(d.ColorAt(d.TextLength()), kBlue); // the end mark
    d.SetSelection(4, 1);
    EXPECT_EQ(d.SelectionColor(), kRed);
    EXPECT_TRUE(d.IsConsistent());
}

TEST(WorkspaceDocument, TextLineCountDropsAnEmptyLastLine) {
    TWorkspaceDocument d;
    d.AppendLine("a", kB);
    d.AppendLine("", kB);
    EXPECT_EQ(d.LineCount(), 2u);
    EXPECT_EQ(d.TextLineCount(), 1u);
    d.AppendLine("", kB);
    EXPECT_EQ(d.TextLineCount(), 2u);
}

TEST(WorkspaceDocument, InsertAndDelete) {
    auto d = Sample();
    d.Insert(1, "12\r\n34\n5", kB);
    EXPECT_EQ(d.TextRange(0, d.TextLength()), "a12\n34\n5bc\n\nxyz");
    EXPECT_EQ(d.Selection(), (TSelection{1 + 7, 0})); // CR LF is one break
    EXPECT_EQ(d.ColorAt(0), kRed);
    EXPECT_EQ(d.ColorAt(1), kBlack);
    EXPECT_EQ(d.ColorAt(3), kBlack);     // the new break
    EXPECT_EQ(d.ColorAt(8), kRed);       // "b" moved to the last inserted line
    EXPECT_EQ(d.LineBreakFormat(2), kB); // the old break of line 0 now ends "5bc"
    EXPECT_TRUE(d.IsConsistent());

    d.Delete(2, 6); // "2\n34\n5" -> "a1bc"
    EXPECT_EQ(d.TextRange(0, d.TextLength()), "a1bc\n\nxyz");
    EXPECT_EQ(d.LineCount(), 3u);
    EXPECT_TRUE(d.IsConsistent());
    d.Delete(4, 1); // the break after "a1bc": joins the empty line
    EXPECT_EQ(d.TextRange(0, d.TextLength()), "a1bc\nxyz");
    EXPECT_EQ(d.LineBreakFormat(0), kR);
    d.SetSelection(0, 2);
    d.ReplaceSelection("Q");
    EXPECT_EQ(d.LineText(0), "Qbc");
    EXPECT_EQ(d.ColorAt(0), kRed);
    EXPECT_TRUE(d.IsConsistent());
}

// Random edits against a flat reference: the text, every character's format and the lines
// agree.
TEST(WorkspaceDocument, RandomEditsMatchAFlatModel) {
    std::mt19937 rng(7);
    const TCharFormat formats[] = {kB, kR, kU, TCharFormat{}};
    TWorkspaceDocument d;
    std::string text;             // "\n" for breaks
    std::vector<TCharFormat> fmt; // one per character of text, breaks included
    TCharFormat endMark;
    for (int step = 0; step < 400; ++step) {
        const size_t len = text.size();
        const size_t a = rng() % (len + 1);
        const size_t b = rng() % (len + 1 - a + 1);
        const TCharFormat f = formats[rng() % 4];
        switch (rng() % 4) {
        case 0: {
            std::string ins;
            for (size_t i = rng() % 6; i > 0; --i)
                ins += "ab\nc"[rng() % 4];
            d.Insert(a, ins, f);
            text.insert(a, ins);
            fmt.insert(fmt.begin() + static_cast<long>(a), ins.size(), f);
            break;
        }
        case 1:
            d.Delete(a, b); // b may run one past the end: the document clamps
            text.erase(a, b);
            fmt.erase(fmt.begin() + static_cast<long>(a),
                      fmt.begin() + static_cast<long>(std::min(a + b, len)));
            break;
        case 2:
            d.SetColor(a, b, f.Color);
            for (size_t i = a; i < a + b && i < len; ++i)
                fmt[i].Color = f.Color;
            if (a + b >= len && (b > 0 || a == len)) endMark.Color = f.Color;
            break;
        default:
            d.SetBold(a, b, f.Bold);
            for (size_t i = a; i < a + b && i < len; ++i)
                fmt[i].Bold = f.Bold;
            if (a + b >= len && (b > 0 || a == len)) endMark.Bold = f.Bold;
        }
        ASSERT_TRUE(d.IsConsistent()) << step;
        ASSERT_EQ(d.TextRange(0, d.TextLength()), text) << step;
        // Breaks behave as characters: they keep their own format through edits.
        for (size_t i = 0; i < text.size(); ++i)
            ASSERT_EQ(d.FormatAt(i), fmt[i]) << step << " at " << i;
        ASSERT_EQ(d.FormatAt(text.size()), endMark) << step;
        // Lines start after the breaks, and the last one's end mark is the end's format.
        size_t line = 0;
        for (size_t start = 0, i = 0; i <= text.size(); ++i) {
            if (i < text.size() && text[i] != '\n') continue;
            ASSERT_EQ(d.LineIndex(line), start) << step;
            ASSERT_EQ(d.LineFromChar(start), line) << step;
            ASSERT_EQ(d.LineText(line), text.substr(start, i - start)) << step;
            ASSERT_EQ(d.LineBreakFormat(line), i < text.size() ? fmt[i] : endMark) << step;
            ++line;
            start = i + 1;
        }
        ASSERT_EQ(d.LineCount(), line) << step;
    }
}

TEST(WorkspaceDocument, Find) {
    TWorkspaceDocument d;
    d.AppendLine("Begin begin_x", kB);
    d.AppendLine("x BEGIN", kB);
    EXPECT_EQ(d.Find("begin", 0, {}), 0u); // a match at position 0 is found
    EXPECT_EQ(d.Find("begin", 1, {}), 6u);
    EXPECT_EQ(d.Find("begin", 1, {.MatchCase = false, .WholeWord = true}), 16u);
    EXPECT_EQ(d.Find("begin", 0, {.MatchCase = true, .WholeWord = false}), 6u);
    EXPECT_EQ(d.Find("BEGIN", 1, {.MatchCase = true, .WholeWord = true}), 16u);
    EXPECT_FALSE(d.Find("begin", 17, {}).has_value());
    EXPECT_FALSE(d.Find("", 0, {}).has_value());
    EXPECT_EQ(d.Find("x\nx", 0, {}), 12u);
    EXPECT_FALSE(d.Find("_x x", 0, {}).has_value()); // matches do not run over breaks
}
