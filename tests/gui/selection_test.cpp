// Selecting nodes of the difference tree: ranges, marked source views, the merged diff view,
// its navigation, status bars and the split of the source panes.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "fake_dialogs.h"
#include "main_form.h"
#include "model/source_diff.h"
#include "source_editor.h"

using namespace quennet;
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

// A window holding the two texts and a hand-built comparison of them: a group of routines
// (removed, added, changed) and an initialization section only the new text has.
class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TMainForm>(nullptr, dialogs);
        form->resize(1100, 720);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->RAHLEditor1->setLines(kOldText);
        form->RAHLEditor2->setLines(kNewText);
        form->OldSource = std::make_unique<model::TPasSrc>();
        form->NewSource = std::make_unique<model::TPasSrc>();
        form->Comparison = std::make_unique<model::TSourceDiff>(*form->OldSource, *form->NewSource);
        model::TSourceDiffList& root = form->Comparison->Root;
        model::TSourceDiffItem* group = root.AddItem("Procedures", model::Group, nullptr, nullptr);
        group->AddChild("Removed", model::Removed, Decl("Removed", 6, 9), nullptr);
        group->AddChild("Added", model::Added, nullptr, Decl("Added", 11, 13));
        group->AddChild("Changed", model::Changed, Decl("Changed", 10, 14), Decl("Changed", 6, 10));
        root.AddItem("Initialization", model::Added, nullptr, Decl("Initialization", 14, 15));
        form->FillDiffTree();
        form->ExpandAll();
    }

    void TearDown() override {
        form->FreeComparison();
        form.reset();
    }

    const model::TidName* Decl(const char* name, int first, int last) {
        decls.push_back(std::make_unique<model::TidName>(name, 0, first, last));
        return decls.back().get();
    }

    QTreeWidgetItem* Node(const QString& caption) {
        auto found = form->DiffTreeView->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }

    void Select(const QString& caption) {
        QTreeWidgetItem* node = Node(caption);
        ASSERT_NE(node, nullptr) << caption.toStdString();
        form->DiffTreeView->setCurrentItem(node);
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

TEST_F(SelectionTest, RemovedDeclarationMarksOldViewOnly) {
    form->RAHLEditor2->scrollToLine(3);
    Select("Removed");
    EXPECT_EQ(form->OldRange, (model::LineRange{5, 8}));
    EXPECT_FALSE(form->NewRange.IsSet());
    EXPECT_EQ(form->RAHLEditor1->firstVisibleLine(), 5);
    EXPECT_EQ(form->RAHLEditor1->caretLine(), 5);
    EXPECT_EQ(form->RAHLEditor1->caretColumn(), 0);
    EXPECT_EQ(form->RAHLEditor2->firstVisibleLine(), 3);

    std::vector<unsigned> expected(kOldText.size(), 0u);
    for (int line = 5; line <= 8; ++line)
        expected[line] = kGrey | kOldMark;
    EXPECT_EQ(Markers(*form->RAHLEditor1), expected);
    for (int line = 5; line <= 8; ++line)
        EXPECT_EQ(form->RAHLEditor1->foregroundAt(line, 0), 0xFF0000);
    EXPECT_EQ(form->RAHLEditor1->foregroundAt(4, 0), -1);
    EXPECT_EQ(Markers(*form->RAHLEditor2), std::vector<unsigned>(kNewText.size(), 0u));

    // The diff view holds the removed lines, all red with image 0; line 0 stays on top.
    EXPECT_EQ(form->DiffEditor->lines(),
              (std::vector<std::string>{"procedure Removed;", "begin", "  A;", "end;"}));
    EXPECT_EQ(Markers(*form->DiffEditor), std::vector<unsigned>(4, kOldMark));
    EXPECT_EQ(form->DiffEditor->foregroundAt(2, 2), 0xFF0000);
    EXPECT_EQ(form->DiffEditor->firstVisibleLine(), 0);
}

TEST_F(SelectionTest, AddedDeclarationMarksNewViewBlue) {
    form->RAHLEditor1->scrollToLine(2);
    Select("Added");
    EXPECT_EQ(form->RAHLEditor2->firstVisibleLine(), 10);
    EXPECT_EQ(form->RAHLEditor1->firstVisibleLine(), 2);
    for (int line = 10; line <= 12; ++line) {
        EXPECT_EQ(form->RAHLEditor2->markersAtLine(line) & kDecorationMarkers, kGrey | kNewMark);
        EXPECT_EQ(form->RAHLEditor2->foregroundAt(line, 0), 0x0000FF);
    }
    EXPECT_EQ(form->RAHLEditor2->markersAtLine(13) & kDecorationMarkers, 0u);
    EXPECT_EQ(Markers(*form->RAHLEditor1), std::vector<unsigned>(kOldText.size(), 0u));
    EXPECT_EQ(Markers(*form->DiffEditor), std::vector<unsigned>(3, kNewMark));
}

TEST_F(SelectionTest, ChangedDeclarationMarksOnlyLinesInOneText) {
    Select("Changed");
    EXPECT_EQ(form->RAHLEditor1->firstVisibleLine(), 9);
    EXPECT_EQ(form->RAHLEditor2->firstVisibleLine(), 5);

    std::vector<unsigned> oldExpected(kOldText.size(), 0u);
    for (int line = 9; line <= 13; ++line)
        oldExpected[line] = kGrey;
    oldExpected[12] |= kOldMark; // "  C;"
    EXPECT_EQ(Markers(*form->RAHLEditor1), oldExpected);
    std::vector<unsigned> newExpected(kNewText.size(), 0u);
    for (int line = 5; line <= 9; ++line)
        newExpected[line] = kGrey;
    newExpected[8] |= kNewMark; // "  X;"
    EXPECT_EQ(Markers(*form->RAHLEditor2), newExpected);
    EXPECT_EQ(form->RAHLEditor1->foregroundAt(12, 2), 0xFF0000);
    EXPECT_EQ(form->RAHLEditor1->foregroundAt(11, 2), -1); // common: syntax colours
    EXPECT_EQ(form->RAHLEditor2->foregroundAt(8, 2), 0x0000FF);

    // Common lines once, from the new text; then the old-only line before the new-only one.
    EXPECT_EQ(
        form->DiffEditor->lines(),
        (std::vector<std::string>{"procedure Changed;", "begin", "  B;", "  C;", "  X;", "end;"}));
    EXPECT_EQ(Markers(*form->DiffEditor),
              (std::vector<unsigned>{0u, 0u, 0u, kOldMark, kNewMark, 0u}));
    EXPECT_EQ(form->DiffEditor->foregroundAt(3, 0), 0xFF0000);
    EXPECT_EQ(form->DiffEditor->foregroundAt(4, 0), 0x0000FF);
    EXPECT_EQ(form->DiffEditor->foregroundAt(5, 0), -1);
    // Built at line 0, then "Next difference": the changed block is on top.
    EXPECT_EQ(form->DiffEditor->firstVisibleLine(), 3);
    form->NextButton->click();
    EXPECT_EQ(form->DiffEditor->firstVisibleLine(), 0); // no further block: wraps
    form->NextButton->click();
    EXPECT_EQ(form->DiffEditor->firstVisibleLine(), 3);
    form->PriorButton->click();
    EXPECT_EQ(form->DiffEditor->firstVisibleLine(), 3); // no earlier block: stays
}

TEST_F(SelectionTest, GroupSelectsNothingAndEmptiesTheDiffView) {
    Select("Changed");
    form->RAHLEditor1->scrollToLine(1);
    form->RAHLEditor2->scrollToLine(2);
    Select("Procedures");
    EXPECT_FALSE(form->OldRange.IsSet());
    EXPECT_FALSE(form->NewRange.IsSet());
    EXPECT_EQ(form->RAHLEditor1->firstVisibleLine(), 1);
    EXPECT_EQ(form->RAHLEditor2->firstVisibleLine(), 2);
    EXPECT_EQ(Markers(*form->RAHLEditor1), std::vector<unsigned>(kOldText.size(), 0u));
    EXPECT_EQ(Markers(*form->RAHLEditor2), std::vector<unsigned>(kNewText.size(), 0u));
    EXPECT_EQ(form->RAHLEditor2->foregroundAt(8, 2), -1);
    EXPECT_EQ(form->DiffEditor->lineCount(), 0);
    EXPECT_TRUE(form->DiffMap.empty());
    form->NextButton->click();
    form->PriorButton->click();
    EXPECT_EQ(form->DiffEditor->firstVisibleLine(), 0);
    EXPECT_TRUE(dialogs.Errors.isEmpty());
}

TEST_F(SelectionTest, SectionOnlyInNewTextScrollsNewViewOnly) {
    form->RAHLEditor1->scrollToLine(4);
    Select("Initialization");
    EXPECT_FALSE(form->OldRange.IsSet());
    EXPECT_EQ(form->NewRange, (model::LineRange{13, 14}));
    EXPECT_EQ(form->RAHLEditor1->firstVisibleLine(), 4);
    EXPECT_EQ(form->RAHLEditor2->firstVisibleLine(), 13);
    EXPECT_EQ(form->RAHLEditor2->markersAtLine(13) & kDecorationMarkers, kGrey | kNewMark);
    EXPECT_EQ(form->RAHLEditor2->markersAtLine(14) & kDecorationMarkers, kGrey | kNewMark);
    EXPECT_EQ(form->DiffEditor->lines(), (std::vector<std::string>{"initialization", "  Init;"}));
}

TEST_F(SelectionTest, BookmarkAndMarkOnOneLineBothShown) {
    form->RAHLEditor1->setBookmark(2, 6);
    Select("Removed");
    const unsigned markers = form->RAHLEditor1->markersAtLine(6);
    EXPECT_TRUE(markers & (1u << 2));
    EXPECT_TRUE(markers & kOldMark);
    EXPECT_EQ(form->RAHLEditor1->bookmarkLine(2), 6);
}

TEST_F(SelectionTest, RangeBeyondTheTextIsReportedAndChangesNothing) {
    Select("Changed");
    const auto diffBefore = form->DiffEditor->lines();
    const auto newMarkersBefore = Markers(*form->RAHLEditor2);
    // The old text lost its end after the compare.
    form->RAHLEditor1->setLines({kOldText.begin(), kOldText.begin() + 7});
    form->RAHLEditor1->scrollToLine(1);

    Select("Removed");
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains("beyond the end of the old text"))
        << dialogs.Errors[0].toStdString();
    EXPECT_TRUE(dialogs.Errors[0].contains("lines 6 to 9")) << dialogs.Errors[0].toStdString();
    EXPECT_EQ(form->OldRange, (model::LineRange{9, 13}));
    EXPECT_EQ(form->NewRange, (model::LineRange{5, 9}));
    EXPECT_EQ(form->DiffEditor->lines(), diffBefore);
    EXPECT_EQ(Markers(*form->RAHLEditor2), newMarkersBefore);
    EXPECT_EQ(form->RAHLEditor1->firstVisibleLine(), 1);

    // A selection that fits still works.
    Select("Added");
    EXPECT_EQ(dialogs.Errors.size(), 1);
    EXPECT_EQ(form->RAHLEditor2->markersAtLine(10) & kDecorationMarkers, kGrey | kNewMark);
}

