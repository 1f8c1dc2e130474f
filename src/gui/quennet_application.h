// The application object: the last line of defence that turns an exception escaping an event
// handler into a message box instead of ending the program.
#pragma once

#include <QApplication>

namespace quennet::gui {

class TUserDialogs;

class TQuennetApplication : public QApplication {
    Q_OBJECT
public:
    TQuennetApplication(int& argc, char** argv);
    void SetDialogs(TUserDialogs* dialogs) { dialogs_ = dialogs; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    TUserDialogs* dialogs_ = nullptr;
};

} // namespace quennet::gui
