// Rules the main window and its secondary windows follow without a widget: where a window
// appears, what the recent lists keep, when a file counts as changed since it was loaded, and
// the navigator's aligned outline of two trees.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdlib.h>
#include <sys/stat.h>

#include "folders/tree_rows.h"
#include "io/disk_state.h"
#include "temp_folder.h"
#include "viewrules/recent_files.h"
#include "viewrules/window_placement.h"

using namespace quennet;
using viewrules::ScreenRect;

namespace fs = std::filesystem;

TEST(WindowPlacement, InsideAScreenNearTheMainWindow) {
    const ScreenRect left{0, 0, 1920, 1040}, right{1920, 0, 1280, 1000};
    const ScreenRect size{0, 0, 800, 600};
    struct Case {
        const char* what;
        std::optional<ScreenRect> stored;
        std::optional<ScreenRect> anchor;
        std::vector<ScreenRect> screens;
        ScreenRect expected;
    } cases[] = {
        {"first time: offset from the main window",
         {},
         ScreenRect{100, 50, 1000, 700},
         {left},
         {140, 90, 800, 600}},
        {"first time at the main window's bottom right: pulled in",
         {},
         ScreenRect{1500, 900, 400, 100},
         {left},
         {1120, 440, 800, 600}},
        {"first time: the main window's screen, not the one the offset reaches",
         {},
         ScreenRect{1600, 100, 300, 300},
         {left, right},
         {1120, 140, 800, 600}},
        {"stored and visible: kept",
         ScreenRect{2000, 100, 800, 600},
         ScreenRect{0, 0, 10, 10},
         {left, right},
         {2000, 100, 800, 600}},
        {"stored on a monitor that is gone: onto the nearest",
         ScreenRect{3400, 200, 800, 600},
         {},
         {left},
         {1120, 200, 800, 600}},
        {"stored partly below the screen: the user's choice",
         ScreenRect{10, 900, 800, 600},
         {},
         {left},
         {10, 900, 800, 600}},
        {"stored with only a sliver on a screen",
         ScreenRect{1900, 1000, 800, 600},
         {},
         {left},
         {1120, 440, 800, 600}},
        {"stored far off and larger than any screen: shrunk",
         ScreenRect{5000, 5000, 4000, 3000},
         {},
         {left, right},
         {1920, 0, 1280, 1000}},
        {"no anchor, nothing stored: the default, clamped", {}, {}, {right}, {1920, 0, 800, 600}},
        {"no screens: unchanged", ScreenRect{-5000, 0, 10, 10}, {}, {}, {-5000, 0, 10, 10}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(viewrules::PlaceWindow(c.stored, size, c.anchor, c.screens), c.expected)
            << c.what;
}

TEST(WindowPlacement, FirstMainWindowFillsMostOfItsScreenCentred) {
    EXPECT_EQ(viewrules::FirstWindowRect({0, 0, 1920, 1080}), (ScreenRect{144, 81, 1632, 918}));
    // A second monitor, and a panel at the top of the first one.
    EXPECT_EQ(viewrules::FirstWindowRect({1920, 0, 1280, 1000}), (ScreenRect{2016, 75, 1088, 850}));
    EXPECT_EQ(viewrules::FirstWindowRect({0, 32, 1280, 768}), (ScreenRect{96, 90, 1088, 652}));
}

TEST(WindowPlacement, TreePaneAsWideAsItsCaptionsUpToAThird) {
    struct Case {
        int hinted, window, expected;
    };
    const Case cases[] = {
        {240, 1600, 240}, // captions fit
        {900, 1600, 533}, // long captions: a third
        {60, 1600, 165},  // a few short captions: the least width
        {60, 300, 100},   // a small window: a third even of the least
    };
    for (const Case& c : cases)
        EXPECT_EQ(viewrules::TreePaneWidth(c.hinted, c.window, 165), c.expected)
            << c.hinted << " in " << c.window;
}

TEST(RecentFiles, MostRecentFirstWithoutRepeatsAndCapped) {
    std::vector<std::string> files;
    for (const char* f : {"a", "b", "c", "b", ""})
        files = viewrules::AddRecent(files, f);
    EXPECT_EQ(files, (std::vector<std::string>{"b", "c", "a"}));
    for (int i = 0; i < 10; ++i)
        files = viewrules::AddRecent(files, std::to_string(i));
    ASSERT_EQ(files.size(), viewrules::kRecentLimit);
    EXPECT_EQ(files.front(), "9");
    EXPECT_EQ(files.back(), "2");

    std::vector<viewrules::RecentPair> pairs;
    for (viewrules::RecentPair p :
         {viewrules::RecentPair{"o", "n"}, {"n", "o"}, {"o", "n"}, {"o", ""}})
        pairs = viewrules::AddRecent(pairs, p);
    EXPECT_EQ(pairs, (std::vector<viewrules::RecentPair>{{"o", "n"}, {"n", "o"}}));
}

class TempDir : public ::testing::Test {
protected:
    std::string Write(const std::string& rel, const std::string& bytes) {
        return scratch.Write(rel, bytes);
    }
    quennet::testing::TempFolder scratch;
    const fs::path root = scratch.path;
};

TEST_F(TempDir, ChangedSinceLoadLooksAtTheBytes) {
    const std::string path = Write("u.pas", "unit U;");
    const io::FileStamp loaded = io::StampOfLoaded(path, "unit U;");
    EXPECT_FALSE(io::ChangedSinceLoad(path, loaded));

    // A touch alone changes nothing; the same size with other bytes does.
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(5));
    EXPECT_FALSE(io::ChangedSinceLoad(path, loaded));
    Write("u.pas", "unit V;");
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(10));
    EXPECT_TRUE(io::ChangedSinceLoad(path, loaded));

    Write("u.pas", "unit U; // longer");
    EXPECT_TRUE(io::ChangedSinceLoad(path, io::StampOfLoaded(path, "unit U;")));
    fs::remove(path);
    EXPECT_TRUE(io::ChangedSinceLoad(path, loaded));
    // Nothing was on disk when the view was filled: nothing to warn about.
    EXPECT_FALSE(io::ChangedSinceLoad(path, io::StampOfLoaded(path, "")));
}

