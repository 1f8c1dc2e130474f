// File commands of the main window: saving with numbered backups and kept line ends, Save as,
// dropped files, Reload, Enable Edit, Help and the about box; and the faults a save can meet.
#include "about_box.h"
#include "app_registry.h"
#include "diff_rpt_form.h"
#include "filename_edit.h"
#include "help_links.h"
#include "main_form.h"
#include "navigator_form.h"
#include "source_editor.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "fake_dialogs.h"

using namespace quennet::gui;

namespace {

// LF line ends and no break after the last line: both must survive a save.
const char* kOld = "unit U;\ninterface\nprocedure A;\nimplementation\nprocedure A;\nbegin\nend;\n"
                   "end.";
const char* kNew = "unit U;\r\ninterface\r\nprocedure A;\r\nprocedure B;\r\nimplementation\r\n"
                   "procedure A;\r\nbegin\r\nend;\r\nprocedure B;\r\nbegin\r\nend;\r\nend.\r\n";

class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        registry = std::make_unique<TAppRegistry>(dir.filePath(QStringLiteral("settings.ini")));
        form = std::make_unique<TMainForm>(registry.get(), dialogs);
        report = std::make_unique<TDiffRptForm>(registry.get(), dialogs);
        form->SetReportForm(report.get());
        form->SetNavigatorForm(new TNavigatorForm(registry.get(), form.get()));
    }
    void TearDown() override {
        report.reset();
        form.reset();
    }

    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = QDir(dir.path()).absoluteFilePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList Entries() const {
        QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        names.removeAll(QStringLiteral("settings.ini"));
        return names;
    }
    // An edit as the user makes it: the view becomes modified.
    void Edit(SourceEditor* view, const QString& text) {
        view->setReadOnly(false);
        view->insertAt(text, 0, 0);
        ASSERT_TRUE(view->isModified());
    }

    QTemporaryDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<TAppRegistry> registry;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TDiffRptForm> report;
};

} // namespace

TEST_F(FileCommandsTest, SaveChangesMakesNumberedBackupsAndKeepsLineEnds) {
    const QString u = Write(QStringLiteral("u.pas"), kOld);
    form->LoadOldFile(u);
    Edit(form->Widgets().Old.Editor, QStringLiteral("{1}"));
    EXPECT_EQ(form->Widgets().Old.ModifiedPanel->text(), QStringLiteral("Modified"));
    form->Widgets().Old.SaveButton->click();
    EXPECT_TRUE(dialogs.Errors.isEmpty()) << dialogs.Errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Read(u + QStringLiteral(".000.bak")), QByteArray(kOld));
    EXPECT_EQ(Read(u), QByteArray("{1}") + kOld) << "LF ends and the missing final break kept";
    EXPECT_FALSE(form->Widgets().Old.Editor->isModified());
    EXPECT_TRUE(form->Widgets().Old.ModifiedPanel->text().isEmpty());

    Edit(form->Widgets().Old.Editor, QStringLiteral("{2}"));
    form->Widgets().Old.PopupSave->trigger();
    EXPECT_EQ(Read(u + QStringLiteral(".001.bak")), QByteArray("{1}") + kOld);

    // 000 missing, 001 present: the first free number is taken again.
    ASSERT_TRUE(QFile::remove(u + QStringLiteral(".000.bak")));
    Edit(form->Widgets().Old.Editor, QStringLiteral("{3}"));
    form->SaveChanges(true);
    EXPECT_EQ(Read(u + QStringLiteral(".000.bak")), QByteArray("{2}{1}") + kOld);
    EXPECT_EQ(Read(u + QStringLiteral(".001.bak")), QByteArray("{1}") + kOld);
    EXPECT_EQ(Entries(), (QStringList{QStringLiteral("u.pas"), QStringLiteral("u.pas.000.bak"),
                                      QStringLiteral("u.pas.001.bak")}));
}

TEST_F(FileCommandsTest, SaveWithoutModificationTouchesNothing) {
    const QString u = Write(QStringLiteral("u.pas"), kNew);
    const QDateTime before = QFileInfo(u).lastModified();
    form->LoadNewFile(u);
    form->Widgets().New.Editor->setReadOnly(false);
    form->Widgets().New.SaveButton->click();
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("u.pas")});
    EXPECT_EQ(QFileInfo(u).lastModified(), before);
    EXPECT_EQ(Read(u), QByteArray(kNew));
}

