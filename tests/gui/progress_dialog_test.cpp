// Progress dialog: nesting, layout by options, width fitting, disabling other windows, abort.
#include "progress_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using quennet::gui::TProgressDialog;

namespace {

class ProgressDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.resize(800, 600);
        owner.show();
    }
    QMainWindow owner;
};

TEST_F(ProgressDialogTest, NestedOpenAndClose) {
    TProgressDialog dlg(&owner);
    EXPECT_EQ(dlg.Form(), nullptr);
    dlg.Open();
    ASSERT_NE(dlg.Form(), nullptr);
    EXPECT_TRUE(dlg.Form()->isVisible());
    dlg.Open();
    dlg.Close();
    ASSERT_NE(dlg.Form(), nullptr);
    EXPECT_TRUE(dlg.Form()->isVisible());
    EXPECT_EQ(dlg.OpenCount(), 1);
    dlg.Close();
    EXPECT_EQ(dlg.Form(), nullptr);
    EXPECT_EQ(dlg.OpenCount(), 0);
    dlg.Close(); // at count 0: nothing
    EXPECT_EQ(dlg.OpenCount(), 0);
}

TEST_F(ProgressDialogTest, DisablesOtherWindowsWhileShown) {
    QMainWindow other;
    other.show();
    QMainWindow alreadyDisabled;
    alreadyDisabled.setEnabled(false);
    TProgressDialog dlg(&owner);
    dlg.Open();
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_FALSE(other.isEnabled());
    EXPECT_TRUE(dlg.Form()->isEnabled());
    dlg.Close();
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_TRUE(other.isEnabled());
    // A window that was disabled before stays disabled.
    EXPECT_FALSE(alreadyDisabled.isEnabled());
}

TEST_F(ProgressDialogTest, CompareSetupShowsOnlyCaptionAndText) {
    TProgressDialog dlg(&owner);
    dlg.SetMeterVisible(false);
    dlg.SetButtonEnabled(false);
    dlg.SetCaption(QStringLiteral("Differencing ..."));
    dlg.SetText(QStringLiteral("Prepare ..."));
    dlg.Open();
    auto* f = dlg.Form();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Differencing ..."));
    EXPECT_EQ(f->TextLabel->text(), QStringLiteral("Prepare ..."));
    EXPECT_FALSE(f->Meter->isVisibleTo(f));
    EXPECT_FALSE(f->AbortButton->isVisibleTo(f));
    // Changes while shown reach the window at once.
    dlg.SetText(QStringLiteral("Parse x.pas"));
    EXPECT_EQ(f->TextLabel->text(), QStringLiteral("Parse x.pas"));
    dlg.SetMeterVisible(true);
    EXPECT_TRUE(f->Meter->isVisibleTo(f));
    dlg.Close();
}

TEST_F(ProgressDialogTest, WidthGrowsToTheTextAroundItsCentreAndNeverShrinks) {
    TProgressDialog dlg(&owner);
    dlg.SetText(QStringLiteral("short"));
    dlg.Open();
    auto* f = dlg.Form();
    const int width0 = f->width();
    const int centre0 = f->x() + width0 / 2;
    EXPECT_EQ(width0, 265);
    const QString longText =
        QStringLiteral("Parse ") + QString(60, QLatin1Char('x')) + QStringLiteral(".pas");
    dlg.SetText(longText);
    const int expected = f->TextLabel->fontMetrics().horizontalAdvance(longText) + 20;
    ASSERT_GT(expected, width0);
    EXPECT_EQ(f->width(), expected);
    EXPECT_NEAR(f->x() + f->width() / 2, centre0, 1);
    EXPECT_EQ(f->TextLabel->width(), f->width() - 10);
    dlg.SetText(QStringLiteral("short again"));
    EXPECT_EQ(f->width(), expected);
    dlg.Close();
    // A new window starts at the design width again.
    dlg.SetText(QStringLiteral("x"));
    dlg.Open();
    EXPECT_EQ(dlg.Form()->width(), 265);
    dlg.Close();
}

TEST_F(ProgressDialogTest, CloseBoxAndAbortOnlySetAborted) {
    TProgressDialog dlg(&owner);
    dlg.Open();
    auto* f = dlg.Form();
    EXPECT_FALSE(dlg.Aborted());
    EXPECT_FALSE(f->close()); // the close box: refused
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(dlg.Aborted());
    dlg.Close();
    dlg.Open();
    EXPECT_FALSE(dlg.Aborted()); // a new window starts cleared
    QTest::keyClick(dlg.Form(), Qt::Key_Escape);
    EXPECT_TRUE(dlg.Aborted());
    EXPECT_TRUE(dlg.Form()->isVisible());
    dlg.Close();
    dlg.Open();
    dlg.Form()->AbortButton->click();
    EXPECT_TRUE(dlg.Aborted());
    EXPECT_EQ(dlg.OpenCount(), 1);
    dlg.Close();
}

TEST_F(ProgressDialogTest, PercentTruncatesAndSurvivesAnEmptyRange) {
    TProgressDialog dlg(&owner);
    dlg.SetMin(10);
    dlg.SetMax(40);
    dlg.SetPercent(50);
    EXPECT_EQ(dlg.Position(), 25);
    dlg.SetPosition(20);
    EXPECT_EQ(dlg.Percent(), 33);
    dlg.SetMax(10);
    EXPECT_EQ(dlg.Percent(), 0);
    dlg.SetPercent(70);
    EXPECT_EQ(dlg.Position(), 10);
}

TEST_F(ProgressDialogTest, TitleIsRestoredAfterClose) {
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Quennet Pro"));
    TProgressDialog dlg(&owner);
    dlg.Open();
    dlg.SetText(QStringLiteral("Loading ..."));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("Loading ..."));
    dlg.Close();
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("Quennet Pro"));
}

} // namespace
