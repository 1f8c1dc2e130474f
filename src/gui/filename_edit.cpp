// File-name box.
#include "filename_edit.h"

#include "user_dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QResizeEvent>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

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
    recentMenu_ = new QMenu(this);
    recentButton_ = new QToolButton(this);
    recentButton_->setArrowType(Qt::DownArrow);
    recentButton_->setToolTip(tr("Recent files"));
    recentButton_->setAutoRaise(true);
    recentButton_->setPopupMode(QToolButton::InstantPopup);
    recentButton_->setMenu(recentMenu_);
    recentButton_->setEnabled(false);
    layout->addWidget(edit_, 1);
    layout->addWidget(recentButton_);
    layout->addWidget(button_);
    connect(button_, &QToolButton::clicked, this,
            [this] { RunCommand(dialogs_, this, [this] { Browse(); }); });
}

QString TFilenameEdit::FileName() const {
    return name_;
}

void TFilenameEdit::SetFileName(const QString& name) {
    name_ = name;
    edit_->setToolTip(name);
    ShowElided();
}

void TFilenameEdit::ShowElided() {
    // The line edit's frame and text margins take a few pixels of its width.
    constexpr int kFrame = 8;
    const int room = std::max(0, edit_->contentsRect().width() - kFrame);
    edit_->setText(edit_->fontMetrics().elidedText(name_, Qt::ElideMiddle, room));
    edit_->end(false);
}

void TFilenameEdit::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The layout sizes the line edit after this widget; elide once its width is known.
    if (QLayout* l = layout()) l->activate();
    ShowElided();
}

void TFilenameEdit::Browse() {
    if (BeforeDialog) BeforeDialog(*this);
    const QString shown = FileName();
    if (IsWellFormedFileName(shown)) {
        QString folder = QFileInfo(shown).absolutePath();
        if (QFileInfo(folder).isDir()) initialDir_ = folder;
    }
    const QString chosen = dialogs_.OpenFileName(this, title_, initialDir_, filter_);
    Chosen(chosen, !chosen.isEmpty());
}

void TFilenameEdit::SetRecent(const QStringList& files) {
    recent_ = files;
    recentMenu_->clear();
    for (const QString& f : files) {
        QAction* a = recentMenu_->addAction(f);
        connect(a, &QAction::triggered, this,
                [this, f] { RunCommand(dialogs_, this, [this, f] { ChooseRecent(f); }); });
    }
    recentButton_->setEnabled(!files.isEmpty());
}

void TFilenameEdit::ChooseRecent(const QString& file) {
    if (BeforeDialog) BeforeDialog(*this);
    Chosen(file, true);
}

void TFilenameEdit::Chosen(const QString& chosen, bool accepted) {
    if (accepted && MayTake && !MayTake(*this, chosen)) accepted = false;
    if (AfterDialog) AfterDialog(*this, chosen, accepted);
    if (accepted) {
        SetFileName(QDir::toNativeSeparators(chosen));
        initialDir_ = QFileInfo(chosen).absolutePath();
    }
}

} // namespace quennet::gui
