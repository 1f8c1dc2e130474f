// Merge editor window: the workspace of the example pair, moving between differences,
// marking, saving and reopening, find, the three merged outputs with the setup dialog's
// remembered choice, closing with changes, and the main window's merge commands.
#include "app_registry.h"
#include "diff_rpt_form.h"
#include "find_dialog.h"
#include "main_form.h"
#include "main_form_face.h"
#include "merge_edit_form.h"
#include "merge_setup_dlg.h"
#include "rich_edit.h"
#include "source_editor.h"

#include "io/source_file.h"
#include "io/text_encoding.h"
#include "workspace/merge_workspace.h"
#include "workspace/rtf_reader.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include "fake_dialogs.h"

using namespace quennet::gui;
using namespace quennet::workspace;

namespace {

// Answers the window's own questions and records them.
class FakePrompts : public TMergeEditPrompts {
public:
    void NotFound(QWidget* owner, const QString& text) override {
        NotFoundOwner = owner;
        NotFoundTexts << text;
    }
    bool DiscardChanges(QWidget*) override {
        ++DiscardQuestions;
        return DiscardAnswer;
    }
    // Records the dialog's state as it opened, then applies the answer.
    bool RunMergeSetup(TMergeSetupDlgForm& d) override {
        SetupPrompts << d.PromptLabel->text();
        OpenedWithComment << d.CommentSelected();
        OpenedWithText << d.CommentText();
        if (!SetupAnswer) return false;
        d.SetChoice(AnswerComment, AnswerText);
        return true;
    }

    QWidget* NotFoundOwner = nullptr;
    QStringList NotFoundTexts;
    int DiscardQuestions = 0;
    bool DiscardAnswer = true;
    QStringList SetupPrompts;
    QList<bool> OpenedWithComment;
    QStringList OpenedWithText;
    bool SetupAnswer = true;
    bool AnswerComment = false;
    QString AnswerText;
};

std::string ReadAll(const QString& path) {
    return quennet::io::ReadFileBytes(path.toStdString());
}

std::vector<std::string> ExampleLines(const char* side) {
    return quennet::io::SplitLines(
        quennet::io::ReadFileBytes(std::string(QUENNET_EXAMPLES_DIR) + "/" + side + "/Shapes.pas"));
}

const TCharFormat kB{kBlack, false};
const TCharFormat kR{kRed, false};
const TCharFormat kU{kBlue, false};

class MergeEditFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        registry = std::make_unique<TAppRegistry>(dir.filePath(QStringLiteral("settings.ini")));
        form = new TMergeEditForm(registry.get(), dialogs, nullptr, &prompts);
        form->SetDefaultFolderSource([this] { return dir.path(); });
    }
    void TearDown() override { delete form.data(); }

    // 0 black, 1 red, 2 red, 3 blue, 4 black, 5 blue, 6 black.
    void LoadBlocks() {
        TWorkspaceDocument d;
        d.AppendLine("unit A;", kB);
        d.AppendLine("old one", kR);
        d.AppendLine("old two", kR);
        d.AppendLine("new one", kU);
        d.AppendLine("common", kB);
        d.AppendLine("added", kU);
        d.AppendLine("end.", kB);
        form->LoadDocument(d);
    }
    size_t CaretLine() {
        return form->WorkspaceEdit->LineFromChar(form->WorkspaceEdit->Selection().Start);
    }
    QString Path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    FakeDialogs dialogs;
    FakePrompts prompts;
    std::unique_ptr<TAppRegistry> registry;
    QPointer<TMergeEditForm> form;
};

