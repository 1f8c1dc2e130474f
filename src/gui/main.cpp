// Program entry: settings store, title, main window, report window, navigator; then the loop.
// "quennet --screenshot FILE.png NEW [OLD]" compares, draws the main window to FILE.png and exits.
#include "app_registry.h"
#include "diff_rpt_form.h"
#include "main_form.h"
#include "navigator_form.h"
#include "quennet_application.h"
#include "user_dialogs.h"

#include <QDialog>
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
    if (params.size() >= 2 && params[0] == QLatin1String("--screenshot")) {
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
    reportForm->SetDefaultFolderSource([&mainForm] { return mainForm.DefPathNew; });
    mainForm.SetReportForm(reportForm.get());
    auto* navigatorForm = new TNavigatorForm(registry.get(), &mainForm);
    navigatorForm->setAttribute(Qt::WA_QuitOnClose, false);
    mainForm.SetNavigatorForm(navigatorForm);

    // The report window exists before the first compare, so a start with file names fills it.
    RunCommand(dialogs, &mainForm, [&] { mainForm.HandleCommandLine(params); });
    mainForm.show();

    if (!screenshot.isEmpty()) {
        QCoreApplication::processEvents();
        RunCommand(dialogs, &mainForm, [&] {
            mainForm.ExpandAll();
            if (QTreeWidgetItem* node = FirstDifference(mainForm.DiffTreeView))
                mainForm.DiffTreeView->setCurrentItem(node);
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
