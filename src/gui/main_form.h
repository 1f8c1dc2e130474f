// The main window: two source views, the difference tree and the Diff command. The state of
// the comparison shown lives in a document without widgets; tree nodes point into its
// comparison, so the tree is cleared before the document lets it go.
#pragma once

#include "adv_form.h"
#include "progress_dialog.h"
#include "setup_form.h"
#include "state_images.h"

#include "diff/compare_sources.h"
#include "diff/source_diff.h"
#include "model/reading_settings.h"
#include "model/source_model.h"
#include "viewrules/comparison_document.h"
#include "viewrules/form_view.h"
#include "viewrules/recent_files.h"

#include <QStringList>
#include <functional>
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
class TOverviewStrip;
class TSourceViews;
class TFilenameEdit;
class TFindDialog;
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
int CountDifferences(const diff::TSourceDiffList& list);

// Lines of the report window after a compare: file names as UTF-8, source lines as Latin-1.
QStringList ReportLines(const diff::ComparisonResult& result);

// The difference item a tree node of the main window carries, or null.
const diff::TSourceDiffItem* DiffItemOf(const QTreeWidgetItem* node);
// The row of a form pair's tree a node carries, or null (main_form_forms.cpp).
const viewrules::FormViewNode* FormNodeOf(const QTreeWidgetItem* node);

// One source pane: label, file-name box, edit buttons, view and status bar.
struct TSourcePane {
    QWidget* Panel = nullptr;
    QWidget* Header = nullptr; // caption, file name and buttons; two rows when narrow
    TFilenameEdit* FilenameEdit = nullptr;
    QToolButton* EnableEditButton = nullptr;
    QPushButton* ReloadButton = nullptr;
    QPushButton* SaveButton = nullptr;
    SourceEditor* Editor = nullptr;
    TOverviewStrip* Strip = nullptr;
    // Shown above the view when its file changed on disk since it was loaded.
    QWidget* ChangedBar = nullptr;
    QLabel* ChangedText = nullptr;
    QPushButton* ChangedReload = nullptr;
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

// The window's widgets and commands, owned by the window. Outside it they are found by their
// object names (see NameParts in main_form.cpp).
struct TMainFormWidgets {
    QTreeWidget* DiffTree = nullptr;
    QTabWidget* Pages = nullptr; // "Source View" | "Diff View"
    QWidget* SourceTab = nullptr;
    QWidget* DiffTab = nullptr;
    QSplitter* MainSplitter = nullptr;   // tree pane | tabs
    QSplitter* SourceSplitter = nullptr; // old pane | new pane
    TSourcePane Old;
    TSourcePane New;
    SourceEditor* DiffEditor = nullptr;
    QPushButton* PriorButton = nullptr;
    QPushButton* NextButton = nullptr;
    TProgressDialog* Progress = nullptr;
    QLabel* StatusMessage = nullptr;
    QMenu* TreePopup = nullptr;

    QAction* Expand = nullptr;
    QAction* Collapse = nullptr;
    QAction* Diff = nullptr;
    QAction* ShowReport = nullptr;
    QAction* EditMerged = nullptr;
    QAction* Navigator = nullptr;
    QAction* SplitMode = nullptr;
    QAction* NextDeclaration = nullptr;  // Alt+Down
    QAction* PriorDeclaration = nullptr; // Alt+Up
    QAction* SyncScroll = nullptr;       // side by side: the views scroll together
    QAction* LineNumbers = nullptr;
    QAction* OpenOld = nullptr;
    QAction* OpenNew = nullptr;
    QAction* OpenWorkspace = nullptr;
    QAction* OpenFocused = nullptr; // Ctrl+O: into the view that has the focus
    QAction* SaveFocused = nullptr; // Ctrl+S
    QAction* Find = nullptr;        // Ctrl+F
    QAction* FindNext = nullptr;    // F3
    QAction* FindPrior = nullptr;   // Shift+F3
    QAction* GoToLine = nullptr;    // Ctrl+G: in the focused view
    QMenu* RecentMenu = nullptr;    // the last pairs compared
    QAction* SaveOldAs = nullptr;
    QAction* SaveNewAs = nullptr;
    QAction* Setup = nullptr;
    QAction* Exit = nullptr;
    QAction* HelpContents = nullptr;
    QAction* HomePage = nullptr;
    QAction* About = nullptr;

