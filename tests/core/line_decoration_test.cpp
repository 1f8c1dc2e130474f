// Line decorations of a selected difference and moving between changed blocks of the diff view.
#include <gtest/gtest.h>

#include "io/view_encoding.h"
#include "model/line_decoration.h"
#include "model/line_matcher.h"

using namespace quennet::model;
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

TEST(SourceLineDecoration, NoRangeLeavesEveryLineAlone) {
    auto records = Records(0, {true, true});
    for (int32_t line : {-1, 0, 1, 5})
        EXPECT_EQ(SourceLineDecoration(line, {-1, -1}, records, ViewSide::Old), LineDecoration{});
    // A declaration without lines gives a first line of -2: also no range.
    EXPECT_EQ(SourceLineDecoration(0, {-2, -2}, records, ViewSide::New), LineDecoration{});
    EXPECT_TRUE(SourceViewDecorations({-2, -2}, records, ViewSide::New).empty());
}

TEST(SourceLineDecoration, InsideRangeGreyUnmatchedColouredBySide) {
    const LineRange range{10, 13};
    auto records = Records(10, {false, true, false, true});

    // Outside the range, on both sides of it.
    EXPECT_EQ(SourceLineDecoration(9, range, records, ViewSide::Old), LineDecoration{});
    EXPECT_EQ(SourceLineDecoration(14, range, records, ViewSide::Old), LineDecoration{});

    const LineDecoration common = SourceLineDecoration(10, range, records, ViewSide::Old);
    EXPECT_EQ(common.Background, std::optional<uint32_t>(0xE6E6E6));
    EXPECT_FALSE(common.Foreground.has_value());
    EXPECT_EQ(common.GutterImage, kNoImage);

    const LineDecoration oldOnly = SourceLineDecoration(11, range, records, ViewSide::Old);
    EXPECT_EQ(oldOnly.Background, std::optional<uint32_t>(0xE6E6E6));
    EXPECT_EQ(oldOnly.Foreground, std::optional<uint32_t>(0xFF0000));
    EXPECT_EQ(oldOnly.GutterImage, 0);

    const LineDecoration newOnly = SourceLineDecoration(13, range, records, ViewSide::New);
    EXPECT_EQ(newOnly.Background, std::optional<uint32_t>(0xE6E6E6));
    EXPECT_EQ(newOnly.Foreground, std::optional<uint32_t>(0x0000FF));
    EXPECT_EQ(newOnly.GutterImage, 1);
}

TEST(SourceLineDecoration, FewerRecordsThanRangeLinesOnlyGrey) {
    // Records of an earlier, shorter selection must not be read past their end.
    auto records = Records(0, {true});
    const LineDecoration d = SourceLineDecoration(3, {0, 5}, records, ViewSide::Old);
    EXPECT_EQ(d.Background, std::optional<uint32_t>(0xE6E6E6));
    EXPECT_FALSE(d.Foreground.has_value());
    EXPECT_EQ(d.GutterImage, kNoImage);
}

TEST(SourceViewDecorations, RemovedDeclarationAllRedWithImageZero) {
    std::vector<TLineRecord> oldLines = Records(4, {false, false, false});
    std::vector<TLineRecord> newLines;
    std::vector<TMapEntry> map;
    MatchLines(oldLines, newLines, map);
    auto decorations = SourceViewDecorations({4, 6}, oldLines, ViewSide::Old);
    ASSERT_EQ(decorations.size(), 3u);
    for (const auto& d : decorations) {
        EXPECT_EQ(d.Background, std::optional<uint32_t>(0xE6E6E6));
        EXPECT_EQ(d.Foreground, std::optional<uint32_t>(0xFF0000));
        EXPECT_EQ(d.GutterImage, 0);
    }
}

TEST(SourceViewDecorations, ChangedDeclarationMarksOnlyLinesInOneText) {
    // Old A B C against new A X C: B red in the old view, X blue in the new view.
    std::vector<TLineRecord> oldLines{
        {LineKey("A"), 0, false}, {LineKey("B"), 1, false}, {LineKey("C"), 2, false}};
    std::vector<TLineRecord> newLines{
        {LineKey("A"), 7, false}, {LineKey("X"), 8, false}, {LineKey("C"), 9, false}};
    std::vector<TMapEntry> map;
    MatchLines(oldLines, newLines, map);

    auto oldView = SourceViewDecorations({0, 2}, oldLines, ViewSide::Old);
    auto newView = SourceViewDecorations({7, 9}, newLines, ViewSide::New);
    ASSERT_EQ(oldView.size(), 3u);
    ASSERT_EQ(newView.size(), 3u);
    EXPECT_FALSE(oldView[0].Foreground.has_value());
    EXPECT_EQ(oldView[1].Foreground, std::optional<uint32_t>(0xFF0000));
    EXPECT_FALSE(oldView[2].Foreground.has_value());
    EXPECT_EQ(newView[1].Foreground, std::optional<uint32_t>(0x0000FF));
    EXPECT_EQ(newView[1].GutterImage, 1);
    EXPECT_EQ(newView[0].GutterImage, kNoImage);
    for (const auto& d : newView)
        EXPECT_EQ(d.Background, std::optional<uint32_t>(0xE6E6E6));
}

