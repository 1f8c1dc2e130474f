// Selecting nodes of the difference tree: ranges, marked source views, the merged diff view,
// its navigation, status bars and the split of the source panes.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "diff/source_diff.h"
#include "fake_dialogs.h"
#include "main_form.h"
#include "main_form_face.h"
#include "source_editor.h"
#include "source_views.h"
#include "viewrules/palette.h"

using namespace quennet;
using gui::MainFormFace;
using gui::SourceEditor;
using gui::TMainForm;

namespace {

const std::vector<std::string> kOldText = {
    "unit U;",            // 0
    "interface",          // 1
    "procedure Removed;", // 2
    "procedure Changed;", // 3
    "implementation",     // 4
    "procedure Removed;", // 5
    "begin",              // 6
    "  A;",               // 7
    "end;",               // 8
    "procedure Changed;", // 9
    "begin",              // 10
    "  B;",               // 11
    "  C;",               // 12
    "end;",               // 13
    "end.",               // 14
};

const std::vector<std::string> kNewText = {
    "unit U;",            // 0
    "interface",          // 1
    "procedure Changed;", // 2
    "procedure Added;",   // 3
    "implementation",     // 4
    "procedure Changed;", // 5
    "begin",              // 6
    "  B;",               // 7
    "  X;",               // 8
    "end;",               // 9
    "procedure Added;",   // 10
    "begin",              // 11
    "end;",               // 12
    "initialization",     // 13
    "  Init;",            // 14
    "end.",               // 15
};

constexpr unsigned kGrey = 1u << SourceEditor::kBackgroundMarker;
constexpr unsigned kOldMark = 1u << SourceEditor::kOldOnlyMarker;
constexpr unsigned kNewMark = 1u << SourceEditor::kNewOnlyMarker;
constexpr unsigned kDecorationMarkers = kGrey | kOldMark | kNewMark;
// Text standing in one text only, in the light theme.
const int64_t kOldRed = viewrules::LightPalette().OldOnlyText;
const int64_t kNewBlue = viewrules::LightPalette().NewOnlyText;

// A window holding the two texts and a hand-built comparison of them: a group of routines
// (removed, added, changed) and an initialization section only the new text has.
class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TMainForm>(nullptr, dialogs);
        form->resize(1100, 720);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->SetSplitMode(false); // these cases read the stacked views
        Face().Editor(true)->setLines(kOldText);
        Face().Editor(false)->setLines(kNewText);
        auto oldSource = std::make_unique<model::TPasSrc>();
        auto newSource = std::make_unique<model::TPasSrc>();
        auto comparison = std::make_unique<diff::TSourceDiff>(*oldSource, *newSource);
        diff::TSourceDiffList& root = comparison->Root;
        diff::TSourceDiffItem* group = root.AddItem("Procedures", diff::Group, nullptr, nullptr);
        group->AddChild("Removed", diff::Removed, Decl("Removed", 6, 9), nullptr);
        group->AddChild("Added", diff::Added, nullptr, Decl("Added", 11, 13));
        group->AddChild("Changed", diff::Changed, Decl("Changed", 10, 14), Decl("Changed", 6, 10));
        root.AddItem("Initialization", diff::Added, nullptr, Decl("Initialization", 14, 15));
        form->ShowComparison(std::move(oldSource), std::move(newSource), std::move(comparison));
        Face().Action("expand")->trigger();
    }

    void TearDown() override {
        form->FreeComparison();
        form.reset();
    }

    const model::TidName* Decl(const char* name, int first, int last) {
        decls.push_back(std::make_unique<model::TidName>(name, 0, first, last));
        return decls.back().get();
    }

    MainFormFace Face() const { return MainFormFace(*form); }
    QTreeWidgetItem* Node(const QString& caption) {
        auto found = Face().Tree()->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }

    void Select(const QString& caption) {
        QTreeWidgetItem* node = Node(caption);
        ASSERT_NE(node, nullptr) << caption.toStdString();
        Face().Tree()->setCurrentItem(node);
    }

    static std::vector<unsigned> Markers(const SourceEditor& view) {
        std::vector<unsigned> out;
        for (int line = 0; line < view.lineCount(); ++line)
            out.push_back(view.markersAtLine(line) & kDecorationMarkers);
        return out;
    }

    static void WaitFor(const std::function<bool()>& condition) {
        for (int i = 0; i < 100 && !condition(); ++i)
            QTest::qWait(10);
    }

    gui::FakeDialogs dialogs;
    std::unique_ptr<TMainForm> form;
    std::vector<std::unique_ptr<model::TidName>> decls;
};

} // namespace