TEST_F(SelectionTest, SelectionFollowsEditsMadeSinceTheCompare) {
    // "  C;" edited into "  X;" in the old view: the routine's lines now all match.
    std::vector<std::string> edited = kOldText;
    edited[12] = "  x;";
    form->RAHLEditor1->setLines(edited);
    Select("Changed");
    for (int line = 9; line <= 13; ++line)
        EXPECT_EQ(form->RAHLEditor1->markersAtLine(line) & kDecorationMarkers, kGrey);
    EXPECT_EQ(form->DiffEditor->lineCount(), 5);
}

TEST_F(SelectionTest, StatusBarsShowCaretAndModified) {
    Select("Removed");
    WaitFor([&] { return form->OldPane.CaretPanel->text() == "6 : 1"; });
    EXPECT_EQ(form->OldPane.CaretPanel->text(), "6 : 1");
    EXPECT_EQ(form->OldPane.ModifiedPanel->text(), "");

    form->RAHLEditor2->setReadOnly(false);
    form->RAHLEditor2->setCursorPosition(0, 0);
    QTest::keyClicks(form->RAHLEditor2, "ab");
    WaitFor([&] { return form->NewPane.CaretPanel->text() == "1 : 3"; });
    EXPECT_EQ(form->NewPane.CaretPanel->text(), "1 : 3");
    EXPECT_EQ(form->NewPane.ModifiedPanel->text(), "Modified");
}

