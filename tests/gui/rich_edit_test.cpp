// The merge editor's text control: formats kept exactly in both directions, the document in
// step with typing, deleting, pasting and undo, and the operations the merge relies on.
#include "rich_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

using namespace quennet::gui;
using namespace quennet::workspace;

namespace {

const TCharFormat kPlainBlack{kBlack, false};
const TCharFormat kBoldBlack{kBlack, true};
const TCharFormat kPlainRed{kRed, false};
const TCharFormat kBoldRed{kRed, true};
const TCharFormat kPlainBlue{kBlue, false};
const TCharFormat kAuto{TColor::Automatic(), false};
const TCharFormat kGreen{TColor::Rgb(0, 128, 0), false};

// Same text, runs, break formats and end mark.
void ExpectSameDocument(const TWorkspaceDocument& a, const TWorkspaceDocument& b) {
    ASSERT_EQ(a.LineCount(), b.LineCount());
    for (size_t i = 0; i < a.LineCount(); ++i) {
        EXPECT_EQ(a.LineText(i), b.LineText(i)) << "line " << i;
        EXPECT_TRUE(a.LineRuns(i) == b.LineRuns(i)) << "runs of line " << i;
        EXPECT_TRUE(a.LineBreakFormat(i) == b.LineBreakFormat(i)) << "break of line " << i;
    }
    EXPECT_TRUE(a.IsConsistent());
    EXPECT_TRUE(b.IsConsistent());
}

// black "begin x;" with bold begin, red line, empty line with a blue break, an automatic
// line, a line with a green word, and an empty last line whose end mark is red.
TWorkspaceDocument Sample() {
    TWorkspaceDocument d;
    d.AppendLine("begin x;", {{5, kBoldBlack}, {3, kPlainBlack}}, kPlainBlack);
    d.AppendLine("  old := 1;", kPlainRed);
    d.AppendLine("", {}, kPlainBlue);
    d.AppendLine("plain", kAuto);
    d.AppendLine("a green b", {{2, kPlainBlack}, {5, kGreen}, {2, kPlainBlack}}, kBoldRed);
    d.AppendLine("", {}, kPlainRed);
    return d;
}

// A key press with any character (the test library's key clicks know only ASCII).
void TypeCharacter(QWidget* widget, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
}

TColor WidgetColorAt(TRichEdit& edit, int pos) {
    QTextCursor c(edit.document());
    c.setPosition(pos + 1);
    return ToCharFormat(c.charFormat(), &edit.ShownPalette()).Color;
}

// Every byte of a line comes back from the widget in either charset: Windows-1252 shows each
// as a character, UTF-8 shows characters and keeps a byte that starts none as it is.
TEST(RichEdit, EveryByteOfALineSurvivesTheWidget) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n') all += static_cast<char>(b);
    for (const bool utf8 : {false, true}) {
        SCOPED_TRACE(utf8 ? "UTF-8" : "Windows-1252");
        TWorkspaceDocument d;
        d.SetUtf8(utf8);
        d.AppendLine(all, kPlainRed);
        d.AppendLine("caf\xC3\xA9 \xF0\x9F\x98\x80", kPlainBlack);
        TRichEdit edit;
        edit.LoadDocument(d);
        ExpectSameDocument(edit.DocumentFromWidget(), d);
        EXPECT_EQ(edit.LineText(0), all);
        EXPECT_EQ(edit.document()->lastBlock().text().size(), utf8 ? 7 : 10);
    }
}

