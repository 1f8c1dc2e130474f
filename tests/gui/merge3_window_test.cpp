// Three-way merge window: each choice by button and by key, stepping between conflicts, undo
// and redo, closing, the panes kept level, and saving that asks while conflicts are left.
#include "merge3_window.h"
#include "source_editor.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include "fake_dialogs.h"
#include "io/source_file.h"
#include "io/text_encoding.h"
#include "viewrules/merge3_colors.h"

using namespace quennet::gui;

namespace {

class FakeMergePrompts : public TMerge3Prompts {
public:
    bool SaveUnresolved(QWidget*, int unresolved) override {
        Asked << unresolved;
        return Answer;
    }
    bool DiscardChanges(QWidget*) override {
        ++DiscardQuestions;
        return DiscardAnswer;
    }
    QList<int> Asked;
    bool Answer = false;
    int DiscardQuestions = 0;
    bool DiscardAnswer = false;
};

// Alpha and Beta each changed differently on both sides: two conflicts.
std::string Unit(const char* alpha, const char* beta) {
    return std::string("unit U;\r\n\r\ninterface\r\n\r\nprocedure Alpha;\r\nprocedure Beta;\r\n\r\n"
                       "implementation\r\n\r\nprocedure Alpha;\r\nbegin\r\n  ") +
           alpha + ";\r\nend;\r\n\r\nprocedure Beta;\r\nbegin\r\n  " + beta +
           ";\r\nend;\r\n\r\nend.\r\n";
}

class Merge3WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Write("base.pas", Unit("A0", "B0"));
        Write("local.pas", Unit("A1", "B1"));
        Write("remote.pas", Unit("A2", "B2"));
        window = std::make_unique<TMerge3Window>(dialogs, &prompts);
        window->Open(Path("base.pas"), Path("local.pas"), Path("remote.pas"), Path("out.pas"));
        ASSERT_EQ(2u, window->Session().Conflicts().size());
    }
    void Write(const char* name, const std::string& bytes) {
        std::ofstream(Path(name).toStdString(), std::ios::binary) << bytes;
    }
    QString Path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
    std::string Output() { return quennet::io::ReadFileBytes(Path("out.pas").toStdString()); }

    void Activate() {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->ResultView->setFocus();
    }
    // A key as the user presses it, with the caret in the result.
    void Press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(window->ResultView, key, mods);
    }
    std::string Text() { return window->Session().Text(); }

    QTemporaryDir dir;
    FakeDialogs dialogs;
    FakeMergePrompts prompts;
    std::unique_ptr<TMerge3Window> window;
};

