// Message boxes and file dialogs behind one small interface, so windows can be driven by tests
// and by the screenshot mode without a modal box waiting for a click.
#pragma once

#include <QString>
#include <exception>
#include <optional>

class QDialog;
class QUrl;
class QWidget;

namespace quennet::gui {

// "Desc|*.a;*.b|Desc2|*.c" (the stored filter form) to Qt's "Desc (*.a *.b);;Desc2 (*.c)".
// A parenthesised pattern list that ends a description is replaced by the converted one.
QString ToQtFilter(const QString& storedFilter);

struct SaveDialogOptions {
    QString Title;
    QString InitialDir;
    QString FileName;
    QString Filter; // stored form
    QString DefaultSuffix;
};

class TUserDialogs {
public:
    virtual ~TUserDialogs() = default;
    // Informational result: one OK button, waits for it.
    virtual void Information(QWidget* parent, const QString& text) = 0;
    // The message of a failed command.
    virtual void Error(QWidget* parent, const QString& text) = 0;
    // Empty when cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& initialDir,
                                 const QString& filter) = 0;
    // Asks before overwriting; empty when cancelled.
    virtual QString SaveFileName(QWidget* parent, const SaveDialogOptions& options) = 0;
    // A file or web address opened with the desktop's program for it; false when that failed.
    virtual bool OpenUrl(const QUrl& url);
    // A modal dialog; returns its result code.
    virtual int ExecDialog(QDialog& dialog);
    // A question with a button of that caption and Cancel; true for the button.
    virtual bool Confirm(QWidget* parent, const QString& text, const QString& acceptCaption);
    // A whole number from min to max, offered at value; nothing when cancelled.
    virtual std::optional<int> AskInteger(QWidget* parent, const QString& title,
                                          const QString& label, int value, int min, int max);
};

class TStandardDialogs : public TUserDialogs {
public:
    void Information(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text) override;
    QString OpenFileName(QWidget* parent, const QString& title, const QString& initialDir,
                         const QString& filter) override;
    QString SaveFileName(QWidget* parent, const SaveDialogOptions& options) override;
};

// The one place where a failed command reaches the user.
void ShowException(TUserDialogs& dialogs, QWidget* parent, const std::exception& e);

// Runs a command; an exception ends it and its message is shown.
template <class F> void RunCommand(TUserDialogs& dialogs, QWidget* parent, F&& command) {
    try {
        command();
    } catch (const std::exception& e) {
        ShowException(dialogs, parent, e);
    }
}

} // namespace quennet::gui