    TFindDialog* FindDialog = nullptr;

    TSourcePane& Pane(bool old) { return old ? Old : New; }
    const TSourcePane& Pane(bool old) const { return old ? Old : New; }
};

// The stored choices the compare and the views use.
struct TMainSettings {
    QStringList Defines;
    TReadingValues Reading; // stored as "Dialect", "Target" and "IncludeDirs"
    QStringList Extensions;
    QString FontName;
    int FontSize = 10;
    int FontCharset = 1;
    QString Theme = QStringLiteral("System");        // stored as "Theme"
    TFormNoiseValues FormNoise = DefaultFormNoise(); // "FormNoise", "FormNoiseNames"
};

// The window's face: the companion windows, the comparison document and the commands other
// windows and the command line start. Everything else a user starts through the window's actions.
class TMainForm : public TAdvForm {
    Q_OBJECT
public:
    TMainForm(TAppRegistry* registry, TUserDialogs& dialogs, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Windows created after this one. The navigator's chosen pairs open here.
    void SetCompanions(TDiffRptForm* report, TNavigatorForm* navigator);

    // Files, models, comparison, selection and disk stamps of the comparison shown.
    const viewrules::ComparisonDocument& Document() const { return doc_; }
    const TMainSettings& Settings() const { return settings_; }
    // The two source views as a pair: difference marks, alignment, scrolling in step.
    TSourceViews* Views() const { return views_; }
    // Where a side's file dialogs start.
    QString DefaultFolder(bool old) const { return old ? oldFolder_ : newFolder_; }

    // One or two file names: loads them and compares at once.
    void HandleCommandLine(const QStringList& params);
    // Loads a file into the old or new view, scrolled to its start; the name is shown.
    void LoadFile(bool old, const QString& fileName);
    // The Diff command on the texts the two views hold now, on a worker thread behind the
    // progress window; Abort there leaves the window without a comparison.
    void RunDiff();
    // Takes a finished comparison of the two models and fills the tree from it.
    void ShowComparison(std::unique_ptr<model::TPasSrc> oldSource,
                        std::unique_ptr<model::TPasSrc> newSource,
                        std::unique_ptr<diff::TSourceDiff> comparison);
    // Clears the tree, then frees the comparison and both models.
    void FreeComparison();
    // "Edit merged text" on the two views' current texts (main_form_merge.cpp).
    void EditMergedText();

    // Dropped files in drop order; target is the widget under the pointer.
    void DropFiles(const QStringList& names, QWidget* target);
    // A chosen pair: each non-empty name is loaded into its view and its folder becomes the
    // side's default folder; with both, a compare runs.
    void OpenPair(const QString& oldFile, const QString& newFile, const QString& oldFolder,
                  const QString& newFolder);
    // Save changes keeps the file on disk as "name.NNN.bak"; nothing is written when the text
    // is not modified.
    void SaveChanges(bool old);
    // Shows or hides each view's bar for a file changed on disk since it was loaded.
    void CheckDiskChanges();
    // F3 / Shift+F3 in the focused view; false when the text is not found.
    bool FindAgain(bool forward);
    // Ctrl+G: asks a line of the focused view and scrolls there, the other view in step.
    void GoToLine();
    // Split mode: side by side when down, stacked when up; the panes are halved.
    void SetSplitMode(bool sideBySide);

protected:
    void FirstShown() override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void CreateActions();
    void ConnectFileCommands();
    void CreateMenus();
    void CreateToolBar();
    QWidget* CreateSourcePane(TSourcePane& pane, const QString& caption, bool old);
    QWidget* CreateDiffTab();
    void ReadSettings();
    void ReadRecent();
    void WriteRecent();
    void RememberFile(bool old, const QString& fileName);
    void FillRecentMenu();
    void OpenRecentPair(size_t index);
    void ApplyExtensions();
    QString JoinedExtensions() const;
    void SetupCommand();
    // The stored font on the old and new views; the diff view keeps its own.
    void ApplyEditorFont();
    // Stored layout: read at the first showing, written at destruction when shown.
    void RestoreLayout();
    void SaveLayout();
    bool SideBySide() const;
    int TreeWidth() const;
    int OldPaneSize() const; // width side by side, height stacked
    QString FileName(bool old) const;
    // How a compare reads its files: the stored dialect, target, symbols and include folders.
    model::Reading CurrentReading() const;
    // Runs the job behind the progress window; null when the user aborted it.
    std::unique_ptr<diff::ComparisonResult>
    WaitForComparison(std::unique_ptr<viewrules::ComparisonJob> job);
    void ReloadFile(bool old);
    void SaveAs(bool old);
    // Whether edits of the views may be dropped: asks when a view among them is modified.
    bool MayDiscardEdits(bool old, bool alsoOther = false);
    // The side whose pane holds the focus (old when neither does).
    bool FocusedSide() const;
    void LoadView(bool old, const QString& fileName);
    // A file chosen, dropped or opened from the navigator: the comparison is dropped first, and
    // the tree's selection is not followed meanwhile.
    void LoadDroppingComparison(bool old, const QString& fileName, bool intoNameBox = true);
    void UpdateStatus(TSourcePane& pane);
    void SetEditable(TSourcePane& pane, bool editable);
    void ShowParseWarnings();
    void RememberComparedPair();
    // A form pair (main_form_forms.cpp): false, doing nothing, when the pair is no forms.
    bool CompareFormPair(int32_t oldLines, int32_t newLines);
    void FillFormTree();
    void DimFormRows();
    void ShowFormStatus();
    void FillDiffTree();
    void WidenTreeForCaptions();
    void HelpContents();
    void HomePage();
    void ShowAboutBox();
    // Find in the focused view (main_form_find.cpp).
    void ShowFind();
    // "&Open merged workspace"; closing every merge editor, false when one stays open.
    void OpenMergedWorkspace();
    bool CloseMergeEditors();
    // Tree selection and the views (main_form_selection.cpp).
    void onTreeSelectionChanged();
    // Selects the next (or prior) changed declaration in tree order; false at either end.
    bool StepDeclaration(bool forward);
    // Selects the first tree item wanted, opening its parents; false when there is none.
    bool SelectTreeItem(const std::function<bool(QTreeWidgetItem*)>& wanted);
    void NextDifference();
    void PriorDifference();
    void CreateViewActions();
    void ReadViewSettings();
    void ShowSelection();
    void BuildDiffView();
    SourceEditor& Editor(bool old) const { return *ui_.Pane(old).Editor; }
    // Runs a command; a failure is shown in a message box.
    template <class F> void Command(F&& f);

    TUserDialogs& dialogs_;
    TDiffRptForm* reportForm_ = nullptr;
    TNavigatorForm* navigatorForm_ = nullptr;
    TMainFormWidgets ui_;
    TSourceViews* views_ = nullptr;
    TImageList stateImages_;
    TMainSettings settings_;
    viewrules::ComparisonDocument doc_;

    QString oldFolder_; // where the old side's file dialogs start
    QString newFolder_;
    std::vector<viewrules::RecentPair> recentPairs_;
    std::vector<std::string> recentFiles_[2]; // [old]
    SourceEditor* findTarget_ = nullptr;      // the view the last find ran in
    bool binaryForm_[2] = {false, false};     // [old]: the view shows a binary form as text
    // Aborted comparisons still ending on their threads; joined at the latest on destruction.
    std::vector<std::unique_ptr<viewrules::ComparisonJob>> abandoned_;
};

} // namespace quennet::gui
