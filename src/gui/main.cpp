// Program entry: settings store, title, main window, report window, navigator; then the loop.
// "quennet --screenshot FILE.png NEW [OLD]" compares, draws the main window to FILE.png and exits;
// "--screenshot-navigator FILE.png OLDDIR NEWDIR" draws the navigator's whole-tree page on two
// folders, "--screenshot-about FILE.png" the about box and "--screenshot-setup FILE.png" the
// setup dialog's symbol and include-folder pages side by side, "--screenshot-merge FILE.png NEW
// OLD" the merge editor on the pair at its first difference; "--screenshot-dark" draws any of
// them in a dark palette. "--merge BASE LOCAL REMOTE -o
// OUTPUT" opens the three-way merge window instead of the main window. --help and --version answer
// on the terminal before any window system is needed.
#include "about_box.h"
#include "app_registry.h"
#include "diff_rpt_form.h"
#include "main_form.h"
#include "merge3_window.h"
#include "merge_edit_form.h"
#include "navigator_form.h"
#include "quennet_application.h"
#include "setup_form.h"
#include "user_dialogs.h"
#include "view_colors.h"

#include <QAction>
#include <QCommandLineParser>
#include <QDialog>
#include <QElapsedTimer>
#include <QIcon>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUrl>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "base/product.h"

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
        const auto* item = DiffItemOf(*it);
        if (item && item->State != quennet::diff::Group && (item->OldDecl || item->NewDecl))
            return *it;
    }
    return nullptr;
}

struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show the options and exit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and exit.")};
    // Pictures of the windows for documentation and checks; not for users.
    QCommandLineOption shotMain{QStringLiteral("screenshot"), QString(), QStringLiteral("FILE")};
    QCommandLineOption shotNavigator{QStringLiteral("screenshot-navigator"), QString(),
                                     QStringLiteral("FILE")};
    QCommandLineOption shotAbout{QStringLiteral("screenshot-about"), QString(),
                                 QStringLiteral("FILE")};
    QCommandLineOption shotSetup{QStringLiteral("screenshot-setup"), QString(),
                                 QStringLiteral("FILE")};
    QCommandLineOption shotMerge{QStringLiteral("screenshot-merge"), QString(),
                                 QStringLiteral("FILE")};
    QCommandLineOption shotDark{QStringLiteral("screenshot-dark")};
    QCommandLineOption merge{QStringLiteral("merge"),
                             QStringLiteral("Merge BASE LOCAL REMOTE into OUTPUT in a window.")};
    QCommandLineOption output{{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("The merge result (with --merge)."),
                              QStringLiteral("OUTPUT")};
    // Saves the merge as it opened and quits, as if the user pressed Save and declined to keep
    // unresolved conflicts: for checks of the git recipes.
    QCommandLineOption mergeSaveNow{QStringLiteral("merge-save-now")};

    CommandLine() {
        parser.setApplicationDescription(
            QStringLiteral("Compare two versions of a Pascal source by their declarations.\n"
                           "NEW alone compares it with its Delphi backup NEW.~pa."));
        for (QCommandLineOption* o : {&shotMain, &shotNavigator, &shotAbout, &shotSetup, &shotMerge,
                                      &shotDark, &mergeSaveNow})
            o->setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOptions({help, version, merge, output, shotMain, shotNavigator, shotAbout,
                           shotSetup, shotMerge, shotDark, mergeSaveNow});
        parser.addPositionalArgument(QStringLiteral("NEW"), QStringLiteral("The new file."),
                                     QStringLiteral("[NEW"));
        parser.addPositionalArgument(QStringLiteral("OLD"), QStringLiteral("The old file."),
                                     QStringLiteral("[OLD]]"));
    }

    // Returns an exit status when the program is done, -1 when it goes on.
    int Answer() {
        if (parser.isSet(help)) {
            // Qt names the program by the path it was started with, or a placeholder.
            QString text = parser.helpText();
            text.replace(0, text.indexOf(QLatin1Char('\n')),
                         QStringLiteral("Usage: quennet [OPTION]... [--] [NEW [OLD]]\n"
                                        "  or:  quennet --merge BASE LOCAL REMOTE -o OUTPUT"));
            std::fputs(qPrintable(text), stdout);
            return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 2;
        }
        if (parser.isSet(version)) {
            std::printf("quennet %s\n%s", QUENNET_VERSION, quennet::kLicenceNotice);
            return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 2;
        }
        return -1;
    }
};