// Where each kind of node puts the ranges and the views; the colours themselves are the
// engine's and are checked once below, on the changed routine.
TEST_F(SelectionTest, EachKindOfNodeSelectsItsRangesAndScrollsBothViews) {
    const render::LineRange none;
    struct Case {
        const char* caption;
        int oldScroll, newScroll; // before the selection
        render::LineRange oldRange, newRange;
        int oldTop, newTop;
        std::vector<std::string> diff;
    } cases[] = {
        // Three lines of context above; the other view shows where the routine would stand.
        {"Removed", 0, 3, {5, 8}, none, 2, 2, {"procedure Removed;", "begin", "  A;", "end;"}},
        {"Added", 2, 0, none, {10, 12}, 11, 7, {"procedure Added;", "begin", "end;"}},
        {"Initialization", 4, 0, none, {13, 14}, 11, 10, {"initialization", "  Init;"}},
        // A group selects nothing and leaves the views where they are.
        {"Procedures", 1, 2, none, none, 1, 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        Face().Editor(true)->scrollToLine(c.oldScroll);
        Face().Editor(false)->scrollToLine(c.newScroll);
        Select(c.caption);
        EXPECT_EQ(form->Document().Range(true), c.oldRange);
        EXPECT_EQ(form->Document().Range(false), c.newRange);
        EXPECT_EQ(Face().Editor(true)->firstVisibleLine(), c.oldTop);
        EXPECT_EQ(Face().Editor(false)->firstVisibleLine(), c.newTop);
        EXPECT_EQ(Face().DiffEditor()->lines(), c.diff);
        // A one-sided block is marked in its own view only, every line of it.
        for (bool old : {true, false}) {
            const render::LineRange range = old ? c.oldRange : c.newRange;
            const SourceEditor& view = *Face().Editor(old);
            std::vector<unsigned> expected(static_cast<size_t>(view.lineCount()), 0u);
            for (int line = range.First; range.IsSet() && line <= range.Last; ++line)
                expected[static_cast<size_t>(line)] = kGrey | (old ? kOldMark : kNewMark);
            EXPECT_EQ(Markers(view), expected) << (old ? "old" : "new");
        }
        EXPECT_EQ(Markers(*Face().DiffEditor()),
                  std::vector<unsigned>(c.diff.size(), c.oldRange.IsSet() ? kOldMark : kNewMark));
    }
    EXPECT_EQ(Face().Editor(true)->foregroundAt(7, 0), -1) << "marks left by Removed";
    EXPECT_TRUE(form->Document().DiffMap().empty());
    Face().Part<QPushButton>("nextButton")->click();
    Face().Part<QPushButton>("priorButton")->click();
    EXPECT_EQ(Face().DiffEditor()->firstVisibleLine(), 0);
    EXPECT_TRUE(dialogs.Errors.isEmpty());
}

// Inside a changed routine only the lines standing in one text are coloured.
TEST_F(SelectionTest, ChangedDeclarationMarksOnlyLinesInOneText) {
    Select("Changed");
    EXPECT_EQ(Face().Editor(true)->firstVisibleLine(), 6);
    EXPECT_EQ(Face().Editor(false)->firstVisibleLine(), 2);
    std::vector<unsigned> oldExpected(kOldText.size(), 0u);
    for (int line = 9; line <= 13; ++line)
        oldExpected[line] = kGrey;
    oldExpected[12] |= kOldMark; // "  C;"
    EXPECT_EQ(Markers(*Face().Editor(true)), oldExpected);
    EXPECT_EQ(Face().Editor(false)->markersAtLine(8) & kDecorationMarkers, kGrey | kNewMark);
    EXPECT_EQ(Face().Editor(true)->foregroundAt(12, 2), kOldRed);
    EXPECT_EQ(Face().Editor(true)->foregroundAt(11, 2), -1); // common: syntax colours
    EXPECT_EQ(Face().Editor(false)->foregroundAt(8, 2), kNewBlue);

    // Common lines once, from the new text; then the old-only line before the new-only one.
    EXPECT_EQ(
        Face().DiffEditor()->lines(),
        (std::vector<std::string>{"procedure Changed;", "begin", "  B;", "  C;", "  X;", "end;"}));
    EXPECT_EQ(Markers(*Face().DiffEditor()),
              (std::vector<unsigned>{0u, 0u, 0u, kOldMark, kNewMark, 0u}));
    EXPECT_EQ(Face().DiffEditor()->foregroundAt(3, 0), kOldRed);
    EXPECT_EQ(Face().DiffEditor()->foregroundAt(4, 0), kNewBlue);
    // Built at line 0, then "Next difference": the changed block is on top.
    EXPECT_EQ(Face().DiffEditor()->firstVisibleLine(), 3);
    Face().Part<QPushButton>("nextButton")->click();
    EXPECT_EQ(Face().DiffEditor()->firstVisibleLine(), 0); // no further block: wraps
    Face().Part<QPushButton>("priorButton")->click();
    EXPECT_EQ(Face().DiffEditor()->firstVisibleLine(), 0); // no earlier block: stays
}

TEST_F(SelectionTest, BookmarkAndMarkOnOneLineBothShown) {
    Face().Editor(true)->setBookmark(2, 6);
    Select("Removed");
    const unsigned markers = Face().Editor(true)->markersAtLine(6);
    EXPECT_TRUE(markers & (1u << 2));
    EXPECT_TRUE(markers & kOldMark);
    EXPECT_EQ(Face().Editor(true)->bookmarkLine(2), 6);
}

TEST_F(SelectionTest, RangeBeyondTheTextIsReportedAndChangesNothing) {
    Select("Changed");
    const auto diffBefore = Face().DiffEditor()->lines();
    const auto newMarkersBefore = Markers(*Face().Editor(false));
    // The old text lost its end after the compare.
    Face().Editor(true)->setLines({kOldText.begin(), kOldText.begin() + 7});
    Face().Editor(true)->scrollToLine(1);

    Select("Removed");
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains("beyond the end of the old text"))
        << dialogs.Errors[0].toStdString();
    EXPECT_TRUE(dialogs.Errors[0].contains("lines 6 to 9")) << dialogs.Errors[0].toStdString();
    EXPECT_EQ(form->Document().Range(true), (render::LineRange{9, 13}));
    EXPECT_EQ(form->Document().Range(false), (render::LineRange{5, 9}));
    EXPECT_EQ(Face().DiffEditor()->lines(), diffBefore);
    EXPECT_EQ(Markers(*Face().Editor(false)), newMarkersBefore);
    EXPECT_EQ(Face().Editor(true)->firstVisibleLine(), 1);

    // A selection that fits still works.
    Select("Added");
    EXPECT_EQ(dialogs.Errors.size(), 1);
    EXPECT_EQ(Face().Editor(false)->markersAtLine(10) & kDecorationMarkers, kGrey | kNewMark);
}

