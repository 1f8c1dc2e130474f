// The main window: two source views, the difference tree and the Diff command. It owns the
// state of one comparison: file names, the two parsed models, the comparison and the settings
// in use. Tree nodes point into the comparison, which points into the models, so they are
// released in that order.
#pragma once

#include "adv_form.h"
#include "progress_dialog.h"
#include "state_images.h"

#include "compare/compare_sources.h"
#include "model/line_decoration.h"
#include "model/line_matcher.h"
#include "model/source_diff.h"
#include "model/source_model.h"

#include <QStringList>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace quennet::gui {

class SourceEditor;
class TDiffRptForm;
class TFilenameEdit;
class TNavigatorForm;
class TUserDialogs;

// Old name with its extension replaced by ".~pa" (appended when it has none).
QString BackupFileName(const QString& fileName);

// Which files a command line names. Empty names: nothing to load.
struct CommandLineFiles {
    QString OldFileName;
    QString NewFileName;
};
CommandLineFiles ResolveCommandLine(const QStringList& params);

// The one line the user sees when a parse stopped following the structure; empty when complete.
QString ParseWarning(const QString& fileName, const model::ParseStatus& status);

// Leaf items that are not groups: the differences a user can select.
int CountDifferences(const model::TSourceDiffList& list);

// Lines of the report window after a compare: file names as UTF-8, source lines as Latin-1.
QStringList ReportLines(const compare::ComparisonResult& result);

// One source pane: label, file-name box, edit buttons, view and status bar.
struct TSourcePane {
    QWidget* Panel = nullptr;
    TFilenameEdit* FilenameEdit = nullptr;
    QToolButton* EnableEditButton = nullptr;
    QPushButton* ReloadButton = nullptr;
    QPushButton* SaveButton = nullptr;
    SourceEditor* Editor = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* CaretPanel = nullptr;
    QLabel* ModifiedPanel = nullptr;
    QLabel* WarningPanel = nullptr;
    QMenu* Popup = nullptr;
    QAction* PopupOpen = nullptr;
    QAction* PopupReload = nullptr;
    QAction* PopupSave = nullptr;
    QAction* PopupUndo = nullptr;
    QAction* PopupRedo = nullptr;
    QAction* PopupEnableEdit = nullptr;
};

