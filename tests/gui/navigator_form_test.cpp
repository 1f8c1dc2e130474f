// Folder navigator: lists, statuses after folder and mask changes, namesake selection, opening a
// pair in the main window, and the stored splitter position.
#include "filename_edit.h"
#include "main_window_fixture.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QListWidget>
#include <QSplitter>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

using namespace quennet::gui;
using quennet::folders::FileStatus;

namespace {

const char* kUnitOld = "unit U;\ninterface\nprocedure A;\nimplementation\nprocedure A;\nbegin\n"
                       "end;\nend.\n";
const char* kUnitNew = "unit U;\ninterface\nprocedure A;\nprocedure B;\nimplementation\n"
                       "procedure A;\nbegin\nend;\nprocedure B;\nbegin\nend;\nend.\n";

class NavigatorTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        oldDir = Folder(QStringLiteral("old"));
        newDir = Folder(QStringLiteral("new"));
    }
    QString Folder(const QString& name) {
        const QString path = QDir(dir.path()).absoluteFilePath(name);
        EXPECT_TRUE(QDir().mkpath(path));
        return path;
    }
    static void Put(const QString& folder, const QString& name, const QByteArray& bytes) {
        QFile f(QDir(folder).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // Clicks an entry as the user does: it becomes the current, selected item, then the event.
    void Click(bool left, const QString& name, bool doubleClick = false) {
        nav->SelectFileName(left, name);
        doubleClick ? nav->FileListDblClick(left) : nav->FileListClick(left);
    }
    QString Selected(bool left) const {
        const QString path = nav->SelectedFile(left);
        return path.isEmpty() ? QString() : QFileInfo(path).fileName();
    }

    QString oldDir, newDir;
};

} // namespace

TEST_F(NavigatorTest, StatusesFollowFolderAndMaskChanges) {
    Put(oldDir, QStringLiteral("same.pas"), kUnitOld);
    Put(newDir, QStringLiteral("same.pas"), kUnitOld);
    Put(oldDir, QStringLiteral("changed.pas"), kUnitOld);
    Put(newDir, QStringLiteral("changed.pas"), kUnitNew);
    Put(oldDir, QStringLiteral("empty.dpr"), "");
    Put(newDir, QStringLiteral("empty.dpr"), "");
    Put(oldDir, QStringLiteral("gone.pas"), "x");
    Put(newDir, QStringLiteral("added.pas"), "y");
    Put(oldDir, QStringLiteral("notes.txt"), "n");
    Put(newDir, QStringLiteral("notes.txt"), "n");
    Put(oldDir, QStringLiteral(".hidden.pas"), "h");
    nav->SetFolders(oldDir, newDir);

    EXPECT_EQ(nav->FileNames(true),
              (QStringList{QStringLiteral("changed.pas"), QStringLiteral("empty.dpr"),
                           QStringLiteral("gone.pas"), QStringLiteral("same.pas")}));
    EXPECT_EQ(nav->FileNames(false),
              (QStringList{QStringLiteral("added.pas"), QStringLiteral("changed.pas"),
                           QStringLiteral("empty.dpr"), QStringLiteral("same.pas")}));
    // The statuses are the engine's; the lists show them on both sides.
    EXPECT_EQ(nav->StatusOf(true, QStringLiteral("changed.pas")), FileStatus::Different);
    EXPECT_EQ(nav->StatusOf(false, QStringLiteral("added.pas")), FileStatus::OnlyHere);
    EXPECT_FALSE(nav->StatusOf(true, QStringLiteral("added.pas")).has_value());

    // Another left folder: the right list's glyphs are recomputed too.
    const QString other = Folder(QStringLiteral("other"));
    Put(other, QStringLiteral("same.pas"), kUnitNew);
    Put(other, QStringLiteral("added.pas"), "y");
    nav->SetFolder(true, other);
    EXPECT_EQ(nav->OldFolder(), other);
    EXPECT_EQ(nav->StatusOf(false, QStringLiteral("same.pas")), FileStatus::Different);
    EXPECT_EQ(nav->StatusOf(false, QStringLiteral("added.pas")), FileStatus::Identical);
    EXPECT_EQ(nav->StatusOf(false, QStringLiteral("changed.pas")), FileStatus::OnlyHere);
    EXPECT_EQ(QDir(static_cast<const QFileSystemModel*>(nav->Left.FolderTree->model())
                       ->filePath(nav->Left.FolderTree->currentIndex())),
              QDir(other))
        << "the folder tree shows the folder";
    nav->SetFolder(true, oldDir);

    // All files on the left: every extension is listed and marked; the right keeps its mask.
    ASSERT_EQ(nav->Left.FilterBox->count(), 4);
    nav->SetFilter(true, 3);
    EXPECT_EQ(nav->StatusOf(true, QStringLiteral("notes.txt")), FileStatus::Identical);
    EXPECT_FALSE(nav->StatusOf(false, QStringLiteral("notes.txt")).has_value());
    EXPECT_FALSE(nav->StatusOf(true, QStringLiteral(".hidden.pas")).has_value());

    // A file changed on disk shows after "Refresh contents".
    Put(newDir, QStringLiteral("same.pas"), "changed behind the window");
    Put(newDir, QStringLiteral("late.pas"), "z");
    nav->RefreshButton->click();
    EXPECT_EQ(nav->StatusOf(true, QStringLiteral("same.pas")), FileStatus::Different);
    EXPECT_EQ(nav->StatusOf(false, QStringLiteral("late.pas")), FileStatus::OnlyHere);
}