TEST_F(SelectionTest, NoMarksAfterSelectionIsReset) {
    Select("Changed");
    form->OldRange = {};
    form->NewRange = {};
    form->ShowSelection();
    EXPECT_EQ(Markers(*form->RAHLEditor1), std::vector<unsigned>(kOldText.size(), 0u));
    EXPECT_EQ(Markers(*form->RAHLEditor2), std::vector<unsigned>(kNewText.size(), 0u));
    // The diff view keeps the last difference until the next selection.
    EXPECT_EQ(form->DiffEditor->lineCount(), 6);
}

TEST_F(SelectionTest, SplitModeTogglesAndKeepsProportionOnResize) {
    auto oldShare = [&] {
        const bool side = form->SideBySide();
        const int total = side ? form->SourceViewTab->width() : form->SourceViewTab->height();
        return static_cast<double>(form->OldPaneSize()) / total;
    };
    EXPECT_FALSE(form->SideBySide());
    form->AlButton->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->SideBySide());
    EXPECT_NEAR(form->OldPaneSize(), form->SourceViewTab->width() / 2, 4);
    EXPECT_GT(form->RAHLEditor1->width(), 100);
    EXPECT_GT(form->RAHLEditor2->width(), 100);

    const double before = oldShare();
    form->resize(1400, 720);
    QCoreApplication::processEvents();
    EXPECT_NEAR(oldShare(), before, 0.02);

    form->AlButton->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->SideBySide());
    EXPECT_NEAR(form->OldPaneSize(), form->SourceViewTab->height() / 2, 4);
    const double stacked = oldShare();
    form->resize(1400, 900);
    QCoreApplication::processEvents();
    EXPECT_NEAR(oldShare(), stacked, 0.02);

    // The views still carry the selection after the layout changes.
    Select("Removed");
    EXPECT_EQ(form->RAHLEditor1->firstVisibleLine(), 5);
}