// Declines to save a result that still holds conflicts.
class TDecliningPrompts : public TMerge3Prompts {
public:
    bool SaveUnresolved(QWidget*, int) override { return false; }
};

// The merge window's exit status, as git mergetool reads it: 0 once the result was saved
// without conflicts, 1 otherwise, 2 when the files could not be merged.
int RunMerge(const CommandLine& commandLine, const QStringList& files, TAppRegistry* registry,
             TUserDialogs& dialogs, const QString& screenshot) {
    TDecliningPrompts declining;
    const bool saveNow = commandLine.parser.isSet(commandLine.mergeSaveNow);
    TMerge3Window window(dialogs, saveNow ? &declining : nullptr);
    window.SetFormNoise(NoiseRulesOf(ReadFormNoise(registry)));
    try {
        window.Open(files[0], files[1], files[2], commandLine.parser.value(commandLine.output));
    } catch (const std::exception& e) {
        ShowException(dialogs, nullptr, e);
        return 2;
    }
    window.show();
    if (!screenshot.isEmpty()) {
        QCoreApplication::processEvents();
        if (!window.grab().save(screenshot)) {
            std::fprintf(stderr, "error: cannot write \"%s\"\n", qPrintable(screenshot));
            return 2;
        }
        return 0;
    }
    if (saveNow)
        window.Save();
    else
        QApplication::exec();
    return window.SavedClean() ? 0 : 1;
}