TEST_F(SelectionTest, SelectionFollowsEditsMadeSinceTheCompare) {
    // "  C;" edited into "  X;" in the old view: the routine's lines now all match.
    std::vector<std::string> edited = kOldText;
    edited[12] = "  x;";
    Face().Editor(true)->setLines(edited);
    Select("Changed");
    for (int line = 9; line <= 13; ++line)
        EXPECT_EQ(Face().Editor(true)->markersAtLine(line) & kDecorationMarkers, kGrey);
    EXPECT_EQ(Face().DiffEditor()->lineCount(), 5);
}

TEST_F(SelectionTest, StatusBarsShowCaretAndModified) {
    Select("Removed");
    WaitFor([&] { return Face().Pane<QLabel>(true, "CaretPanel")->text() == "6 : 1"; });
    EXPECT_EQ(Face().Pane<QLabel>(true, "CaretPanel")->text(), "6 : 1");
    EXPECT_EQ(Face().Pane<QLabel>(true, "ModifiedPanel")->text(), "");

    Face().Editor(false)->setReadOnly(false);
    Face().Editor(false)->setCursorPosition(0, 0);
    QTest::keyClicks(Face().Editor(false), "ab");
    WaitFor([&] { return Face().Pane<QLabel>(false, "CaretPanel")->text() == "1 : 3"; });
    EXPECT_EQ(Face().Pane<QLabel>(false, "CaretPanel")->text(), "1 : 3");
    EXPECT_EQ(Face().Pane<QLabel>(false, "ModifiedPanel")->text(), "Modified");
}

