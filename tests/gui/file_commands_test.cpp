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
    EXPECT_EQ(form->Widgets().Old.ModifiedPanel->text(), QStringLiteral("Modified"));
    form->Widgets().Old.SaveButton->click();
    EXPECT_TRUE(dialogs.Errors.isEmpty()) << dialogs.Errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Read(u + QStringLiteral(".000.bak")), QByteArray(kOld));
    EXPECT_EQ(Read(u), QByteArray("{1}") + kOld) << "LF ends and the missing final break kept";
    EXPECT_FALSE(form->Widgets().Old.Editor->isModified());
    EXPECT_TRUE(form->Widgets().Old.ModifiedPanel->text().isEmpty());

    Edit(true, QStringLiteral("{2}"));
    form->Widgets().Old.PopupSave->trigger();
    EXPECT_EQ(Read(u + QStringLiteral(".001.bak")), QByteArray("{1}") + kOld);
    EXPECT_EQ(Entries(), (QStringList{QStringLiteral("u.pas"), QStringLiteral("u.pas.000.bak"),
                                      QStringLiteral("u.pas.001.bak")}));
}

TEST_F(FileCommandsTest, SaveWithoutModificationTouchesNothing) {
    const QString u = Write(QStringLiteral("u.pas"), kNew);
    const QDateTime before = QFileInfo(u).lastModified();
    form->LoadFile(false, u);
    form->Widgets().New.Editor->setReadOnly(false);
    form->Widgets().New.SaveButton->click();
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
        form->Widgets().SaveOldAs->trigger();
        EXPECT_EQ(Read(copy), bytes);
        EXPECT_EQ(ShownFile(*form, true), QDir::toNativeSeparators(copy));
    }
    EXPECT_TRUE(dialogs.Errors.isEmpty());
    EXPECT_EQ(dialogs.LastSave.Title, QStringLiteral("Save as..."));
    EXPECT_EQ(dialogs.LastSave.DefaultSuffix, QStringLiteral("pas"));
    EXPECT_EQ(dialogs.LastSave.FileName, QStringLiteral("u.pas"));
    EXPECT_EQ(QDir(dialogs.LastSave.InitialDir), QDir(dir.path()));
    EXPECT_EQ(dialogs.LastSave.Filter, form->Settings().Extensions.join(QLatin1Char('|')));
    EXPECT_EQ(form->Widgets().Old.FilenameEdit->FileName(), ShownFile(*form, true));

    // Cancelled: nothing changes.
    dialogs.SaveAnswer.clear();
    form->Widgets().SaveNewAs->trigger();
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
    const QPoint overTree = form->Widgets().DiffTree->mapTo(form.get(), QPoint(20, 20));

    // One file onto the window outside the views: nothing happens.
    drop(form.get(), overTree, {a});
    EXPECT_TRUE(ShownFile(*form, true).isEmpty());
    EXPECT_TRUE(ShownFile(*form, false).isEmpty());

    // Three files: the first two are compared, old and new in drop order.
    drop(form.get(), overTree, {a, b, c});
    EXPECT_EQ(ShownFile(*form, true), a);
    EXPECT_EQ(ShownFile(*form, false), b);
    ASSERT_NE(form->Document().Comparison(), nullptr);
    EXPECT_GT(form->Widgets().DiffTree->topLevelItemCount(), 0);
    drop(form.get(), overTree, {c});
    EXPECT_EQ(ShownFile(*form, false), b);
    EXPECT_NE(form->Document().Comparison(), nullptr);

    // One file onto the new view: loaded there, tree emptied, no compare.
    drop(form->Widgets().New.Editor->viewport(), QPoint(10, 10), {c});
    EXPECT_TRUE(dialogs.Errors.isEmpty()) << dialogs.Errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(ShownFile(*form, false), c);
    EXPECT_EQ(form->Widgets().New.FilenameEdit->FileName(), ShownFile(*form, false));
    EXPECT_EQ(form->Document().Comparison(), nullptr);
    EXPECT_EQ(form->Widgets().DiffTree->topLevelItemCount(), 0);
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
    const int lines = form->Widgets().Old.Editor->lineCount();
    Edit(true, QStringLiteral("procedure X;\n"));
    form->FreeComparison();
    form->Widgets().Old.ReloadButton->click();
    EXPECT_EQ(form->Widgets().Old.Editor->lineCount(), lines);
    EXPECT_EQ(form->Widgets().Old.Editor->lineBytes(0), "unit U;");
    EXPECT_FALSE(form->Widgets().Old.Editor->isModified());
    EXPECT_NE(form->Document().Comparison(), nullptr) << "a compare ran";

    // The file gone: the error names it, the view keeps its text, no compare.
    Edit(true, QStringLiteral("{kept}"));
    form->FreeComparison();
    ASSERT_TRUE(QFile::remove(a));
    form->Widgets().Old.PopupReload->trigger();
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains(QStringLiteral("a.pas")));
    EXPECT_EQ(form->Widgets().Old.Editor->lineBytes(0), "{kept}unit U;");
    EXPECT_EQ(form->Document().Comparison(), nullptr);
}

