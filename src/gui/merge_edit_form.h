// The merge editor window: a workspace whose line colours tell unchanged (black), removed
// (red) and inserted (blue) lines; moving between differences, recolouring, saving the
// workspace and writing the new, old or merged source. Each window is independent and frees
// itself when closed.
#pragma once

#include "adv_form.h"

#include "io/source_save.h"
#include "workspace/workspace_document.h"

#include <QString>
#include <functional>

class QAction;
class QLabel;
class QMenu;

namespace quennet::gui {

class TFindDialog;
class TMergeSetupDlgForm;
class TRichEdit;
class TUserDialogs;

// The questions this window asks beyond the common dialogs; tests answer them directly.
class TMergeEditPrompts {
public:
    virtual ~TMergeEditPrompts() = default;
    // "Text <...> not found", caption "Message", information icon, owned by the find dialog.
    virtual void NotFound(QWidget* owner, const QString& text);
    // Whether changed text may be discarded (closing, opening another workspace).
    virtual bool DiscardChanges(QWidget* parent);
    // The merge setup dialog, modal; true for OK.
    virtual bool RunMergeSetup(TMergeSetupDlgForm& dialog);
};

class TMergeEditForm : public TAdvForm {
    Q_OBJECT
public:
    // prompts: null for the standard message boxes and dialogs.
    TMergeEditForm(TAppRegistry* registry, TUserDialogs& dialogs, QWidget* parent = nullptr,
                   TMergeEditPrompts* prompts = nullptr);
    ~TMergeEditForm() override;

    // null for the standard message boxes and dialogs.
    void SetPrompts(TMergeEditPrompts* prompts);

    // The folder every file dialog starts in (the main window's folder for new files).
    void SetDefaultFolderSource(std::function<QString()> source) {
        defaultFolder_ = std::move(source);
    }

    // Content.
    void LoadDocument(workspace::TWorkspaceDocument document);
    // How the compared files were written: the new and merged outputs take the new file's
    // encoding and line ends, the old output the old file's (CR LF when unknown). Text of a
    // new file in UTF-8 or UTF-16 is UTF-8 whatever characters it holds.
    void SetSourceFormats(io::SourceTextFormat oldFormat, io::SourceTextFormat newFormat);
    void LoadRtf(std::string_view rtf);

    // Commands.
    void NextDifference();
    void PriorDifference();
    void MarkLines(int tag); // 0 unchanged (black), 1 inserted (blue), 2 removed (red)
    void SaveWorkspace();
    void OpenWorkspace();
    void SaveNewVersion();
    void SaveOldVersion();
    void SaveMergedVersion();
    void ShowFindDialog();
    // Find Next of the find dialog; false when the text was not found.
    bool FindNext();
    // Status panel and the Edit menu's state.
    void ShowLineColStatus();

    TRichEdit* WorkspaceEdit = nullptr;
    QLabel* StatusPanel = nullptr;
    TFindDialog* FindDialog = nullptr; // created on first use
    QMenu* FileMenu = nullptr;
    QMenu* EditMenu = nullptr;
    QAction* ActPrior = nullptr;
    QAction* ActNext = nullptr;
    QAction* ActMarkUnchanged = nullptr;
    QAction* ActMarkRemoved = nullptr;
    QAction* ActMarkInserted = nullptr;
    QAction* ActSaveNew = nullptr;
    QAction* ActSaveOld = nullptr;
    QAction* ActSaveMerged = nullptr;
    QAction* ActSaveWorkspace = nullptr;
    QAction* ActOpenWorkspace = nullptr;
    QAction* ActCut = nullptr;
    QAction* ActCopy = nullptr;
    QAction* ActPaste = nullptr;
    QAction* ActFind = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    QString DefaultFolder() const;
    // Caret to a difference's start, its block in view.
    void ShowBlock(size_t caret);
    // The merged-text save dialog; empty when cancelled.
    QString AskMergedTextName();
    void SaveVersion(bool newVersion);
    template <class F> void Command(F&& f);

    TUserDialogs& dialogs_;
    TMergeEditPrompts* prompts_;
    std::function<QString()> defaultFolder_;
    QString workspaceFileName_; // offered again by the next workspace save
    io::SourceTextFormat oldFormat_, newFormat_;
};

} // namespace quennet::gui
