// Main window: the merge commands, which open merge editor windows.
#include "main_form.h"

#include "merge_edit_form.h"
#include "source_editor.h"
#include "user_dialogs.h"

#include "workspace/merge_workspace.h"
#include "workspace/merged_output.h"
#include "workspace/rtf_reader.h"

#include <QLabel>

#include <cstdio>
#include <memory>

namespace quennet::gui {

namespace {

// Closes the progress window as often as the command opened it, also when it fails.
class TProgressScope {
public:
    explicit TProgressScope(TProgressDialog* dialog) : dialog_(dialog) { Open(); }
    ~TProgressScope() {
        while (opened_ > 0)
            Close();
    }
    void Open() {
        dialog_->Open();
        ++opened_;
    }
    void Close() {
        dialog_->Close();
        --opened_;
    }

private:
    TProgressDialog* dialog_;
    int opened_ = 0;
};

// A merge editor that is not shown yet; the caller shows it once it holds its workspace, so
// a failure leaves no window behind.
std::unique_ptr<TMergeEditForm> NewMergeEditor(TMainForm* owner, TUserDialogs& dialogs) {
    auto form = std::make_unique<TMergeEditForm>(owner->Registry(), dialogs, owner);
    form->SetDefaultFolderSource([owner] { return owner->DefaultFolder(false); });
    return form;
}

} // namespace

void TMainForm::EditMergedText() {
    ui_.Progress->SetCaption(tr("Merging ..."));
    ui_.Progress->SetText(tr("Prepare for merge ..."));
    TProgressScope progress(ui_.Progress);
    const std::vector<std::string> oldLines = ui_.Old.Editor->lines();
    const std::vector<std::string> newLines = ui_.New.Editor->lines();
    auto workspace =
        workspace::BuildMergeWorkspace(oldLines, newLines, [this](std::string_view text) {
            ui_.Progress->SetText(
                QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
        });
    if (!workspace) return; // both texts empty

    ui_.Progress->SetText(tr("Merge done. Loading ..."));
    std::unique_ptr<TMergeEditForm> form = NewMergeEditor(this, dialogs_);
    form->LoadDocument(workspace::ReadRtf(workspace->Rtf));
    form->SetSourceFormats(ui_.Old.Editor->textFormat(), ui_.New.Editor->textFormat());
    workspace.reset();
    progress.Close();
    form.release()->show();
}

void TMainForm::OpenMergedWorkspace() {
    const QString path = dialogs_.OpenFileName(this, tr("Open merge workspace"), newFolder_,
                                               tr("Rich Text (*.rtf)|*.rtf|All files (*.*)|*.*"));
    if (path.isEmpty()) return;
    std::unique_ptr<TMergeEditForm> form = NewMergeEditor(this, dialogs_);
    std::vector<std::string> warnings;
    form->LoadDocument(workspace::LoadWorkspaceFile(path.toStdString(), &warnings));
    for (const std::string& w : warnings)
        std::fprintf(stderr, "quennet: warning: %s\n", w.c_str());
    if (!warnings.empty()) form->StatusPanel->setText(QString::fromStdString(warnings.front()));
    form.release()->show();
}

bool TMainForm::CloseMergeEditors() {
    const auto editors = findChildren<TMergeEditForm*>(Qt::FindDirectChildrenOnly);
    for (TMergeEditForm* editor : editors)
        if (editor->isVisible() && !editor->close()) return false;
    return true;
}

} // namespace quennet::gui
