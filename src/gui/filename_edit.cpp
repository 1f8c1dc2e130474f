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
    : QWidget(parent), m_dialogs(dialogs) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_edit = new QLineEdit(this);
    m_edit->setReadOnly(true);
    m_button = new QToolButton(this);
    m_button->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_button->setToolTip(QStringLiteral("Browse"));
    m_button->setAutoRaise(true);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    connect(m_button, &QToolButton::clicked, this,
            [this] { RunCommand(m_dialogs, this, [this] { Browse(); }); });
}

QString TFilenameEdit::FileName() const {
    return m_edit->text();
}

void TFilenameEdit::SetFileName(const QString& name) {
    m_edit->setText(name);
    m_edit->setToolTip(name);
    m_edit->setCursorPosition(name.size());
}

void TFilenameEdit::Browse() {
    if (BeforeDialog) BeforeDialog(*this);
    const QString shown = FileName();
    if (IsWellFormedFileName(shown)) {
        QString folder = QFileInfo(shown).absolutePath();
        if (QFileInfo(folder).isDir()) m_initialDir = folder;
    }
    QString chosen = m_dialogs.OpenFileName(this, m_title, m_initialDir, m_filter);
    const bool accepted = !chosen.isEmpty();
    if (AfterDialog) AfterDialog(*this, chosen, accepted);
    if (accepted) {
        SetFileName(QDir::toNativeSeparators(chosen));
        m_initialDir = QFileInfo(chosen).absolutePath();
    }
}

} // namespace quennet::gui