TEST_F(MergeEditFormTest, StatusAndEditCommandsFollowTheSelection) {
    LoadBlocks();
    EXPECT_EQ(form->StatusPanel->text(), QStringLiteral("Line:   1   Col:   1"));
    EXPECT_FALSE(form->ActCut->isEnabled());
    EXPECT_FALSE(form->ActCopy->isEnabled());
    form->WorkspaceEdit->SetSelection(form->WorkspaceEdit->LineIndex(3) + 4, 3);
    EXPECT_EQ(form->StatusPanel->text(), QStringLiteral("Line:   4   Col:   5"));
    EXPECT_TRUE(form->ActCut->isEnabled());
    EXPECT_TRUE(form->ActCopy->isEnabled());
    form->WorkspaceEdit->copy();
    form->ShowLineColStatus();
    EXPECT_TRUE(form->ActPaste->isEnabled());
}

TEST_F(MergeEditFormTest, ExamplePairLoadsWithItsColoursAndBoldWords) {
    auto ws = BuildMergeWorkspace(ExampleLines("old"), ExampleLines("new"));
    ASSERT_TRUE(ws);
    form->LoadRtf(ws->Rtf);
    TRichEdit* edit = form->WorkspaceEdit;
    ASSERT_EQ(edit->LineCount(), ws->MergeMap.size());
    int red = 0, blue = 0, black = 0, boldLines = 0;
    const std::vector<std::string> oldLines = ExampleLines("old"), newLines = ExampleLines("new");
    for (size_t i = 0; i < ws->MergeMap.size(); ++i) {
        const auto& e = ws->MergeMap[i];
        const TColor c = edit->Document().LineColor(i);
        const std::string& src =
            e.Kind == quennet::diff::OldOnly ? oldLines[e.Line] : newLines[e.Line];
        EXPECT_EQ(edit->LineText(i), src) << i;
        if (e.Kind == quennet::diff::OldOnly) {
            EXPECT_EQ(c, kRed) << i;
            ++red;
        } else if (e.Kind == quennet::diff::NewOnly) {
            EXPECT_EQ(c, kBlue) << i;
            ++blue;
        } else {
            EXPECT_EQ(c, kBlack) << i;
            ++black;
        }
        for (const auto& run : edit->Document().LineRuns(i))
            if (run.Format.Bold) {
                ++boldLines;
                break;
            }
    }
    EXPECT_GT(red, 0);
    EXPECT_GT(blue, 0);
    EXPECT_GT(black, red + blue);
    EXPECT_GT(boldLines, 10);
    // A reserved word is bold, the identifier after it is not.
    const auto unitAt = edit->Find("unit ", 0, {true, false});
    ASSERT_TRUE(unitAt);
    EXPECT_TRUE(edit->Document().FormatAt(*unitAt).Bold);
    EXPECT_FALSE(edit->Document().FormatAt(*unitAt + 5).Bold);
    EXPECT_FALSE(edit->Modified());
}

// A block that fits is shown whole; a taller one from its start with three lines above.
TEST_F(MergeEditFormTest, NextDifferenceShowsTheWholeBlockAndSignsItsLines) {
    TWorkspaceDocument d;
    for (int i = 0; i < 300; ++i) {
        const bool red = i >= 60 && i < 70;
        const bool blue = i >= 150 && i < 290;
        d.AppendLine("line " + std::to_string(i), red ? kR : blue ? kU : kB);
    }
    form->LoadDocument(d);
    form->resize(600, 400);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.data()));
    TRichEdit* edit = form->WorkspaceEdit;
    const int rows = edit->viewport()->height() / edit->fontMetrics().lineSpacing();
    ASSERT_GT(rows, 13);
    ASSERT_LT(rows, 140);
    edit->SetSelection(0, 0);
    form->NextDifference();
    EXPECT_EQ(CaretLine(), 60u);
    EXPECT_LE(edit->FirstVisibleLine(), 60);
    EXPECT_GE(edit->FirstVisibleLine() + rows, 70);
    form->NextDifference();
    EXPECT_EQ(CaretLine(), 150u);
    EXPECT_EQ(edit->FirstVisibleLine(), 147);

    // The gutter carries "-" beside a red line and "+" beside a blue one, in their colours.
    QCoreApplication::processEvents();
    const QImage image = edit->grab().toImage();
    auto signColourInRow = [&](int line, uint32_t rgb) {
        const QTextBlock block = edit->document()->findBlockByNumber(line);
        const QRect r = edit->cursorRect(QTextCursor(block));
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = 0; x < edit->SignGutterWidth(); ++x)
                if ((image.pixel(x + edit->contentsRect().left(), y + edit->contentsRect().top()) &
                     0xFFFFFF) == rgb)
                    return true;
        return false;
    };
    const auto& shown = edit->ShownPalette();
    EXPECT_TRUE(signColourInRow(150, shown.MergeInserted));
    EXPECT_FALSE(signColourInRow(146, shown.MergeInserted));

    form->PriorDifference();
    EXPECT_EQ(CaretLine(), 60u);
    EXPECT_FALSE(edit->RedrawSuspended());
}

