// Program entry: settings store, title, main window, report window, navigator; then the loop.
// "quennet --screenshot FILE.png NEW [OLD]" compares, draws the main window to FILE.png and exits;
// "--screenshot-navigator FILE.png OLDDIR NEWDIR" draws the navigator on two folders and
// "--screenshot-about FILE.png" the about box.
#include "about_box.h"
#include "app_registry.h"
#include "diff_rpt_form.h"
#include "main_form.h"
#include "navigator_form.h"
#include "quennet_application.h"
#include "user_dialogs.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUrl>
#include <cstdio>
#include <memory>

using namespace quennet::gui;

namespace {

// Messages go to the terminal so that nothing waits for a click.
class TConsoleDialogs : public TUserDialogs {
public:
    void Information(QWidget*, const QString& text) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    void Error(QWidget*, const QString& text) override {
        std::fprintf(stderr, "error: %s\n", qPrintable(text));
        Failed = true;
    }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return QString();
    }
    QString SaveFileName(QWidget*, const SaveDialogOptions&) override { return QString(); }
    bool OpenUrl(const QUrl& url) override {
        std::fprintf(stderr, "open: %s\n", qPrintable(url.toString()));
        return true;
    }
    int ExecDialog(QDialog&) override { return 0; }
    bool Failed = false;
};

// The first difference that has lines, so the picture shows the views marked.
QTreeWidgetItem* FirstDifference(QTreeWidget* tree) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const auto* item = TMainForm::DiffItemOf(*it);
        if (item && item->State != 0 && (item->OldDecl || item->NewDecl)) return *it;
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    TQuennetApplication app(argc, argv);
    QStringList params = app.arguments().mid(1);
    QString screenshot;
    QString screenshotWindow; // empty for the main window, "navigator" or "about"
    if (params.size() >= 2 && (params[0] == QLatin1String("--screenshot") ||
                               params[0] == QLatin1String("--screenshot-navigator") ||
                               params[0] == QLatin1String("--screenshot-about"))) {
        screenshotWindow = params[0].mid(13);
        screenshot = params[1];
        params = params.mid(2);
    }

    // The picture is taken with the default layout, and the user's settings stay untouched.
    QTemporaryDir scratch;
    auto registry = screenshot.isEmpty()
                        ? std::make_unique<TAppRegistry>()
                        : std::make_unique<TAppRegistry>(scratch.filePath(QStringLiteral("s.ini")));
    QApplication::setApplicationName(QStringLiteral("Quennet Pro"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quennet Pro"));

    TStandardDialogs standardDialogs;
    TConsoleDialogs consoleDialogs;
    TUserDialogs& dialogs =
        screenshot.isEmpty() ? static_cast<TUserDialogs&>(standardDialogs) : consoleDialogs;
    app.SetDialogs(&dialogs);

    TMainForm mainForm(registry.get(), dialogs);
    auto reportForm = std::make_unique<TDiffRptForm>(registry.get(), dialogs);
    reportForm->setAttribute(Qt::WA_QuitOnClose, false);
    reportForm->SetDefaultFolderSource([&mainForm] { return mainForm.DefaultFolder(false); });
    mainForm.SetReportForm(reportForm.get());
    auto* navigatorForm = new TNavigatorForm(registry.get(), &mainForm);
    navigatorForm->setAttribute(Qt::WA_QuitOnClose, false);
    mainForm.SetNavigatorForm(navigatorForm);

    if (!screenshotWindow.isEmpty()) {
        mainForm.show();
        QWidget* window = navigatorForm;
        TAboutBox about(&mainForm);
        if (screenshotWindow == QLatin1String("about")) {
            window = &about;
        } else {
            navigatorForm->resize(900, 620);
            if (params.size() >= 2) navigatorForm->SetFolders(params[0], params[1]);
        }
        window->show();
        // The folder trees fill in from a background reader.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 4000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (!window->grab().save(screenshot)) {
            std::fprintf(stderr, "error: cannot write \"%s\"\n", qPrintable(screenshot));
            return 2;
        }
        return consoleDialogs.Failed ? 2 : 0;
    }

    // The report window exists before the first compare, so a start with file names fills it.
    RunCommand(dialogs, &mainForm, [&] { mainForm.HandleCommandLine(params); });
    mainForm.show();

    if (!screenshot.isEmpty()) {
        QCoreApplication::processEvents();
        RunCommand(dialogs, &mainForm, [&] {
            mainForm.ExpandAll();
            if (QTreeWidgetItem* node = FirstDifference(mainForm.Widgets().DiffTree))
                mainForm.Widgets().DiffTree->setCurrentItem(node);
        });
        QCoreApplication::processEvents();
        if (!mainForm.grab().save(screenshot)) {
            std::fprintf(stderr, "error: cannot write \"%s\"\n", qPrintable(screenshot));
            return 2;
        }
        return consoleDialogs.Failed ? 2 : 0;
    }
    return app.exec();
}