// UTF-8 text: the widget shows characters (two units beyond U+FFFF); selections, colours and
// edits cover whole characters, and the document gets their bytes.
TEST(RichEdit, Utf8TextIsEditedAsCharacters) {
    const std::string line0 =
        "s := '\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80';"; // e-acute, euro, emoji
    TWorkspaceDocument d;
    d.SetUtf8(true);
    d.AppendLine(line0, kPlainRed);
    d.AppendLine("x\xE9y", kPlainBlue); // a byte that is no UTF-8
    d.AppendLine("\xE2X\x82\xAC", kPlainBlack);
    TRichEdit edit;
    edit.LoadDocument(d);
    edit.show();
    edit.setFocus();
    auto check = [&](const char* step) {
        SCOPED_TRACE(step);
        ExpectSameDocument(edit.Document(), edit.DocumentFromWidget());
    };
    EXPECT_EQ(edit.document()->firstBlock().text(), QString::fromUtf8(line0));

    // The euro sign: bytes 8 to 10, one character in the widget.
    edit.SetSelection(8, 3);
    EXPECT_EQ(edit.textCursor().selectedText(), QString::fromUtf8("\xE2\x82\xAC"));
    EXPECT_EQ(edit.Selection(), (TSelection{8, 3}));
    edit.SetColor(8, 3, kGreen.Color);
    EXPECT_EQ(WidgetColorAt(edit, 7), kGreen.Color);
    EXPECT_EQ(WidgetColorAt(edit, 6), kRed);
    EXPECT_EQ(edit.Document().ColorAt(7), kRed);
    check("coloured");

    // Typed after the emoji, then two backspaces: the typed letter and the whole emoji go.
    edit.SetSelection(15, 0);
    TypeCharacter(&edit, QString::fromUtf8("\xC3\xBC"));
    check("typed");
    EXPECT_EQ(edit.LineText(0), "s := '\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xC3\xBC';");
    EXPECT_EQ(edit.Document().ColorAt(15), kRed);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    check("deleted");
    EXPECT_EQ(edit.LineText(0), "s := '\xC3\xA9\xE2\x82\xAC';");

    // Typing beside a byte that is no UTF-8 keeps it.
    edit.SetSelection(edit.LineIndex(1) + 2, 0);
    QTest::keyClicks(&edit, "z");
    check("typed beside a lone byte");
    EXPECT_EQ(edit.LineText(1), "x\xE9zy");

    // Deleting what stood between three such bytes makes them a character; the widget still
    // shows the three and the two stay in step.
    edit.SetSelection(edit.LineIndex(2) + 1, 1);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClicks(&edit, "!");
    check("joined");
    EXPECT_EQ(edit.LineText(2), "\xE2!\x82\xAC");

    // Pasted text with a break and an emoji.
    QApplication::clipboard()->setText(QString::fromUtf8("\xF0\x9F\x98\x80\n\xC3\xA9"));
    edit.SetSelection(edit.LineIndex(1), 0);
    edit.paste();
    check("pasted");
    EXPECT_EQ(edit.LineText(1), "\xF0\x9F\x98\x80");
    EXPECT_EQ(edit.LineText(2), "\xC3\xA9x\xE9zy");
    EXPECT_EQ(edit.Document().LineColor(1), kBlue);
    edit.undo();
    check("undone");
    EXPECT_EQ(edit.LineText(1), "x\xE9zy");
    EXPECT_EQ(edit.FullSyncs(), 0);

    // Saved and read back: the same bytes, still UTF-8.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ws.rtf"));
    edit.SaveRtf(path);
    TRichEdit reopened;
    reopened.LoadFromFile(path);
    EXPECT_TRUE(reopened.Document().IsUtf8());
    ExpectSameDocument(reopened.Document(), edit.Document());

    // A colour change inside a character: the character takes one colour, in both.
    TWorkspaceDocument split;
    split.SetUtf8(true);
    split.AppendLine("a\xC3\xA9", {{2, kPlainRed}, {1, kPlainBlue}}, kPlainBlack);
    edit.LoadDocument(split);
    ExpectSameDocument(edit.Document(), edit.DocumentFromWidget());
    EXPECT_EQ(edit.LineText(0), "a\xC3\xA9");
}

TEST(RichEdit, LoadKeepsEveryFormatAndReadsItBack) {
    TRichEdit edit;
    const TWorkspaceDocument sample = Sample();
    edit.LoadDocument(sample);
    ExpectSameDocument(edit.DocumentFromWidget(), sample);
    ExpectSameDocument(edit.Document(), sample);
    EXPECT_FALSE(edit.Modified());
    EXPECT_EQ(edit.document()->blockCount(), 6);

    // One selected character gives its colour; an empty line gives its break's colour.
    edit.SetSelection(0, 1);
    EXPECT_EQ(edit.SelectionColor(), kBlack);
    const size_t redLine = edit.LineIndex(1);
    edit.SetSelection(redLine + 2, 1);
    EXPECT_EQ(edit.SelectionColor(), kRed);
    edit.SetSelection(edit.LineIndex(2), 1);
    EXPECT_EQ(edit.SelectionColor(), kBlue);
    edit.SetSelection(edit.LineIndex(3), 1);
    EXPECT_TRUE(edit.SelectionColor().IsAutomatic());
    // What the widget shows agrees.
    EXPECT_EQ(WidgetColorAt(edit, static_cast<int>(redLine) + 2), kRed);
    EXPECT_EQ(WidgetColorAt(edit, static_cast<int>(edit.LineIndex(4)) + 3), TColor::Rgb(0, 128, 0));
    // Lines as a save writes them: the empty last line is not one.
    EXPECT_EQ(edit.LineCount(), 5u);
    EXPECT_EQ(edit.LineText(4), "a green b");
}

TEST(RichEdit, SettingTheSelectionColourColoursEverySelectedCharacterAndBreak) {
    TRichEdit edit;
    edit.LoadDocument(Sample());
    // From the middle of line 0 to the middle of line 3, across the empty blue line.
    const size_t start = 6, end = edit.LineIndex(3) + 2;
    edit.SetSelection(start, end - start);
    edit.SetSelectionColor(kBlue);
    const TWorkspaceDocument& doc = edit.Document();
    for (size_t i = start; i < end; ++i)
        EXPECT_EQ(doc.ColorAt(i), kBlue) << i;
    EXPECT_EQ(doc.ColorAt(start - 1), kBlack);
    EXPECT_TRUE(doc.ColorAt(end).IsAutomatic());
    EXPECT_TRUE(doc.FormatAt(0).Bold); // bold kept
    ExpectSameDocument(edit.DocumentFromWidget(), doc);
    EXPECT_TRUE(edit.Modified());
}

