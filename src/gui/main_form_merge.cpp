// Main window: the merge commands, which open merge editor windows.
#include "main_form.h"

#include "merge_edit_form.h"
#include "source_editor.h"
#include "user_dialogs.h"

#include "merge/merge_workspace.h"
#include "merge/merged_output.h"
#include "merge/rtf_reader.h"

#include <QLabel>

#include <cstdio>
#include <memory>

namespace quennet::gui {

namespace {

// Closes the progress window as often as the command opened it, also when it fails.
class TProgressScope {
public:
    explicit TProgressScope(TProgressDialog* dialog) : m_dialog(dialog) { Open(); }
    ~TProgressScope() {
        while (m_opened > 0)
            Close();
    }
    void Open() {
        m_dialog->Open();
        ++m_opened;
    }
    void Close() {
        m_dialog->Close();
        --m_opened;
    }

private:
    TProgressDialog* m_dialog;
    int m_opened = 0;
};

// A merge editor that is not shown yet; the caller shows it once it holds its workspace, so
// a failure leaves no window behind.
std::unique_ptr<TMergeEditForm> NewMergeEditor(TMainForm* owner) {
    auto form = std::make_unique<TMergeEditForm>(owner->Registry(), owner->Dialogs(), owner);
    form->SetDefaultFolderSource([owner] { return owner->DefPathNew; });
    return form;
}

} // namespace

void TMainForm::Editmergedtext1Click() {
    ProgressDialog1->SetCaption(QStringLiteral("Merging ..."));
    ProgressDialog1->SetText(QStringLiteral("Prepare for merge ..."));
    TProgressScope progress(ProgressDialog1);
    const std::vector<std::string> oldLines = RAHLEditor1->lines();
    const std::vector<std::string> newLines = RAHLEditor2->lines();
    MergeMap.clear();
    auto workspace = merge::BuildMergeWorkspace(oldLines, newLines, [this](std::string_view text) {
        ProgressDialog1->SetText(
            QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    });
    if (!workspace) return; // both texts empty
    MergeMap = std::move(workspace->MergeMap);

    ProgressDialog1->SetText(QStringLiteral("Merge done. Loading ..."));
    std::unique_ptr<TMergeEditForm> form = NewMergeEditor(this);
    form->LoadDocument(merge::ReadRtf(workspace->Rtf));
    workspace.reset();
    progress.Close();
    form.release()->show();
}

void TMainForm::OpenMergedWorkspace() {
    const QString path =
        m_dialogs.OpenFileName(this, QStringLiteral("Open merge workspace"), DefPathNew,
                               QStringLiteral("Rich Text (*.rtf)|*.rtf|All files (*.*)|*.*"));
    if (path.isEmpty()) return;
    std::unique_ptr<TMergeEditForm> form = NewMergeEditor(this);
    std::vector<std::string> warnings;
    form->LoadDocument(merge::LoadWorkspaceFile(path.toStdString(), &warnings));
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
