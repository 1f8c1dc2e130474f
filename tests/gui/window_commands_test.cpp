// The main window's keys and file safety: questions before edits are dropped, the changed-on-
// disk bar, find, recent pairs and files, secondary windows on screen; and the navigator's
// typed folders and whole-tree page.
#include "app_registry.h"
#include "diff_rpt_form.h"
#include "filename_edit.h"
#include "find_dialog.h"
#include "main_form.h"
#include "navigator_form.h"
#include "source_editor.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "fake_dialogs.h"

using namespace quennet::gui;

namespace {

const char* kOld = "unit U;\ninterface\nprocedure A;\nimplementation\nprocedure A;\nbegin\nend;\n"
                   "end.\n";
const char* kNew = "unit U;\ninterface\nprocedure A;\nprocedure B;\nimplementation\n"
                   "procedure A;\nbegin\nend;\nprocedure B;\nbegin\n  A;\nend;\nend.\n";

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        registry = std::make_unique<TAppRegistry>(dir.filePath(QStringLiteral("settings.ini")));
        MakeForms();
    }
    void TearDown() override { DestroyForms(); }
    void MakeForms() {
        form = std::make_unique<TMainForm>(registry.get(), dialogs);
        report = std::make_unique<TDiffRptForm>(registry.get(), dialogs);
        form->SetReportForm(report.get());
        nav = new TNavigatorForm(registry.get(), form.get());
        form->SetNavigatorForm(nav);
    }
    void DestroyForms() {
        report.reset();
        form.reset();
    }
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = QDir(dir.path()).absoluteFilePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return QDir::toNativeSeparators(path);
    }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void Edit(bool old, const QString& text) {
        SourceEditor* view = form->Widgets().Pane(old).Editor;
        view->setReadOnly(false);
        view->insertAt(text, 0, 0);
        ASSERT_TRUE(view->isModified());
    }
    // Shown and active, so that window shortcuts reach their actions.
    void ShowActive(QWidget* w) {
        w->show();
        QApplication::setActiveWindow(w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }

    QTemporaryDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<TAppRegistry> registry;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TDiffRptForm> report;
    TNavigatorForm* nav = nullptr;
};

} // namespace

TEST_F(WindowTest, EditedTextIsDroppedOnlyAfterTheUserAgrees) {
    const QString a = Write(QStringLiteral("a.pas"), kOld);
    const QString b = Write(QStringLiteral("b.pas"), kNew);
    const QString c = Write(QStringLiteral("c.pas"), kNew);
    struct Case {
        const char* what;
        bool editOld;
        std::function<void(TMainForm&)> command;
    } cases[] = {
        {"Reload", true, [](TMainForm& f) { f.Widgets().Old.ReloadButton->click(); }},
        {"choosing a file", false,
         [&](TMainForm& f) { f.Widgets().New.FilenameEdit->ChooseRecent(c); }},
        {"dropping one file", true,
         [&](TMainForm& f) { f.DropFiles({c}, f.Widgets().Old.Editor); }},
        {"dropping a pair", false,
         [&](TMainForm& f) {
             f.DropFiles({c, a}, nullptr);
         }},
        {"a pair from the navigator", true, [&](TMainForm& f) { f.OpenPair(c, a, {}, {}); }},
        {"closing", false, [](TMainForm& f) { f.close(); }},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        for (bool agree : {false, true}) {
            form->DropFiles({a, b}, nullptr);
            form->show();
            Edit(k.editOld, QStringLiteral("{edit}"));
            dialogs.Questions.clear();
            dialogs.ConfirmAnswer = agree;
            k.command(*form);
            ASSERT_EQ(dialogs.Questions.size(), 1);
            EXPECT_TRUE(dialogs.Questions[0].contains(k.editOld ? "old view" : "new view"));
            SourceEditor* view = form->Widgets().Pane(k.editOld).Editor;
            const bool closing = std::string(k.what) == "closing";
            EXPECT_EQ(view->lineBytes(0).starts_with("{edit}"), !agree || closing);
            EXPECT_EQ(form->isVisible(), !(agree && closing));
            if (!agree) {
                EXPECT_EQ(form->FileName(k.editOld), k.editOld ? a : b);
            }
            view->setModified(false);
        }
    }
    // Nothing edited: nothing asked.
    dialogs.Questions.clear();
    form->DropFiles({a, b}, nullptr);
    form->Widgets().New.ReloadButton->click();
    EXPECT_TRUE(dialogs.Questions.isEmpty());
}

