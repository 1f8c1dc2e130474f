// Opening a pair of large units in the desktop program with every difference marked, and
// scrolling the aligned side-by-side views, drawn offscreen.
//
// Usage: views_bench [--lines N] [--steps N]
//        views_bench --shot FILE.png [--dark] [--old OLD --new NEW]
// The second form draws the main window side by side on the pair (the synthetic one without
// --old and --new) with the first difference selected, in a dark Fusion palette with --dark.
// The pair is synthetic: a unit of routines of ten lines each and a copy with statements
// changed, deleted and inserted, and routines removed and added, so both parse fully.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <time.h>
#include <vector>

#include "main_form.h"
#include "source_editor.h"
#include "source_views.h"
#include "user_dialogs.h"
#include "view_colors.h"

using namespace quennet::gui;

namespace {

// Processor time of the whole process: on a shared machine wall time mostly measures the
// other jobs.
double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

class QuietDialogs : public TUserDialogs {
public:
    void Information(QWidget*, const QString&) override {}
    void Error(QWidget*, const QString& text) override {
        std::fprintf(stderr, "error: %s\n", qPrintable(text));
    }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString SaveFileName(QWidget*, const SaveDialogOptions&) override { return {}; }
};

std::vector<std::string> Routine(int n, bool edited, std::mt19937& rng) {
    std::vector<std::string> lines = {
        "procedure Routine" + std::to_string(n) + "(Value: Integer);",
        "var",
        "  Index: Integer;",
        "begin",
        "  Index := Value * " + std::to_string(n % 97) + ";",
        "  if Index > 10 then",
        "    Writeln('Routine " + std::to_string(n) + "', Index);",
        "  Total := Total + Index;",
        "end;",
        "",
    };
    if (!edited) return lines;
    switch (rng() % 3) {
    case 0: lines[7] = "  Total := Total - Index; { changed }"; break;
    case 1: lines.erase(lines.begin() + 5, lines.begin() + 7); break;
    default: lines.insert(lines.begin() + 7, "  Inc(Calls);"); break;
    }
    return lines;
}

void WritePair(const QString& folder, int lineCount) {
    std::mt19937 rng(7);
    std::ofstream oldFile((folder + "/old.pas").toStdString(), std::ios::binary);
    std::ofstream newFile((folder + "/new.pas").toStdString(), std::ios::binary);
    const std::string head = "unit Big;\n\ninterface\n\nvar\n  Total, Calls: Integer;\n\n"
                             "implementation\n\n";
    oldFile << head;
    newFile << head;
    const int routines = lineCount / 10;
    for (int n = 0; n < routines; ++n) {
        const bool removed = n % 400 == 17;
        const bool added = n % 400 == 211;
        const bool edited = n % 40 == 3;
        if (!added)
            for (const auto& l : Routine(n, false, rng))
                oldFile << l << '\n';
        if (!removed)
            for (const auto& l : Routine(n, edited, rng))
                newFile << l << '\n';
    }
    oldFile << "end.\n";
    newFile << "end.\n";
}

// A part of the window by the object name it carries; without it the bench cannot run.
template <class T> T* Named(const QObject& form, const char* name) {
    T* part = form.findChild<T*>(QLatin1String(name));
    if (!part) {
        std::fprintf(stderr, "error: the main window names no %s\n", name);
        std::exit(2);
    }
    return part;
}

} // namespace

