// The main window's keys and file safety: questions before edits are dropped, the changed-on-
// disk bar, find, recent pairs and files, secondary windows on screen; and the navigator's
// typed folders and whole-tree page.
#include "filename_edit.h"
#include "find_dialog.h"
#include "main_window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTreeWidget>

using namespace quennet::gui;

namespace {

const char* kOld = "unit U;\ninterface\nprocedure A;\nimplementation\nprocedure A;\nbegin\nend;\n"
                   "end.\n";
const char* kNew = "unit U;\ninterface\nprocedure A;\nprocedure B;\nimplementation\n"
                   "procedure A;\nbegin\nend;\nprocedure B;\nbegin\n  A;\nend;\nend.\n";

using WindowTest = MainWindowTest;

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
        {"Reload", true,
         [](TMainForm& f) { MainFormFace(f).Pane<QPushButton>(true, "ReloadButton")->click(); }},
        {"choosing a file", false,
         [&](TMainForm& f) { MainFormFace(f).FileBox(false)->ChooseRecent(c); }},
        {"dropping one file", true,
         [&](TMainForm& f) { f.DropFiles({c}, MainFormFace(f).Editor(true)); }},
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
            SourceEditor* view = Face().Editor(k.editOld);
            const bool closing = std::string(k.what) == "closing";
            EXPECT_EQ(view->lineBytes(0).starts_with("{edit}"), !agree || closing);
            EXPECT_EQ(form->isVisible(), !(agree && closing));
            if (!agree) {
                EXPECT_EQ(ShownFile(*form, k.editOld), k.editOld ? a : b);
            }
            view->setModified(false);
        }
    }
    // Nothing edited: nothing asked.
    dialogs.Questions.clear();
    form->DropFiles({a, b}, nullptr);
    Face().Pane<QPushButton>(false, "ReloadButton")->click();
    EXPECT_TRUE(dialogs.Questions.isEmpty());
}

TEST_F(WindowTest, FileChangedOnDiskShowsTheBarAndASaveAsksFirst) {
    const QString a = Write(QStringLiteral("a.pas"), kOld);
    const QString b = Write(QStringLiteral("b.pas"), kNew);
    form->DropFiles({a, b}, nullptr);
    const MainFormFace ui = Face();
    form->CheckDiskChanges();
    EXPECT_TRUE(ui.Pane<QWidget>(true, "ChangedBar")->isHidden());

    Write(QStringLiteral("a.pas"), "unit U; { changed elsewhere }\nend.\n");
    ShowActive(form.get()); // coming back to the window looks at the files
    EXPECT_FALSE(ui.Pane<QWidget>(true, "ChangedBar")->isHidden());
    EXPECT_TRUE(ui.Pane<QLabel>(true, "ChangedText")->text().contains(QStringLiteral("a.pas")));
    EXPECT_TRUE(ui.Pane<QWidget>(false, "ChangedBar")->isHidden());

    // Saving over it asks; declined, the file on disk stays as the other program wrote it.
    Edit(true, QStringLiteral("{mine}"));
    dialogs.ConfirmAnswer = false;
    form->SaveChanges(true);
    ASSERT_EQ(dialogs.Questions.size(), 1);
    EXPECT_TRUE(dialogs.Questions[0].contains(QStringLiteral("changed on disk")));
    EXPECT_EQ(Read(a), "unit U; { changed elsewhere }\nend.\n");
    EXPECT_TRUE(ui.Editor(true)->isModified());
    dialogs.ConfirmAnswer = true;
    form->SaveChanges(true);
    EXPECT_TRUE(Read(a).startsWith("{mine}unit U;"));
    EXPECT_TRUE(ui.Pane<QWidget>(true, "ChangedBar")->isHidden());
    form->CheckDiskChanges();
    EXPECT_TRUE(ui.Pane<QWidget>(true, "ChangedBar")->isHidden()) << "our own save is no change";

    // The bar's Reload loads the file again and compares.
    Write(QStringLiteral("a.pas"), kNew);
    form->CheckDiskChanges();
    ASSERT_FALSE(ui.Pane<QWidget>(true, "ChangedBar")->isHidden());
    form->FreeComparison();
    ui.Pane<QPushButton>(true, "ChangedReload")->click();
    EXPECT_EQ(ui.Editor(true)->lineCount(), 13);
    EXPECT_TRUE(ui.Pane<QWidget>(true, "ChangedBar")->isHidden());
    EXPECT_NE(form->Document().Comparison(), nullptr);
}

