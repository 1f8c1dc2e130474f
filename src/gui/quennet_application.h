// The application object: the translation of the user's locale, and the last line of defence that
// turns an exception escaping an event handler into a message box instead of ending the program.
#pragma once

#include <QApplication>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace quennet::gui {

class TUserDialogs;

// The program's translation for a locale, not yet installed; null when it has none (the texts
// then stay English).
std::unique_ptr<QTranslator> LoadTranslation(const QLocale& locale);

class TQuennetApplication : public QApplication {
    Q_OBJECT
public:
    TQuennetApplication(int& argc, char** argv);
    void SetDialogs(TUserDialogs* dialogs) { dialogs_ = dialogs; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    TUserDialogs* dialogs_ = nullptr;
    std::unique_ptr<QTranslator> translator_; // of the user's locale
};

} // namespace quennet::gui
