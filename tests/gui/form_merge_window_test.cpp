// The merge window on forms: conflicts named by property, the merge's notes shown, and a binary
// LOCAL saved as binary.
#include "merge3_window.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

#include "app_registry.h"
#include "fake_dialogs.h"
#include "forms/form_reader.h"
#include "forms/form_writer.h"
#include "io/source_file.h"
#include "setup_form.h"

using namespace quennet;
using namespace quennet::gui;

namespace {

std::string Form(const char* ppi, const char* ok, const char* help) {
    return std::string("object Form1: TForm1\r\n  PixelsPerInch = ") + ppi +
           "\r\n  object Button1: TButton\r\n    Caption = '" + ok +
           "'\r\n  end\r\n  object Button2: TButton\r\n    Caption = '" + help +
           "'\r\n  end\r\nend\r\n";
}

class NoPrompts : public TMerge3Prompts {
public:
    bool SaveUnresolved(QWidget*, int) override { return false; }
    bool DiscardChanges(QWidget*) override { return true; }
};

class FormMergeWindowTest : public ::testing::Test {
protected:
    void Write(const char* name, const std::string& bytes) {
        std::ofstream(Path(name).toStdString(), std::ios::binary) << bytes;
    }
    QString Path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
    std::string Read(const char* name) { return io::ReadFileBytes(Path(name).toStdString()); }
    static std::string Binary(const std::string& text) {
        return forms::FormToBinary(forms::ReadForm(text, "x.dfm").Root);
    }

    QTemporaryDir dir;
    FakeDialogs dialogs;
    NoPrompts prompts;
    TMerge3Window window{dialogs, &prompts};
};

} // namespace

TEST_F(FormMergeWindowTest, ConflictNamedByPropertyNotesShownAndChoiceSaved) {
    Write("base.dfm", Form("96", "OK", "Help"));
    Write("local.dfm", Form("120", "Yes", "Help"));
    Write("remote.dfm", Form("144", "Go", "Info"));
    window.Open(Path("base.dfm"), Path("local.dfm"), Path("remote.dfm"), Path("out.dfm"));
    ASSERT_TRUE(window.MergesForms());
    ASSERT_EQ(window.ConflictList->count(), 1);
    EXPECT_EQ(window.ConflictList->item(0)->text(), QStringLiteral("Form1.Button1.Caption"));
    EXPECT_FALSE(window.NotesLabel->isHidden());
    EXPECT_TRUE(window.NotesLabel->text().contains(QStringLiteral("PixelsPerInch")))
        << window.NotesLabel->text().toStdString();
    window.UseRemote->click();
    ASSERT_TRUE(window.Save());
    EXPECT_EQ(Read("out.dfm"), Form("120", "Go", "Info"));
}

TEST_F(FormMergeWindowTest, BinaryLocalIsSavedAsBinary) {
    Write("base.dfm", Binary(Form("96", "OK", "Help")));
    Write("local.dfm", Binary(Form("96", "Yes", "Help")));
    Write("remote.dfm", Binary(Form("96", "OK", "Info")));
    window.Open(Path("base.dfm"), Path("local.dfm"), Path("remote.dfm"), Path("out.dfm"));
    EXPECT_EQ(window.ConflictList->count(), 0);
    ASSERT_TRUE(window.Save());
    const std::string out = Read("out.dfm");
    ASSERT_TRUE(forms::IsBinaryForm(out));
    EXPECT_EQ(forms::FormToText(forms::ReadForm(out, "out.dfm").Root), Form("96", "Yes", "Info"));
    EXPECT_TRUE(dialogs.Errors.isEmpty());
}

// The names stored in the setup dialog rule the merge, not the engine's own list: without
// PixelsPerInch among them, the two sides' values conflict.
TEST_F(FormMergeWindowTest, StoredNoiseNamesRuleTheMerge) {
    {
        TAppRegistry store(Path("settings.ini"));
        ASSERT_TRUE(store.OpenSettingsKey(QString(), true));
        store.WriteStringList(QStringLiteral("FormNoiseNames"), {QStringLiteral("Explicit*")});
        store.CloseKey();
    }
    TAppRegistry store(Path("settings.ini"));
    window.SetFormNoise(NoiseRulesOf(ReadFormNoise(&store)));
    Write("base.dfm", Form("96", "OK", "Help"));
    Write("local.dfm", Form("120", "OK", "Help"));
    Write("remote.dfm", Form("144", "OK", "Help"));
    window.Open(Path("base.dfm"), Path("local.dfm"), Path("remote.dfm"), Path("out.dfm"));
    ASSERT_EQ(window.ConflictList->count(), 1);
    EXPECT_EQ(window.ConflictList->item(0)->text(), QStringLiteral("Form1.PixelsPerInch"));
}
