// File commands of the main window: saving with numbered backups and kept line ends, Save as,
// dropped files, Reload, Enable Edit, Help and the about box; and the faults a save can meet.
#include "about_box.h"
#include "filename_edit.h"
#include "help_links.h"
#include "main_window_fixture.h"

#include <QDateTime>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

using namespace quennet::gui;

namespace {

// LF line ends and no break after the last line: both must survive a save.
const char* kOld = "unit U;\ninterface\nprocedure A;\nimplementation\nprocedure A;\nbegin\nend;\n"
                   "end.";
const char* kNew = "unit U;\r\ninterface\r\nprocedure A;\r\nprocedure B;\r\nimplementation\r\n"
                   "procedure A;\r\nbegin\r\nend;\r\nprocedure B;\r\nbegin\r\nend;\r\nend.\r\n";

class FileCommandsTest : public MainWindowTest {
protected:
    QStringList Entries() const {
        QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        names.removeAll(QStringLiteral("settings.ini"));
        return names;
    }
};

} // namespace

TEST_F(FileCommandsTest, SaveChangesMakesNumberedBackupsAndKeepsLineEnds) {
    const QString u = Write(QStringLiteral("u.pas"), kOld);
    form->LoadFile(true, u);
    Edit(true, QStringLiteral("{1}"));
    EXPECT_EQ(Face().Pane<QLabel>(true, "ModifiedPanel")->text(), QStringLiteral("Modified"));
    Face().Pane<QPushButton>(true, "SaveButton")->click();
    EXPECT_TRUE(dialogs.Errors.isEmpty()) << dialogs.Errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Read(u + QStringLiteral(".000.bak")), QByteArray(kOld));
    EXPECT_EQ(Read(u), QByteArray("{1}") + kOld) << "LF ends and the missing final break kept";
    EXPECT_FALSE(Face().Editor(true)->isModified());
    EXPECT_TRUE(Face().Pane<QLabel>(true, "ModifiedPanel")->text().isEmpty());

    Edit(true, QStringLiteral("{2}"));
    Face().Action("oldPopupSave")->trigger();
    EXPECT_EQ(Read(u + QStringLiteral(".001.bak")), QByteArray("{1}") + kOld);
    EXPECT_EQ(Entries(), (QStringList{QStringLiteral("u.pas"), QStringLiteral("u.pas.000.bak"),
                                      QStringLiteral("u.pas.001.bak")}));
}

TEST_F(FileCommandsTest, SaveWithoutModificationTouchesNothing) {
    const QString u = Write(QStringLiteral("u.pas"), kNew);
    const QDateTime before = QFileInfo(u).lastModified();
    form->LoadFile(false, u);
    Face().Editor(false)->setReadOnly(false);
    Face().Pane<QPushButton>(false, "SaveButton")->click();
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("u.pas")});
    EXPECT_EQ(QFileInfo(u).lastModified(), before);
    EXPECT_EQ(Read(u), QByteArray(kNew));
}

TEST_F(FileCommandsTest, SaveAsWritesTheUneditedTextByteForByte) {
    const QByteArray samples[] = {
        QByteArray(kOld),
        QByteArray("unit A;\rinterface\rend.\r"),
        QByteArray("mixed\r\nline\nends\rhere"),
        QByteArray("8-bit \xe4\xf6\xfc and \xc3\xa4 bytes\r\n"),
        QByteArray(),
    };
    for (const QByteArray& bytes : samples) {
        SCOPED_TRACE(bytes.toStdString());
        form->LoadFile(true, Write(QStringLiteral("u.pas"), bytes));
        const QString copy = dir.filePath(QStringLiteral("copy.pas"));
        dialogs.SaveAnswer = copy;
        Face().Action("saveOldAs")->trigger();
        EXPECT_EQ(Read(copy), bytes);
        EXPECT_EQ(ShownFile(*form, true), QDir::toNativeSeparators(copy));
    }
    EXPECT_TRUE(dialogs.Errors.isEmpty());
    EXPECT_EQ(dialogs.LastSave.Title, QStringLiteral("Save as..."));
    EXPECT_EQ(dialogs.LastSave.DefaultSuffix, QStringLiteral("pas"));
    EXPECT_EQ(dialogs.LastSave.FileName, QStringLiteral("u.pas"));
    EXPECT_EQ(QDir(dialogs.LastSave.InitialDir), QDir(dir.path()));
    EXPECT_EQ(dialogs.LastSave.Filter, form->Settings().Extensions.join(QLatin1Char('|')));
    EXPECT_EQ(Face().FileBox(true)->FileName(), ShownFile(*form, true));

    // Cancelled: nothing changes.
    dialogs.SaveAnswer.clear();
    Face().Action("saveNewAs")->trigger();
    EXPECT_TRUE(ShownFile(*form, false).isEmpty());
}