TEST_F(MergeEditFormTest, MarkingWithAndWithoutSelection) {
    LoadBlocks();
    TRichEdit* edit = form->WorkspaceEdit;
    // No selection: the caret's whole line with its break; the caret stays.
    const size_t caret = edit->LineIndex(4) + 2;
    edit->SetSelection(caret, 0);
    form->MarkLines(form->ActMarkRemoved->data().toInt());
    EXPECT_EQ(edit->Document().LineColor(4), kRed);
    EXPECT_EQ(edit->Document().ColorAt(edit->LineIndex(5) - 1), kRed); // its break
    EXPECT_EQ(edit->Document().LineColor(5), kBlue);
    EXPECT_EQ(edit->Selection(), (TSelection{caret, 0}));
    EXPECT_EQ(edit->LineText(4), "common");

    // A selection: exactly its characters; the line keeps its kind when its first is outside.
    const size_t s = edit->LineIndex(0) + 2;
    edit->SetSelection(s, 3);
    form->MarkLines(form->ActMarkInserted->data().toInt());
    EXPECT_EQ(edit->Document().LineColor(0), kBlack);
    for (size_t i = s; i < s + 3; ++i)
        EXPECT_EQ(edit->Document().ColorAt(i), kBlue);
    EXPECT_EQ(edit->Document().ColorAt(s + 3), kBlack);
    EXPECT_EQ(edit->Selection(), (TSelection{s, 0}));
    EXPECT_TRUE(edit->Modified());
    // The widget shows what the document holds.
    const TWorkspaceDocument fromWidget = edit->DocumentFromWidget();
    for (size_t i = 0; i <= fromWidget.TextLength(); ++i)
        EXPECT_EQ(fromWidget.FormatAt(i), edit->Document().FormatAt(i)) << i;
}