TEST_F(WindowTest, FileChangedOnDiskShowsTheBarAndASaveAsksFirst) {
    const QString a = Write(QStringLiteral("a.pas"), kOld);
    const QString b = Write(QStringLiteral("b.pas"), kNew);
    form->DropFiles({a, b}, nullptr);
    const TSourcePane& old = form->Widgets().Old;
    form->CheckDiskChanges();
    EXPECT_TRUE(old.ChangedBar->isHidden());

    Write(QStringLiteral("a.pas"), "unit U; { changed elsewhere }\nend.\n");
    ShowActive(form.get()); // coming back to the window looks at the files
    EXPECT_FALSE(old.ChangedBar->isHidden());
    EXPECT_TRUE(old.ChangedText->text().contains(QStringLiteral("a.pas")));
    EXPECT_TRUE(form->Widgets().New.ChangedBar->isHidden());

    // Saving over it asks; declined, the file on disk stays as the other program wrote it.
    Edit(true, QStringLiteral("{mine}"));
    dialogs.ConfirmAnswer = false;
    form->SaveChanges(true);
    ASSERT_EQ(dialogs.Questions.size(), 1);
    EXPECT_TRUE(dialogs.Questions[0].contains(QStringLiteral("changed on disk")));
    EXPECT_EQ(Read(a), "unit U; { changed elsewhere }\nend.\n");
    EXPECT_TRUE(old.Editor->isModified());
    dialogs.ConfirmAnswer = true;
    form->SaveChanges(true);
    EXPECT_TRUE(Read(a).startsWith("{mine}unit U;"));
    EXPECT_TRUE(old.ChangedBar->isHidden());
    form->CheckDiskChanges();
    EXPECT_TRUE(old.ChangedBar->isHidden()) << "our own save is no change";

    // The bar's Reload loads the file again and compares.
    Write(QStringLiteral("a.pas"), kNew);
    form->CheckDiskChanges();
    ASSERT_FALSE(old.ChangedBar->isHidden());
    form->FreeComparison();
    old.ChangedReload->click();
    EXPECT_EQ(old.Editor->lineCount(), 13);
    EXPECT_TRUE(old.ChangedBar->isHidden());
    EXPECT_NE(form->Comparison(), nullptr);
}

