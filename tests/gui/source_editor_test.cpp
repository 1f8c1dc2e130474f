// The source editor control: byte-exact text, editing state, bookmarks, decorations, appearance.
#include <gtest/gtest.h>

#include <QFile>
#include <QFontInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <Qsci/qscilexerpascal.h>
#include <stdexcept>

#include "io/source_file.h"
#include "source_editor.h"

using quennet::gui::SourceEditor;
using quennet::render::LineDecoration;

namespace {

std::vector<std::string> Lines(std::initializer_list<const char*> lines) {
    return {lines.begin(), lines.end()};
}

void WriteFile(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())),
              static_cast<qint64>(bytes.size()));
}

} // namespace

TEST(SourceEditor, KeepsBytesOfEveryLineExactly) {
    SourceEditor editor(28);
    const std::vector<std::string> cases[] = {
        Lines({"unit A;", "", "  x := 'caf\xE9'; { \xFF\x80\x81\x8D\x8F\x90\x9D }", "end."}),
        Lines({"s := 'caf\xC3\xA9 \xE2\x82\xAC';", "\t\tindented"}), // UTF-8 text
        {std::string("a\0b", 3), std::string("\x1A", 1)},            // NUL and Ctrl-Z
        {},                                                          // empty file
        Lines({""}),                                                 // one empty line
        Lines({"", "", ""}),
    };
    for (const auto& lines : cases) {
        editor.setLines(lines);
        EXPECT_EQ(editor.lines(), lines);
        EXPECT_EQ(editor.lineCount(), static_cast<int>(lines.size()));
        EXPECT_EQ(editor.textCrLf(), quennet::io::JoinLinesCrLf(lines));
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(editor.lineBytes(static_cast<int>(i)), lines[i]);
        EXPECT_FALSE(editor.isModified());
    }
}

// The view holds UTF-8 only: 8-bit text is shown in Windows-1252, and a byte's marks cover
// the two or three bytes that show it.
TEST(SourceEditor, ShowsEightBitTextAsWindows1252) {
    using quennet::io::ViewCharset;
    SourceEditor editor(28);
    editor.setLines(Lines({"caf\xC3\xA9"}));
    EXPECT_EQ(editor.charset(), ViewCharset::Utf8);
    EXPECT_EQ(editor.text(0), QString::fromUtf8("caf\xC3\xA9"));
    editor.setLines(Lines({"\x93\x80\x94 caf\xE9", "\xC3\xA9"}));
    EXPECT_EQ(editor.charset(), ViewCharset::Windows1252);
    EXPECT_EQ(editor.text(0).left(8),
              QString::fromUtf8("\xE2\x80\x9C\xE2\x82\xAC\xE2\x80\x9D caf\xC3\xA9"));
    EXPECT_EQ(editor.text(1), QString::fromUtf8("\xC3\x83\xC2\xA9"));

    editor.addCharMarks(0, {{4, 3}}); // "caf"
    const long line = editor.SendScintilla(SourceEditor::SCI_POSITIONFROMLINE, 0UL);
    auto marked = [&](long pos) {
        return editor.SendScintilla(SourceEditor::SCI_INDICATORVALUEAT,
                                    static_cast<unsigned long>(SourceEditor::kCharMarkIndicator),
                                    line + pos) != 0;
    };
    EXPECT_FALSE(marked(9));  // the blank after three 3-byte characters
    EXPECT_TRUE(marked(10));  // "c"
    EXPECT_TRUE(marked(12));  // "f"
    EXPECT_FALSE(marked(13)); // "é"
    EXPECT_TRUE(editor.hasCharMark(0, 4));
    EXPECT_FALSE(editor.hasCharMark(0, 7));

    // Typed text that the code page cannot hold is refused by a save, not turned into '?'.
    editor.setReadOnly(false);
    editor.setCursorPosition(1, 0);
    editor.insert(QStringLiteral("\u20AC\u65E5"));
    EXPECT_EQ(editor.lineBytes(1), "\x80\xE6\x97\xA5\xC3\xA9");
    EXPECT_THROW(editor.fileBytes("u.pas"), std::runtime_error);
}

TEST(SourceEditor, LineBeyondTheTextThrows) {
    SourceEditor editor(28);
    editor.setLines(Lines({"a", "b"}));
    EXPECT_THROW(editor.lineBytes(2), std::out_of_range);
    EXPECT_THROW(editor.lineBytes(-1), std::out_of_range);
    editor.setLines({});
    EXPECT_THROW(editor.lineBytes(0), std::out_of_range);
}

