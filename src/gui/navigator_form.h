// The folder navigator: an old and a new folder side by side, each file marked by whether its
// namesake in the other folder exists and has the same content; a pair opens in the main window.
#pragma once

#include "adv_form.h"

#include "folders/folder_compare.h"
#include "folders/tree_rows.h"

#include <QPixmap>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolButton;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace quennet::gui {

class TUserDialogs;

// The filter box entries: caption and mask.
struct TNavigatorFilter {
    QString Caption;
    QString Mask;
};
// The first entry is the default: every Pascal source kind.
const std::array<TNavigatorFilter, 4>& NavigatorFilters();

// Glyph of a status: green plus (only here), plain page (identical), plus above minus (different).
QPixmap StatusGlyph(folders::FileStatus status);
// Glyph of a whole-tree row: red minus only old, green plus only new, as above otherwise.
QPixmap RowGlyph(folders::RowStatus status);

class TNavigatorForm : public TAdvForm {
    Q_OBJECT
public:
    explicit TNavigatorForm(TAppRegistry* registry, QWidget* parent = nullptr);
    ~TNavigatorForm() override;

    // One side: drive box (a typed folder is taken on Enter), folder tree, file list with
    // glyphs, filter box.
    struct TSide {
        QLabel* Caption = nullptr;
        QComboBox* DriveBox = nullptr;
        QTreeView* FolderTree = nullptr;
        QListWidget* FileList = nullptr;
        QComboBox* FilterBox = nullptr;
        QString Folder;
        QString Mask = QStringLiteral("*.pas;*.pp;*.inc;*.dpr;*.lpr;*.dpk");
    };
    TSide Left;  // "Old files"
    TSide Right; // "New files"
    QToolButton* SetRightEqLeftButton = nullptr;
    QToolButton* SetLeftEqRightButton = nullptr;
    QToolButton* RefreshButton = nullptr;
    QSplitter* PanelSplitter = nullptr; // folder trees above, file lists below
    QTabWidget* BottomPages = nullptr;  // "Folders" | "Whole tree"
    // The whole tree: old and new names aligned by relative path, API change counts.
    QTreeWidget* TreeView = nullptr;
    QToolButton* CompareTreesButton = nullptr;
    QCheckBox* ApiCounts = nullptr;
    QProgressBar* TreeProgress = nullptr;

    // The folders shown first: the main window's default folders for old and new files.
    void SetFolders(const QString& oldFolder, const QString& newFolder);
    QString OldFolder() const { return Left.Folder; }
    QString NewFolder() const { return Right.Folder; }
    // A side's folder tree goes to the folder; its list reads it, then both lists' statuses
    // are recomputed. A folder that does not exist is ignored.
    void SetFolder(bool left, const QString& folder);
    // Filter box entry 0..2 of a side.
    void SetFilter(bool left, int index);

    // Recomputes the statuses of both lists (run after either list read its names).
    void UpdateStatuses();
    void RefreshContents();
    void SetRightFolderEqLeft();
    void SetLeftFolderEqRight();

    // The list's selected file as a full name; empty when none is selected or it is gone.
    QString SelectedFile(bool left) const;
    // Selects the entry of that name; an empty name clears the selection.
    void SelectFileName(bool left, const QString& name);
    // The status shown for a name of a list; nullopt when the list has no such entry.
    std::optional<folders::FileStatus> StatusOf(bool left, const QString& name) const;
    QStringList FileNames(bool left) const;

    // Click selects the namesake on the other side; double-click then opens the pair.
    void FileListClick(bool left);
    void FileListDblClick(bool left);
    // Emits PairChosen for the selected files, when there is one.
    void OpenSelectedPair();

    // A typed or pasted folder: used as typed; a folder that does not exist is reported.
    void TypedFolder(bool left, const QString& text);

    // Reads both trees in the background (navigator_tree.cpp); Escape cancels. TreeCompared
    // is emitted when the view is filled, not after a cancel.
    void CompareTrees();
    void CancelTreeCompare();
    bool TreeBusy() const { return static_cast<bool>(treeJob_); }
    // How the whole tree reads its units: the main window's reading, so that its counts are
    // those of a compare (and of the command line with the same settings). Without one, the
    // command line's reading without options.
    void SetReadingSource(std::function<model::Reading()> source) {
        readingSource_ = std::move(source);
    }
    // The rows of the last finished comparison.
    const std::vector<folders::TreeRow>& TreeRows() const { return treeRows_; }
    // Double-click on a unit row: the pair (or the one side) opens in the main window.
    void OpenTreeRow(const QTreeWidgetItem* item);

    // Failed commands are shown through these dialogs; without them, in the status bar.
    void SetDialogs(TUserDialogs* dialogs) { dialogs_ = dialogs; }

    int PanelHeight() const;

signals:
    // Either name may be empty; folders end with a separator.
    void PairChosen(const QString& oldFile, const QString& newFile, const QString& oldFolder,
                    const QString& newFolder);
    void TreeCompared();

protected:
    void FirstShown() override;

private:
    QWidget* CreateTop(TSide& side, bool left);
    QWidget* CreateBottom(TSide& side, bool left);
    QWidget* CreateTreePage();
    void TreeJobFinished();
    void WaitForTreeThreads();
    void FillTreeView();
    void FillDriveBox(TSide& side);
    void ShowFolderInTree(TSide& side);
    void ReadFileNames(TSide& side);
    TSide& Side(bool left) { return left ? Left : Right; }
    const TSide& Side(bool left) const { return left ? Left : Right; }
    void Command(const std::function<void()>& f);

    TUserDialogs* dialogs_ = nullptr;
    QFileSystemModel* folders_ = nullptr;
    int storedPanelHeight_ = -1;
    struct TreeJob;
    std::shared_ptr<TreeJob> treeJob_; // the running comparison, shared with its thread
    QTimer* treeTimer_ = nullptr;      // polls its progress
    std::vector<folders::TreeRow> treeRows_;
    std::function<model::Reading()> readingSource_;
};

} // namespace quennet::gui