TEST_F(WindowTest, StandardKeys) {
    const QString a = Write(QStringLiteral("a.pas"), kOld);
    const QString b = Write(QStringLiteral("b.pas"), kNew);
    const QString c = Write(QStringLiteral("c.pas"), "unit C;\nend.\n");
    form->DropFiles({a, b}, nullptr);
    ShowActive(form.get());
    const TMainFormWidgets& ui = form->Widgets();

    // Ctrl+O opens into the view that has the focus.
    ui.New.Editor->setFocus();
    dialogs.OpenAnswer = c;
    QTest::keyClick(ui.New.Editor, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(form->FileName(false), c);
    EXPECT_EQ(form->FileName(true), a);

    // Ctrl+S saves that view.
    Edit(false, QStringLiteral("{saved}"));
    ui.New.Editor->setFocus();
    QTest::keyClick(ui.New.Editor, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(Read(c).startsWith("{saved}unit C;"));
    EXPECT_FALSE(ui.New.Editor->isModified());

    QTest::keyClick(ui.Old.Editor, Qt::Key_F1);
    ASSERT_EQ(dialogs.OpenedUrls.size(), 1);
    EXPECT_TRUE(dialogs.OpenedUrls[0].endsWith(QStringLiteral("manual.html")));

    // Ctrl+W closes a secondary window, not the main one.
    ShowActive(nav);
    QTest::keyClick(nav, Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(nav->isVisible());
    ShowActive(form.get());
    QTest::keyClick(ui.Old.Editor, Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(form->isVisible());
    QTest::keyClick(ui.Old.Editor, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(WindowTest, FindWithF3AndShiftF3) {
    const QString a = Write(QStringLiteral("a.pas"), kOld);
    const QString b = Write(QStringLiteral("b.pas"), kNew);
    form->DropFiles({a, b}, nullptr);
    ShowActive(form.get());
    const TMainFormWidgets& ui = form->Widgets();
    ui.New.Editor->setFocus();
    ui.New.Editor->setCursorPosition(0, 0);
    QTest::keyClick(ui.New.Editor, Qt::Key_F, Qt::ControlModifier);
    ASSERT_NE(ui.FindDialog, nullptr);
    EXPECT_TRUE(ui.FindDialog->isVisible());
    ui.FindDialog->FindText->setText(QStringLiteral("procedure b"));

    auto selectedLine = [&] {
        int l1, i1, l2, i2;
        ui.New.Editor->getSelection(&l1, &i1, &l2, &i2);
        return l1;
    };
    ui.FindDialog->FindNextButton->click();
    EXPECT_EQ(selectedLine(), 3) << "in the new view, where the focus was";
    EXPECT_TRUE(form->FindAgain(true));
    EXPECT_EQ(selectedLine(), 8);
    EXPECT_TRUE(form->FindAgain(false));
    EXPECT_EQ(selectedLine(), 3);
    ui.FindDialog->MatchCase->setChecked(true);
    EXPECT_FALSE(form->FindAgain(true));
    EXPECT_TRUE(ui.StatusMessage->text().contains(QStringLiteral("not found")));
}

TEST_F(WindowTest, RecentPairsAndFilesSurviveARestart) {
    QStringList files;
    for (int i = 0; i < 10; ++i)
        files << Write(QStringLiteral("u%1.pas").arg(i), kOld);
    for (int i = 0; i < 9; ++i)
        form->DropFiles({files[i], files[i + 1]}, nullptr);
    form->DropFiles({files[0], files[1]}, nullptr); // again: moves to the top
    DestroyForms();
    MakeForms();

    const auto& pairs = form->RecentPairs();
    ASSERT_EQ(pairs.size(), 8u);
    EXPECT_EQ(QString::fromStdString(pairs[0].Old), files[0]);
    EXPECT_EQ(QString::fromStdString(pairs[1].Old), files[8]);
    EXPECT_EQ(QString::fromStdString(pairs[7].Old), files[2]);
    const QList<QAction*> items = form->Widgets().RecentMenu->actions();
    ASSERT_EQ(items.size(), 8);
    EXPECT_TRUE(items[0]->text().contains(QStringLiteral("u0.pas")));
    EXPECT_EQ(form->Widgets().Old.FilenameEdit->Recent().value(0), files[0]);
    EXPECT_EQ(form->Widgets().New.FilenameEdit->Recent().value(0), files[1]);

    items[1]->trigger();
    EXPECT_EQ(form->FileName(true), files[8]);
    EXPECT_EQ(form->FileName(false), files[9]);
    EXPECT_NE(form->Comparison(), nullptr);
    // A pair whose file is gone is reported, not half loaded.
    QFile::remove(files[1]);
    form->Widgets().RecentMenu->actions()[1]->trigger();
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains(QStringLiteral("u1.pas")));
    EXPECT_EQ(form->FileName(true), files[8]);

    // The box's dialog starts in the folder of the file it shows.
    dialogs.OpenAnswer.clear();
    form->Widgets().Old.FilenameEdit->Browse();
    EXPECT_EQ(QDir(dialogs.LastOpenDir), QFileInfo(files[8]).dir());
}

TEST_F(WindowTest, SecondaryWindowsOpenOnTheScreen) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    form->resize(400, 300);
    form->move(area.right() - 300, area.bottom() - 200);
    ShowActive(form.get());
    nav->resize(500, 400);
    nav->show();
    EXPECT_TRUE(area.contains(nav->geometry())) << "first time, near the main window";
    EXPECT_LT((nav->geometry().topLeft() - form->geometry().topLeft()).manhattanLength(), 600);
    nav->hide();
    DestroyForms();

    // A placement stored on a monitor that is gone is pulled back.
    ASSERT_TRUE(registry->OpenSettingsKey(QStringLiteral("TNavigatorForm"), true));
    TNavigatorForm probe(nullptr);
    probe.setGeometry(area.right() + 2000, area.top() + 50, 600, 450);
    registry->WriteString(QStringLiteral("Placement"),
                          QString::fromLatin1(probe.saveGeometry().toBase64()));
    registry->CloseKey();
    MakeForms();
    nav->show();
    EXPECT_TRUE(area.contains(nav->geometry()));
    EXPECT_EQ(nav->geometry().size(), QSize(600, 450));
}

TEST_F(WindowTest, NavigatorTakesTypedFoldersAndComparesWholeTrees) {
    Write(QStringLiteral("old/lib/a.pas"), kOld);
    Write(QStringLiteral("new/lib/a.pas"), kNew);
    Write(QStringLiteral("old/lib/same.inc"), "x");
    Write(QStringLiteral("new/lib/same.inc"), "x");
    Write(QStringLiteral("old/gone.pp"), kOld);
    Write(QStringLiteral("new/app.lpr"), "program P;\nbegin\nend.\n");
    Write(QStringLiteral("new/pkg.dpk"), "package K;\nend.\n");
    const QString oldDir = QDir(dir.path()).filePath(QStringLiteral("old"));
    const QString newDir = QDir(dir.path()).filePath(QStringLiteral("new"));

    // A typed path, quoted as a shell pastes it; a folder that does not exist changes nothing.
    nav->TypedFolder(true, QStringLiteral("'%1'").arg(oldDir));
    nav->Right.DriveBox->lineEdit()->setText(newDir);
    QTest::keyClick(nav->Right.DriveBox->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(nav->OldFolder(), oldDir);
    EXPECT_EQ(nav->NewFolder(), newDir);
    nav->TypedFolder(false, newDir + QStringLiteral("/missing"));
    EXPECT_EQ(nav->NewFolder(), newDir);
    EXPECT_TRUE(nav->statusBar()->currentMessage().contains(QStringLiteral("missing")));
    // The default mask lists every Pascal source kind.
    EXPECT_EQ(nav->FileNames(false), (QStringList{"app.lpr", "pkg.dpk"}));
    EXPECT_EQ(nav->FileNames(true), QStringList{"gone.pp"});

    QSignalSpy compared(nav, &TNavigatorForm::TreeCompared);
    nav->CompareTrees();
    EXPECT_TRUE(nav->TreeBusy());
    ASSERT_TRUE(compared.wait(20000));
    QStringList rows;
    for (QTreeWidgetItemIterator it(nav->TreeView); *it; ++it)
        rows << QStringLiteral("%1|%2|%3").arg((*it)->text(0), (*it)->text(1), (*it)->text(2));
    EXPECT_EQ(rows, (QStringList{"lib/|lib/|0", "a.pas|a.pas|0", "same.inc|same.inc|", "|app.lpr|0",
                                 "gone.pp||1", "|pkg.dpk|0"}));

    // A unit row opens its pair; a one-sided row only its side.
    QTreeWidgetItem* lib = nav->TreeView->topLevelItem(0);
    nav->OpenTreeRow(lib->child(0));
    EXPECT_EQ(form->FileName(true), QDir::toNativeSeparators(oldDir + "/lib/a.pas"));
    EXPECT_NE(form->Comparison(), nullptr);

    // Escape stops a running comparison; its result never arrives.
    ShowActive(nav);
    nav->CompareTrees();
    QTest::keyClick(nav, Qt::Key_Escape);
    EXPECT_FALSE(nav->TreeBusy());
    EXPECT_FALSE(compared.wait(500));
    EXPECT_EQ(compared.size(), 1);
}