TEST_F(FileCommandsTest, SaveAsWritesTheUneditedTextByteForByte) {
    const QString u = Write(QStringLiteral("u.pas"), kOld);
    form->LoadOldFile(u);
    const QString copy = dir.filePath(QStringLiteral("copy.pas"));
    dialogs.SaveAnswer = copy;
    form->Widgets().SaveOldAs->trigger();
    EXPECT_EQ(dialogs.LastSave.Title, QStringLiteral("Save as..."));
    EXPECT_EQ(dialogs.LastSave.DefaultSuffix, QStringLiteral("pas"));
    EXPECT_EQ(dialogs.LastSave.FileName, QStringLiteral("u.pas"));
    EXPECT_EQ(QDir(dialogs.LastSave.InitialDir), QDir(dir.path()));
    EXPECT_EQ(dialogs.LastSave.Filter, form->JoinedExtensions());
    EXPECT_EQ(Read(copy), QByteArray(kOld));
    EXPECT_EQ(form->FileName(true), QDir::toNativeSeparators(copy));
    EXPECT_EQ(form->Widgets().Old.FilenameEdit->FileName(), form->FileName(true));

    // Cancelled: nothing changes.
    dialogs.SaveAnswer.clear();
    form->Widgets().SaveNewAs->trigger();
    EXPECT_TRUE(form->FileName(false).isEmpty());
}

TEST_F(FileCommandsTest, DroppedFiles) {
    const QString a = Write(QStringLiteral("a.pas"), kOld);
    const QString b = Write(QStringLiteral("b.pas"), kNew);
    const QString c = Write(QStringLiteral("c.pas"), kNew);

    // Three files: the first two are compared, old and new in drop order.
    form->DropFiles({a, b, c}, form->Widgets().DiffTree);
    EXPECT_EQ(form->FileName(true), QDir::toNativeSeparators(a));
    EXPECT_EQ(form->FileName(false), QDir::toNativeSeparators(b));
    ASSERT_NE(form->Comparison(), nullptr);
    EXPECT_GT(form->Widgets().DiffTree->topLevelItemCount(), 0);

    // One file onto the tree: nothing happens.
    form->DropFiles({c}, form->Widgets().DiffTree->viewport());
    EXPECT_EQ(form->FileName(false), QDir::toNativeSeparators(b));
    EXPECT_NE(form->Comparison(), nullptr);

    // One file onto the new view, delivered as a real drop event: loaded there, tree emptied,
    // no compare.
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(c)});
    // The application routes a drop to the widget that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->Widgets().New.Editor->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->Widgets().New.Editor->viewport(), &drop);
    EXPECT_TRUE(dialogs.Errors.isEmpty()) << dialogs.Errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(form->FileName(false), QDir::toNativeSeparators(c));
    EXPECT_EQ(form->Widgets().New.FilenameEdit->FileName(), form->FileName(false));
    EXPECT_EQ(form->Comparison(), nullptr);
    EXPECT_EQ(form->Widgets().DiffTree->topLevelItemCount(), 0);
    EXPECT_EQ(form->FileName(true), QDir::toNativeSeparators(a));
    EXPECT_FALSE(form->Busy());

    // Two names of which one is missing: nothing.
    form->DropFiles({b, dir.filePath(QStringLiteral("missing.pas"))}, nullptr);
    EXPECT_EQ(form->FileName(true), QDir::toNativeSeparators(a));
    EXPECT_TRUE(dialogs.Errors.isEmpty());
}