TEST_F(MergeEditFormTest, SavingAsRtfKeepsColoursAndOtherNamesSavePlainText) {
    LoadBlocks();
    form->WorkspaceEdit->SetSelection(form->WorkspaceEdit->LineIndex(4), 0);
    form->MarkLines(1);
    const TWorkspaceDocument before = form->WorkspaceEdit->Document();

    dialogs.SaveAnswer = Path("work.RTF");
    form->SaveWorkspace();
    EXPECT_EQ(dialogs.LastSave.Title, QStringLiteral("Save merge workspace as..."));
    EXPECT_EQ(dialogs.LastSave.InitialDir, dir.path());
    EXPECT_EQ(dialogs.LastSave.DefaultSuffix, QStringLiteral("pas"));
    EXPECT_EQ(
        dialogs.LastSave.Filter,
        QStringLiteral("Rich Text (*.rtf)|*.rtf|Delphi source (*.pas)|*.pas|All files (*.*)|*.*"));
    EXPECT_FALSE(form->WorkspaceEdit->Modified());
    ASSERT_TRUE(LooksLikeRtf(ReadAll(Path("work.RTF"))));

    // Reopened in the same window: every character has the colour it had.
    form->WorkspaceEdit->SetColor(0, 3, kRed); // a change that the reopening replaces
    dialogs.OpenAnswer = Path("work.RTF");
    prompts.DiscardAnswer = true;
    form->OpenWorkspace();
    EXPECT_EQ(prompts.DiscardQuestions, 1);
    EXPECT_EQ(dialogs.LastOpenTitle, QStringLiteral("Open merge workspace"));
    EXPECT_EQ(dialogs.LastOpenDir, dir.path());
    EXPECT_EQ(dialogs.LastOpenFilter,
              QStringLiteral("Rich Text (*.rtf)|*.rtf|All files (*.*)|*.*"));
    const TWorkspaceDocument& after = form->WorkspaceEdit->Document();
    ASSERT_EQ(after.TextLength(), before.TextLength());
    for (size_t i = 0; i < before.TextLength(); ++i)
        EXPECT_EQ(after.ColorAt(i), before.ColorAt(i)) << i;
    EXPECT_EQ(after.LineColor(4), kBlue);

    // The next save offers the name again, without folder and extension.
    dialogs.SaveAnswer = Path("plain");
    form->SaveWorkspace();
    EXPECT_EQ(dialogs.LastSave.FileName, QStringLiteral("work"));
    EXPECT_FALSE(QFile::exists(Path("plain")));
    EXPECT_EQ(ReadAll(Path("plain.pas")),
              "unit A;\r\nold one\r\nold two\r\nnew one\r\ncommon\r\nadded\r\nend.\r\n");
    dialogs.SaveAnswer = Path("other.txt");
    form->SaveWorkspace();
    EXPECT_EQ(ReadAll(Path("other.txt")), ReadAll(Path("plain.pas")));
    // Still rich text in the window.
    EXPECT_EQ(form->WorkspaceEdit->Document().LineColor(1), kRed);

    // A plain-text file opens with the automatic colour: every line a difference.
    dialogs.OpenAnswer = Path("plain.pas");
    form->OpenWorkspace();
    EXPECT_TRUE(form->WorkspaceEdit->Document().LineColor(0).IsAutomatic());

    // A file that cannot be read: the message, and the content stays.
    dialogs.OpenAnswer = Path("missing.rtf");
    RunCommand(dialogs, form, [this] { form->OpenWorkspace(); });
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains(QStringLiteral("missing.rtf")));
    EXPECT_EQ(form->WorkspaceEdit->LineText(0), "unit A;");
}

TEST_F(MergeEditFormTest, FindFromTheStartAndNotFoundMessage) {
    LoadBlocks();
    form->ShowFindDialog();
    ASSERT_NE(form->FindDialog, nullptr);
    form->FindDialog->FindText->setText(QStringLiteral("UNIT"));
    EXPECT_TRUE(form->FindNext());
    EXPECT_EQ(form->WorkspaceEdit->Selection(), (TSelection{0, 4}));
    // The next search starts after the selection; match case finds nothing now.
    form->FindDialog->FindText->setText(QStringLiteral("one"));
    form->FindDialog->WholeWord->setChecked(true);
    EXPECT_TRUE(form->FindNext());
    EXPECT_EQ(form->WorkspaceEdit->Selection().Start, form->WorkspaceEdit->LineIndex(1) + 4);
    EXPECT_TRUE(form->FindNext());
    EXPECT_EQ(form->WorkspaceEdit->Selection().Start, form->WorkspaceEdit->LineIndex(3) + 4);
    EXPECT_FALSE(form->FindNext());
    EXPECT_EQ(prompts.NotFoundTexts, QStringList{QStringLiteral("Text <one> not found")});
    EXPECT_EQ(prompts.NotFoundOwner, form->FindDialog);
    form->FindDialog->MatchCase->setChecked(true);
    form->FindDialog->FindText->setText(QStringLiteral("UNIT"));
    form->WorkspaceEdit->SetSelection(0, 0);
    EXPECT_FALSE(form->FindNext());
}