TEST_F(Merge3WindowTest, EachChoiceResolvesTheSelectedConflict) {
    struct Case {
        QPushButton* TMerge3Window::*button;
        const char* beta; // Beta's body once the second conflict is decided
    } cases[] = {
        {&TMerge3Window::UseLocal, "  B1;\r\n"},
        {&TMerge3Window::UseRemote, "  B2;\r\n"},
        {&TMerge3Window::UseLocalThenRemote, "  B1;\r\n  B2;\r\n"},
        {&TMerge3Window::UseRemoteThenLocal, "  B2;\r\n  B1;\r\n"},
        {&TMerge3Window::UseBase, "  B0;\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((window.get()->*c.button)->text().toStdString());
        window->Open(Path("base.pas"), Path("local.pas"), Path("remote.pas"), Path("out.pas"));
        window->ConflictList->setCurrentRow(1);
        (window.get()->*c.button)->click();
        const std::string text = window->Session().Text();
        EXPECT_NE(std::string::npos,
                  text.find("begin\r\n" + std::string(c.beta) + "end;\r\n\r\nend."));
        // The first conflict stays; the result view shows the text.
        ASSERT_EQ(1, window->ConflictList->count());
        EXPECT_EQ(QStringLiteral("1 conflict unresolved"), window->StatusLabel->text());
        EXPECT_EQ(window->Session().Text(),
                  quennet::io::JoinLinesCrLf(window->ResultView->lines()));
    }
    EXPECT_TRUE(dialogs.Errors.isEmpty());
}

TEST_F(Merge3WindowTest, EditingByHandIsReadBack) {
    window->ConflictList->setCurrentRow(1);
    window->EditHand->click();
    const int first = window->Session().Conflicts()[1].firstLine;
    EXPECT_EQ(first, window->ResultView->caretLine());
    // Keep the remote line, delete the markers and the other lines by hand.
    std::vector<std::string> lines = window->ResultView->lines();
    const int last = window->Session().Conflicts()[1].lastLine;
    lines.erase(lines.begin() + first, lines.begin() + last + 1);
    lines.insert(lines.begin() + first, "  B3;");
    window->ResultView->setText(QString::fromStdString(quennet::io::JoinLinesCrLf(lines)));
    EXPECT_EQ(1, window->Session().Unresolved()) << "the text is read at once";
    // The list follows once typing pauses.
    for (int i = 0; i < 100 && window->ConflictList->count() != 1; ++i)
        QTest::qWait(20);
    ASSERT_EQ(1, window->ConflictList->count());
    EXPECT_EQ(1, window->Session().Unresolved());
    EXPECT_NE(std::string::npos, window->Session().Text().find("  B3;\r\n"));
    EXPECT_NE(std::string::npos, window->Session().Conflicts()[0].local.find("A1"));
}

TEST_F(Merge3WindowTest, SaveAsksWhileConflictsAreLeft) {
    EXPECT_FALSE(window->Save());
    EXPECT_EQ(QList<int>{2}, prompts.Asked);
    EXPECT_FALSE(QFile::exists(Path("out.pas")));

    prompts.Answer = true;
    EXPECT_TRUE(window->Save());
    EXPECT_FALSE(window->SavedClean());
    EXPECT_NE(std::string::npos, Output().find("<<<<<<< LOCAL\r\n"));

    for (int i = 0; i < 2; ++i) {
        window->ConflictList->setCurrentRow(0);
        window->UseRemote->click();
    }
    prompts.Asked.clear();
    EXPECT_TRUE(window->Save());
    EXPECT_TRUE(prompts.Asked.isEmpty());
    EXPECT_TRUE(window->SavedClean());
    EXPECT_EQ(Unit("A2", "B2"), Output());
}

// Closing asks only when a choice or an edit was not saved.
TEST_F(Merge3WindowTest, ClosingAsksBeforeLosingChanges) {
    window->show();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(0, prompts.DiscardQuestions);
    window->show();
    window->ConflictList->setCurrentRow(0);
    window->UseLocal->click();
    EXPECT_FALSE(window->close());
    EXPECT_EQ(1, prompts.DiscardQuestions);
    prompts.Answer = true;
    ASSERT_TRUE(window->Save());
    EXPECT_TRUE(window->close());
    EXPECT_EQ(1, prompts.DiscardQuestions);
}

// Versions in different encodings merge by their text; the result is saved in LOCAL's.
TEST_F(Merge3WindowTest, MixedEncodingsSaveInLocalsEncoding) {
    using quennet::io::EncodeSourceText;
    using quennet::io::TextEncoding;
    const std::string remote = Unit("A2 := '\xE2\x82\xAC'", "B2");
    Write("base.pas", EncodeSourceText(Unit("A0", "B0"), TextEncoding::Utf16Be));
    Write("local.pas", EncodeSourceText(Unit("A1", "B1"), TextEncoding::Utf16Le));
    Write("remote.pas", remote);
    window->Open(Path("base.pas"), Path("local.pas"), Path("remote.pas"), Path("out.pas"));
    ASSERT_EQ(2u, window->Session().Conflicts().size());
    EXPECT_EQ(window->LocalView->lines(), quennet::io::SplitLines(Unit("A1", "B1")));
    for (int i = 0; i < 2; ++i) {
        window->ConflictList->setCurrentRow(0);
        window->UseRemote->click();
    }
    ASSERT_TRUE(window->Save());
    EXPECT_EQ(EncodeSourceText(remote, TextEncoding::Utf16Le), Output());
}

TEST_F(Merge3WindowTest, ConflictsNamedByDeclarationWithTheCounts) {
    ASSERT_EQ(2, window->ConflictList->count());
    EXPECT_EQ(QStringLiteral("Alpha (body)"), window->ConflictList->item(0)->text());
    EXPECT_EQ(QStringLiteral("Beta (body)"), window->ConflictList->item(1)->text());
    EXPECT_EQ("2 conflicts by lines, 0 solved by the declarations, 2 left",
              window->CountsLabel->text().toStdString());
    window->ConflictList->setCurrentRow(0);
    window->UseLocal->click();
    EXPECT_EQ(QStringLiteral("Beta (body)"), window->ConflictList->item(0)->text());
    EXPECT_TRUE(window->CountsLabel->text().endsWith(QStringLiteral(", 1 left")));
}

// Each choice key on the second conflict, pressed with the caret in the result.
TEST_F(Merge3WindowTest, KeysChooseAndStep) {
    Activate();
    struct Case {
        Qt::Key key;
        const char* beta;
    } cases[] = {
        {Qt::Key_1, "  B0;\r\n"},          {Qt::Key_2, "  B1;\r\n"},
        {Qt::Key_3, "  B2;\r\n"},          {Qt::Key_4, "  B1;\r\n  B2;\r\n"},
        {Qt::Key_5, "  B2;\r\n  B1;\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.beta);
        window->Open(Path("base.pas"), Path("local.pas"), Path("remote.pas"), Path("out.pas"));
        window->ResultView->setFocus();
        EXPECT_EQ(0, window->ConflictList->currentRow());
        Press(Qt::Key_Down, Qt::AltModifier);
        ASSERT_EQ(1, window->ConflictList->currentRow());
        Press(Qt::Key_Down, Qt::AltModifier); // no third conflict: stays
        ASSERT_EQ(1, window->ConflictList->currentRow());
        Press(c.key, Qt::ControlModifier);
        EXPECT_NE(std::string::npos, Text().find("begin\r\n" + std::string(c.beta) + "end;"));
        ASSERT_EQ(1u, window->Session().Conflicts().size());
    }
    Press(Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(0, window->ConflictList->currentRow());
    EXPECT_TRUE(dialogs.Errors.isEmpty());
}

// Ctrl+Z takes back choices and typing alike, in order; Ctrl+Y and Ctrl+Shift+Z bring them back.
TEST_F(Merge3WindowTest, UndoAndRedoChoicesAndEditsByHand) {
    Activate();
    const std::string opened = Text();
    Press(Qt::Key_3, Qt::ControlModifier);
    const std::string chosen = Text();
    ASSERT_NE(opened, chosen);
    window->ResultView->setCursorPosition(0, 0);
    QTest::keyClicks(window->ResultView, "xy");
    const std::string typed = Text();
    ASSERT_EQ("xyunit U;", typed.substr(0, 9));
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(chosen, Text()) << "the typing of one line is one step";
    EXPECT_EQ(chosen, quennet::io::JoinLinesCrLf(window->ResultView->lines()));
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(opened, Text());
    EXPECT_EQ(2, window->ConflictList->count());
    EXPECT_FALSE(window->Changed());
    Press(Qt::Key_Z, Qt::ControlModifier); // nothing before the opened text
    EXPECT_EQ(opened, Text());
    Press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(chosen, Text());
    Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(typed, Text());
    EXPECT_FALSE(window->RedoButton->isEnabled());
    window->UndoButton->click();
    EXPECT_EQ(chosen, Text());
}

// Ctrl+W, Escape, Ctrl+Q and the Close button close at once when nothing is unsaved and ask
// otherwise; undoing back to the saved text counts as unchanged.
TEST_F(Merge3WindowTest, CloseByKeysAndButtonAsksWhileUnsaved) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    } cases[] = {{Qt::Key_W, Qt::ControlModifier},
                 {Qt::Key_Escape, Qt::NoModifier},
                 {Qt::Key_Q, Qt::ControlModifier},
                 {Qt::Key_unknown, Qt::NoModifier}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        auto close = [&] {
            if (c.key == Qt::Key_unknown)
                window->CloseButton->click();
            else
                Press(c.key, c.mods);
        };
        window->Open(Path("base.pas"), Path("local.pas"), Path("remote.pas"), Path("out.pas"));
        prompts.DiscardQuestions = 0;
        Activate();
        Press(Qt::Key_2, Qt::ControlModifier);
        close();
        EXPECT_TRUE(window->isVisible()) << "declined";
        EXPECT_EQ(1, prompts.DiscardQuestions);
        Press(Qt::Key_Z, Qt::ControlModifier);
        close();
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(1, prompts.DiscardQuestions);
    }
}

// Equal lines of the three versions stand on one row, fillers making up for lines one side
// added; scrolling one pane scrolls the others and the result with it.
TEST_F(Merge3WindowTest, PanesStayLevel) {
    std::string added;
    for (int i = 0; i < 30; ++i)
        added += "// note " + std::to_string(i) + "\r\n";
    std::string local = Unit("A1", "B0");
    local.insert(local.find("implementation"), added);
    Write("local.pas", local);
    Write("remote.pas", Unit("A0", "B2"));
    window->Open(Path("base.pas"), Path("local.pas"), Path("remote.pas"), Path("out.pas"));
    window->resize(900, 500);
    Activate();
    SourceEditor* views[] = {window->BaseView, window->LocalView, window->RemoteView};
    const auto& layout = window->Layout();
    auto displayRow = [&](int pane, int line) {
        return static_cast<int>(views[pane]->SendScintilla(
                   QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, static_cast<unsigned long>(line))) +
               quennet::viewrules::TopFillerRows(layout, pane);
    };
    // "end." is the last line of each version; "implementation" is 30 lines lower in LOCAL.
    for (const char* text : {"implementation", "procedure Beta;", "end."}) {
        int rows[3];
        for (int k = 0; k < 3; ++k) {
            const auto& lines = views[k]->lines();
            const auto at = std::find(lines.rbegin(), lines.rend(), std::string(text));
            ASSERT_NE(at, lines.rend());
            rows[k] = displayRow(k, static_cast<int>(lines.rend() - at) - 1);
        }
        EXPECT_EQ(rows[0], rows[1]) << text;
        EXPECT_EQ(rows[1], rows[2]) << text;
    }
    EXPECT_EQ(30, window->BaseView->fillerRowsAfter(6));
    EXPECT_EQ(30, window->RemoteView->fillerRowsAfter(6));

    window->LocalView->setFirstVisibleLine(20);
    QCoreApplication::processEvents();
    EXPECT_EQ(20, window->BaseView->firstVisibleLine());
    EXPECT_EQ(20, window->RemoteView->firstVisibleLine());
    const int resultTop = window->ResultView->firstVisibleLine();
    EXPECT_EQ(window->ResultMap().Row[static_cast<size_t>(resultTop)],
              layout.RowOf[1][static_cast<size_t>(window->LocalView->firstVisibleTextLine())]);
    window->ResultView->setFirstVisibleLine(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(0, window->LocalView->firstVisibleLine());
}

// Each pane colours the lines its side changed; the result colours lines by where they came
// from, and a choice recolours them.
TEST_F(Merge3WindowTest, LinesColouredBySide) {
    const auto& tints = quennet::viewrules::Merge3TintsFor(window->ResultView->viewPalette().Dark);
    const int first = window->Session().Conflicts()[0].firstLine;
    EXPECT_EQ(tints.Conflict, window->ResultView->lineTint(first));
    EXPECT_EQ(0u, window->ResultView->lineTint(0));
    const auto& lines = window->LocalView->lines();
    const int a1 = static_cast<int>(std::find(lines.begin(), lines.end(), "  A1;") - lines.begin());
    EXPECT_EQ(tints.Conflict, window->LocalView->lineTint(a1));
    EXPECT_EQ(0u, window->LocalView->lineTint(0));
    window->ConflictList->setCurrentRow(0);
    window->UseRemote->click();
    EXPECT_EQ(tints.Remote, window->ResultView->lineTint(first));
}

// The output is written in the encoding and line ends chosen; LOCAL's are the default.
TEST_F(Merge3WindowTest, SavesInTheChosenEncodingAndLineEnds) {
    EXPECT_EQ(QStringLiteral("Windows-1252"), window->EncodingBox->currentText());
    EXPECT_EQ(0, window->LineEndBox->currentIndex());
    EXPECT_TRUE(window->LocalCaption->text().contains(QStringLiteral("CR LF")));
    for (int i = 0; i < 2; ++i) {
        window->ConflictList->setCurrentRow(0);
        window->UseLocal->click();
    }
    window->EncodingBox->setCurrentText(QStringLiteral("UTF-16 BE"));
    window->LineEndBox->setCurrentIndex(1);
    ASSERT_TRUE(window->Save());
    std::string want = Unit("A1", "B1");
    for (size_t at; (at = want.find("\r\n")) != std::string::npos;)
        want.erase(at, 1);
    EXPECT_EQ(quennet::io::EncodeSourceText(want, quennet::io::TextEncoding::Utf16Be), Output());
}

TEST_F(Merge3WindowTest, RefusesToWriteOverBaseOrRemote) {
    for (const char* input : {"base.pas", "remote.pas"})
        EXPECT_THROW(
            window->Open(Path("base.pas"), Path("local.pas"), Path("remote.pas"), Path(input)),
            std::runtime_error);
}

} // namespace