TEST_F(SelectionTest, AltDownAndAltUpStepThroughChangedDeclarationsInTreeOrder) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto current = [&] {
        QTreeWidgetItem* node = Face().Tree()->currentItem();
        return node ? node->text(0) : QString();
    };
    Face().Tree()->collapseAll();
    QStringList forward;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(form.get(), Qt::Key_Down, Qt::AltModifier);
        forward << current();
    }
    EXPECT_EQ(forward,
              (QStringList{"Removed", "Added", "Changed", "Initialization", "Initialization"}));
    EXPECT_TRUE(Node("Procedures")->isExpanded()) << "a step opens the way to its node";
    QTest::keyClick(form.get(), Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(current(), QStringLiteral("Changed"));
    EXPECT_TRUE(form->Document().Range(true).IsSet()) << "the step selects as a click does";
    EXPECT_TRUE(dialogs.Errors.isEmpty());
}

TEST(SelectionAfterCompare, ExamplePairChangedRoutineThenNewCompareClearsMarks) {
    gui::FakeDialogs dialogs;
    TMainForm form(nullptr, dialogs);
    form.resize(1100, 720);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.LoadFile(true, QStringLiteral(QUENNET_EXAMPLES_DIR "/old/Shapes.pas"));
    form.LoadFile(false, QStringLiteral(QUENNET_EXAMPLES_DIR "/new/Shapes.pas"));
    form.RunDiff();
    ASSERT_TRUE(dialogs.Errors.isEmpty());
    const MainFormFace ui(form);

    QTreeWidgetItem* body = nullptr;
    for (QTreeWidgetItem* node :
         ui.Tree()->findItems("implementation", Qt::MatchExactly | Qt::MatchRecursive))
        if (node->parent() && node->parent()->text(0) == "ScaleShape") body = node;
    ASSERT_NE(body, nullptr);
    ui.Tree()->setCurrentItem(body);
    ASSERT_TRUE(form.Document().Range(true).IsSet());
    ASSERT_TRUE(form.Document().Range(false).IsSet());

    // Every line of the diff view is one of the two texts' lines, coloured by where it stands.
    int oldOnly = 0, newOnly = 0;
    for (int line = 0; line < ui.DiffEditor()->lineCount(); ++line) {
        const unsigned m = ui.DiffEditor()->markersAtLine(line) & kDecorationMarkers;
        const diff::TMapEntry& e = form.Document().DiffMap()[static_cast<size_t>(line)];
        const SourceEditor* source = e.Kind == diff::OldOnly ? ui.Editor(true) : ui.Editor(false);
        EXPECT_EQ(ui.DiffEditor()->lineBytes(line), source->lineBytes(e.Line));
        if (e.Kind == diff::OldOnly) {
            ++oldOnly;
            EXPECT_EQ(m, kOldMark);
            EXPECT_TRUE(ui.Editor(true)->markersAtLine(e.Line) & kOldMark);
        } else if (e.Kind == diff::NewOnly) {
            ++newOnly;
            EXPECT_EQ(m, kNewMark);
            EXPECT_TRUE(ui.Editor(false)->markersAtLine(e.Line) & kNewMark);
        } else {
            EXPECT_EQ(m, 0u);
            EXPECT_EQ(ui.Editor(false)->markersAtLine(e.Line) & kDecorationMarkers, kGrey);
        }
    }
    EXPECT_GT(oldOnly, 0);
    EXPECT_GT(newOnly, 0);
    // The heading changed too: the first block starts at line 0, so the view opens at the next.
    ASSERT_NE(form.Document().DiffMap().front().Kind, diff::Common);
    EXPECT_GT(ui.DiffEditor()->firstVisibleLine(), 0);
    const auto diffText = ui.DiffEditor()->lines();

    form.RunDiff();
    EXPECT_FALSE(form.Document().Range(true).IsSet());
    EXPECT_FALSE(form.Document().Range(false).IsSet());
    for (const SourceEditor* view : {ui.Editor(true), ui.Editor(false)})
        for (int line = 0; line < view->lineCount(); ++line)
            EXPECT_EQ(view->markersAtLine(line) & kDecorationMarkers, 0u);
    EXPECT_EQ(ui.DiffEditor()->lines(), diffText);
}