TEST_F(NavigatorTest, ClickSelectsTheNamesake) {
    Put(oldDir, QStringLiteral("a.pas"), "1");
    Put(newDir, QStringLiteral("a.pas"), "2");
    Put(oldDir, QStringLiteral("b.pas"), "1");
    Put(newDir, QStringLiteral("A.PAS"), "3");
    nav->SetFolders(oldDir, newDir);
    Click(true, QStringLiteral("a.pas"));
    EXPECT_EQ(Selected(false), QStringLiteral("a.pas")) << "names are compared with their case";
    Click(true, QStringLiteral("b.pas"));
    EXPECT_TRUE(Selected(false).isEmpty());
    Click(false, QStringLiteral("A.PAS"));
    EXPECT_TRUE(Selected(true).isEmpty());

    // One folder on both sides: every file identical, a click selects nothing over there.
    nav->SetRightEqLeftButton->click();
    EXPECT_EQ(nav->NewFolder(), oldDir);
    for (const QString& name : nav->FileNames(false))
        EXPECT_EQ(nav->StatusOf(false, name), FileStatus::Identical) << name.toStdString();
    nav->SelectFileName(false, QString());
    Click(true, QStringLiteral("a.pas"));
    EXPECT_TRUE(Selected(false).isEmpty());

    nav->SetFolder(true, newDir);
    nav->SetLeftEqRightButton->click();
    EXPECT_EQ(nav->OldFolder(), oldDir);
}

TEST_F(NavigatorTest, DoubleClickOpensThePairInTheMainWindow) {
    Put(oldDir, QStringLiteral("u.pas"), kUnitOld);
    Put(newDir, QStringLiteral("u.pas"), kUnitNew);
    Put(newDir, QStringLiteral("single.pas"), kUnitNew);
    nav->SetFolders(oldDir, newDir);

    // No namesake: only that file is loaded, nothing is compared.
    Click(false, QStringLiteral("single.pas"), true);
    EXPECT_EQ(ShownFile(*form, false),
              QDir::toNativeSeparators(QDir(newDir).filePath("single.pas")));
    EXPECT_EQ(Face().FileBox(false)->FileName(), ShownFile(*form, false));
    EXPECT_TRUE(ShownFile(*form, true).isEmpty());
    EXPECT_EQ(form->Document().Comparison(), nullptr);
    EXPECT_TRUE(dialogs.Errors.isEmpty());

    // With a namesake: both loaded and compared; the default folders follow the navigator.
    Click(true, QStringLiteral("u.pas"), true);
    EXPECT_EQ(ShownFile(*form, true), QDir::toNativeSeparators(QDir(oldDir).filePath("u.pas")));
    EXPECT_EQ(ShownFile(*form, false), QDir::toNativeSeparators(QDir(newDir).filePath("u.pas")));
    ASSERT_NE(form->Document().Comparison(), nullptr);
    EXPECT_GT(Face().Tree()->topLevelItemCount(), 0);
    EXPECT_EQ(Face().Editor(false)->lineCount(), 12);
    EXPECT_EQ(QDir(form->DefaultFolder(true)), QDir(oldDir));
    EXPECT_EQ(QDir(form->DefaultFolder(false)), QDir(newDir));
    EXPECT_FALSE(form->Document().Busy());
}

TEST_F(NavigatorTest, FoldersComeFromTheMainWindowAndPanelHeightIsStored) {
    DestroyForms();
    WriteSetting(QStringLiteral("TMainForm"), QStringLiteral("DefPathOld"), oldDir);
    WriteSetting(QStringLiteral("TMainForm"), QStringLiteral("DefPathNew"), newDir);
    MakeForms();
    form->show();
    EXPECT_EQ(nav->OldFolder(), oldDir);
    EXPECT_EQ(nav->NewFolder(), newDir);

    nav->resize(600, 500);
    nav->show();
    QApplication::processEvents();
    const int total = nav->PanelSplitter->height() - nav->PanelSplitter->handleWidth();
    nav->PanelSplitter->setSizes({150, total - 150});
    ASSERT_EQ(nav->PanelHeight(), 150);
    DestroyForms();

    ASSERT_TRUE(registry->OpenSettingsKey(QStringLiteral("TNavigatorForm"), false));
    EXPECT_EQ(registry->ReadInteger(QStringLiteral("PanelHeight"), 0), 150);
    EXPECT_FALSE(registry->ReadString(QStringLiteral("Placement"), QString()).isEmpty());
    registry->CloseKey();

    MakeForms();
    nav->show();
    QApplication::processEvents();
    EXPECT_EQ(nav->size(), QSize(600, 500));
    EXPECT_EQ(nav->PanelHeight(), 150);
    EXPECT_EQ(nav->windowTitle(), QStringLiteral("Navigator"));
}

TEST(NavigatorGlyphs, ThreeDistinctPictures) {
    const QImage only = StatusGlyph(FileStatus::OnlyHere).toImage();
    const QImage same = StatusGlyph(FileStatus::Identical).toImage();
    const QImage diff = StatusGlyph(FileStatus::Different).toImage();
    for (const QImage* img : {&only, &same, &diff})
        EXPECT_EQ(img->size(), QSize(16, 16));
    EXPECT_NE(only, same);
    EXPECT_NE(only, diff);
    EXPECT_NE(same, diff);
}
