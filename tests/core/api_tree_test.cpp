// The facts the API view reads back from the text, the display's column fitting, and that a
// whole-tree comparison gives the same answer however many threads share it.
#include <gtest/gtest.h>

#include "diff/api_changes.h"
#include "render/diff_display.h"
#include "folders/tree_compare.h"

using namespace quennet;

TEST(ApiText, InterfaceEndsAtTheImplementationWord) {
    struct Case {
        std::vector<std::string> lines;
        int32_t end;
    } cases[] = {
        {{"unit U;", "interface", "implementation", "end."}, 3},
        {{"unit U;", "interface", "{ implementation", "  notes }", "(* implementation *)",
          "// implementation", "const S = 'implementation';", "Implementation", "end."},
         8},
        {{"program P;", "begin", "end."}, 0},
        {{"unit U; interface type T = Integer; implementation end."}, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(diff::InterfaceEndLine(c.lines), c.end) << c.lines.front();
}

TEST(ApiText, VisibilityInForceAtAMember) {
    const std::vector<std::string> lines = {
        "  TFoo = class(TBar)",             // 1
        "    FDefault: Integer;",           // 2
        "  strict private",                 // 3
        "    FHidden: Integer;",            // 4
        "  protected { public }",           // 5
        "    procedure Hook;",              // 6
        "  published",                      // 7
        "    property P: Integer read FP;", // 8
        "  strict protected",               // 9
        "    procedure Guarded;",           // 10
    };
    EXPECT_EQ(diff::VisibilityAt(lines, 1, 2), diff::Visibility::Public);
    EXPECT_EQ(diff::VisibilityAt(lines, 1, 4), diff::Visibility::Private);
    EXPECT_EQ(diff::VisibilityAt(lines, 1, 6), diff::Visibility::Protected);
    EXPECT_EQ(diff::VisibilityAt(lines, 1, 8), diff::Visibility::Published);
    EXPECT_EQ(diff::VisibilityAt(lines, 1, 10), diff::Visibility::Protected);
}

TEST(DisplayColumns, FitsTabsAndMultiByteCharacters) {
    struct Case {
        std::string text;
        int columns;
        std::string fitted;
    } cases[] = {
        {"abc", 5, "abc"},
        {"abcdef", 4, "abc>"},
        {"\tx", 12, "        x"},
        {"a\tb", 4, "a  >"},
        {"\xC3\xA9t\xC3\xA9s", 4, "\xC3\xA9t\xC3\xA9s"},
        {"\xC3\xA9t\xC3\xA9s!", 4, "\xC3\xA9t\xC3\xA9>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(render::FitColumns(c.text, c.columns), c.fitted) << c.text;
        EXPECT_LE(render::DisplayColumns(render::FitColumns(c.text, c.columns)), c.columns);
    }
}

TEST(TreeCompare, SameOutcomeWithOneOrManyThreads) {
    const std::string base = std::string(QUENNET_CASES_DIR) + "/tree-01-small-trees/";
    folders::TreeOptions one, many;
    one.threads = 1;
    many.threads = 4;
    one.pair.display.style = many.pair.display.style = render::DisplayStyle::Inline;
    one.pair.api = many.pair.api = folders::ApiMode::Off;
    const auto a = folders::CompareTrees(base + "old", base + "new", one);
    const auto b = folders::CompareTrees(base + "old", base + "new", many);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_EQ(a.size(), 4u); // Broken, Shapes, sub/Fresh, sub/Gone
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].name, b[i].name);
        EXPECT_EQ(a[i].status, b[i].status);
        EXPECT_EQ(a[i].lines, b[i].lines);
    }
    EXPECT_EQ(a[1].name, "Shapes.pas");
    EXPECT_EQ(a[1].status, folders::UnitStatus::Changed);
}

TEST(TreeCompare, MissingFolderThrowsWithItsName) {
    try {
        folders::ListTreeFiles("/nonexistent/quennet-folder", "*.pas");
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/quennet-folder"), std::string::npos);
    }
}

TEST(TreeCompare, FolderCountsAddUpUnitsAndSubfolders) {
    std::vector<folders::UnitOutcome> units(3);
    units[0].name = "a/b/X.pas";
    units[0].status = folders::UnitStatus::Changed;
    units[0].api.breaking = 2;
    units[0].api.internal = 1;
    units[1].name = "a/Y.pas";
    units[1].status = folders::UnitStatus::Removed; // one breaking change
    units[2].name = "Z.pas";
    units[2].status = folders::UnitStatus::Added; // one additive change
    const auto counts = folders::CountsByFolder(units);
    ASSERT_EQ(counts.size(), 3u);
    auto expect = [&](size_t i, const char* folder, int n, int breaking, int additive,
                      int internal) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(counts[i].folder, folder);
        EXPECT_EQ(counts[i].units, n);
        EXPECT_EQ(counts[i].breaking, breaking);
        EXPECT_EQ(counts[i].additive, additive);
        EXPECT_EQ(counts[i].internal, internal);
    };
    expect(0, "", 3, 3, 1, 1);
    expect(1, "a", 2, 3, 0, 1);
    expect(2, "a/b", 1, 2, 0, 1);
}
