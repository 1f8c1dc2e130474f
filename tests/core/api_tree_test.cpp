// The facts the API view reads back from the text, the display's column fitting, and that a
// whole-tree comparison gives the same answer however many threads share it and whichever
// front end asks.
#include <gtest/gtest.h>

#include <map>

#include <cstdio>
#include <filesystem>

#include "cli_runner.h"
#include "diff/api_changes.h"
#include "folders/tree_compare.h"
#include "folders/tree_rows.h"
#include "model/reading_settings.h"
#include "render/diff_display.h"
#include "temp_folder.h"

using namespace quennet;
namespace fs = std::filesystem;

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

// The whole-tree page reads as the command line does: its counts for the DUnitX release pair
// (units with include files and conditional code) are those of -r --api, with the reading of
// a first start as with none given.
TEST(TreeCompare, WholeTreeCountsAreTheCommandLines) {
    const fs::path corpora = fs::path(QUENNET_CASES_DIR) / "../../../shared/corpora";
    const std::string oldDir = (corpora / "versions/DUnitX-v0.3.0/Source").string();
    const std::string newDir = (corpora / "modern/DUnitX/Source").string();
    if (!fs::is_directory(oldDir) || !fs::is_directory(newDir)) GTEST_SKIP() << "no DUnitX pair";
    const auto cli = quennet::testing::RunCli({"-r", "--api", oldDir, newDir});
    const size_t at = cli.out.rfind("API: ");
    ASSERT_NE(at, std::string::npos) << cli.err;
    int expected[3] = {};
    ASSERT_EQ(std::sscanf(cli.out.c_str() + at, "API: %d breaking, %d additive, %d internal",
                          &expected[0], &expected[1], &expected[2]),
              3);
    EXPECT_GT(expected[0] + expected[1] + expected[2], 100) << cli.out.substr(at);

    folders::TreeRowOptions options;
    options.counts = true;
    const model::Reading firstStart = model::ReadingOf(
        model::StoredReading("auto", model::kAutoTarget, model::DefaultSymbolList(), {}));
    for (const folders::PairOptions& pair :
         {folders::PairOptions{}, folders::PairReading(firstStart)}) {
        options.tree.pair = pair;
        options.tree.pair.api = folders::ApiMode::Public;
        const auto rows = folders::AlignTrees(oldDir, newDir, options);
        ASSERT_TRUE(rows);
        int counted[3] = {};
        for (const auto& r : *rows)
            if (r.depth == 0) {
                counted[0] += r.breaking;
                counted[1] += r.additive;
                counted[2] += r.internal;
            }
        EXPECT_EQ(std::vector<int>(counted, counted + 3), std::vector<int>(expected, expected + 3));
    }
}

// The whole-tree page names a move between units on both units' rows.
TEST(TreeCompare, WholeTreeRowsNameMovesBetweenUnits) {
    const std::string base =
        std::string(QUENNET_CASES_DIR) + "/tree-02-declarations-moved-between-units/";
    folders::TreeRowOptions options;
    options.counts = true;
    options.tree.pair.api = folders::ApiMode::Public;
    const auto rows = folders::AlignTrees(base + "old", base + "new", options);
    ASSERT_TRUE(rows);
    std::map<std::string, std::vector<std::string>> moves;
    for (const auto& r : *rows)
        moves[r.path] = r.moves;
    const std::string routine = "moved routine ShapeKindName from Shapes.pas to Names.pas";
    const std::string type = "moved class TShapeList from Shapes.pas to ShapeLists.pas and changed";
    EXPECT_EQ(moves["Names.pas"], std::vector<std::string>{routine});
    EXPECT_EQ(moves["ShapeLists.pas"], std::vector<std::string>{type}); // an added unit
    EXPECT_EQ(moves["Shapes.pas"], (std::vector<std::string>{routine, type}));
}

// What left one unit pairs with what arrived in another only where the name is unique and the
// declaration is still recognisably itself.
namespace {
using Files = std::vector<std::pair<std::string, std::string>>;

// The two trees of a case, as "old/..." and "new/..." in scratch.
void WriteTrees(quennet::testing::TempFolder& scratch, const Files& oldFiles,
                const Files& newFiles) {
    for (const auto& [name, text] : oldFiles)
        scratch.Write("old/" + name, text);
    for (const auto& [name, text] : newFiles)
        scratch.Write("new/" + name, text);
}
} // namespace