TEST_F(WindowTest, StandardKeys) {
    const QString a = Write(QStringLiteral("a.pas"), kOld);
    const QString b = Write(QStringLiteral("b.pas"), kNew);
    const QString c = Write(QStringLiteral("c.pas"), "unit C;\nend.\n");
    form->DropFiles({a, b}, nullptr);
    ShowActive(form.get());
    const MainFormFace ui = Face();

    // Ctrl+O opens into the view that has the focus.
    ui.Editor(false)->setFocus();
    dialogs.OpenAnswer = c;
    QTest::keyClick(ui.Editor(false), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(ShownFile(*form, false), c);
    EXPECT_EQ(ShownFile(*form, true), a);

    // Ctrl+S saves that view.
    Edit(false, QStringLiteral("{saved}"));
    ui.Editor(false)->setFocus();
    QTest::keyClick(ui.Editor(false), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(Read(c).startsWith("{saved}unit C;"));
    EXPECT_FALSE(ui.Editor(false)->isModified());

    QTest::keyClick(ui.Editor(true), Qt::Key_F1);
    ASSERT_EQ(dialogs.OpenedUrls.size(), 1);
    EXPECT_TRUE(dialogs.OpenedUrls[0].endsWith(QStringLiteral("manual.html")));

    // Ctrl+W closes a secondary window, not the main one.
    ShowActive(nav);
    QTest::keyClick(nav, Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(nav->isVisible());
    ShowActive(form.get());
    QTest::keyClick(ui.Editor(true), Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(form->isVisible());
    QTest::keyClick(ui.Editor(true), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(WindowTest, FindWithF3AndShiftF3) {
    const QString a = Write(QStringLiteral("a.pas"), kOld);
    const QString b = Write(QStringLiteral("b.pas"), kNew);
    form->DropFiles({a, b}, nullptr);
    ShowActive(form.get());
    const MainFormFace ui = Face();
    ui.Editor(false)->setFocus();
    ui.Editor(false)->setCursorPosition(0, 0);
    QTest::keyClick(ui.Editor(false), Qt::Key_F, Qt::ControlModifier);
    TFindDialog* find = ui.Part<TFindDialog>("findDialog"); // made by the first Ctrl+F
    EXPECT_TRUE(find->isVisible());
    find->FindText->setText(QStringLiteral("procedure b"));

    auto selectedLine = [&] {
        int l1, i1, l2, i2;
        ui.Editor(false)->getSelection(&l1, &i1, &l2, &i2);
        return l1;
    };
    find->FindNextButton->click();
    EXPECT_EQ(selectedLine(), 3) << "in the new view, where the focus was";
    EXPECT_TRUE(form->FindAgain(true));
    EXPECT_EQ(selectedLine(), 8);
    EXPECT_TRUE(form->FindAgain(false));
    EXPECT_EQ(selectedLine(), 3);
    find->MatchCase->setChecked(true);
    EXPECT_FALSE(form->FindAgain(true));
    EXPECT_TRUE(ui.Status().contains(QStringLiteral("not found")));
}

TEST_F(WindowTest, GoToLineScrollsTheFocusedViewAndTheOtherFollows) {
    QByteArray text = "unit U;\ninterface\nimplementation\n";
    for (int i = 0; i < 300; ++i)
        text += "// line " + QByteArray::number(i + 4) + "\n";
    text += "end.\n";
    form->DropFiles({Write(QStringLiteral("a.pas"), text), Write(QStringLiteral("b.pas"), text)},
                    nullptr);
    ShowActive(form.get());
    form->SetSplitMode(true);
    const MainFormFace ui = Face();
    ui.Editor(false)->setFocus();

    dialogs.IntegerAnswer.reset(); // cancelled: nothing moves
    QTest::keyClick(ui.Editor(false), Qt::Key_G, Qt::ControlModifier);
    ASSERT_EQ(dialogs.Asked.size(), 1);
    EXPECT_EQ(dialogs.LastAskLabel, QStringLiteral("Line of the new file (1 - 304):"));
    EXPECT_EQ(ui.Editor(false)->firstVisibleLine(), 0);

    dialogs.IntegerAnswer = 200;
    QTest::keyClick(ui.Editor(false), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(ui.Editor(false)->caretLine(), 199);
    const int rows = ui.Editor(false)->visibleRows();
    ASSERT_GT(rows, 3);
    EXPECT_EQ(ui.Editor(false)->firstVisibleTextLine(), 199 - rows / 3);
    EXPECT_EQ(ui.Editor(true)->firstVisibleTextLine(), 199 - rows / 3) << "the views in step";
    EXPECT_TRUE(ui.Editor(false)->hasFocus());
}

TEST_F(WindowTest, RecentPairsAndFilesSurviveARestart) {
    QStringList files;
    for (int i = 0; i < 4; ++i)
        files << Write(QStringLiteral("u%1.pas").arg(i), kOld);
    for (int i = 0; i < 3; ++i)
        form->DropFiles({files[i], files[i + 1]}, nullptr);
    form->DropFiles({files[0], files[1]}, nullptr); // again: moves to the top
    DestroyForms();
    MakeForms();

    const QList<QAction*> items = Face().Part<QMenu>("recentMenu")->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_TRUE(items[0]->text().contains(QStringLiteral("u0.pas")));
    EXPECT_TRUE(items[1]->text().contains(QStringLiteral("u2.pas")));
    EXPECT_EQ(Face().FileBox(true)->Recent().value(0), files[0]);
    EXPECT_EQ(Face().FileBox(false)->Recent().value(0), files[1]);

    items[1]->trigger();
    EXPECT_EQ(ShownFile(*form, true), files[2]);
    EXPECT_EQ(ShownFile(*form, false), files[3]);
    EXPECT_NE(form->Document().Comparison(), nullptr);
    // A pair whose file is gone is reported, not half loaded.
    QFile::remove(files[1]);
    Face().Part<QMenu>("recentMenu")->actions()[1]->trigger();
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains(QStringLiteral("u1.pas")));
    EXPECT_EQ(ShownFile(*form, true), files[2]);

    // The box's dialog starts in the folder of the file it shows.
    dialogs.OpenAnswer.clear();
    Face().FileBox(true)->Browse();
    EXPECT_EQ(QDir(dialogs.LastOpenDir), QFileInfo(files[2]).dir());
}

// A placement stored on a monitor that is gone is pulled back onto the screen.
TEST_F(WindowTest, SecondaryWindowStoredOffScreenOpensOnIt) {
    DestroyForms();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    TNavigatorForm probe(nullptr);
    probe.setGeometry(area.right() + 2000, area.top() + 50, 600, 450);
    WriteSetting(QStringLiteral("TNavigatorForm"), QStringLiteral("Placement"),
                 QString::fromLatin1(probe.saveGeometry().toBase64()));
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
    EXPECT_EQ(ShownFile(*form, true), QDir::toNativeSeparators(oldDir + "/lib/a.pas"));
    EXPECT_NE(form->Document().Comparison(), nullptr);

    // Escape stops a running comparison; its result never arrives.
    ShowActive(nav);
    nav->CompareTrees();
    QTest::keyClick(nav, Qt::Key_Escape);
    EXPECT_FALSE(nav->TreeBusy());
    EXPECT_FALSE(compared.wait(500));
    EXPECT_EQ(compared.size(), 1);
}