TEST(SourceEditor, LoadsFilesWithAnyLineEndsAndNamesAMissingOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("mixed.pas");
    const std::string bytes = "unit M;\r\ninterface\rimplementation\n\r\nend.\r\n";
    WriteFile(path, bytes);
    SourceEditor editor(28);
    editor.loadFile(path);
    EXPECT_EQ(editor.lines(), quennet::io::SplitLines(bytes));
    EXPECT_EQ(editor.textCrLf(), "unit M;\r\ninterface\r\nimplementation\r\n\r\nend.\r\n");

    // A failed load names the file and keeps the text.
    try {
        editor.loadFile("/nonexistent/folder/gone.pas");
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("gone.pas"), std::string::npos) << e.what();
    }
    EXPECT_EQ(editor.lines(), quennet::io::SplitLines(bytes));

    WriteFile(path, "");
    editor.loadFile(path);
    EXPECT_EQ(editor.lineCount(), 0);
    EXPECT_EQ(editor.textCrLf(), "");
}

TEST(SourceEditor, EditingSetsModifiedUndoAndRedo) {
    SourceEditor editor(28);
    editor.setLines(Lines({"begin", "end;"}));
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    QSignalSpy status(&editor, &SourceEditor::statusChanged);
    editor.setCursorPosition(1, 0);
    QTest::keyClicks(&editor, "x");
    EXPECT_EQ(editor.lines(), Lines({"begin", "xend;"}));
    EXPECT_TRUE(editor.isModified());
    EXPECT_EQ(status.count(), 1); // modified changed at once
    // The caret's move is reported when the view updates.
    for (int i = 0; i < 100 && status.count() < 2; ++i)
        QTest::qWait(10);
    EXPECT_GE(status.count(), 2);
    EXPECT_EQ(editor.caretLine(), 1);
    EXPECT_EQ(editor.caretColumn(), 1);
    editor.undo();
    EXPECT_EQ(editor.lines(), Lines({"begin", "end;"}));
    EXPECT_FALSE(editor.isModified());
    editor.redo();
    EXPECT_EQ(editor.lines(), Lines({"begin", "xend;"}));
    // Typing into an empty text gives one line.
    editor.setLines({});
    QTest::keyClicks(&editor, "a");
    EXPECT_EQ(editor.lines(), Lines({"a"}));
}

TEST(SourceEditor, ReadOnlyRefusesTyping) {
    SourceEditor editor(18);
    editor.setReadOnly(true);
    editor.setLines(Lines({"fixed"}));
    QTest::keyClicks(&editor, "zz");
    EXPECT_EQ(editor.lines(), Lines({"fixed"}));
    EXPECT_FALSE(editor.isModified());
    editor.setReadOnly(false);
    QTest::keyClicks(&editor, "z");
    EXPECT_EQ(editor.lines(), Lines({"zfixed"}));
}

TEST(SourceEditor, CaretLineAndColumnExpandTabs) {
    SourceEditor editor(28);
    editor.setLines(Lines({"one", "\tx := 1;"}));
    EXPECT_EQ(editor.caretLine(), 0);
    EXPECT_EQ(editor.caretColumn(), 0);
    editor.setCursorPosition(1, 2); // after the tab and "x"
    EXPECT_EQ(editor.caretLine(), 1);
    EXPECT_EQ(editor.caretColumn(), 4); // tab width 3
}

