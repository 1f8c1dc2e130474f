// The merge setup dialog and the remembered comment prefix.
#include "merge_setup_dlg.h"

#include "app_registry.h"
#include "rich_edit.h"

#include "workspace/merged_output.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace quennet::gui {

namespace {
const QString kComment = QStringLiteral("Comment");
}

TMergeSetupDlgForm::TMergeSetupDlgForm(const QString& prompt, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Merge Setup"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    PromptLabel = new QLabel(prompt);
    RemoveButton = new QRadioButton(tr("Remove"));
    CommentButton = new QRadioButton(tr("Comment //"));
    CommentEdit = new QLineEdit;
    RemoveButton->setChecked(true);

    auto* choices = new QGridLayout;
    choices->setContentsMargins(16, 0, 0, 0);
    choices->addWidget(RemoveButton, 0, 0);
    choices->addWidget(CommentButton, 1, 0);
    choices->addWidget(CommentEdit, 1, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Typing a comment text means the comment choice.
    connect(CommentEdit, &QLineEdit::textEdited, this, [this] { CommentButton->setChecked(true); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PromptLabel);
    layout->addLayout(choices);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TMergeSetupDlgForm::CommentSelected() const {
    return CommentButton->isChecked();
}

QString TMergeSetupDlgForm::CommentText() const {
    return CommentEdit->text();
}

void TMergeSetupDlgForm::SetChoice(bool comment, const QString& text) {
    (comment ? CommentButton : RemoveButton)->setChecked(true);
    CommentEdit->setText(text);
}

void TMergeSetupDlgForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* s = screen()) {
        QRect r = frameGeometry();
        r.moveCenter(s->availableGeometry().center());
        move(r.topLeft());
    }
}

bool ExecMergeSetupDialog(TMergeSetupDlgForm& dialog) {
    return dialog.exec() == QDialog::Accepted;
}

std::optional<std::string> MergeSetup(TAppRegistry* registry, const QString& prompt,
                                      QWidget* parent, const TMergeSetupRunner& run) {
    TMergeSetupDlgForm dialog(prompt, parent);
    std::string stored;
    if (registry && registry->OpenSettingsKey(prompt, false)) {
        stored = TextToBytes(registry->ReadString(kComment, QString()));
        registry->CloseKey();
    }
    const workspace::TMergeSetupState state = workspace::MergeSetupStateOf(stored);
    dialog.SetChoice(state.Comment, BytesToText(state.EditText));
    if (!(run ? run(dialog) : ExecMergeSetupDialog(dialog))) return std::nullopt;
    std::string prefix =
        workspace::CommentPrefixOf(dialog.CommentSelected(), TextToBytes(dialog.CommentText()));
    if (registry && registry->OpenSettingsKey(prompt, true)) {
        registry->WriteString(kComment, BytesToText(prefix));
        registry->CloseKey();
    }
    return prefix;
}

} // namespace quennet::gui