TEST(DiffViewDecorations, KindsGiveColourAndImageCommonNothing) {
    auto decorations = DiffViewDecorations(Map("conc"));
    ASSERT_EQ(decorations.size(), 4u);
    EXPECT_EQ(decorations[0], LineDecoration{});
    EXPECT_EQ(decorations[1].Foreground, std::optional<uint32_t>(0xFF0000));
    EXPECT_EQ(decorations[1].GutterImage, 0);
    EXPECT_EQ(decorations[2].Foreground, std::optional<uint32_t>(0x0000FF));
    EXPECT_EQ(decorations[2].GutterImage, 1);
    EXPECT_EQ(decorations[3], LineDecoration{});
    for (const auto& d : decorations)
        EXPECT_FALSE(d.Background.has_value());
    EXPECT_TRUE(DiffViewDecorations({}).empty());
}

TEST(NextDifference, EmptyMapDoesNothing) {
    EXPECT_EQ(NextDifference(0, {}, 1), std::nullopt);
    EXPECT_EQ(PriorDifference(0, {}), std::nullopt);
}

TEST(NextDifference, FromCommonTopGoesToNextBlock) {
    // A, B (old), X (new), C: from the top B comes to the top line.
    auto map = Map("conc");
    EXPECT_EQ(NextDifference(0, map, Count(map)), std::optional<int32_t>(1));
    // From inside that block: leave it, skip C, run off the end, wrap to the top.
    EXPECT_EQ(NextDifference(1, map, Count(map)), std::optional<int32_t>(0));
    EXPECT_EQ(NextDifference(3, map, Count(map)), std::optional<int32_t>(0));
}

TEST(NextDifference, BlockAtLineZeroOpensAtSecondBlock) {
    auto map = Map("oocnnc");
    EXPECT_EQ(NextDifference(0, map, Count(map)), std::optional<int32_t>(3));
    EXPECT_EQ(NextDifference(3, map, Count(map)), std::optional<int32_t>(0));
    // Only one block, starting at line 0: line 0 stays on top.
    auto removed = Map("ooooo");
    EXPECT_EQ(NextDifference(0, removed, Count(removed)), std::optional<int32_t>(0));
}

TEST(NextDifference, SeveralBlocksInTurn) {
    auto map = Map("ccoccnncco");
    int32_t top = 0;
    std::vector<int32_t> visited;
    for (int k = 0; k < 4; ++k) {
        top = *NextDifference(top, map, Count(map));
        visited.push_back(top);
    }
    EXPECT_EQ(visited, (std::vector<int32_t>{2, 5, 9, 0}));
}

TEST(PriorDifference, FromSecondBlockToStartOfFirst) {
    auto map = Map("cooccnnnc");
    EXPECT_EQ(PriorDifference(6, map), std::optional<int32_t>(1));
    EXPECT_EQ(PriorDifference(5, map), std::optional<int32_t>(1));
    // From a common line after the first block.
    EXPECT_EQ(PriorDifference(4, map), std::optional<int32_t>(1));
    EXPECT_EQ(PriorDifference(8, map), std::optional<int32_t>(5));
}

TEST(PriorDifference, NoEarlierBlockNothingMoves) {
    // Inside the only block, which starts at line 0: line 0 stays on top.
    auto map = Map("oonc");
    EXPECT_EQ(PriorDifference(1, map), std::optional<int32_t>(0));
    EXPECT_EQ(PriorDifference(0, map), std::optional<int32_t>(0));
    // A first block not at line 0 and nothing before it: no move.
    auto later = Map("ccnnc");
    EXPECT_EQ(PriorDifference(3, later), std::nullopt);
    EXPECT_EQ(PriorDifference(1, later), std::nullopt);
    // All common.
    EXPECT_EQ(PriorDifference(2, Map("cccc")), std::nullopt);
}

TEST(PriorDifference, FirstVisibleBeyondMapIsClamped) {
    auto map = Map("cnc");
    EXPECT_EQ(PriorDifference(10, map), std::optional<int32_t>(1));
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