TEST_F(MergeEditFormTest, SaveCommandsWithRemoveCommentAndTheRememberedChoice) {
    LoadBlocks();
    // New version, Remove (the dialog first opens on Remove).
    dialogs.SaveAnswer = Path("new1.pas");
    form->SaveNewVersion();
    EXPECT_EQ(dialogs.LastSave.Title, QStringLiteral("Save merged text as..."));
    EXPECT_EQ(dialogs.LastSave.Filter,
              QStringLiteral("Delphi source (*.pas)|*.pas|All files (*.*)|*.*"));
    EXPECT_EQ(dialogs.LastSave.InitialDir, dir.path());
    EXPECT_EQ(prompts.SetupPrompts.last(), QStringLiteral("Old lines (marked as Red) must be"));
    EXPECT_FALSE(prompts.OpenedWithComment.last());
    EXPECT_EQ(ReadAll(Path("new1.pas")), "unit A;\r\nnew one\r\ncommon\r\nadded\r\nend.\r\n");

    // New version with a comment of one blank; remembered for next time.
    prompts.AnswerComment = true;
    prompts.AnswerText = QStringLiteral(" ");
    dialogs.SaveAnswer = Path("new2.pas");
    form->SaveNewVersion();
    EXPECT_EQ(ReadAll(Path("new2.pas")),
              "unit A;\r\n// old one\r\n// old two\r\nnew one\r\ncommon\r\nadded\r\nend.\r\n");
    prompts.AnswerComment = false;
    prompts.SetupAnswer = false; // Cancel: nothing written, nothing stored
    dialogs.SaveAnswer = Path("new3.pas");
    form->SaveNewVersion();
    EXPECT_TRUE(prompts.OpenedWithComment.last());
    EXPECT_EQ(prompts.OpenedWithText.last(), QStringLiteral(" "));
    EXPECT_FALSE(QFile::exists(Path("new3.pas")));

    // Old version has its own choice: Remove first, then "//x".
    prompts.SetupAnswer = true;
    dialogs.SaveAnswer = Path("old1.pas");
    form->SaveOldVersion();
    EXPECT_EQ(prompts.SetupPrompts.last(), QStringLiteral("New lines (marked as Blue) must be"));
    EXPECT_FALSE(prompts.OpenedWithComment.last());
    EXPECT_EQ(ReadAll(Path("old1.pas")), "unit A;\r\nold one\r\nold two\r\ncommon\r\nend.\r\n");
    prompts.AnswerComment = true;
    prompts.AnswerText = QStringLiteral("x");
    dialogs.SaveAnswer = Path("old2.pas");
    form->SaveOldVersion();
    EXPECT_EQ(ReadAll(Path("old2.pas")),
              "unit A;\r\nold one\r\nold two\r\n//xnew one\r\ncommon\r\n//xadded\r\nend.\r\n");
    // In the store, per prompt.
    ASSERT_TRUE(
        registry->OpenSettingsKey(QStringLiteral("Old lines (marked as Red) must be"), false));
    EXPECT_EQ(registry->ReadString(QStringLiteral("Comment"), QStringLiteral("?")),
              QStringLiteral("// "));
    registry->CloseKey();
    ASSERT_TRUE(
        registry->OpenSettingsKey(QStringLiteral("New lines (marked as Blue) must be"), false));
    EXPECT_EQ(registry->ReadString(QStringLiteral("Comment"), QStringLiteral("?")),
              QStringLiteral("//x"));
    registry->CloseKey();

    // Merged version: no setup dialog.
    const qsizetype setups = prompts.SetupPrompts.size();
    dialogs.SaveAnswer = Path("merged.pas");
    form->SaveMergedVersion();
    EXPECT_EQ(prompts.SetupPrompts.size(), setups);
    const std::vector<std::string> merged = quennet::io::SplitLines(ReadAll(Path("merged.pas")));
    ASSERT_EQ(merged.size(), 16u);
    EXPECT_EQ(merged[0].rfind("// Quennet Pro ", 0), 0u);
    EXPECT_EQ(std::vector<std::string>(merged.begin() + 1, merged.end()),
              (std::vector<std::string>{
                  "// FOR REVERSE SOURCE TO PREVIOUS VERSION REMOVE NEXT LINE", "{$DEFINE NEW_VER}",
                  "", "unit A;", "{$IFNDEF NEW_VER}", "old one", "old two", "{$ELSE}", "new one",
                  "{$ENDIF}", "common", "{$IFDEF NEW_VER}", "added", "{$ENDIF}", "end."}));

    // Cancel in the save dialog: no setup dialog either.
    dialogs.SaveAnswer.clear();
    form->SaveNewVersion();
    EXPECT_EQ(prompts.SetupPrompts.size(), setups);
    EXPECT_FALSE(form->WorkspaceEdit->Modified()); // writers change neither text nor colours
}