TEST(TreeCompare, MovesBetweenUnits) {
    auto unit = [](const std::string& name, const std::string& iface, const std::string& impl) {
        return "unit " + name + ";\ninterface\n" + iface + "\nimplementation\n" + impl + "\nend.\n";
    };
    const std::string body = "procedure Log(const S: string);\nbegin\n  WriteLn(Output, S);\n"
                             "  Flush(Output);\n  Inc(Count);\nend;\n";
    std::string changed = body;
    changed.replace(changed.find("Inc(Count)"), 10, "Inc(Count, 2)");
    const std::string other = "procedure Log(const S: string);\nbegin\n  Beep;\nend;\n";
    const std::string head = "procedure Log(const S: string);";
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> oldFiles, newFiles;
        std::vector<std::string> moves;
    };
    const Case cases[] = {
        {"unchanged, into a new unit",
         {{"A.pas", unit("A", head, body)}},
         {{"A.pas", unit("A", "", "")}, {"B.pas", unit("B", head, body)}},
         {"moved routine Log from A.pas to B.pas"}},
        {"changed a little",
         {{"A.pas", unit("A", head, body)}, {"B.pas", unit("B", "", "")}},
         {{"A.pas", unit("A", "", "")}, {"B.pas", unit("B", head, changed)}},
         {"moved routine Log from A.pas to B.pas and changed"}},
        {"another routine of that name",
         {{"A.pas", unit("A", head, body)}, {"B.pas", unit("B", "", "")}},
         {{"A.pas", unit("A", "", "")}, {"B.pas", unit("B", head, other)}},
         {}},
        {"the name left two units",
         {{"A.pas", unit("A", head, body)}, {"C.pas", unit("C", head, body)}},
         {{"A.pas", unit("A", "", "")},
          {"C.pas", unit("C", "", "")},
          {"B.pas", unit("B", head, body)}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        quennet::testing::TempFolder scratch;
        WriteTrees(scratch, c.oldFiles, c.newFiles);
        folders::TreeOptions options;
        options.pair.api = folders::ApiMode::Public;
        const std::string oldDir = (scratch.path / "old").string();
        const std::string newDir = (scratch.path / "new").string();
        auto units = folders::CompareTrees(oldDir, newDir, options);
        const auto moves = folders::FindUnitMoves(units, oldDir, newDir, options);
        std::vector<std::string> lines;
        for (const auto& m : moves)
            lines.push_back(folders::MoveLine(m));
        EXPECT_EQ(lines, c.moves);
        if (moves.empty()) continue;
        // Other units saw it in A, which no longer declares it: breaking there, by its move.
        EXPECT_TRUE(moves[0].breaking);
        const folders::UnitOutcome& a = units.front();
        ASSERT_EQ(a.name, "A.pas");
        ASSERT_EQ(a.api.changes.size(), 1u);
        EXPECT_EQ(diff::ApiChangeLine(a.api.changes[0]), "breaking: routine Log: moved to B.pas");
        EXPECT_EQ(folders::Summarize(units, true).decls.moved, 1);
    }
}

// A unit's form is compared with it: the unit's section carries the form's changes, a unit
// that is the same otherwise is listed for its form, and a form that only layout or letter
// case changed is no change.
TEST(TreeCompare, FormsBesideTheirUnits) {
    const std::string unit = "unit Main;\ninterface\nimplementation\nend.\n";
    const std::string form = "object Form1: TForm1\n  Caption = 'One'\nend\n";
    const std::string renamed = "object Form1: TForm1\n  Caption = 'Two'\nend\n";
    const std::string relaid = "OBJECT Form1: TForm1\n    Caption = 'One'\nEND\n";
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> oldFiles, newFiles;
        std::string form, change; // of the unit's outcome; no outcome when change is empty
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a property changed",
         {{"Main.pas", unit}, {"Main.dfm", form}},
         {{"Main.pas", unit}, {"Main.dfm", renamed}},
         "Main.dfm",
         "changed",
         {"--- form Main.dfm", ">>> Objects", "* Form1", "  * Caption", "    - 'One'",
          "    + 'Two'"}},
        {"a form added, in capitals",
         {{"Main.pas", unit}},
         {{"Main.pas", unit}, {"Main.LFM", form}},
         "Main.LFM",
         "added",
         {"--- form Main.LFM added"}},
        {"layout only",
         {{"Main.pas", unit}, {"Main.dfm", form}},
         {{"Main.pas", unit}, {"Main.dfm", relaid}},
         "",
         "",
         {}},
        {"a form without its unit is no unit",
         {{"Other.dfm", form}},
         {{"Other.dfm", renamed}},
         "",
         "",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        quennet::testing::TempFolder scratch;
        WriteTrees(scratch, c.oldFiles, c.newFiles);
        const auto units = folders::CompareTrees((scratch.path / "old").string(),
                                                 (scratch.path / "new").string(), {});
        if (c.change.empty()) {
            EXPECT_TRUE(units.empty());
            continue;
        }
        ASSERT_EQ(units.size(), 1u);
        EXPECT_EQ(units[0].status, folders::UnitStatus::Changed);
        EXPECT_EQ(units[0].form, c.form);
        EXPECT_EQ(units[0].formChange, c.change);
        EXPECT_EQ(units[0].lines, c.lines);
        EXPECT_EQ(folders::Summarize(units, false).formsChanged, 1);
        EXPECT_EQ(folders::SummaryLine(folders::Summarize(units, false)),
                  "1 unit changed, 0 added, 0 removed; 0 declarations: 0 added, 0 removed, 0 "
                  "changed; 1 form changed");
    }
}