TEST_F(TempDir, AlignedTreesWithFolderStatuses) {
    const std::string unit = "unit A;\ninterface\nprocedure P;\nimplementation\nprocedure P;\n"
                             "begin\nend;\nend.\n";
    Write("old/same/a.pas", unit);
    Write("new/same/a.pas", unit);
    Write("old/mixed/a.pas", unit);
    Write("new/mixed/a.pas", unit + "\n");
    Write("old/mixed/gone.pas", unit);
    Write("new/fresh/deep/n.pp", unit);
    Write("old/top.pas", unit);
    Write("new/top.pas", "unit A;\ninterface\nimplementation\nend.\n");
    Write("old/notes.txt", "x");
    Write("old/ends/lf.pas", unit);
    std::string crlf;
    for (char c : unit)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    Write("new/ends/lf.pas", crlf);
    Write("old/defs.inc", "{$DEFINE A}\n");
    Write("new/defs.inc", "{$DEFINE B}\n");
    Write("old/ends/stops.pas", unit);
    Write("new/ends/stops.pas", "unit A;\ninterface\nprocedure P(;\nimplementation\nend.\n");

    folders::TreeRowOptions options;
    options.tree.mask = "*.pas;*.pp;*.inc";
    options.tree.pair.api = folders::ApiMode::Public;
    options.counts = true;
    const auto rows =
        folders::AlignTrees((root / "old").string(), (root / "new").string(), options);
    ASSERT_TRUE(rows);
    std::vector<std::string> shown;
    for (const auto& r : *rows)
        shown.push_back(std::string(r.depth * 2, ' ') + r.name + (r.folder ? "/ " : " ") +
                        "=~<>"[static_cast<int>(r.status)] + " " + std::to_string(r.breaking) +
                        std::to_string(r.additive) + std::to_string(r.internal));
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "ends/ ~ 101",
                         "  lf.pas ~ 000",
                         "  stops.pas ~ 101",
                         "fresh/ > 010",
                         "  deep/ > 010",
                         "    n.pp > 010",
                         "mixed/ ~ 100",
                         "  a.pas ~ 000",
                         "  gone.pas < 100",
                         "same/ = 000",
                         "  a.pas = 000",
                         "defs.inc ~ 000",
                         "top.pas ~ 100",
                     }));
    // What the counts alone would hide: line ends only, and a unit read only in part.
    std::vector<std::string> notes;
    for (const auto& r : *rows)
        notes.push_back(folders::RowNote(r));
    EXPECT_EQ(notes[0], "1 unit not read to the end");
    EXPECT_EQ(notes[1], "Only the line ends differ");
    EXPECT_EQ(notes[2].rfind("Not read to the end: ", 0), 0u) << notes[2];
    for (size_t i = 3; i < notes.size(); ++i)
        EXPECT_EQ(notes[i], "") << shown[i];
    // An include file is no unit: it is not compared alone.
    for (const auto& r : *rows)
        EXPECT_EQ(r.counted, r.name != "defs.inc") << r.name;

    std::atomic<bool> cancel{true};
    options.cancel = &cancel;
    EXPECT_FALSE(folders::AlignTrees((root / "old").string(), (root / "new").string(), options));
}

TEST_F(TempDir, AlignedTreesPutEachFormUnderItsUnit) {
    const std::string unit = "unit A;\ninterface\nimplementation\nend.\n";
    const std::string form = "object Form1: TForm1\nend\n";
    Write("old/Main.pas", unit);
    Write("new/Main.pas", unit);
    Write("old/main.dfm", form);
    Write("new/main.dfm", "object Form1: TForm1\n  Caption = 'x'\nend\n");
    Write("new/Alone.lfm", form);
    Write("old/sub/Main.lfm", form); // another folder's unit is not its unit
    Write("old/Zed.pas", unit);
    Write("old/Zed.dfm", form);
    folders::TreeRowOptions options;
    options.tree.mask = "*.pas;*.lfm"; // a unit's form comes with it all the same
    const auto rows =
        folders::AlignTrees((root / "old").string(), (root / "new").string(), options);
    ASSERT_TRUE(rows);
    std::vector<std::string> shown;
    for (const auto& r : *rows)
        shown.push_back(std::string(r.depth * 2, ' ') + r.name + " " +
                        "=~<>"[static_cast<int>(r.status)] + (r.besideUnit ? " beside" : ""));
    EXPECT_EQ(shown, (std::vector<std::string>{"sub <", "  Main.lfm <", "Alone.lfm >",
                                               "Main.pas =", "  main.dfm ~ beside", "Zed.pas <",
                                               "  Zed.dfm < beside"}));
}