// UTF-8 sources: the workspace shows their characters, find selects them, the column counts
// them and the outputs get their bytes. An ASCII workspace of a UTF-16 file keeps a typed
// character for the UTF-16 output too.
TEST_F(MergeEditFormTest, Utf8WorkspaceShowsFindsAndSavesCharacters) {
    const std::string emoji = "\xF0\x9F\x98\x80";
    const std::vector<std::string> oldLines = {"unit A;", "const S = '\xC3\xA9';", "end."};
    const std::vector<std::string> newLines = {"unit A;", "const S = '\xE2\x82\xAC" + emoji + "';",
                                               "end."};
    auto ws = BuildMergeWorkspace(oldLines, newLines);
    ASSERT_TRUE(ws);
    form->LoadRtf(ws->Rtf);
    TRichEdit* edit = form->WorkspaceEdit;
    ASSERT_TRUE(edit->Document().IsUtf8());
    ASSERT_EQ(edit->LineText(2), newLines[1]);
    EXPECT_EQ(edit->document()->findBlockByNumber(2).text(), QString::fromUtf8(newLines[1]));

    form->ShowFindDialog();
    form->FindDialog->FindText->setText(QString::fromStdString(emoji));
    EXPECT_TRUE(form->FindNext());
    EXPECT_EQ(edit->textCursor().selectedText(), QString::fromStdString(emoji));
    EXPECT_EQ(form->StatusPanel->text(), QStringLiteral("Line:   3   Col:  13"));
    form->FindDialog->FindText->setText(QString::fromUtf8("\xC3\xA9"));
    edit->SetSelection(0, 0);
    EXPECT_TRUE(form->FindNext());
    EXPECT_EQ(edit->Selection(), (TSelection{edit->LineIndex(1) + 11, 2}));

    dialogs.SaveAnswer = Path("new.pas");
    form->SaveNewVersion();
    EXPECT_EQ(ReadAll(Path("new.pas")), "unit A;\r\n" + newLines[1] + "\r\nend.\r\n");

    LoadBlocks();
    quennet::io::SourceTextFormat utf16;
    utf16.Encoding = quennet::io::TextEncoding::Utf16Le;
    form->SetSourceFormats(utf16, utf16);
    EXPECT_FALSE(edit->Modified());
    edit->SetSelection(edit->LineIndex(4), 0);
    edit->insertPlainText(QString::fromUtf8("\xC3\xA9"));
    dialogs.SaveAnswer = Path("new16.pas");
    form->SaveNewVersion();
    EXPECT_EQ(ReadAll(Path("new16.pas")),
              quennet::io::EncodeSourceText("unit A;\r\nnew one\r\n\xC3\xA9"
                                            "common\r\nadded\r\nend.\r\n",
                                            quennet::io::TextEncoding::Utf16Le));
}