TEST(RichEdit, TypingDeletingPastingAndUndoKeepTheDocumentInStep) {
    TRichEdit edit;
    edit.LoadDocument(Sample());
    edit.show();
    edit.setFocus();
    auto check = [&](const char* step) {
        SCOPED_TRACE(step);
        TWorkspaceDocument fromWidget = edit.DocumentFromWidget();
        ExpectSameDocument(edit.Document(), fromWidget);
    };

    // Typing in the red line takes its colour.
    edit.SetSelection(edit.LineIndex(1) + 2, 0);
    QTest::keyClicks(&edit, "new");
    check("typed");
    EXPECT_EQ(edit.LineText(1), "  newold := 1;");
    EXPECT_EQ(edit.Document().ColorAt(edit.LineIndex(1) + 3), kRed);

    // Typing into the empty blue line gives blue text, not the colour of the break before.
    edit.SetSelection(edit.LineIndex(2), 0);
    QTest::keyClicks(&edit, "x");
    check("typed into empty line");
    EXPECT_EQ(edit.LineText(2), "x");
    EXPECT_EQ(edit.Document().LineColor(2), kBlue);

    // Enter splits a line; Shift+Enter too, never a line break inside a line; Tab is typed.
    edit.SetSelection(3, 0);
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(&edit, Qt::Key_Tab);
    check("enter");
    EXPECT_EQ(edit.LineText(0), "beg");
    EXPECT_EQ(edit.LineText(1), "");
    EXPECT_EQ(edit.LineText(2), "\tin x;");

    // A selection over several lines deleted.
    edit.SetSelection(1, edit.LineIndex(3) + 4 - 1);
    QTest::keyClick(&edit, Qt::Key_Delete);
    check("deleted");
    EXPECT_EQ(edit.LineText(0), "bwold := 1;");

    // Backspace joins two lines.
    edit.SetSelection(edit.LineIndex(1), 0);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    check("joined");

    // Paste of text with line breaks and a character that has no byte.
    QApplication::clipboard()->setText(QStringLiteral("p1\r\np2\u0142\nend"));
    edit.SetSelection(2, 0);
    edit.paste();
    check("pasted");
    EXPECT_EQ(edit.LineText(0), "bwp1");
    EXPECT_EQ(edit.LineText(1), "p2?");

    // Undo of a recolouring restores the colours in the document too.
    const TWorkspaceDocument before = edit.Document();
    edit.SetColor(0, edit.LineIndex(2), kGreen.Color);
    EXPECT_EQ(edit.Document().LineColor(1), kGreen.Color);
    edit.undo();
    check("undone");
    ExpectSameDocument(edit.Document(), before);

    // Select all and type: the whole text replaced.
    edit.selectAll();
    QTest::keyClicks(&edit, "z");
    check("replaced all");
    EXPECT_EQ(edit.Document().TextLength(), 1u);

    EXPECT_GT(edit.IncrementalSyncs(), 5);
    EXPECT_EQ(edit.FullSyncs(), 0);
}

TEST(RichEdit, RedrawSuspensionNests) {
    TRichEdit edit;
    edit.LoadDocument(Sample());
    edit.show();
    {
        TRedrawLock outer(&edit);
        {
            TRedrawLock inner(&edit);
            EXPECT_FALSE(edit.updatesEnabled());
        }
        EXPECT_FALSE(edit.updatesEnabled());
    }
    EXPECT_TRUE(edit.updatesEnabled());
}

TEST(RichEdit, CutAndPasteKeepTheColoursOfMovedLines) {
    TRichEdit edit;
    edit.LoadDocument(Sample());
    // Cut the red line with its break and the empty blue line's break.
    const size_t start = edit.LineIndex(1), end = edit.LineIndex(3);
    edit.SetSelection(start, end - start);
    edit.cut();
    EXPECT_EQ(edit.LineText(1), "plain");
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasFormat(QStringLiteral("text/rtf")));
    EXPECT_EQ(data->text(), QStringLiteral("  old := 1;\n\n"));
    // Pasted at the start of the automatic line: red text, red break, blue break.
    edit.SetSelection(edit.LineIndex(1), 0);
    edit.paste();
    ExpectSameDocument(edit.Document(), edit.DocumentFromWidget());
    ExpectSameDocument(edit.Document(), Sample());
    EXPECT_EQ(edit.FullSyncs(), 0);

    // RTF from another program: its colours come along.
    auto* foreign = new QMimeData;
    foreign->setData(QStringLiteral("text/rtf"),
                     "{\\rtf1{\\colortbl ;\\red0\\green0\\blue255;}\\cf1 blue}");
    foreign->setText(QStringLiteral("blue"));
    QApplication::clipboard()->setMimeData(foreign);
    edit.SetSelection(0, 0);
    edit.paste();
    EXPECT_EQ(edit.LineText(0), "bluebegin x;");
    EXPECT_EQ(edit.Document().ColorAt(0), kBlue);
    EXPECT_EQ(edit.Document().ColorAt(4), kBlack);
    EXPECT_TRUE(edit.Document().FormatAt(4).Bold);
    ExpectSameDocument(edit.Document(), edit.DocumentFromWidget());
}

} // namespace
