// Application-wide translation and exception handler.
#include "quennet_application.h"

#include "user_dialogs.h"

#include <cstdio>
#include <stdexcept>

// Outside any namespace, where the resource's registration function is declared.
static void InitTranslations() {
    Q_INIT_RESOURCE(quennet_translations);
}

namespace quennet::gui {

std::unique_ptr<QTranslator> LoadTranslation(const QLocale& locale) {
    // The resource lives in a static library: nothing would pull it into the program otherwise.
    InitTranslations();
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("quennet"), QStringLiteral("_"),
                          QStringLiteral(":/i18n")))
        return nullptr;
    return translator;
}

TQuennetApplication::TQuennetApplication(int& argc, char** argv) : QApplication(argc, argv) {
    translator_ = LoadTranslation(QLocale());
    if (translator_) installTranslator(translator_.get());
}

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