TEST(SourceEditor, BookmarksByKeysWithDigitInTheGutter) {
    SourceEditor editor(28);
    std::vector<std::string> lines(200, "x");
    editor.resize(400, 200);
    editor.setLines(lines);
    editor.setCursorPosition(120, 0);
    QTest::keyClick(&editor, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor.bookmarkLine(3), 120);
    EXPECT_TRUE(editor.markersAtLine(120) & (1u << 3));
    // Shift turns the digit into a symbol on most keyboards.
    editor.setCursorPosition(5, 0);
    QTest::keyClick(&editor, Qt::Key_ParenRight, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor.bookmarkLine(0), 5);

    QTest::keyClick(&editor, Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(editor.caretLine(), 120);
    QTest::keyClick(&editor, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(editor.caretLine(), 5);
    EXPECT_EQ(editor.lines(), lines); // the keys typed nothing

    // Setting a bookmark elsewhere moves it; setting it on its own line clears it.
    editor.setCursorPosition(7, 0);
    QTest::keyClick(&editor, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor.bookmarkLine(3), 7);
    EXPECT_FALSE(editor.markersAtLine(120) & (1u << 3));
    QTest::keyClick(&editor, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor.bookmarkLine(3), -1);
    EXPECT_FALSE(editor.markersAtLine(7) & (1u << 3));
    // Jumping to an unset bookmark does nothing.
    QTest::keyClick(&editor, Qt::Key_9, Qt::ControlModifier);
    EXPECT_EQ(editor.caretLine(), 7);
}

TEST(SourceEditor, DecorationsBecomeMarkersAndIndicators) {
    SourceEditor editor(28);
    editor.setLines(Lines({"a", "bb", "ccc", "dddd", "e"}));
    std::vector<LineDecoration> decorations(3);
    for (auto& d : decorations)
        d.Background = 0xE6E6E6;
    decorations[1].Foreground = 0xFF0000;
    decorations[1].GutterImage = 0;
    decorations[2].Foreground = 0x0000FF;
    decorations[2].GutterImage = 1;
    editor.setDecorations(1, decorations);

    const unsigned grey = 1u << SourceEditor::kBackgroundMarker;
    const unsigned oldMark = 1u << SourceEditor::kOldOnlyMarker;
    const unsigned newMark = 1u << SourceEditor::kNewOnlyMarker;
    EXPECT_EQ(editor.markersAtLine(0), 0u);
    EXPECT_EQ(editor.markersAtLine(1), grey);
    EXPECT_EQ(editor.markersAtLine(2), grey | oldMark);
    EXPECT_EQ(editor.markersAtLine(3), grey | newMark);
    EXPECT_EQ(editor.markersAtLine(4), 0u);
    EXPECT_EQ(editor.foregroundAt(1, 0), -1);
    EXPECT_EQ(editor.foregroundAt(2, 0), 0xFF0000);
    EXPECT_EQ(editor.foregroundAt(2, 1), 0xFF0000);
    EXPECT_EQ(editor.foregroundAt(3, 3), 0x0000FF);
    EXPECT_EQ(editor.foregroundAt(4, 0), -1);

    // Decorations past the end of the text are dropped, earlier ones replaced.
    editor.setDecorations(4, decorations);
    EXPECT_EQ(editor.markersAtLine(2), 0u);
    EXPECT_EQ(editor.foregroundAt(2, 0), -1);
    EXPECT_EQ(editor.markersAtLine(4), grey);

    editor.clearDecorations();
    for (int line = 0; line < 5; ++line)
        EXPECT_EQ(editor.markersAtLine(line), 0u);
}

TEST(SourceEditor, ScrollsToAFirstLineEvenNearTheEnd) {
    SourceEditor editor(28);
    editor.resize(400, 200);
    editor.setLines(std::vector<std::string>(100, "line"));
    editor.scrollToLine(40);
    EXPECT_EQ(editor.firstVisibleLine(), 40);
    editor.scrollToLine(98);
    EXPECT_EQ(editor.firstVisibleLine(), 98);
    editor.scrollToLine(0);
    EXPECT_EQ(editor.firstVisibleLine(), 0);
}

// The fixed font reaches every lexer style, and a new size keeps each style's weight.
TEST(SourceEditor, FixedFontOnEveryStyle) {
    SourceEditor editor(28);
    QsciLexer* lexer = editor.lexer();
    ASSERT_NE(lexer, nullptr);
    for (int style = 0; style <= QsciLexerPascal::Asm; ++style) {
        const QFont font = lexer->font(style);
        EXPECT_TRUE(QFontInfo(font).fixedPitch())
            << "style " << style << " " << font.family().toStdString();
        EXPECT_EQ(font.pointSize(), 10);
    }
    EXPECT_EQ(editor.tabWidth(), 3);

    QFont big = editor.editorFont();
    big.setPointSize(14);
    editor.setEditorFont(big);
    EXPECT_EQ(lexer->font(QsciLexerPascal::Keyword).pointSize(), 14);
    EXPECT_TRUE(lexer->font(QsciLexerPascal::Keyword).bold());
    EXPECT_FALSE(lexer->font(QsciLexerPascal::Identifier).bold());
}