TEST_F(MergeEditFormTest, AFailedWriteIsShownAndKeepsTheExistingFile) {
    LoadBlocks();
    QFile existing(Path("keep.pas"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("old content\r\n");
    existing.close();
    // The target is a folder: the rename over it fails.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.pas")));
    dialogs.SaveAnswer = Path("folder.pas");
    RunCommand(dialogs, form, [this] { form->SaveMergedVersion(); });
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains(QStringLiteral("folder.pas")));
    EXPECT_TRUE(QFileInfo(Path("folder.pas")).isDir());
    dialogs.SaveAnswer = Path("missing/keep.pas");
    RunCommand(dialogs, form, [this] { form->SaveMergedVersion(); });
    EXPECT_EQ(dialogs.Errors.size(), 2);
    EXPECT_EQ(ReadAll(Path("keep.pas")), "old content\r\n");
}

TEST_F(MergeEditFormTest, ClosingWithChangedTextAsks) {
    LoadBlocks();
    form->show();
    EXPECT_TRUE(form->close()); // unchanged: no question
    EXPECT_EQ(prompts.DiscardQuestions, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull()); // freed on close

    form = new TMergeEditForm(registry.get(), dialogs, nullptr, &prompts);
    LoadBlocks();
    form->show();
    form->WorkspaceEdit->SetSelection(0, 0);
    form->WorkspaceEdit->insertPlainText(QStringLiteral("x"));
    prompts.DiscardAnswer = false;
    EXPECT_FALSE(form->close());
    EXPECT_EQ(prompts.DiscardQuestions, 1);
    EXPECT_TRUE(form->isVisible());
    prompts.DiscardAnswer = true;
    EXPECT_TRUE(form->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
}

TEST(MergeSetup, StoredPrefixOpensTheDialogAndOkStoresTheNewOne) {
    QTemporaryDir dir;
    TAppRegistry registry(dir.filePath(QStringLiteral("s.ini")));
    const QString prompt = QStringLiteral("Old lines (marked as Red) must be");
    bool openedComment = true;
    auto remove = [&](TMergeSetupDlgForm& d) {
        openedComment = d.CommentSelected();
        return true;
    };
    EXPECT_EQ(MergeSetup(&registry, prompt, nullptr, remove), std::optional<std::string>(""));
    EXPECT_FALSE(openedComment);
    // Typing into the edit box chooses the comment; the text is taken exactly.
    auto typed = [](TMergeSetupDlgForm& d) {
        d.CommentEdit->setFocus();
        d.CommentEdit->clear();
        d.CommentEdit->insert(QStringLiteral(" TODO "));
        emit d.CommentEdit->textEdited(d.CommentEdit->text());
        return true;
    };
    EXPECT_EQ(MergeSetup(&registry, prompt, nullptr, typed),
              std::optional<std::string>("// TODO "));
    QString openedText;
    auto cancel = [&](TMergeSetupDlgForm& d) {
        openedComment = d.CommentSelected();
        openedText = d.CommentText();
        d.SetChoice(false, QString());
        return false;
    };
    EXPECT_EQ(MergeSetup(&registry, prompt, nullptr, cancel), std::nullopt);
    EXPECT_TRUE(openedComment);
    EXPECT_EQ(openedText, QStringLiteral(" TODO "));
    // Cancel stored nothing.
    EXPECT_EQ(MergeSetup(&registry, prompt, nullptr, cancel), std::nullopt);
    EXPECT_TRUE(openedComment);
}

class MainFormMergeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        registry = std::make_unique<TAppRegistry>(dir.filePath(QStringLiteral("settings.ini")));
        form = std::make_unique<TMainForm>(registry.get(), dialogs);
        // An empty file opened as the navigator does sets the new side's folder.
        const QString empty = dir.filePath(QStringLiteral("empty.pas"));
        QFile(empty).open(QIODevice::WriteOnly);
        form->OpenPair(QString(), empty, QString(), dir.path());
    }
    MainFormFace Face() const { return MainFormFace(*form); }
    QList<TMergeEditForm*> Editors() {
        return form->findChildren<TMergeEditForm*>(Qt::FindDirectChildrenOnly);
    }

    QTemporaryDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<TAppRegistry> registry;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormMergeTest, EditMergedTextOpensANewEditorForTheViewsTexts) {
    EXPECT_TRUE(Face().Action("editMerged")->isEnabled());
    EXPECT_TRUE(Face().Action("openWorkspace")->isEnabled());
    // Both empty: nothing.
    Face().Action("editMerged")->trigger();
    EXPECT_TRUE(Editors().isEmpty());
    EXPECT_EQ(Face().Progress()->OpenCount(), 0);

    Face().Editor(true)->setLines(ExampleLines("old"));
    Face().Editor(false)->setLines(ExampleLines("new"));
    Face().Action("editMerged")->trigger();
    Face().Action("editMerged")->trigger();
    EXPECT_TRUE(dialogs.Errors.isEmpty());
    ASSERT_EQ(Editors().size(), 2); // one new window per run
    TMergeEditForm* editor = Editors().last();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->WorkspaceEdit->LineCount(),
              quennet::workspace::BuildMergeWorkspace(ExampleLines("old"), ExampleLines("new"), {})
                  ->MergeMap.size());
    EXPECT_EQ(Face().Progress()->OpenCount(), 0);

    // Its dialogs start in the main window's folder for new files.
    dialogs.SaveAnswer = dir.filePath(QStringLiteral("ws.rtf"));
    editor->SaveWorkspace();
    EXPECT_EQ(dialogs.LastSave.InitialDir, dir.path());

    // The stored workspace opens in a further window.
    dialogs.OpenAnswer = dialogs.SaveAnswer;
    Face().Action("openWorkspace")->trigger();
    ASSERT_EQ(Editors().size(), 3);
    EXPECT_EQ(dialogs.LastOpenTitle, QStringLiteral("Open merge workspace"));
    EXPECT_EQ(dialogs.LastOpenDir, dir.path());
    EXPECT_EQ(Editors().last()->WorkspaceEdit->DocumentFromWidget().TextLength(),
              editor->WorkspaceEdit->Document().TextLength());

    // A missing file: the message and no window.
    dialogs.OpenAnswer = dir.filePath(QStringLiteral("none.rtf"));
    Face().Action("openWorkspace")->trigger();
    EXPECT_EQ(dialogs.Errors.size(), 1);
    EXPECT_EQ(Editors().size(), 3);
    EXPECT_TRUE(form->close());
    for (TMergeEditForm* e : Editors())
        EXPECT_FALSE(e->isVisible());
}

