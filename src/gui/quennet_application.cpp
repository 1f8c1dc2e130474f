// Application-wide exception handler.
#include "quennet_application.h"

#include "user_dialogs.h"

#include <cstdio>
#include <stdexcept>

namespace quennet::gui {

TQuennetApplication::TQuennetApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TQuennetApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (dialogs_)
            ShowException(*dialogs_, activeWindow(), e);
        else
            std::fprintf(stderr, "%s\n", e.what());
    } catch (...) {
        std::runtime_error unknown("An unexpected error ended the command.");
        if (dialogs_)
            ShowException(*dialogs_, activeWindow(), unknown);
        else
            std::fprintf(stderr, "%s\n", unknown.what());
    }
    return false;
}

} // namespace quennet::gui