QStringList Arguments(int argc, char** argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

// Both pages of the setup dialog, as the main window opens it, in one picture.
bool SaveSetupPicture(const QString& file) {
    TSetupForm form;
    form.DefinesMemo->setPlainText(QStringLiteral("VER130\nWIN32\nCPU386\nDEBUG"));
    form.SetReading({QStringLiteral("auto"),
                     QStringLiteral("delphi12-win64"),
                     {QStringLiteral("/usr/share/fpcsrc/rtl/inc"), QStringLiteral("../common")}});
    form.IncludeList->setCurrentRow(1);
    form.show();
    QCoreApplication::processEvents();
    const QPixmap symbols = form.grab();
    form.Pages->setCurrentWidget(form.IncludePage);
    QCoreApplication::processEvents();
    const QPixmap folders = form.grab();
    QPixmap both(symbols.width() + folders.width(), std::max(symbols.height(), folders.height()));
    both.fill(Qt::transparent);
    QPainter painter(&both);
    painter.drawPixmap(0, 0, symbols);
    painter.drawPixmap(symbols.width(), 0, folders);
    painter.end();
    return both.save(file);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("quennet"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUENNET_VERSION));
    CommandLine commandLine;
    // Help and version need no display. Qt's own options (-platform ...) are known only once
    // the application has taken them out, so a first reading that fails waits for that.
    if (commandLine.parser.parse(Arguments(argc, argv)))
        if (int status = commandLine.Answer(); status >= 0) return status;

    TQuennetApplication app(argc, argv);
    if (!commandLine.parser.parse(app.arguments())) {
        std::fprintf(stderr, "quennet: %s\nTry 'quennet --help'.\n",
                     qPrintable(commandLine.parser.errorText()));
        return 2;
    }
    if (int status = commandLine.Answer(); status >= 0) return status;
    QStringList params = commandLine.parser.positionalArguments();
    const bool merging = commandLine.parser.isSet(commandLine.merge);
    if (merging && (params.size() != 3 || !commandLine.parser.isSet(commandLine.output))) {
        std::fprintf(stderr, "quennet: --merge takes BASE LOCAL REMOTE and -o OUTPUT\n"
                             "Try 'quennet --help'.\n");
        return 2;
    }
    if (params.size() > 2 && !merging) {
        std::fprintf(stderr, "quennet: too many file names; expected NEW [OLD]\n"
                             "Try 'quennet --help'.\n");
        return 2;
    }
    QString screenshot;
    QString screenshotWindow; // empty for the main window, "navigator" or "about"
    const std::pair<QCommandLineOption*, QString> shots[] = {
        {&commandLine.shotMain, QString()},
        {&commandLine.shotNavigator, QStringLiteral("navigator")},
        {&commandLine.shotAbout, QStringLiteral("about")},
        {&commandLine.shotSetup, QStringLiteral("setup")},
        {&commandLine.shotMerge, QStringLiteral("merge")},
    };
    for (const auto& [option, window] : shots) {
        if (!commandLine.parser.isSet(*option)) continue;
        screenshot = commandLine.parser.value(*option);
        screenshotWindow = window;
    }
    QGuiApplication::setDesktopFileName(QStringLiteral("quennet"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/quennet/icons/quennet-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    if (commandLine.parser.isSet(commandLine.shotDark)) UseDarkFusionPalette();

    // The picture is taken with the default layout, and the user's settings stay untouched.
    QTemporaryDir scratch;
    auto registry = screenshot.isEmpty()
                        ? std::make_unique<TAppRegistry>()
                        : std::make_unique<TAppRegistry>(scratch.filePath(QStringLiteral("s.ini")));
    QApplication::setApplicationName(QStringLiteral("Quennet Pro"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quennet Pro"));

    TStandardDialogs standardDialogs;
    TConsoleDialogs consoleDialogs;
    const bool attended =
        screenshot.isEmpty() && !commandLine.parser.isSet(commandLine.mergeSaveNow);
    TUserDialogs& dialogs = attended ? static_cast<TUserDialogs&>(standardDialogs) : consoleDialogs;
    app.SetDialogs(&dialogs);
    if (screenshotWindow == QLatin1String("setup")) {
        if (SaveSetupPicture(screenshot)) return 0;
        std::fprintf(stderr, "error: cannot write \"%s\"\n", qPrintable(screenshot));
        return 2;
    }
    if (merging) {
        int status = RunMerge(commandLine, params, registry.get(), dialogs, screenshot);
        return consoleDialogs.Failed ? 2 : status;
    }

    TMainForm mainForm(registry.get(), dialogs);
    auto reportForm = std::make_unique<TDiffRptForm>(registry.get(), dialogs);
    reportForm->setAttribute(Qt::WA_QuitOnClose, false);
    reportForm->SetDefaultFolderSource([&mainForm] { return mainForm.DefaultFolder(false); });

    auto* navigatorForm = new TNavigatorForm(registry.get(), &mainForm);
    navigatorForm->setAttribute(Qt::WA_QuitOnClose, false);
    mainForm.SetCompanions(reportForm.get(), navigatorForm);

    if (screenshotWindow == QLatin1String("merge")) {
        RunCommand(dialogs, &mainForm, [&] {
            mainForm.HandleCommandLine(params);
            mainForm.EditMergedText();
        });
        const auto editors = mainForm.findChildren<TMergeEditForm*>();
        if (editors.isEmpty()) return 2;
        TMergeEditForm* editor = editors.first();
        editor->resize(900, 640);
        editor->NextDifference();
        QCoreApplication::processEvents();
        if (!editor->grab().save(screenshot)) {
            std::fprintf(stderr, "error: cannot write \"%s\"\n", qPrintable(screenshot));
            return 2;
        }
        return consoleDialogs.Failed ? 2 : 0;
    }
    if (!screenshotWindow.isEmpty()) {
        mainForm.show();
        QWidget* window = navigatorForm;
        TAboutBox about(&mainForm);
        if (screenshotWindow == QLatin1String("about")) {
            window = &about;
        } else {
            navigatorForm->resize(900, 620);
            if (params.size() >= 2) {
                navigatorForm->SetFolders(params[0], params[1]);
                // The whole-tree page shows more of the window than the flat lists.
                navigatorForm->BottomPages->setCurrentIndex(1);
                RunCommand(dialogs, navigatorForm, [&] { navigatorForm->CompareTrees(); });
            }
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
            auto* expand = mainForm.findChild<QAction*>(QStringLiteral("action.expand"));
            auto* tree = mainForm.findChild<QTreeWidget*>(QStringLiteral("diffTree"));
            if (!expand || !tree)
                throw std::logic_error("the main window names no diffTree or action.expand");
            expand->trigger();
            if (QTreeWidgetItem* node = FirstDifference(tree)) tree->setCurrentItem(node);
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