class TMainForm : public TAdvForm {
    Q_OBJECT
public:
    TMainForm(TAppRegistry* registry, TUserDialogs& dialogs, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Windows created after this one.
    void SetReportForm(TDiffRptForm* form) { m_reportForm = form; }
    void SetNavigatorForm(TNavigatorForm* form) { m_navigatorForm = form; }
    TDiffRptForm* ReportForm() const { return m_reportForm; }
    TNavigatorForm* NavigatorForm() const { return m_navigatorForm; }
    TUserDialogs& Dialogs() const { return m_dialogs; }

    // One or two file names: loads them and compares at once.
    void HandleCommandLine(const QStringList& params);

    // The Diff command on the texts the two views hold now.
    void RunDiff();
    // "Edit merged text" on the two views' current texts, and "&Open merged workspace"; each
    // opens a new merge editor, or none when the command fails (main_form_merge.cpp).
    void Editmergedtext1Click();
    void OpenMergedWorkspace();
    // Closes every merge editor; false when one of them stays open.
    bool CloseMergeEditors();
    // Clears the tree, then frees the comparison and both models.
    void FreeComparison();
    void FillDiffTree();
    void ExpandAll();
    void CollapseAll();

    // Loads a file into the old or new view, scrolled to its start; the name is shown.
    void LoadOldFile(const QString& fileName);
    void LoadNewFile(const QString& fileName);
    // Reload command of a view: loads its file again (edits are discarded) and compares.
    void ReloadOld();
    void ReloadNew();

    // File commands of a view (main_form_files.cpp). Save changes keeps the file on disk as
    // "name.NNN.bak"; nothing is written when the text is not modified.
    void SaveChanges(bool old);
    void SaveAs(bool old);
    // Dropped files in drop order; target is the widget under the pointer.
    void DropFiles(const QStringList& names, QWidget* target);
    // The navigator's pair: each non-empty name is loaded into its view and its folder becomes
    // the side's default folder; with both, a compare runs.
    void OpenPair(const QString& oldFile, const QString& newFile, const QString& oldFolder,
                  const QString& newFolder);
    void HelpContents();
    void HomePage();
    void ShowAboutBox();

    // Setup command and the file-dialog filters.
    void SetupCommand();
    void ApplyExtensions();
    // The stored font on the old and new views; the diff view keeps its own.
    void ApplyEditorFont();
    QString JoinedExtensions() const;

    // Split mode: side by side when down, stacked when up; the panes are halved.
    void SetSplitMode(bool sideBySide);
    bool SideBySide() const;
    int TreeWidth() const;
    int OldPaneSize() const; // width side by side, height stacked

    // Stored layout: read at the first showing, written at destruction when shown.
    void RestoreLayout();
    void SaveLayout();

    // Tree selection and the views (main_form_selection.cpp).
    void DiffTreeViewChange();
    void ShowSelection();
    void BuildDiffView();
    void NextDifference();
    void PriorDifference();

    // State of the comparison.
    bool Busy = false;
    QString OldFileName;
    QString NewFileName;
    std::unique_ptr<model::TPasSrc> OldSource;
    std::unique_ptr<model::TPasSrc> NewSource;
    std::unique_ptr<model::TSourceDiff> Comparison;
    model::LineRange OldRange;
    model::LineRange NewRange;
    std::vector<model::TLineRecord> OldLines;
    std::vector<model::TLineRecord> NewLines;
    std::vector<model::TMapEntry> DiffMap;
    std::vector<model::TMapEntry> MergeMap;
    QString DefPathOld;
    QString DefPathNew;
    QStringList Defines;
    QString Dialect = QStringLiteral("auto"); // the settings' "Dialect"

    QStringList Extensions;
    QString EditorFontName;
    int EditorFontSize = 10;
    int EditorFontCharset = 1;

    // Components.
    TImageList ImageList1;
    QTreeWidget* DiffTreeView = nullptr;
    QTabWidget* PageControl = nullptr;
    QWidget* SourceViewTab = nullptr;
    QWidget* DiffViewTab = nullptr;
    QSplitter* MainSplitter = nullptr;   // tree pane | tabs
    QSplitter* SourceSplitter = nullptr; // old pane | new pane
    TSourcePane OldPane;
    TSourcePane NewPane;
    SourceEditor* RAHLEditor1 = nullptr; // old view
    SourceEditor* RAHLEditor2 = nullptr; // new view
    SourceEditor* DiffEditor = nullptr;  // diff view
    TFilenameEdit* FilenameEditOld = nullptr;
    TFilenameEdit* FilenameEditNew = nullptr;
    QPushButton* PriorButton = nullptr;
    QPushButton* NextButton = nullptr;
    QAction* AlButton = nullptr; // "Split mode"
    TProgressDialog* ProgressDialog1 = nullptr;
    QLabel* StatusMessage = nullptr;

    // Commands.
    QAction* ActExpand = nullptr;
    QAction* ActCollapse = nullptr;
    QAction* ActDiff = nullptr;
    QAction* ActShowReport = nullptr;
    QAction* ActEditMerged = nullptr;
    QAction* ActNavigator = nullptr;
    QAction* ActOpenOld = nullptr;
    QAction* ActOpenNew = nullptr;
    QAction* ActOpenWorkspace = nullptr;
    QAction* ActSaveOldAs = nullptr;
    QAction* ActSaveNewAs = nullptr;
    QAction* ActSetup = nullptr;
    QAction* ActExit = nullptr;
    QAction* ActHelpContents = nullptr;
    QAction* ActHomePage = nullptr;
    QAction* ActAbout = nullptr;
    QMenu* TreePopup = nullptr;

    // The difference item a tree node carries, or null.
    static const model::TSourceDiffItem* DiffItemOf(const QTreeWidgetItem* node);

    // The source pane of a view.
    TSourcePane& Pane(bool old) { return old ? OldPane : NewPane; }

protected:
    void FirstShown() override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void ConnectFileCommands();
    void CreateMenus();
    void CreateToolBar();
    QWidget* CreateSourcePane(TSourcePane& pane, const QString& caption, bool old);
    QWidget* CreateDiffTab();
    void ReadSettings();
    void LoadView(bool old, const QString& fileName);
    void UpdateStatus(TSourcePane& pane);
    void SetEditable(TSourcePane& pane, bool editable);
    void ShowParseWarnings();
    // Runs a command; a failure is shown in a message box.
    template <class F> void Command(F&& f);

    TUserDialogs& m_dialogs;
    TDiffRptForm* m_reportForm = nullptr;
    TNavigatorForm* m_navigatorForm = nullptr;
};

} // namespace quennet::gui