TEST_F(FileCommandsTest, ReloadDiscardsEditsAndCompares) {
    const QString a = Write(QStringLiteral("a.pas"), kOld);
    const QString b = Write(QStringLiteral("b.pas"), kNew);
    form->DropFiles({a, b}, nullptr);
    const int lines = form->Widgets().Old.Editor->lineCount();
    Edit(form->Widgets().Old.Editor, QStringLiteral("procedure X;\n"));
    form->FreeComparison();
    form->Widgets().Old.ReloadButton->click();
    EXPECT_EQ(form->Widgets().Old.Editor->lineCount(), lines);
    EXPECT_EQ(form->Widgets().Old.Editor->lineBytes(0), "unit U;");
    EXPECT_FALSE(form->Widgets().Old.Editor->isModified());
    EXPECT_NE(form->Comparison(), nullptr) << "a compare ran";

    // The file gone: the error names it, the view keeps its text, no compare.
    Edit(form->Widgets().Old.Editor, QStringLiteral("{kept}"));
    form->FreeComparison();
    ASSERT_TRUE(QFile::remove(a));
    form->Widgets().Old.PopupReload->trigger();
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains(QStringLiteral("a.pas")));
    EXPECT_EQ(form->Widgets().Old.Editor->lineBytes(0), "{kept}unit U;");
    EXPECT_EQ(form->Comparison(), nullptr);
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
    form->LoadOldFile(u);
    Edit(form->Widgets().Old.Editor, QStringLiteral("X"));
    pane.PopupUndo->trigger();
    EXPECT_EQ(form->Widgets().Old.Editor->lineBytes(0), "unit U;");
    pane.PopupRedo->trigger();
    EXPECT_EQ(form->Widgets().Old.Editor->lineBytes(0), "Xunit U;");
}

TEST_F(FileCommandsTest, FileDeletedBehindTheViewIsSavedAndTheUserIsTold) {
    const QString u = Write(QStringLiteral("u.pas"), kOld);
    form->LoadOldFile(u);
    Edit(form->Widgets().Old.Editor, QStringLiteral("{x}"));
    ASSERT_TRUE(QFile::remove(u));
    form->SaveChanges(true);
    EXPECT_EQ(Read(u), QByteArray("{x}") + kOld);
    ASSERT_EQ(dialogs.Infos.size(), 1);
    EXPECT_TRUE(dialogs.Infos[0].contains(QStringLiteral("no backup")));
    EXPECT_TRUE(dialogs.Infos[0].contains(QStringLiteral("u.pas")));
}

TEST_F(FileCommandsTest, FailedSavesKeepTheFileAndTheModifiedMark) {
    // The folder replaced by a file behind the view's back: the write cannot even start.
    const QString sub = dir.filePath(QStringLiteral("sub"));
    ASSERT_TRUE(QDir().mkpath(sub));
    const QString u = QDir(sub).filePath(QStringLiteral("u.pas"));
    {
        QFile f(u);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kOld);
    }
    form->LoadOldFile(u);
    Edit(form->Widgets().Old.Editor, QStringLiteral("{x}"));
    ASSERT_TRUE(QDir(sub).removeRecursively());
    Write(QStringLiteral("sub"), "a file now");
    form->Widgets().Old.SaveButton->click();
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains(u)) << dialogs.Errors[0].toStdString();
    EXPECT_TRUE(form->Widgets().Old.Editor->isModified());
    EXPECT_EQ(form->Widgets().Old.ModifiedPanel->text(), QStringLiteral("Modified"));
    EXPECT_EQ(Read(dir.filePath(QStringLiteral("sub"))), QByteArray("a file now"));

    // A full device (a file-size limit fails the write the same way): the original stays.
    const QString big = Write(QStringLiteral("big.pas"), kOld);
    form->LoadNewFile(big);
    form->Widgets().New.Editor->setReadOnly(false);
    form->Widgets().New.Editor->insertAt(QString(20000, QLatin1Char('x')), 0, 0);
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = saved;
    limit.rlim_cur = 8192;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    form->Widgets().New.SaveButton->click();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_EQ(dialogs.Errors.size(), 2);
    EXPECT_TRUE(dialogs.Errors[1].contains(big)) << dialogs.Errors[1].toStdString();
    EXPECT_EQ(Read(big), QByteArray(kOld));
    EXPECT_TRUE(form->Widgets().New.Editor->isModified());
    EXPECT_FALSE(Entries().contains(QStringLiteral("big.pas.000.bak")));
    for (const QString& name : Entries())
        EXPECT_FALSE(name.contains(QStringLiteral(".tmp"))) << name.toStdString();
}