int main(int argc, char** argv) {
    int lineCount = 100000;
    int steps = 200;
    bool dark = false;
    QString shot, oldFile, newFile;
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        const bool hasValue = i + 1 < argc;
        if (opt == "--dark") dark = true;
        if (!hasValue) continue;
        if (opt == "--lines") lineCount = std::stoi(argv[++i]);
        if (opt == "--steps") steps = std::stoi(argv[++i]);
        if (opt == "--shot") shot = QString::fromLocal8Bit(argv[++i]);
        if (opt == "--old") oldFile = QString::fromLocal8Bit(argv[++i]);
        if (opt == "--new") newFile = QString::fromLocal8Bit(argv[++i]);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (dark) quennet::gui::UseDarkFusionPalette();
    QTemporaryDir dir;
    if (oldFile.isEmpty() || newFile.isEmpty()) {
        WritePair(dir.path(), lineCount);
        oldFile = dir.path() + "/old.pas";
        newFile = dir.path() + "/new.pas";
    }

    QuietDialogs dialogs;
    TMainForm form(nullptr, dialogs);
    form.resize(1400, 900);
    form.show();
    form.SetSplitMode(true);
    QApplication::processEvents();
    SourceEditor* oldView = Named<SourceEditor>(form, "oldEditor");
    SourceEditor* newView = Named<SourceEditor>(form, "newEditor");

    QElapsedTimer open;
    open.start();
    const double openCpu = CpuMs();
    form.LoadFile(true, oldFile);
    form.LoadFile(false, newFile);
    const double loadMs = open.nsecsElapsed() / 1e6;
    form.RunDiff();
    const double diffMs = open.nsecsElapsed() / 1e6 - loadMs;
    oldView->repaint();
    newView->repaint();
    const double openMs = open.nsecsElapsed() / 1e6;
    const double openCpuMs = CpuMs() - openCpu;
    QElapsedTimer again;
    again.start();
    form.Views()->ShowDifferences(form.Document().Comparison());
    const double marksMs = again.nsecsElapsed() / 1e6;

    if (!shot.isEmpty()) {
        Named<QAction>(form, "action.expand")->trigger();
        Named<QAction>(form, "action.nextDeclaration")->trigger();
        Named<QAction>(form, "action.lineNumbers")->setChecked(true);
        QApplication::processEvents();
        return form.grab().save(shot) ? 0 : 2;
    }

    size_t oldSpans = oldView->differenceSpans().size();
    size_t newSpans = newView->differenceSpans().size();
    std::printf("pair: %d and %d lines, %zu and %zu differences marked, %zu changed-line pairs\n",
                oldView->lineCount(), newView->lineCount(), oldSpans, newSpans,
                form.Views()->Alignment().Changed.size());
    std::printf("open (load both, compare, mark, align, first paint): %.0f ms, processor time "
                "%.0f ms (goal < 1500); loading %.0f ms, compare with marks %.0f ms, marks and "
                "alignment alone %.0f ms\n",
                openMs, openCpuMs, loadMs, diffMs, marksMs);

    // Scroll steps of a page and a bit, down through the text, each drawn in both views.
    std::vector<double> times, cpuTimes;
    const int rows = std::max(1, oldView->visibleRows());
    const int total = static_cast<int>(oldView->SendScintilla(
        QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, oldView->lineCount() - 1));
    for (int i = 0; i < steps; ++i) {
        const int row = static_cast<int>((int64_t{i} * (rows + 7)) % std::max(1, total - rows));
        QElapsedTimer step;
        step.start();
        const double cpu = CpuMs();
        oldView->setFirstVisibleLine(row);
        oldView->repaint();
        newView->repaint();
        times.push_back(step.nsecsElapsed() / 1e6);
        cpuTimes.push_back(CpuMs() - cpu);
    }
    for (auto* series : {&times, &cpuTimes}) {
        std::sort(series->begin(), series->end());
        double sum = 0;
        for (double t : *series)
            sum += t;
        std::printf("scroll step, %s (both views drawn, %d steps): mean %.2f ms, median %.2f ms, "
                    "95th %.2f ms, max %.2f ms (goal < 16)\n",
                    series == &times ? "wall" : "processor time", steps,
                    sum / static_cast<double>(series->size()), (*series)[series->size() / 2],
                    (*series)[series->size() * 95 / 100], series->back());
    }
    return 0;
}