TEST_F(MainFormMergeTest, AnEditorWithChangedTextCanKeepTheProgramOpen) {
    Face().Editor(true)->setLines({"unit A;", "end."});
    Face().Editor(false)->setLines({"unit B;", "end."});
    form->show();
    Face().Action("editMerged")->trigger();
    ASSERT_EQ(Editors().size(), 1);
    TMergeEditForm* editor = Editors().first();
    FakePrompts prompts;
    prompts.DiscardAnswer = false;
    editor->SetPrompts(&prompts);
    editor->WorkspaceEdit->insertPlainText(QStringLiteral("x"));
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(editor->isVisible());
    prompts.DiscardAnswer = true;
    EXPECT_TRUE(form->close());
    EXPECT_EQ(prompts.DiscardQuestions, 2);
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(MainFormMergeTest, AnUnterminatedStringShowsTheMessageAndLeavesNoWindow) {
    Face().Editor(true)->setLines({"unit A;", "s := 'abc;", "end."});
    Face().Editor(false)->setLines({"unit A;", "end."});
    Face().Action("editMerged")->trigger();
    EXPECT_EQ(dialogs.Errors, QStringList{QStringLiteral("Invalid string")});
    EXPECT_TRUE(Editors().isEmpty());
    EXPECT_EQ(Face().Progress()->OpenCount(), 0);
}

} // namespace
