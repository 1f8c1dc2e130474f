// The source views as a pair: every difference marked after a compare, the overview strip,
// side-by-side alignment with scrolling in step, character marks, line numbers and themes.
#include <gtest/gtest.h>

#include <Qsci/qscilexerpascal.h>

#include <QAction>
#include <QApplication>
#include <QPalette>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "fake_dialogs.h"
#include "main_form.h"
#include "main_form_face.h"
#include "merge_edit_form.h"
#include "overview_strip.h"
#include "rich_edit.h"
#include "source_editor.h"
#include "source_views.h"
#include "view_colors.h"

using namespace quennet;
using gui::MainFormFace;
using gui::SourceEditor;
using gui::TMainForm;

namespace {

// A changed routine whose old body is longer, and a removed routine: the new view needs fillers.
const std::vector<std::string> kOldText = {
    "unit U;",         // 0
    "procedure A;",    // 1
    "begin",           // 2
    "  Old1;",         // 3
    "  Old2;",         // 4
    "end;",            // 5
    "procedure Gone;", // 6
    "begin",           // 7
    "end;",            // 8
    "end.",            // 9
};
const std::vector<std::string> kNewText = {
    "unit U;",      // 0
    "procedure A;", // 1
    "begin",        // 2
    "  New1;",      // 3
    "end;",         // 4
    "end.",         // 5
};

class SourceViewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TMainForm>(nullptr, dialogs);
        form->resize(1100, 400);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        Old().setLines(kOldText);
        New().setLines(kNewText);
        auto oldSource = std::make_unique<model::TPasSrc>();
        auto newSource = std::make_unique<model::TPasSrc>();
        auto comparison = std::make_unique<diff::TSourceDiff>(*oldSource, *newSource);
        diff::TSourceDiffItem* group =
            comparison->Root.AddItem("Procedures", diff::Group, nullptr, nullptr);
        group->AddChild("A", diff::Changed, Decl(2, 6), Decl(2, 5));
        group->AddChild("Gone", diff::Removed, Decl(7, 9), nullptr);
        form->ShowComparison(std::move(oldSource), std::move(newSource), std::move(comparison));
    }

    void TearDown() override {
        form->FreeComparison();
        form.reset();
    }

    const model::TidName* Decl(int first, int last) {
        decls.push_back(std::make_unique<model::TidName>("d", 0, first, last));
        return decls.back().get();
    }

    MainFormFace Face() const { return MainFormFace(*form); }
    SourceEditor& Old() const { return *Face().Editor(true); }
    SourceEditor& New() const { return *Face().Editor(false); }

    static int Row(const SourceEditor& view, int line) {
        return static_cast<int>(
            view.SendScintilla(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, line));
    }

    gui::FakeDialogs dialogs;
    std::unique_ptr<TMainForm> form;
    std::vector<std::unique_ptr<model::TidName>> decls;
};

TEST_F(SourceViewsTest, EveryDifferenceIsTintedByKindInBothViewsAndOnTheStrips) {
    struct Case {
        bool old;
        int line;
        int marker; // -1: none
    };
    const Case cases[] = {
        {true, 0, -1},
        {true, 1, SourceEditor::kChangedLinesMarker},
        {true, 5, SourceEditor::kChangedLinesMarker},
        {true, 6, SourceEditor::kRemovedLinesMarker},
        {true, 8, SourceEditor::kRemovedLinesMarker},
        {true, 9, -1},
        {false, 1, SourceEditor::kChangedLinesMarker},
        {false, 4, SourceEditor::kChangedLinesMarker},
        {false, 5, -1},
    };
    const unsigned tints = (1u << SourceEditor::kRemovedLinesMarker) |
                           (1u << SourceEditor::kAddedLinesMarker) |
                           (1u << SourceEditor::kChangedLinesMarker);
    for (const Case& c : cases) {
        const SourceEditor& view = c.old ? Old() : New();
        EXPECT_EQ(view.markersAtLine(c.line) & tints, c.marker < 0 ? 0u : 1u << c.marker)
            << (c.old ? "old " : "new ") << c.line;
    }
    EXPECT_EQ(Old().differenceSpans().size(), 2u);
    EXPECT_EQ(New().differenceSpans().size(), 1u);
    // Inside the changed routine, its changed lines stand out without a selection: "  Old1;"
    // and "  Old2;" against "  New1;", not the lines both texts share.
    const unsigned inside = 1u << SourceEditor::kChangedInsideMarker;
    for (int line = 0; line < Old().lineCount(); ++line)
        EXPECT_EQ((Old().markersAtLine(line) & inside) != 0, line == 3 || line == 4) << line;
    for (int line = 0; line < New().lineCount(); ++line)
        EXPECT_EQ((New().markersAtLine(line) & inside) != 0, line == 3) << line;

    // The strip maps a click to a line; the view scrolls there with context above.
    gui::TOverviewStrip* strip = Face().Pane<gui::TOverviewStrip>(true, "Strip");
    ASSERT_NE(strip, nullptr);
    const int y = strip->height() * 8 / 10;
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(5, y));
    EXPECT_EQ(Old().caretLine(), strip->lineAt(y));
    EXPECT_EQ(Old().firstVisibleTextLine(), std::max(0, strip->lineAt(y) - 3));

    // A new text drops the marks and the alignment of the old one.
    Old().setLines({"unit U;"});
    EXPECT_TRUE(Old().differenceSpans().empty());
    EXPECT_EQ(Old().markersAtLine(0) & tints, 0u);
    EXPECT_EQ(New().markersAtLine(3) & inside, 0u) << "gone with the alignment";
    EXPECT_TRUE(form->Views()->Alignment().OldToNew.empty());
}

