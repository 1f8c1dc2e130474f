// Report window: saving as CR LF text with the proposed name, hiding on close.
#include "app_registry.h"
#include "diff_rpt_form.h"
#include "user_dialogs.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "fake_dialogs.h"

using namespace quennet::gui;

namespace {

TEST(DiffRptForm, SaveProposesDiffReportInTheNewFolderAndWritesCrLf) {
    QTemporaryDir dir;
    FakeDialogs dialogs;
    TDiffRptForm form(nullptr, dialogs);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Diff Report"));
    EXPECT_TRUE(form.Lines().isEmpty());
    form.SetDefaultFolderSource([&] { return dir.path(); });
    form.SetLines({QStringLiteral("Diff report for"), QStringLiteral("  a.pas"),
                   QStringLiteral("  b.pas"), QString(), QStringLiteral("caf\u00e9")});
    dialogs.SaveAnswer = dir.filePath(QStringLiteral("out.txt"));
    form.SaveReport();
    EXPECT_EQ(dialogs.LastSave.FileName, QStringLiteral("DiffReport.txt"));
    EXPECT_EQ(dialogs.LastSave.InitialDir, dir.path());
    EXPECT_EQ(dialogs.LastSave.Title, QStringLiteral("Save diff report as..."));
    EXPECT_EQ(dialogs.LastSave.DefaultSuffix, QStringLiteral("txt"));
    QFile f(dialogs.SaveAnswer);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("Diff report for\r\n  a.pas\r\n  b.pas\r\n\r\ncaf\xe9\r\n"));
}

TEST(DiffRptForm, HandEditsAreSavedAndCancelWritesNothing) {
    QTemporaryDir dir;
    FakeDialogs dialogs;
    TDiffRptForm form(nullptr, dialogs);
    form.DiffMemo->setPlainText(QStringLiteral("edited\nby hand"));
    const QString target = dir.filePath(QStringLiteral("r.txt"));
    dialogs.SaveAnswer.clear();
    form.SaveReport();
    EXPECT_FALSE(QFile::exists(target));
    dialogs.SaveAnswer = target;
    form.SaveReport();
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("edited\r\nby hand\r\n"));
}

TEST(DiffRptForm, FailedSaveThrowsNamingTheFile) {
    FakeDialogs dialogs;
    TDiffRptForm form(nullptr, dialogs);
    form.SetLines({QStringLiteral("x")});
    try {
        form.SaveToFile(QStringLiteral("/nonexistent-folder/DiffReport.txt"));
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent-folder/DiffReport.txt"),
                  std::string::npos);
    }
}

// Closing hides the window with its text; the placement is stored when it goes away, and only
// if it was ever shown.
TEST(DiffRptForm, CloseHidesAndPlacementIsStoredUnderItsClassName) {
    QTemporaryDir dir;
    quennet::gui::TAppRegistry registry(dir.filePath(QStringLiteral("s.ini")));
    FakeDialogs dialogs;
    { TDiffRptForm unseen(&registry, dialogs); }
    EXPECT_FALSE(registry.OpenSettingsKey(QStringLiteral("TDiffRptForm"), false));
    {
        TDiffRptForm form(&registry, dialogs);
        form.SetLines({QStringLiteral("kept")});
        form.show();
        form.resize(610, 330);
        form.close();
        EXPECT_FALSE(form.isVisible());
        form.show();
        EXPECT_EQ(form.Lines(), QStringList{QStringLiteral("kept")});
    }
    ASSERT_TRUE(registry.OpenSettingsKey(QStringLiteral("TDiffRptForm"), false));
    EXPECT_FALSE(registry.ReadString(QStringLiteral("Placement"), QString()).isEmpty());
    registry.CloseKey();
    TDiffRptForm again(&registry, dialogs);
    again.show();
    EXPECT_EQ(again.size(), QSize(610, 330));
}

} // namespace