TEST_F(FileCommandsTest, DroppedFiles) {
    const QString a = Write(QStringLiteral("a.pas"), kOld);
    const QString b = Write(QStringLiteral("b.pas"), kNew);
    const QString c = Write(QStringLiteral("c.pas"), kNew);
    form->resize(900, 600);
    form->show();
    QApplication::processEvents();
    // The application routes a drop to the widget that accepted the drag's entry.
    auto drop = [&](QWidget* target, QPoint at, const QStringList& names) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& n : names)
            urls << QUrl::fromLocalFile(n);
        mime.setUrls(urls);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent event(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    };
    const QPoint overTree = Face().Tree()->mapTo(form.get(), QPoint(20, 20));

    // One file onto the window outside the views: nothing happens.
    drop(form.get(), overTree, {a});
    EXPECT_TRUE(ShownFile(*form, true).isEmpty());
    EXPECT_TRUE(ShownFile(*form, false).isEmpty());

    // Three files: the first two are compared, old and new in drop order.
    drop(form.get(), overTree, {a, b, c});
    EXPECT_EQ(ShownFile(*form, true), a);
    EXPECT_EQ(ShownFile(*form, false), b);
    ASSERT_NE(form->Document().Comparison(), nullptr);
    EXPECT_GT(Face().Tree()->topLevelItemCount(), 0);
    drop(form.get(), overTree, {c});
    EXPECT_EQ(ShownFile(*form, false), b);
    EXPECT_NE(form->Document().Comparison(), nullptr);

    // One file onto the new view: loaded there, tree emptied, no compare.
    drop(Face().Editor(false)->viewport(), QPoint(10, 10), {c});
    EXPECT_TRUE(dialogs.Errors.isEmpty()) << dialogs.Errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(ShownFile(*form, false), c);
    EXPECT_EQ(Face().FileBox(false)->FileName(), ShownFile(*form, false));
    EXPECT_EQ(form->Document().Comparison(), nullptr);
    EXPECT_EQ(Face().Tree()->topLevelItemCount(), 0);
    EXPECT_EQ(ShownFile(*form, true), a);
    EXPECT_FALSE(form->Document().Busy());

    // Two names of which one is missing: nothing.
    form->DropFiles({b, dir.filePath(QStringLiteral("missing.pas"))}, nullptr);
    EXPECT_EQ(ShownFile(*form, true), a);
    EXPECT_TRUE(dialogs.Errors.isEmpty());
}

TEST_F(FileCommandsTest, ReloadDiscardsEditsAndCompares) {
    const QString a = Write(QStringLiteral("a.pas"), kOld);
    const QString b = Write(QStringLiteral("b.pas"), kNew);
    form->DropFiles({a, b}, nullptr);
    const int lines = Face().Editor(true)->lineCount();
    Edit(true, QStringLiteral("procedure X;\n"));
    form->FreeComparison();
    Face().Pane<QPushButton>(true, "ReloadButton")->click();
    EXPECT_EQ(Face().Editor(true)->lineCount(), lines);
    EXPECT_EQ(Face().Editor(true)->lineBytes(0), "unit U;");
    EXPECT_FALSE(Face().Editor(true)->isModified());
    EXPECT_NE(form->Document().Comparison(), nullptr) << "a compare ran";

    // The file gone: the error names it, the view keeps its text, no compare.
    Edit(true, QStringLiteral("{kept}"));
    form->FreeComparison();
    ASSERT_TRUE(QFile::remove(a));
    Face().Action("oldPopupReload")->trigger();
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains(QStringLiteral("a.pas")));
    EXPECT_EQ(Face().Editor(true)->lineBytes(0), "{kept}unit U;");
    EXPECT_EQ(form->Document().Comparison(), nullptr);
}