TEST_F(FileCommandsTest, EnableEditButtonAndPopupStayInStep) {
    const TSourcePane& pane = form->Widgets().Old;
    EXPECT_TRUE(form->Widgets().Old.Editor->isReadOnly());
    pane.EnableEditButton->click();
    EXPECT_FALSE(form->Widgets().Old.Editor->isReadOnly());
    pane.PopupEnableEdit->trigger();
    EXPECT_TRUE(form->Widgets().Old.Editor->isReadOnly());
    EXPECT_FALSE(pane.EnableEditButton->isChecked());
    pane.PopupEnableEdit->trigger();
    EXPECT_FALSE(form->Widgets().Old.Editor->isReadOnly());
    EXPECT_TRUE(pane.EnableEditButton->isChecked());
    EXPECT_TRUE(form->Widgets().New.Editor->isReadOnly()) << "each view has its own state";

    // Undo and redo work on the view's own buffer.
    const QString u = Write(QStringLiteral("u.pas"), kOld);
    form->LoadFile(true, u);
    Edit(true, QStringLiteral("X"));
    pane.PopupUndo->trigger();
    EXPECT_EQ(form->Widgets().Old.Editor->lineBytes(0), "unit U;");
    pane.PopupRedo->trigger();
    EXPECT_EQ(form->Widgets().Old.Editor->lineBytes(0), "Xunit U;");
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
    form->Widgets().Old.SaveButton->click();
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains(u)) << dialogs.Errors[0].toStdString();
    EXPECT_TRUE(form->Widgets().Old.Editor->isModified());
    EXPECT_EQ(form->Widgets().Old.ModifiedPanel->text(), QStringLiteral("Modified"));
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
    form->Widgets().HelpContents->trigger();
    ASSERT_EQ(dialogs.OpenedUrls.size(), 1) << dialogs.Infos.join(QLatin1Char('\n')).toStdString();
    const QUrl manual(dialogs.OpenedUrls[0]);
    EXPECT_TRUE(manual.isLocalFile());
    EXPECT_TRUE(QFileInfo(manual.toLocalFile()).isFile());

    form->Widgets().HomePage->trigger();
    ASSERT_EQ(dialogs.OpenedUrls.size(), 2);
    EXPECT_EQ(dialogs.OpenedUrls[1], WithHttpScheme(kHomePageAddress));
    // The desktop could not open it: the user hears of it.
    dialogs.OpenUrlAnswer = false;
    form->Widgets().HomePage->trigger();
    ASSERT_EQ(dialogs.Infos.size(), 1);
    EXPECT_TRUE(dialogs.Infos[0].contains(QStringLiteral("quennet.example")));
}

TEST_F(FileCommandsTest, AboutBoxShowsNameVersionAndPicture) {
    form->Widgets().About->trigger();
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
    form->Widgets().OpenOld->trigger();
    EXPECT_EQ(dialogs.LastOpenTitle, QStringLiteral("Browse"));
    EXPECT_EQ(dialogs.LastOpenFilter, form->Settings().Extensions.join(QLatin1Char('|')));
    EXPECT_EQ(QDir(dialogs.LastOpenDir), QDir(dir.path())) << "the shown file's folder";
    EXPECT_EQ(ShownFile(*form, true), QDir::toNativeSeparators(c));
    EXPECT_EQ(form->Widgets().Old.FilenameEdit->FileName(), ShownFile(*form, true));
    EXPECT_EQ(form->Document().Comparison(), nullptr);
    EXPECT_EQ(form->Widgets().DiffTree->topLevelItemCount(), 0);
    EXPECT_NE(form->Document().Source(true), nullptr) << "the models stay until the next Diff";
    EXPECT_EQ(QDir(form->DefaultFolder(true)), QDir(dir.path()))
        << "the folder the dialog opened in";

    // A name that does not exist loads nothing; only the default folder follows.
    dialogs.OpenAnswer = dir.filePath(QStringLiteral("other/missing.pas"));
    form->Widgets().New.PopupOpen->trigger();
    EXPECT_EQ(ShownFile(*form, false), QDir::toNativeSeparators(b));
    EXPECT_EQ(form->Widgets().New.Editor->lineCount(), 12);
    EXPECT_EQ(QDir(form->DefaultFolder(false)), QDir(dir.path()));
    EXPECT_TRUE(dialogs.Errors.isEmpty());
}