TEST_F(SourceViewsTest, SideBySideKeepsMatchingLinesLevelAndScrollsTogether) {
    form->SetSplitMode(true);
    const viewrules::SplitAlignment& a = form->Views()->Alignment();
    // Every common pair stands on one row in both views.
    for (size_t line = 0; line < a.OldToNew.size(); ++line) {
        if (a.OldToNew[line] < 0) continue;
        EXPECT_EQ(Row(Old(), static_cast<int>(line)), Row(New(), a.OldToNew[line])) << line;
    }
    // "  Old1;" pairs with "  New1;" and "  Old2;" stands alone; so does all of Gone.
    EXPECT_EQ(New().fillerRowsAfter(3), 1);
    EXPECT_EQ(New().fillerRowsAfter(4), 3);
    EXPECT_EQ(Old().fillerRowsAfter(3), 0);

    QApplication::processEvents();
    Old().setFirstVisibleLine(6);
    // Dragging one scroll bar, and scrolling from the program. The editors set their scroll
    // ranges when they paint.
    Old().viewport()->repaint();
    New().viewport()->repaint();
    Old().verticalScrollBar()->setValue(6);
    EXPECT_EQ(New().firstVisibleLine(), 6);
    New().scrollToLine(2);
    EXPECT_EQ(Old().firstVisibleLine(), 2);

    Face().Action("syncScroll")->setChecked(false);
    Old().verticalScrollBar()->setValue(5);
    EXPECT_EQ(New().firstVisibleLine(), 2);

    // Stacked, the views carry no fillers.
    form->SetSplitMode(false);
    EXPECT_EQ(New().fillerRowsAfter(3), 0);
    EXPECT_EQ(Row(New(), 5), 5);

    // Line numbers are on from the start.
    EXPECT_GT(Old().marginWidth(0), 0);
    EXPECT_GT(New().marginWidth(0), 0);
    Face().Action("lineNumbers")->setChecked(false);
    EXPECT_EQ(Old().marginWidth(0), 0);
    EXPECT_EQ(New().marginWidth(0), 0);
}

// Differences on one side only still align both texts.
TEST_F(SourceViewsTest, AComparisonWithMarksInOneViewOnlyStillAligns) {
    auto oldSource = std::make_unique<model::TPasSrc>();
    auto newSource = std::make_unique<model::TPasSrc>();
    auto comparison = std::make_unique<diff::TSourceDiff>(*oldSource, *newSource);
    comparison->Root.AddItem("Gone", diff::Removed, Decl(7, 9), nullptr);
    form->ShowComparison(std::move(oldSource), std::move(newSource), std::move(comparison));
    form->SetSplitMode(true);
    EXPECT_TRUE(New().differenceSpans().empty());
    EXPECT_EQ(New().fillerRowsAfter(4), 3);
}

TEST_F(SourceViewsTest, ChangedLinesPairedByTheMatcherGetCharacterMarks) {
    // "  Old1;" pairs with "  New1;": only "Old" and "New" differ.
    for (int i = 0; i < 7; ++i) {
        const bool changed = i >= 2 && i <= 4;
        EXPECT_EQ(Old().hasCharMark(3, i), changed) << i;
        EXPECT_EQ(New().hasCharMark(3, i), changed) << i;
    }
    EXPECT_FALSE(Old().hasCharMark(4, 2)); // "  Old2;" has no partner
}

// A dark Fusion palette: the views, the strips and the merge editor take the dark variant;
// what the merge editor stores stays red and blue.
TEST(SourceViewsTheme, DarkPaletteColoursEveryView) {
    const QPalette saved = QApplication::palette();
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    dark.setColor(QPalette::Text, Qt::white);
    QApplication::setPalette(dark);

    SourceEditor editor(28);
    EXPECT_TRUE(editor.viewPalette().Dark);
    const viewrules::ViewPalette& p = viewrules::DarkPalette();
    QsciLexer* lexer = editor.lexer();
    EXPECT_EQ(lexer->color(QsciLexerPascal::Keyword), gui::ToQColor(p.Keyword));
    EXPECT_EQ(lexer->color(QsciLexerPascal::Comment), gui::ToQColor(p.Comment));
    EXPECT_EQ(lexer->paper(QsciLexerPascal::Identifier), gui::ToQColor(p.Background));

    gui::FakeDialogs dialogs;
    auto* merge = new gui::TMergeEditForm(nullptr, dialogs);
    workspace::TWorkspaceDocument doc;
    doc.AppendLine("kept", workspace::TCharFormat{workspace::kBlack, false});
    doc.AppendLine("removed", workspace::TCharFormat{workspace::kRed, false});
    doc.AppendLine("inserted", workspace::TCharFormat{workspace::kBlue, false});
    merge->LoadDocument(std::move(doc));
    gui::TRichEdit& edit = *merge->WorkspaceEdit;
    EXPECT_TRUE(edit.ShownPalette().Dark);
    QTextCursor c(edit.document());
    c.setPosition(static_cast<int>(edit.Document().LineIndex(1)) + 1);
    EXPECT_EQ(c.charFormat().foreground().color(), gui::ToQColor(p.MergeRemoved));
    EXPECT_EQ(edit.Document().LineColor(1), workspace::kRed);
    EXPECT_EQ(edit.DocumentFromWidget().LineColor(2), workspace::kBlue);

    // Back to light: shown colours follow, the document does not change.
    QApplication::setPalette(saved);
    QApplication::processEvents();
    EXPECT_FALSE(edit.ShownPalette().Dark);
    EXPECT_EQ(edit.DocumentFromWidget().LineColor(1), workspace::kRed);
    EXPECT_FALSE(edit.Modified());
    merge->close();
    delete merge;
}

} // namespace