TEST_F(FileCommandsTest, EnableEditButtonAndPopupStayInStep) {
    const MainFormFace ui = Face();
    QToolButton* enableEdit = ui.Pane<QToolButton>(true, "EnableEditButton");
    EXPECT_TRUE(ui.Editor(true)->isReadOnly());
    enableEdit->click();
    EXPECT_FALSE(ui.Editor(true)->isReadOnly());
    ui.Action("oldPopupEnableEdit")->trigger();
    EXPECT_TRUE(ui.Editor(true)->isReadOnly());
    EXPECT_FALSE(enableEdit->isChecked());
    ui.Action("oldPopupEnableEdit")->trigger();
    EXPECT_FALSE(ui.Editor(true)->isReadOnly());
    EXPECT_TRUE(enableEdit->isChecked());
    EXPECT_TRUE(ui.Editor(false)->isReadOnly()) << "each view has its own state";

    // Undo and redo work on the view's own buffer.
    const QString u = Write(QStringLiteral("u.pas"), kOld);
    form->LoadFile(true, u);
    Edit(true, QStringLiteral("X"));
    ui.Action("oldPopupUndo")->trigger();
    EXPECT_EQ(ui.Editor(true)->lineBytes(0), "unit U;");
    ui.Action("oldPopupRedo")->trigger();
    EXPECT_EQ(ui.Editor(true)->lineBytes(0), "Xunit U;");
}

TEST_F(FileCommandsTest, FileDeletedBehindTheViewIsSavedAndTheUserIsTold) {
    const QString u = Write(QStringLiteral("u.pas"), kOld);
    form->LoadFile(true, u);
    Edit(true, QStringLiteral("{x}"));
    ASSERT_TRUE(QFile::remove(u));
    form->SaveChanges(true);
    EXPECT_EQ(Read(u), QByteArray("{x}") + kOld);
    ASSERT_EQ(dialogs.Infos.size(), 1);
    EXPECT_TRUE(dialogs.Infos[0].contains(QStringLiteral("no backup")));
    EXPECT_TRUE(dialogs.Infos[0].contains(QStringLiteral("u.pas")));
}

// The save itself is the engine's; the window keeps the text marked modified and names the file.
TEST_F(FileCommandsTest, FailedSaveKeepsTheFileAndTheModifiedMark) {
    // The folder replaced by a file behind the view's back: the write cannot even start.
    const QString u = Write(QStringLiteral("sub/u.pas"), kOld);
    form->LoadFile(true, u);
    Edit(true, QStringLiteral("{x}"));
    ASSERT_TRUE(QDir(dir.filePath(QStringLiteral("sub"))).removeRecursively());
    Write(QStringLiteral("sub"), "a file now");
    Face().Pane<QPushButton>(true, "SaveButton")->click();
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains(u)) << dialogs.Errors[0].toStdString();
    EXPECT_TRUE(Face().Editor(true)->isModified());
    EXPECT_EQ(Face().Pane<QLabel>(true, "ModifiedPanel")->text(), QStringLiteral("Modified"));
    EXPECT_EQ(Read(dir.filePath(QStringLiteral("sub"))), QByteArray("a file now"));
}