TEST_F(FileCommandsTest, SaveIntoAReadOnlyFolderFails) {
    if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root";
    const QString sub = dir.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkpath(sub));
    const QString u = QDir(sub).filePath(QStringLiteral("u.pas"));
    {
        QFile f(u);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kOld);
    }
    form->LoadOldFile(u);
    Edit(form->Widgets().Old.Editor, QStringLiteral("{x}"));
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    form->SaveChanges(true);
    QFile::setPermissions(sub,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains(QStringLiteral("Permission denied")));
    EXPECT_EQ(Read(u), QByteArray(kOld));
    EXPECT_TRUE(form->Widgets().Old.Editor->isModified());
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
    EXPECT_EQ(candidates[0], QStringLiteral("/opt/q/quennet.chm"));
    EXPECT_EQ(candidates[1], QStringLiteral("/opt/q/manual.html"));
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
    const QString other = QDir(dir.path()).absoluteFilePath(QStringLiteral("other"));
    ASSERT_TRUE(QDir().mkpath(other));
    const QString c = QDir(other).filePath(QStringLiteral("c.pas"));
    {
        QFile f(c);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kNew);
    }
    form->DropFiles({a, b}, nullptr);
    ASSERT_NE(form->Comparison(), nullptr);

    dialogs.OpenAnswer = c;
    form->Widgets().OpenOld->trigger();
    EXPECT_EQ(dialogs.LastOpenTitle, QStringLiteral("Browse"));
    EXPECT_EQ(dialogs.LastOpenFilter, form->JoinedExtensions());
    EXPECT_EQ(QDir(dialogs.LastOpenDir), QDir(dir.path())) << "the shown file's folder";
    EXPECT_EQ(form->FileName(true), QDir::toNativeSeparators(c));
    EXPECT_EQ(form->Widgets().Old.FilenameEdit->FileName(), form->FileName(true));
    EXPECT_EQ(form->Comparison(), nullptr);
    EXPECT_EQ(form->Widgets().DiffTree->topLevelItemCount(), 0);
    EXPECT_NE(form->Source(true), nullptr) << "the models stay until the next Diff";
    EXPECT_EQ(QDir(form->DefaultFolder(true)), QDir(dir.path()))
        << "the folder the dialog opened in";

    // A name that does not exist loads nothing; only the default folder follows.
    dialogs.OpenAnswer = QDir(other).filePath(QStringLiteral("missing.pas"));
    form->Widgets().New.PopupOpen->trigger();
    EXPECT_EQ(form->FileName(false), QDir::toNativeSeparators(b));
    EXPECT_EQ(form->Widgets().New.Editor->lineCount(), 12);
    EXPECT_EQ(QDir(form->DefaultFolder(false)), QDir(dir.path()));
    EXPECT_TRUE(dialogs.Errors.isEmpty());
}

TEST_F(FileCommandsTest, UneditedViewsSaveByteForByte) {
    const QByteArray samples[] = {
        QByteArray("unit A;\rinterface\rend.\r"),
        QByteArray("mixed\r\nline\nends\rhere"),
        QByteArray("8-bit \xe4\xf6\xfc and \xc3\xa4 bytes\r\n"),
        QByteArray("\r\n"),
        QByteArray(),
    };
    int n = 0;
    for (const QByteArray& bytes : samples) {
        const QString source = Write(QStringLiteral("s%1.pas").arg(n), bytes);
        const QString target = dir.filePath(QStringLiteral("t%1.pas").arg(n++));
        form->LoadNewFile(source);
        dialogs.SaveAnswer = target;
        form->Widgets().SaveNewAs->trigger();
        EXPECT_EQ(Read(target), bytes) << "sample " << n - 1;
    }
    EXPECT_TRUE(dialogs.Errors.isEmpty());
}

TEST_F(FileCommandsTest, DropOntoTheWindowOutsideTheViews) {
    const QString a = Write(QStringLiteral("a.pas"), kOld);
    const QString b = Write(QStringLiteral("b.pas"), kNew);
    form->resize(900, 600);
    form->show();
    QApplication::processEvents();
    const QPoint overTree = form->Widgets().DiffTree->mapTo(form.get(), QPoint(20, 20));
    auto drop = [&](const QStringList& names) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& n : names)
            urls << QUrl::fromLocalFile(n);
        mime.setUrls(urls);
        QDragEnterEvent enter(overTree, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent event(overTree, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &event);
    };
    drop({a});
    EXPECT_TRUE(form->FileName(true).isEmpty());
    EXPECT_TRUE(form->FileName(false).isEmpty());
    drop({a, b});
    EXPECT_EQ(form->FileName(true), QDir::toNativeSeparators(a));
    EXPECT_EQ(form->FileName(false), QDir::toNativeSeparators(b));
    EXPECT_NE(form->Comparison(), nullptr);
}
