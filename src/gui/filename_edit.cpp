// File-name box.
#include "filename_edit.h"

#include "user_dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace quennet::gui {

bool IsWellFormedFileName(const QString& name) {
    if (name.isEmpty()) return false;
    static const QString forbidden = QStringLiteral(";,=+<>\"[]|");
    for (QChar c : name)
        if (forbidden.contains(c)) return false;
    return !QFileInfo(name).fileName().contains(QLatin1Char('\\'));
}

TFilenameEdit::TFilenameEdit(TUserDialogs& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    edit_ = new QLineEdit(this);
    edit_->setReadOnly(true);
    button_ = new QToolButton(this);
    button_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    button_->setToolTip(tr("Browse"));
    button_->setAutoRaise(true);
    layout->addWidget(edit_, 1);
    layout->addWidget(button_);
    connect(button_, &QToolButton::clicked, this,
            [this] { RunCommand(dialogs_, this, [this] { Browse(); }); });
}

QString TFilenameEdit::FileName() const {
    return edit_->text();
}

void TFilenameEdit::SetFileName(const QString& name) {
    edit_->setText(name);
    edit_->setToolTip(name);
    edit_->end(false);
}

void TFilenameEdit::Browse() {
    if (BeforeDialog) BeforeDialog(*this);
    const QString shown = FileName();
    if (IsWellFormedFileName(shown)) {
        QString folder = QFileInfo(shown).absolutePath();
        if (QFileInfo(folder).isDir()) initialDir_ = folder;
    }
    QString chosen = dialogs_.OpenFileName(this, title_, initialDir_, filter_);
    const bool accepted = !chosen.isEmpty();
    if (AfterDialog) AfterDialog(*this, chosen, accepted);
    if (accepted) {
        SetFileName(QDir::toNativeSeparators(chosen));
        initialDir_ = QFileInfo(chosen).absolutePath();
    }
}

} // namespace quennet::gui
