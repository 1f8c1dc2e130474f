// Standard Qt message boxes and file dialogs.
#include "user_dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>

namespace quennet::gui {

QString ToQtFilter(const QString& storedFilter) {
    if (storedFilter.isEmpty()) return QString();
    const QStringList parts = storedFilter.split(QLatin1Char('|'));
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QStringList out;
    for (int i = 0; i < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QString patterns = i + 1 < parts.size() ? parts[i + 1] : QStringLiteral("*");
        QStringList list =
            patterns.split(QRegularExpression(QStringLiteral("[;\\s]+")), Qt::SkipEmptyParts);
        if (list.isEmpty()) list << QStringLiteral("*");
        description.remove(trailingPatterns);
        if (description.isEmpty()) description = list.join(QLatin1Char(' '));
        out << description + QStringLiteral(" (") + list.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

static QString Title() {
    QString t = QGuiApplication::applicationDisplayName();
    return t.isEmpty() ? QStringLiteral("Quennet Pro") : t;
}

void TStandardDialogs::Information(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, Title(), text, QMessageBox::Ok);
}

void TStandardDialogs::Error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, Title(), text, QMessageBox::Ok);
}

QString TStandardDialogs::OpenFileName(QWidget* parent, const QString& title,
                                       const QString& initialDir, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, initialDir, ToQtFilter(filter));
}

QString TStandardDialogs::SaveFileName(QWidget* parent, const SaveDialogOptions& options) {
    QFileDialog dialog(parent, options.Title, options.InitialDir, ToQtFilter(options.Filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(options.DefaultSuffix);
    if (!options.FileName.isEmpty()) dialog.selectFile(options.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

bool TUserDialogs::OpenUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

int TUserDialogs::ExecDialog(QDialog& dialog) {
    return dialog.exec();
}

bool TUserDialogs::Confirm(QWidget* parent, const QString& text, const QString& acceptCaption) {
    QMessageBox box(QMessageBox::Question, Title(), text, QMessageBox::NoButton, parent);
    QPushButton* accept = box.addButton(acceptCaption, QMessageBox::AcceptRole);
    box.setDefaultButton(box.addButton(QMessageBox::Cancel));
    box.exec();
    return box.clickedButton() == accept;
}

std::optional<int> TUserDialogs::AskInteger(QWidget* parent, const QString& title,
                                            const QString& label, int value, int min, int max) {
    bool ok = false;
    const int n = QInputDialog::getInt(parent, title, label, value, min, max, 1, &ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

void ShowException(TUserDialogs& dialogs, QWidget* parent, const std::exception& e) {
    QString text = QString::fromLocal8Bit(e.what());
    if (text.isEmpty()) text = QCoreApplication::translate("TUserDialogs", "The command failed.");
    dialogs.Error(parent, text);
}

} // namespace quennet::gui