TEST(SelectionAfterCompare, ExamplePairChangedRoutineThenNewCompareClearsMarks) {
    gui::FakeDialogs dialogs;
    TMainForm form(nullptr, dialogs);
    form.resize(1100, 720);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.LoadOldFile(QStringLiteral(QUENNET_EXAMPLES_DIR "/old/Shapes.pas"));
    form.LoadNewFile(QStringLiteral(QUENNET_EXAMPLES_DIR "/new/Shapes.pas"));
    form.RunDiff();
    ASSERT_TRUE(dialogs.Errors.isEmpty());

    QTreeWidgetItem* body = nullptr;
    for (QTreeWidgetItem* node :
         form.DiffTreeView->findItems("implementation", Qt::MatchExactly | Qt::MatchRecursive))
        if (node->parent() && node->parent()->text(0) == "ScaleShape") body = node;
    ASSERT_NE(body, nullptr);
    form.DiffTreeView->setCurrentItem(body);
    ASSERT_TRUE(form.OldRange.IsSet());
    ASSERT_TRUE(form.NewRange.IsSet());

    // Every line of the diff view is one of the two texts' lines, coloured by where it stands.
    int oldOnly = 0, newOnly = 0;
    for (int line = 0; line < form.DiffEditor->lineCount(); ++line) {
        const unsigned m = form.DiffEditor->markersAtLine(line) & kDecorationMarkers;
        const model::TMapEntry& e = form.DiffMap[static_cast<size_t>(line)];
        const SourceEditor* source = e.Kind == model::OldOnly ? form.RAHLEditor1 : form.RAHLEditor2;
        EXPECT_EQ(form.DiffEditor->lineBytes(line), source->lineBytes(e.Line));
        if (e.Kind == model::OldOnly) {
            ++oldOnly;
            EXPECT_EQ(m, kOldMark);
            EXPECT_TRUE(form.RAHLEditor1->markersAtLine(e.Line) & kOldMark);
        } else if (e.Kind == model::NewOnly) {
            ++newOnly;
            EXPECT_EQ(m, kNewMark);
            EXPECT_TRUE(form.RAHLEditor2->markersAtLine(e.Line) & kNewMark);
        } else {
            EXPECT_EQ(m, 0u);
            EXPECT_EQ(form.RAHLEditor2->markersAtLine(e.Line) & kDecorationMarkers, kGrey);
        }
    }
    EXPECT_GT(oldOnly, 0);
    EXPECT_GT(newOnly, 0);
    // The heading changed too: the first block starts at line 0, so the view opens at the next.
    ASSERT_NE(form.DiffMap.front().Kind, model::Common);
    EXPECT_GT(form.DiffEditor->firstVisibleLine(), 0);
    const auto diffText = form.DiffEditor->lines();

    form.RunDiff();
    EXPECT_FALSE(form.OldRange.IsSet());
    EXPECT_FALSE(form.NewRange.IsSet());
    for (const SourceEditor* view : {form.RAHLEditor1, form.RAHLEditor2})
        for (int line = 0; line < view->lineCount(); ++line)
            EXPECT_EQ(view->markersAtLine(line) & kDecorationMarkers, 0u);
    EXPECT_EQ(form.DiffEditor->lines(), diffText);
}
