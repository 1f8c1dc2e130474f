// Side-by-side alignment, character marks, overview bands and the palettes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diff/line_matcher.h"
#include "diff/source_diff.h"
#include "viewrules/char_diff.h"
#include "viewrules/difference_marks.h"
#include "viewrules/inactive_code.h"
#include "viewrules/merge_colors.h"
#include "viewrules/palette.h"
#include "viewrules/split_alignment.h"
#include "viewrules/theme.h"

using namespace quennet;
using namespace quennet::viewrules;

namespace {

// One letter (or word before a blank) per line.
std::vector<base::TLineRecord> Records(const std::vector<std::string>& lines) {
    std::vector<base::TLineRecord> records;
    for (size_t i = 0; i < lines.size(); ++i)
        records.push_back({base::LineKey(lines[i]), static_cast<int32_t>(i), false});
    return records;
}

SplitAlignment Align(const std::vector<std::string>& oldLines,
                     const std::vector<std::string>& newLines) {
    auto a = Records(oldLines);
    auto b = Records(newLines);
    return AlignTexts(MatchTexts(a, b), static_cast<int32_t>(oldLines.size()),
                      static_cast<int32_t>(newLines.size()));
}

TEST(SplitAlignment, FillersAndChangedPairs) {
    struct Case {
        const char* name;
        std::vector<std::string> oldLines, newLines;
        std::vector<FillerBlock> oldFillers, newFillers;
        std::vector<LinePair> changed;
    };
    const Case cases[] = {
        {"same", {"a", "b"}, {"a", "b"}, {}, {}, {}},
        {"one changed", {"a", "b", "c"}, {"a", "x", "c"}, {}, {}, {{1, 1}}},
        {"removed in the middle", {"a", "b", "c"}, {"a", "c"}, {}, {{0, 1}}, {}},
        {"removed at the top", {"x", "a"}, {"a"}, {}, {{-1, 1}}, {}},
        {"added at the end", {"a"}, {"a", "y", "z"}, {{0, 2}}, {}, {}},
        {"two old for one new", {"a", "b1", "b2", "c"}, {"a", "n1", "c"}, {}, {{1, 1}}, {{1, 1}}},
        {"two gaps",
         {"a", "b", "c", "d", "e"},
         {"a", "c", "n", "m", "e"},
         {{3, 1}},
         {{0, 1}},
         {{3, 2}}},
        {"old empty", {}, {"a", "b"}, {{-1, 2}}, {}, {}},
    };
    for (const Case& c : cases) {
        const SplitAlignment a = Align(c.oldLines, c.newLines);
        EXPECT_EQ(a.OldFillers, c.oldFillers) << c.name;
        EXPECT_EQ(a.NewFillers, c.newFillers) << c.name;
        EXPECT_EQ(a.Changed, c.changed) << c.name;
        // Both sides end up with the same number of rows.
        int32_t oldRows = static_cast<int32_t>(c.oldLines.size());
        int32_t newRows = static_cast<int32_t>(c.newLines.size());
        for (const FillerBlock& f : a.OldFillers)
            oldRows += f.Count;
        for (const FillerBlock& f : a.NewFillers)
            newRows += f.Count;
        EXPECT_EQ(oldRows, newRows) << c.name;
    }
}

// Anchored matching gives a merge of both texts whose common lines are equal, marks the lines
// it leaves alone, and where every line is unique it is the matcher's own answer.
TEST(SplitAlignment, MatchTextsIsAValidMergeOfBothTexts) {
    std::vector<std::string> oldText, newText;
    for (int i = 0; i < 400; ++i) {
        const std::string line = i % 7 == 0 ? "end;" : "line " + std::to_string(i);
        if (i % 37 != 5) oldText.push_back(line);
        if (i % 53 != 9) newText.push_back(i % 41 == 3 ? "changed" : line);
        if (i % 97 == 50) newText.push_back("inserted");
    }
    auto a = Records(oldText);
    auto b = Records(newText);
    const std::vector<diff::TMapEntry> map = MatchTexts(a, b);
    size_t oldAt = 0, newAt = 0;
    for (const diff::TMapEntry& e : map) {
        if (e.Kind == diff::OldOnly) {
            ASSERT_EQ(e.Line, static_cast<int32_t>(oldAt));
            EXPECT_TRUE(a[oldAt++].Unmatched);
        } else if (e.Kind == diff::NewOnly) {
            ASSERT_EQ(e.Line, static_cast<int32_t>(newAt));
            EXPECT_TRUE(b[newAt++].Unmatched);
        } else {
            ASSERT_EQ(e.Line, static_cast<int32_t>(newAt));
            EXPECT_EQ(oldText[oldAt], newText[newAt]) << oldAt << " " << newAt;
            EXPECT_FALSE(a[oldAt++].Unmatched);
            EXPECT_FALSE(b[newAt++].Unmatched);
        }
    }
    EXPECT_EQ(oldAt, oldText.size());
    EXPECT_EQ(newAt, newText.size());

    const std::vector<std::string> x = {"a", "b", "c", "d", "e"}, y = {"a", "c", "x", "d", "f"};
    auto xa = Records(x), ya = Records(y), xb = Records(x), yb = Records(y);
    std::vector<diff::TMapEntry> literal;
    diff::MatchLines(xb, yb, literal);
    EXPECT_EQ(MatchTexts(xa, ya), literal);
}

TEST(SplitAlignment, CounterpartIsThePartnerOrThePlaceAfterTheNearestCommonLine) {
    const SplitAlignment a = Align({"a", "b", "c", "d"}, {"z", "a", "c", "d", "e"});
    struct Case {
        bool fromOld;
        int32_t line, expected;
    };
    const Case cases[] = {
        {true, 0, 1},  // a: common
        {true, 1, 2},  // b: removed, after a
        {true, 3, 3},  // d
        {false, 0, 0}, // z: added above every common line
        {false, 4, 3}, // e: after d, kept inside the old text
        {true, 99, 3}, // beyond the end: the last line
    };
    for (const Case& c : cases)
        EXPECT_EQ(CounterpartLine(a, c.fromOld, c.line), c.expected)
            << (c.fromOld ? "old " : "new ") << c.line;
}

TEST(SplitAlignment, ARenamedDeclarationStandsLevelAMovedOneApart) {
    // Old: routine r at lines 1-2 (r1 is its heading), then y's three lines; new: renamed in
    // place (lines 1-2), or moved below y (lines 5-6).
    const std::vector<std::string> old = {"x", "r1", "body", "y1", "y2", "y3", "end"};
    const SplitAlignment renamed = Align(old, {"x", "r2", "body", "y1", "y2", "y3", "end"});
    EXPECT_TRUE(StandLevel(renamed, 1, 2, 1));
    const SplitAlignment moved = Align(old, {"x", "y1", "y2", "y3", "end", "r1", "body"});
    EXPECT_FALSE(StandLevel(moved, 1, 2, 5));
    EXPECT_TRUE(StandLevel(moved, 3, 5, 1)); // y itself stayed
}

TEST(SplitAlignment, TopFillersShiftTheOtherView) {
    const SplitAlignment oldTaller = Align({"x", "y", "a"}, {"a"});
    EXPECT_EQ(SyncedFirstRow(oldTaller, true, 2), 0);  // old row 2 is "a", new row 0
    EXPECT_EQ(SyncedFirstRow(oldTaller, true, 0), 0);  // never above the top
    EXPECT_EQ(SyncedFirstRow(oldTaller, false, 0), 2); // and back
    const SplitAlignment level = Align({"a", "b"}, {"a", "c"});
    EXPECT_EQ(SyncedFirstRow(level, true, 1), 1);
}

TEST(CharDiff, MarksTheBytesOutsideTheCommonSubsequence) {
    struct Case {
        const char *a, *b;
        std::vector<ByteRange> old, neu;
    };
    const Case cases[] = {
        {"abc", "abc", {}, {}},
        {"abc", "axc", {{1, 1}}, {{1, 1}}},
        {"abc", "abxc", {}, {{2, 1}}},
        {"", "ab", {}, {{0, 2}}},
        {"foo(a, b);", "foo(a, c, b);", {}, {{7, 3}}},
        {"x := 1;", "y := 2;", {{0, 1}, {5, 1}}, {{0, 1}, {5, 1}}},
    };
    for (const Case& c : cases) {
        const CharMarks m = CharDiff(c.a, c.b);
        EXPECT_EQ(m.Old, c.old) << c.a << " / " << c.b;
        EXPECT_EQ(m.New, c.neu) << c.a << " / " << c.b;
    }
}

TEST(CharDiff, LongLinesFallBackToPrefixAndSuffix) {
    const std::string a = "<" + std::string(600, 'a') + "x" + std::string(600, 'a') + ">";
    const std::string b = "<" + std::string(600, 'b') + "x" + std::string(600, 'b') + ">";
    const CharMarks m = CharDiff(a, b);
    const std::vector<ByteRange> middle{{1, 1201}};
    EXPECT_EQ(m.Old, middle);
    EXPECT_EQ(m.New, middle);
}

TEST(DifferenceMarks, SpansOfLeavesInLineOrder) {
    model::TidName late("late", 0, 40, 45);
    model::TidName early("early", 0, 3, 5);
    model::TidName neu("neu", 0, 10, 10);
    model::TidName none("none", 0, -1, -1);
    diff::TSourceDiffList root;
    diff::TSourceDiffItem* group = root.AddItem("Routines", diff::Group, nullptr, nullptr);
    group->AddChild("late", diff::Removed, &late, nullptr);
    group->AddChild("early", diff::Changed, &early, &neu);
    group->AddChild("none", diff::Added, nullptr, &none);
    diff::TSourceDiffItem* parent = root.AddItem("C", diff::Changed, &late, &late);
    parent->AddChild("f", diff::Added, nullptr, &late);

    const DifferenceSpans spans = CollectDifferenceSpans(root);
    const std::vector<LineSpan> old{{2, 4, MarkKind::Changed}, {39, 44, MarkKind::Removed}};
    const std::vector<LineSpan> neuSpans{{9, 9, MarkKind::Changed}, {39, 44, MarkKind::Added}};
    EXPECT_EQ(spans.Old, old);
    EXPECT_EQ(spans.New, neuSpans);
}

TEST(DifferenceMarks, OverviewBands) {
    struct Case {
        const char* name;
        std::vector<LineSpan> spans;
        int32_t lines, height;
        std::vector<OverviewMark> marks;
    };
    const Case cases[] = {
        {"scaled",
         {{0, 9, MarkKind::Removed}, {50, 50, MarkKind::Changed}},
         100,
         200,
         {{0, 20, MarkKind::Removed}, {100, 2, MarkKind::Changed}}},
        {"touching bands of one kind join",
         {{10, 19, MarkKind::Added}, {20, 29, MarkKind::Added}},
         100,
         100,
         {{10, 20, MarkKind::Added}}},
        {"other kinds stay apart",
         {{10, 19, MarkKind::Added}, {20, 29, MarkKind::Removed}},
         100,
         100,
         {{10, 10, MarkKind::Added}, {20, 10, MarkKind::Removed}}},
        {"thin band at the bottom stays inside",
         {{99, 99, MarkKind::Changed}},
         100,
         50,
         {{48, 2, MarkKind::Changed}}},
        {"span beyond the text is cut",
         {{90, 200, MarkKind::Changed}},
         100,
         100,
         {{90, 10, MarkKind::Changed}}},
        {"no lines", {{0, 1, MarkKind::Changed}}, 0, 100, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OverviewMarks(c.spans, c.lines, c.height), c.marks) << c.name;
}

TEST(DifferenceMarks, ClickOnTheStripNamesALine) {
    EXPECT_EQ(OverviewLine(100, 200, 100), 50);
    EXPECT_EQ(OverviewLine(-5, 200, 100), 0);
    EXPECT_EQ(OverviewLine(500, 200, 100), 99);
    EXPECT_EQ(OverviewLine(0, 200, 100000), 0);
    EXPECT_EQ(OverviewLine(199, 200, 100000), 99500);
}

// In 5000 lines on 250 pixels a pixel is 20 lines: a click on a change's band lands on it.
TEST(DifferenceMarks, ClickOnABandLandsOnItsChange) {
    const std::vector<LineSpan> spans = {{1005, 1005, MarkKind::Changed},
                                         {1030, 1040, MarkKind::Added},
                                         {4000, 4000, MarkKind::Removed}};
    struct Case {
        int32_t y, line;
    } cases[] = {
        {50, 1005},  // on the first band
        {51, 1030},  // where both bands meet: the nearer
        {53, 1030},  // one pixel below the second band
        {58, 1030},  // a few pixels below it: still that change, not 120 lines past it
        {100, 2000}, // far from every band
        {200, 4000}, {202, 4000}, {204, 4000},
        {195, 4000}, {208, 4160}, // beyond the reach of a click aimed at the band
        {192, 3840},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.line, OverviewTarget(spans, c.y, 250, 5000)) << c.y;
    EXPECT_EQ(0, OverviewTarget(spans, 10, 0, 5000));
}

TEST(DifferenceMarks, RevealTopMovesOnlyWhenPartOfTheBlockIsHidden) {
    struct Case {
        int32_t first, last, top, rows, expected;
    };
    const Case cases[] = {
        {10, 12, 5, 20, 5},  // in view: stays
        {10, 30, 5, 20, 7},  // cut off below: context above
        {10, 12, 11, 20, 7}, // starts above the view
        {1, 2, 50, 20, 0},   // never above the first line
        {10, 100, 0, 20, 7}, // taller than the view: its start
    };
    for (const Case& c : cases)
        EXPECT_EQ(RevealTop(c.first, c.last, c.top, c.rows, 3), c.expected)
            << c.first << ".." << c.last << " top " << c.top;
}

TEST(DifferenceMarks, ChangedLinesWithinTakeOnlyUnpairedLinesOfChangedDeclarations) {
    //                                  0  1   2  3   4   5  6  7   8   9
    const std::vector<int32_t> toOther = {0, 1, -1, 2, -1, -1, 5, 6, -1, 8};
    const std::vector<LineSpan> spans = {
        {1, 4, MarkKind::Changed},
        {3, 5, MarkKind::Changed}, // overlaps the first: each line once
        {8, 8, MarkKind::Removed}, // a removed declaration is tinted whole already
        {9, 14, MarkKind::Changed} // runs past the text
    };
    EXPECT_EQ(ChangedLinesWithin(spans, toOther), (std::vector<int32_t>{2, 4, 5}));
    EXPECT_TRUE(ChangedLinesWithin(spans, {}).empty());
}

TEST(DifferenceMarks, GoToLineHoldsTheNumberToTheTextAndKeepsContextAbove) {
    struct Case {
        int64_t typed;
        int32_t lines, line;
    };
    const Case cases[] = {{1, 50, 0}, {50, 50, 49}, {51, 50, 49},
                          {0, 50, 0}, {-7, 50, 0},  {int64_t{1} << 40, 50, 49},
                          {5, 0, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(GoToLineTarget(c.typed, c.lines), c.line) << c.typed << " of " << c.lines;
    EXPECT_EQ(GoToLineTop(30, 20, 30), 20);   // in view: the view stays
    EXPECT_EQ(GoToLineTop(300, 20, 30), 290); // a third of the rows above it
    EXPECT_EQ(GoToLineTop(4, 20, 30), 0);
}

TEST(Palette, VariantFollowsTheWindowBackground) {
    EXPECT_FALSE(PaletteFor(0xEFEFEF).Dark); // Fusion's light window
    EXPECT_TRUE(PaletteFor(0x353535).Dark);  // a dark Fusion window
    EXPECT_TRUE(PaletteFor(0x7F0000).Dark);  // saturated but dim
    EXPECT_FALSE(PaletteFor(0xFFFF00).Dark);
}

// Every text colour on every background it can stand on.
TEST(Palette, TextKeepsContrastInBothVariants) {
    for (const ViewPalette* p : {&LightPalette(), &DarkPalette()}) {
        const uint32_t syntax[] = {p->Text,      p->Comment,     p->String,     p->Keyword,
                                   p->Directive, p->OldOnlyText, p->NewOnlyText};
        const uint32_t sourceBackgrounds[] = {p->Background, p->SelectionBand, p->RemovedLines,
                                              p->AddedLines, p->ChangedLines,  p->ChangedInside,
                                              p->OldChars,   p->NewChars,      p->InactiveShade};
        for (uint32_t text : syntax)
            for (uint32_t back : sourceBackgrounds)
                EXPECT_GE(ContrastRatio(text, back), 4.5)
                    << (p->Dark ? "dark " : "light ") << std::hex << text << " on " << back;
        for (uint32_t text : {p->MergeRemoved, p->MergeInserted, p->MergeUnchanged})
            EXPECT_GE(ContrastRatio(text, p->MergeBackground), 4.5) << std::hex << text;
        for (uint32_t text : {p->GutterText, p->BookmarkDigit, p->MergeRemoved, p->MergeInserted})
            EXPECT_GE(ContrastRatio(text, p->Gutter), 4.5) << std::hex << text;
        // Glyphs and strip bands are graphics: 3:1 is the rule for them.
        for (uint32_t glyph : {p->GlyphRemoved, p->GlyphAdded, p->GlyphChanged})
            EXPECT_GE(ContrastRatio(glyph, p->StripBackground), 3.0) << std::hex << glyph;
    }
}

TEST(Palette, ContrastRatioEnds) {
    EXPECT_DOUBLE_EQ(ContrastRatio(0x000000, 0xFFFFFF), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(0x123456, 0x123456), 1.0);
}

} // namespace

namespace {

TEST(MergeColors, ShownColoursReadBackAsStoredAndSignTheirLines) {
    using workspace::TColor;
    for (const ViewPalette* p : {&LightPalette(), &DarkPalette()}) {
        const TColor colors[] = {workspace::kRed, workspace::kBlue, workspace::kBlack,
                                 TColor::Automatic(), TColor::Rgb(0, 128, 0)};
        for (TColor c : colors)
            EXPECT_EQ(SwapMergeColor(*p, SwapMergeColor(*p, c)), c) << c.Value();
        EXPECT_EQ(SwapMergeColor(*p, workspace::kRed).Value(), p->MergeRemoved);
        EXPECT_EQ(SwapMergeColor(*p, workspace::kBlue).Value(), p->MergeInserted);
    }
    EXPECT_EQ(SwapMergeColor(DarkPalette(), workspace::kBlack).Value(),
              DarkPalette().MergeUnchanged);
    EXPECT_EQ(SwapMergeColor(LightPalette(), workspace::TColor::Automatic()),
              workspace::TColor::Automatic());
    const std::string signs = {MergeLineSign(workspace::kRed), MergeLineSign(workspace::kBlue),
                               MergeLineSign(workspace::kBlack),
                               MergeLineSign(TColor::Automatic())};
    EXPECT_EQ(signs, "-+  ");
}

} // namespace

TEST(Theme, NamesRoundTripAndDisabledTextLooksDisabled) {
    for (Theme t : {Theme::System, Theme::Light, Theme::Dark})
        EXPECT_EQ(ThemeFromName(ThemeName(t)), t);
    EXPECT_EQ(ThemeFromName("dark"), Theme::Dark);
    EXPECT_EQ(ThemeFromName("Solarized"), std::nullopt);
    for (Theme t : {Theme::Light, Theme::Dark}) {
        const WindowColors& c = ThemeColors(t);
        EXPECT_EQ(IsDarkBackground(c.Window), t == Theme::Dark);
        for (auto [text, back] : {std::pair{c.Text, c.Base},
                                  {c.WindowText, c.Window},
                                  {c.ButtonText, c.Button},
                                  {c.HighlightedText, c.Highlight},
                                  {c.ToolTipText, c.ToolTipBase}})
            EXPECT_GE(ContrastRatio(text, back), 4.5) << ThemeName(t) << std::hex << " " << text;
        // Disabled: readable, yet plainly fainter than enabled text on the same ground.
        for (uint32_t back : {c.Window, c.DisabledButton, c.DisabledBase}) {
            const double disabled = ContrastRatio(c.DisabledText, back);
            EXPECT_GE(disabled, 1.8) << ThemeName(t) << std::hex << " on " << back;
            EXPECT_LE(disabled, 3.5) << ThemeName(t) << std::hex << " on " << back;
            EXPECT_GT(ContrastRatio(c.ButtonText, back), 2 * disabled) << ThemeName(t);
        }
    }
}

TEST(InactiveCode, TipsNameTheSymbolOrTheCondition) {
    using quennet::model::InactiveLines;
    struct Case {
        InactiveLines lines;
        const char* tip;
    } cases[] = {
        {{4, 5, "{$IFDEF DEBUG}", ""}, "Not compiled: DEBUG is not defined ({$IFDEF DEBUG})"},
        {{4, 5, "{$ifndef Win32 }", ""}, "Not compiled: Win32 is defined ({$ifndef Win32 })"},
        {{4, 5, "{$IF CompilerVersion > 30}", ""},
         "Not compiled: {$IF CompilerVersion > 30} does not hold ({$IF CompilerVersion > 30})"},
        {{7, 7, "{$ELSE}", "{$IFDEF DEBUG}"},
         "Not compiled: the branch above was taken, DEBUG is defined ({$ELSE} of {$IFDEF "
         "DEBUG})"},
        {{7, 7, "{$ELSE}", "{$IFNDEF FPC}"},
         "Not compiled: the branch above was taken, FPC is not defined ({$ELSE} of {$IFNDEF "
         "FPC})"},
        {{7, 9, "{$ELSEIF Defined(B)}", "{$IF Defined(A)}"},
         "Not compiled: an earlier branch was taken, {$IF Defined(A)} holds ({$ELSEIF "
         "Defined(B)} of {$IF Defined(A)})"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InactiveTip(c.lines), c.tip);
    quennet::model::TPasSrc source;
    source.Inactive = {cases[0].lines};
    EXPECT_EQ(InactiveSpans(source), (std::vector<InactiveSpan>{{3, 4, cases[0].tip}}));
}
