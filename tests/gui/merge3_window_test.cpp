// Three-way merge window: each choice button on a conflict, editing by hand, and saving that
// asks while conflicts are left.
#include "merge3_window.h"
#include "source_editor.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include "fake_dialogs.h"
#include "io/source_file.h"
#include "io/text_encoding.h"

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

TEST_F(Merge3WindowTest, RefusesToWriteOverBaseOrRemote) {
    for (const char* input : {"base.pas", "remote.pas"})
        EXPECT_THROW(
            window->Open(Path("base.pas"), Path("local.pas"), Path("remote.pas"), Path(input)),
            std::runtime_error);
}

} // namespace