TEST_F(FileCommandsTest, HelpOpensTheManualAndTheHomePage) {
    EXPECT_EQ(WithHttpScheme(QStringLiteral("quennet.example/pro/")),
              QStringLiteral("http://quennet.example/pro/"));
    EXPECT_EQ(WithHttpScheme(QStringLiteral("https://a.example")),
              QStringLiteral("https://a.example"));
    EXPECT_EQ(WithHttpScheme(QStringLiteral("HTTP://a.example")),
              QStringLiteral("http://HTTP://a.example"))
        << "the scheme is compared with its letter case";

    // The help file in the program's folder comes first; the manual is found somewhere.
    const QStringList candidates = HelpFileCandidates(QStringLiteral("/opt/q"));
    ASSERT_GE(candidates.size(), 2);
    EXPECT_EQ(candidates[0], QStringLiteral("/opt/q/manual.html"));
    for (const QString& c : candidates)
        EXPECT_FALSE(c.endsWith(QStringLiteral(".chm"))) << c.toStdString();
    // Not installed: the message names the file and every place it was looked for.
    const QString missing = MissingManualMessage(candidates);
    EXPECT_TRUE(missing.contains(QStringLiteral("manual.html")));
    for (const QString& c : candidates)
        EXPECT_TRUE(missing.contains(QDir::toNativeSeparators(c))) << c.toStdString();
    // Installed: bin/ and share/doc/quennet-pro/ under one prefix, wherever that is.
    EXPECT_TRUE(HelpFileCandidates(QStringLiteral("/opt/q/bin"))
                    .contains(QStringLiteral("/opt/q/share/doc/quennet-pro/manual.html")));
    Face().Action("helpContents")->trigger();
    ASSERT_EQ(dialogs.OpenedUrls.size(), 1) << dialogs.Infos.join(QLatin1Char('\n')).toStdString();
    const QUrl manual(dialogs.OpenedUrls[0]);
    EXPECT_TRUE(manual.isLocalFile());
    EXPECT_TRUE(QFileInfo(manual.toLocalFile()).isFile());

    Face().Action("homePage")->trigger();
    ASSERT_EQ(dialogs.OpenedUrls.size(), 2);
    EXPECT_EQ(dialogs.OpenedUrls[1], WithHttpScheme(kHomePageAddress));
    // The desktop could not open it: the user hears of it.
    dialogs.OpenUrlAnswer = false;
    Face().Action("homePage")->trigger();
    ASSERT_EQ(dialogs.Infos.size(), 1);
    EXPECT_TRUE(dialogs.Infos[0].contains(QStringLiteral("quennet.example")));
}

TEST_F(FileCommandsTest, AboutBoxShowsNameVersionAndPicture) {
    Face().Action("about")->trigger();
    EXPECT_EQ(dialogs.ShownDialogs, QStringList{QStringLiteral("About Quennet Pro")});
    TAboutBox box;
    ASSERT_FALSE(box.Picture().isNull()) << "the JPEG picture is read from the resources";
    EXPECT_EQ(box.Picture().size(), QSize(380, 150));
    EXPECT_EQ(box.ProductLabel()->text(), QStringLiteral("Quennet Pro"));
    EXPECT_TRUE(box.VersionLabel()->text().contains(QStringLiteral(QUENNET_VERSION)));
}

TEST_F(FileCommandsTest, ChoosingAFileLoadsItAndDropsTheComparison) {
    const QString a = Write(QStringLiteral("a.pas"), kOld);
    const QString b = Write(QStringLiteral("b.pas"), kNew);
    const QString c = Write(QStringLiteral("other/c.pas"), kNew);
    form->DropFiles({a, b}, nullptr);
    ASSERT_NE(form->Document().Comparison(), nullptr);

    dialogs.OpenAnswer = c;
    Face().Action("openOld")->trigger();
    EXPECT_EQ(dialogs.LastOpenTitle, QStringLiteral("Browse"));
    EXPECT_EQ(dialogs.LastOpenFilter, form->Settings().Extensions.join(QLatin1Char('|')));
    EXPECT_EQ(QDir(dialogs.LastOpenDir), QDir(dir.path())) << "the shown file's folder";
    EXPECT_EQ(ShownFile(*form, true), QDir::toNativeSeparators(c));
    EXPECT_EQ(Face().FileBox(true)->FileName(), ShownFile(*form, true));
    EXPECT_EQ(form->Document().Comparison(), nullptr);
    EXPECT_EQ(Face().Tree()->topLevelItemCount(), 0);
    EXPECT_NE(form->Document().Source(true), nullptr) << "the models stay until the next Diff";
    EXPECT_EQ(QDir(form->DefaultFolder(true)), QDir(dir.path()))
        << "the folder the dialog opened in";

    // A name that does not exist loads nothing; only the default folder follows.
    dialogs.OpenAnswer = dir.filePath(QStringLiteral("other/missing.pas"));
    Face().Action("newPopupOpen")->trigger();
    EXPECT_EQ(ShownFile(*form, false), QDir::toNativeSeparators(b));
    EXPECT_EQ(Face().Editor(false)->lineCount(), 12);
    EXPECT_EQ(QDir(form->DefaultFolder(false)), QDir(dir.path()));
    EXPECT_TRUE(dialogs.Errors.isEmpty());
}
