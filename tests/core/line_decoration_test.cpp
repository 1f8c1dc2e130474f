// Line decorations of a selected difference and moving between changed blocks of the diff view.
#include <gtest/gtest.h>

#include "diff/line_matcher.h"
#include "io/view_encoding.h"
#include "render/line_decoration.h"

using namespace quennet::base;
using namespace quennet::diff;
using namespace quennet::model;
using namespace quennet::render;
using namespace quennet::io;

namespace {

std::vector<TLineRecord> Records(int32_t first, std::initializer_list<bool> unmatched) {
    std::vector<TLineRecord> out;
    int32_t line = first;
    for (bool u : unmatched)
        out.push_back({0, line++, u});
    return out;
}

// 'c' common, 'o' old only, 'n' new only; Line is the index (not read by navigation).
std::vector<TMapEntry> Map(std::string_view kinds) {
    std::vector<TMapEntry> out;
    int32_t line = 0;
    for (char k : kinds)
        out.push_back({k == 'o' ? OldOnly : k == 'n' ? NewOnly : Common, line++});
    return out;
}

int32_t Count(const std::vector<TMapEntry>& map) {
    return static_cast<int32_t>(map.size());
}

} // namespace

TEST(SourceLineDecoration, GreyInsideTheRangeUnmatchedColouredBySide) {
    const LineDecoration none, grey{0xE6E6E6, {}, kNoImage};
    const LineDecoration red{0xE6E6E6, 0xFF0000, 0}, blue{0xE6E6E6, 0x0000FF, 1};
    const auto records = Records(10, {false, true, false, true});
    const struct {
        const char* what;
        int32_t line;
        LineRange range;
        ViewSide side;
        LineDecoration expected;
    } cases[] = {
        {"no range", 10, {-1, -1}, ViewSide::Old, none},
        // A declaration without lines gives a first line of -2.
        {"a range without lines", 10, {-2, -2}, ViewSide::New, none},
        {"above the range", 9, {10, 13}, ViewSide::Old, none},
        {"below the range", 14, {10, 13}, ViewSide::Old, none},
        {"common line", 10, {10, 13}, ViewSide::Old, grey},
        {"old only", 11, {10, 13}, ViewSide::Old, red},
        {"new only", 13, {10, 13}, ViewSide::New, blue},
        // Records of an earlier, shorter selection must not be read past their end.
        {"beyond the records", 15, {10, 16}, ViewSide::Old, grey},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SourceLineDecoration(c.line, c.range, records, c.side), c.expected) << c.what;
    EXPECT_TRUE(SourceViewDecorations({-2, -2}, records, ViewSide::New).empty());
}

TEST(SourceViewDecorations, ChangedDeclarationMarksOnlyLinesInOneText) {
    // Old A B C against new A X C: B red in the old view, X blue in the new view.
    std::vector<TLineRecord> oldLines{
        {LineKey("A"), 0, false}, {LineKey("B"), 1, false}, {LineKey("C"), 2, false}};
    std::vector<TLineRecord> newLines{
        {LineKey("A"), 7, false}, {LineKey("X"), 8, false}, {LineKey("C"), 9, false}};
    std::vector<TMapEntry> map;
    MatchLines(oldLines, newLines, map);
    const LineDecoration grey{0xE6E6E6, {}, kNoImage};
    EXPECT_EQ(SourceViewDecorations({0, 2}, oldLines, ViewSide::Old),
              (std::vector<LineDecoration>{grey, {0xE6E6E6, 0xFF0000, 0}, grey}));
    EXPECT_EQ(SourceViewDecorations({7, 9}, newLines, ViewSide::New),
              (std::vector<LineDecoration>{grey, {0xE6E6E6, 0x0000FF, 1}, grey}));
}

TEST(DiffViewDecorations, KindsGiveColourAndImageCommonNothing) {
    EXPECT_EQ(DiffViewDecorations(Map("conc")),
              (std::vector<LineDecoration>{{}, {{}, 0xFF0000, 0}, {{}, 0x0000FF, 1}, {}}));
    EXPECT_TRUE(DiffViewDecorations({}).empty());
}

// 'c' common, 'o' old only, 'n' new only; from a first visible line to the new one.
// A range past the end of a view is the user's edit only when the view's length changed.
TEST(FitOfRange, BlamesAnEditOnlyWhenTheTextChanged) {
    const LineRange range{10, 12};
    EXPECT_EQ(FitOfRange(range, 13, 13), RangeFit::Fits);
    EXPECT_EQ(FitOfRange(range, 13, 20), RangeFit::Fits);
    EXPECT_EQ(FitOfRange({}, 0, 20), RangeFit::Fits);
    EXPECT_EQ(FitOfRange(range, 12, 20), RangeFit::TextChanged);
    EXPECT_EQ(FitOfRange(range, 12, 12), RangeFit::BeyondComparedText);
}

TEST(NextDifference, MovesToTheNextBlockAndWraps) {
    const struct {
        const char* map;
        int32_t from;
        std::optional<int32_t> to;
    } cases[] = {
        {"", 0, std::nullopt}, {"conc", 0, 1}, // from a common top line: the next block
        {"conc", 1, 0}, // from inside it: leave, skip C, run off the end, wrap
        {"conc", 3, 0},        {"oocnnc", 0, 3}, // a block at line 0 opens at the second block
        {"oocnnc", 3, 0},      {"ooooo", 0, 0},  // one block at line 0: it stays on top
        {"ccoccnncco", 0, 2},  {"ccoccnncco", 2, 5}, {"ccoccnncco", 5, 9}, {"ccoccnncco", 9, 0},
    };
    for (const auto& c : cases) {
        const auto map = Map(c.map);
        EXPECT_EQ(NextDifference(c.from, map, Count(map)), c.to) << c.map << " from " << c.from;
    }
}

TEST(PriorDifference, MovesToTheStartOfTheBlockBefore) {
    const struct {
        const char* map;
        int32_t from;
        std::optional<int32_t> to;
    } cases[] = {
        {"", 0, std::nullopt},
        {"cooccnnnc", 6, 1}, // from the second block to the start of the first
        {"cooccnnnc", 5, 1},
        {"cooccnnnc", 4, 1}, // from a common line after the first block
        {"cooccnnnc", 8, 5},
        {"oonc", 1, 0}, // inside the only block, at line 0: line 0 stays on top
        {"oonc", 0, 0},
        {"ccnnc", 3, std::nullopt}, // nothing before the first block: no move
        {"ccnnc", 1, std::nullopt},
        {"cccc", 2, std::nullopt},
        {"cnc", 10, 1}, // a first visible line beyond the map is clamped
    };
    for (const auto& c : cases)
        EXPECT_EQ(PriorDifference(c.from, Map(c.map)), c.to) << c.map << " from " << c.from;
}

TEST(ViewEncoding, Utf8OnlyForValidNonAsciiText) {
    EXPECT_FALSE(ShowAsUtf8({}));
    EXPECT_FALSE(ShowAsUtf8({"plain ascii", ""}));
    EXPECT_TRUE(ShowAsUtf8({"caf\xC3\xA9", "x"}));
    EXPECT_FALSE(ShowAsUtf8({"caf\xE9"}));             // Latin-1
    EXPECT_FALSE(ShowAsUtf8({"ok \xC3\xA9", "\xFF"})); // one bad line decides
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));      // U+1F600
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));             // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));         // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));     // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));             // cut short
    EXPECT_TRUE(IsValidUtf8(std::string_view("a\0b", 3)));
}
