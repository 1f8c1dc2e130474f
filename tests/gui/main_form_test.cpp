// Main window: command line, the Diff command with report and "equivalent" message, tree,
// stored layout and the Setup command.
#include "filename_edit.h"
#include "main_window_fixture.h"
#include "setup_form.h"
#include "source_editor.h"
#include "source_views.h"

#include "diff/compare_sources.h"
#include "io/source_file.h"
#include "render/report_writer.h"
#include "viewrules/window_placement.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using namespace quennet::gui;

namespace {

const char* kOldUnit = "unit U;\r\ninterface\r\nprocedure A;\r\nprocedure B;\r\nimplementation\r\n"
                       "procedure A;\r\nbegin\r\nend;\r\nprocedure B;\r\nbegin\r\nend;\r\nend.\r\n";
// B's body changed, C added.
const char* kNewUnit =
    "unit U;\r\ninterface\r\nprocedure A;\r\nprocedure B;\r\nprocedure C;\r\n"
    "implementation\r\nprocedure A;\r\nbegin\r\nend;\r\nprocedure B;\r\nbegin\r\n"
    "  A;\r\nend;\r\nprocedure C;\r\nbegin\r\nend;\r\nend.\r\n";
// Same structure as kOldUnit: comments, layout and letter case do not count.
const char* kOldUnitReformatted = "unit u; { reformatted }\n"
                                  "INTERFACE\n"
                                  "procedure a; procedure b;\n"
                                  "implementation\n"
                                  "procedure a; begin end;\n"
                                  "procedure b; begin end;\n"
                                  "end.\n";

class MainFormTest : public MainWindowTest {
protected:
    // Runs `act` on the setup dialog once the Setup command shows it.
    void Setup(std::function<void(TSetupForm&)> act) {
        QTimer::singleShot(0, [act] {
            auto* setup = qobject_cast<TSetupForm*>(QApplication::activeModalWidget());
            ASSERT_NE(setup, nullptr);
            act(*setup);
            setup->Buttons->button(QDialogButtonBox::Ok)->click();
        });
        Face().Action("setup")->trigger();
    }
};

TEST(BackupFileName, ReplacesOrAppendsTheExtension) {
    EXPECT_EQ(BackupFileName(QStringLiteral("/a/x.pas")), QStringLiteral("/a/x.~pa"));
    EXPECT_EQ(BackupFileName(QStringLiteral("/a/x.dpr")), QStringLiteral("/a/x.~pa"));
    EXPECT_EQ(BackupFileName(QStringLiteral("/a.b/x")), QStringLiteral("/a.b/x.~pa"));
    EXPECT_EQ(BackupFileName(QStringLiteral("C:\\a.b\\x")), QStringLiteral("C:\\a.b\\x.~pa"));
    EXPECT_EQ(BackupFileName(QStringLiteral("x.y.pas")), QStringLiteral("x.y.~pa"));
}

TEST_F(MainFormTest, CommandLineForms) {
    const QString x = Write(QStringLiteral("x.pas"), kNewUnit);
    const QString xBackup = Write(QStringLiteral("x.~pa"), kOldUnit);
    const QString d = Write(QStringLiteral("d.dpr"), kNewUnit);
    const QString a = Write(QStringLiteral("a.pas"), kNewUnit);
    const QString b = Write(QStringLiteral("b.pas"), kOldUnit);
    const QString missing = dir.filePath(QStringLiteral("missing.pas"));
    const QString none;
    const struct Case {
        const char* what;
        QStringList args;
        QString newName, oldName;
    } cases[] = {
        {"one name: its backup is the old file", {x}, x, xBackup},
        {"a .dpr without a backup: nothing to load", {d}, none, none},
        {"two names: new, then old", {a, b}, a, b},
        {"a second name that names no file, no backup", {a, missing}, none, none},
        {"a second name that names no file: the backup", {x, missing}, x, xBackup},
        {"three names: only the first counts", {x, b, a}, x, xBackup},
        {"a first name that names no file", {missing, b}, none, none},
        {"no name", {}, none, none},
        {"a folder is not a file", {dir.path(), b}, none, none},
    };
    for (const Case& c : cases) {
        const CommandLineFiles files = ResolveCommandLine(c.args);
        EXPECT_EQ(files.NewFileName, c.newName) << c.what;
        EXPECT_EQ(files.OldFileName, c.oldName) << c.what;
    }
    Write(QStringLiteral("d.~pa"), kOldUnit);
    EXPECT_EQ(ResolveCommandLine({d}).OldFileName, dir.filePath(QStringLiteral("d.~pa")));
}

TEST_F(MainFormTest, StartWithOneNameLoadsBothAndCompares) {
    // A name that gives nothing to load leaves the window empty.
    form->HandleCommandLine({dir.filePath(QStringLiteral("nothing.pas"))});
    EXPECT_TRUE(Face().FileBox(true)->FileName().isEmpty());
    EXPECT_EQ(form->Document().Comparison(), nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quennet Pro"));

    const QString x = Write(QStringLiteral("x.pas"), kNewUnit);
    const QString xBackup = Write(QStringLiteral("x.~pa"), kOldUnit);
    form->HandleCommandLine({x});
    EXPECT_EQ(ShownFile(*form, true), xBackup);
    EXPECT_EQ(ShownFile(*form, false), x);
    EXPECT_EQ(Face().FileBox(true)->FileName(), xBackup);
    EXPECT_EQ(Face().FileBox(false)->FileName(), x);
    EXPECT_EQ(Face().Editor(true)->lineCount(), 12);
    EXPECT_EQ(Face().Editor(false)->lineCount(), 17);
    ASSERT_NE(form->Document().Comparison(), nullptr);
    EXPECT_GT(Face().Tree()->topLevelItemCount(), 0);
    EXPECT_TRUE(dialogs.Infos.isEmpty());
    EXPECT_TRUE(dialogs.Errors.isEmpty());
    EXPECT_FALSE(form->Document().Busy());
    EXPECT_EQ(Face().Progress()->OpenCount(), 0);
}

// A method moved to a class far below: selecting it shows it at both places, though the views
// scroll in step.
TEST_F(MainFormTest, AMovedMethodIsShownAtBothPlaces) {
    const auto unit = [](bool moved) {
        QByteArray text = "unit M;\ninterface\ntype\n  TFirst = class\n";
        if (!moved) text += "    procedure MoveMe(A: Integer);\n";
        text += "    procedure Stay;\n  end;\n";
        for (int i = 0; i < 150; ++i)
            text += "  TFiller" + QByteArray::number(i) + " = class procedure P; end;\n";
        text += "  TSecond = class\n    procedure Other;\n";
        if (moved) text += "    procedure MoveMe(A: Integer);\n";
        return text + "  end;\nimplementation\nend.\n";
    };
    form->resize(1000, 700);
    form->show();
    form->HandleCommandLine({Write(QStringLiteral("new.pas"), unit(true)),
                             Write(QStringLiteral("old.pas"), unit(false))});
    form->SetSplitMode(true);
    ASSERT_TRUE(form->Views()->Following());
    QTreeWidgetItem* moved = nullptr;
    for (QTreeWidgetItemIterator it(Face().Tree()); *it; ++it)
        if ((*it)->text(0).startsWith(QStringLiteral("MoveMe"))) moved = *it;
    ASSERT_NE(moved, nullptr);
    Face().Tree()->setCurrentItem(moved);
    QApplication::processEvents();
    for (bool old : {true, false}) {
        const SourceEditor& view = *Face().Editor(old);
        const int line = form->Document().Range(old).First;
        EXPECT_LE(view.firstVisibleTextLine(), line) << old;
        EXPECT_GT(view.firstVisibleTextLine() + view.visibleRows(), line + 3) << old;
    }
}

TEST_F(MainFormTest, ReportHasHeadingAndTheWritersBody) {
    const QString a = Write(QStringLiteral("a.pas"), kNewUnit);
    const QString b = Write(QStringLiteral("b.pas"), kOldUnit);
    form->HandleCommandLine({a, b});
    const QStringList lines = report->Lines();
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("Diff report for"));
    EXPECT_EQ(lines[1], QStringLiteral("  ") + b);
    EXPECT_EQ(lines[2], QStringLiteral("  ") + a);
    EXPECT_EQ(lines[3], QString());

    // The body is exactly the comparison's report.
    std::vector<std::string> symbols{"VER130", "WIN32", "CPU386"};
    const auto result = quennet::diff::CompareSources(
        {quennet::io::ToCrLfText(kOldUnit), b.toStdString()},
        {quennet::io::ToCrLfText(kNewUnit), a.toStdString()}, symbols);
    const auto written = quennet::render::ReportOf(result);
    ASSERT_GT(written.bodyEnd, quennet::render::kReportHeadingLines);
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(written.lines.size()));
    for (size_t i = 0; i < written.lines.size(); ++i)
        EXPECT_EQ(lines[static_cast<qsizetype>(i)].toStdString(), written.lines[i]) << i;
}

// The stored dialect reaches the compare: the classic reading sees no declaration change in a
// uses clause, so the window says why the texts still differ instead of showing a tree.
TEST_F(MainFormTest, NoEquivalentMessageWhereTheTokensDiffer) {
    const char* unit = "unit U;\ninterface\nuses A;\nimplementation\nend.\n";
    const char* otherUses = "unit U;\ninterface\nuses A, B;\nimplementation\nend.\n";
    for (const char* dialect : {"delphi", "classic"}) {
        SCOPED_TRACE(dialect);
        dialogs.Infos.clear();
        DestroyForms();
        WriteSetting(QString(), QStringLiteral("Dialect"), QString::fromLatin1(dialect));
        MakeForms();
        form->HandleCommandLine(
            {Write(QStringLiteral("new.pas"), otherUses), Write(QStringLiteral("old.pas"), unit)});
        if (std::string(dialect) == "classic") {
            EXPECT_EQ(dialogs.Infos,
                      QStringList{QString::fromLatin1(quennet::diff::kDiffersOutsideSentence)});
        } else {
            EXPECT_TRUE(dialogs.Infos.isEmpty());
            EXPECT_GT(Face().Tree()->topLevelItemCount(), 0);
        }
    }
}

TEST_F(MainFormTest, EquivalentFilesShowTheMessageAfterTheProgressDialogClosed) {
    const QString a = Write(QStringLiteral("a.pas"), kOldUnitReformatted);
    const QString b = Write(QStringLiteral("b.pas"), kOldUnit);
    int openCountAtMessage = -1;
    struct Recorder : FakeDialogs {
        std::function<void()> onInfo;
        void Information(QWidget* w, const QString& t) override {
            onInfo();
            FakeDialogs::Information(w, t);
        }
    } recorder;
    recorder.onInfo = [&] { openCountAtMessage = Face().Progress()->OpenCount(); };
    DestroyForms();
    form = std::make_unique<TMainForm>(registry.get(), recorder);
    report = std::make_unique<TDiffRptForm>(registry.get(), recorder);
    form->SetCompanions(report.get(), nullptr);

    form->HandleCommandLine({a, b});
    ASSERT_EQ(recorder.Infos.size(), 1);
    EXPECT_EQ(recorder.Infos[0],
              QStringLiteral("The compared files syntactically are equivalent."));
    EXPECT_EQ(openCountAtMessage, 0);
    EXPECT_EQ(Face().Tree()->topLevelItemCount(), 0);
    // The report still holds the four heading lines (and the writer's output, if any).
    const QStringList lines = report->Lines();
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("Diff report for"));
}

TEST_F(MainFormTest, AbortLeavesTheWindowWithoutAComparison) {
    // Long enough that the comparison is still under way when Abort is pressed.
    QByteArray unit = "unit U;\ninterface\nimplementation\n";
    for (int i = 0; i < 20000; ++i)
        unit += "procedure P" + QByteArray::number(i) + ";\nbegin\n  X := 1;\nend;\n";
    unit += "end.\n";
    form->LoadFile(true, Write(QStringLiteral("a.pas"), unit));
    form->LoadFile(false, Write(QStringLiteral("b.pas"), unit + "\n"));
    QTimer::singleShot(0, [this] {
        TProgressDialogForm* progress = Face().Progress()->Form();
        ASSERT_NE(progress, nullptr);
        EXPECT_TRUE(progress->AbortButton->isEnabled());
        progress->AbortButton->click();
    });
    form->RunDiff();
    EXPECT_EQ(form->Document().Comparison(), nullptr);
    EXPECT_EQ(Face().Tree()->topLevelItemCount(), 0);
    EXPECT_EQ(Face().Status(), QStringLiteral("Comparison aborted."));
    EXPECT_EQ(Face().Progress()->OpenCount(), 0);
    EXPECT_FALSE(form->Document().Busy());
    EXPECT_TRUE(dialogs.Infos.isEmpty());

    // The next Diff runs to its end.
    form->RunDiff();
    EXPECT_NE(form->Document().Comparison(), nullptr);
}

TEST_F(MainFormTest, RunDiffOnEmptyViewsComparesTwoEmptyModels) {
    form->RunDiff();
    ASSERT_NE(form->Document().Comparison(), nullptr);
    ASSERT_NE(form->Document().Source(true), nullptr);
    ASSERT_NE(form->Document().Source(false), nullptr);
    EXPECT_EQ(Face().Tree()->topLevelItemCount(),
              static_cast<int>(form->Document().Comparison()->Root.Count()));
    EXPECT_FALSE(form->Document().Busy());
}

TEST_F(MainFormTest, TreeMirrorsTheComparisonWithStateImages) {
    Face().Editor(true)->setLines(quennet::io::SplitLines(kOldUnit));
    Face().Editor(false)->setLines(quennet::io::SplitLines(kNewUnit));
    form->RunDiff();
    const auto& root = form->Document().Comparison()->Root;
    ASSERT_EQ(Face().Tree()->topLevelItemCount(), static_cast<int>(root.Count()));
    int nodes = 0;
    std::function<void(QTreeWidgetItem*, const quennet::diff::TSourceDiffItem*)> check =
        [&](QTreeWidgetItem* node, const quennet::diff::TSourceDiffItem* item) {
            ++nodes;
            EXPECT_EQ(DiffItemOf(node), item);
            EXPECT_EQ(node->text(0).toStdString(), item->Caption);
            EXPECT_FALSE(node->icon(0).isNull());
            // The first level is open, the rest closed.
            EXPECT_EQ(node->isExpanded(), node->parent() == nullptr && node->childCount() > 0);
            ASSERT_EQ(node->childCount(), static_cast<int>(item->Children.Count()));
            for (size_t i = 0; i < item->Children.Count(); ++i)
                check(node->child(static_cast<int>(i)), item->Children.Items(i));
        };
    for (size_t i = 0; i < root.Count(); ++i)
        check(Face().Tree()->topLevelItem(static_cast<int>(i)), root.Items(i));
    EXPECT_GT(nodes, 1);
    EXPECT_EQ(Face().Tree()->currentItem(), nullptr);
    int leaves = 0;
    for (QTreeWidgetItemIterator it(Face().Tree()); *it; ++it)
        if ((*it)->childCount() == 0 && DiffItemOf(*it)->State != quennet::diff::Group) ++leaves;
    EXPECT_EQ(CountDifferences(root), leaves);
    EXPECT_TRUE(Face().Status().startsWith(QStringLiteral("%1 difference").arg(leaves)));
}

TEST_F(MainFormTest, TreeWidensForItsCaptionsAndNamesAreElidedInTheMiddle) {
    form->resize(1500, 700);
    form->show();
    const QString name = Write(QStringLiteral("a/very/deep/folder/of/sources/that/goes/on/and/"
                                              "on/for/a/long/way/down/to/the/unit.pas"),
                               "unit U;\ninterface\nprocedure AVeryLongRoutineName"
                               "ThatTakesMuchRoomInTheTree(First, Second: Integer);\n"
                               "implementation\nprocedure AVeryLongRoutineNameThatTakes"
                               "MuchRoomInTheTree(First, Second: Integer);\nbegin\nend;\nend.\n");
    const QString other =
        Write(QStringLiteral("b.pas"), "unit U;\ninterface\nimplementation\nend.\n");
    form->DropFiles({other, name}, nullptr);
    QApplication::processEvents();
    const int width = TreeWidth(*form);
    EXPECT_GT(width, 165);
    EXPECT_LE(width, form->width() / 3);

    const TFilenameEdit& box = *Face().FileBox(false);
    EXPECT_EQ(box.FileName(), name);
    EXPECT_EQ(box.Edit()->toolTip(), name);
    const QString shown = box.Edit()->text();
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("unit.pas")));
    EXPECT_TRUE(shown.startsWith(name.left(3)));
}

TEST_F(MainFormTest, CodeLeftOutByConditionalCompilationIsShadedWithItsReason) {
    const char* text = "unit U;\ninterface\n{$IFDEF DEBUG}\nprocedure Trace;\n{$ELSE}\n"
                       "procedure Quiet;\n{$ENDIF}\nimplementation\nend.\n";
    form->DropFiles({Write(QStringLiteral("a.pas"), text), Write(QStringLiteral("b.pas"), text)},
                    nullptr);
    for (bool old : {true, false}) {
        const SourceEditor& view = *Face().Editor(old);
        for (int line = 0; line < view.lineCount(); ++line) {
            const bool shaded = (view.markersAtLine(line) >> SourceEditor::kInactiveMarker) & 1;
            EXPECT_EQ(shaded, line == 3) << line;
            EXPECT_EQ(view.inactiveTip(line).isEmpty(), line != 3) << line;
        }
        EXPECT_EQ(view.inactiveTip(3),
                  QStringLiteral("Not compiled: DEBUG is not defined ({$IFDEF DEBUG})"));
    }
    // A new text takes the shading of the old one away.
    Face().Editor(true)->setLines({"unit U;", "a", "b", "c", "d"});
    EXPECT_TRUE(Face().Editor(true)->inactiveTip(3).isEmpty());
    EXPECT_EQ(Face().Editor(true)->markersAtLine(3) >> SourceEditor::kInactiveMarker, 0u);
}

TEST_F(MainFormTest, IncompleteParseIsNamedInReportAndStatus) {
    const QString a = Write(QStringLiteral("a.pas"), kNewUnit);
    const QString b = Write(QStringLiteral("b.pas"), "unit U;\r\ninterface\r\nprocedure A;\r\n"
                                                     "type = = ;\r\nimplementation\r\nend.\r\n");
    form->HandleCommandLine({a, b});
    ASSERT_NE(form->Document().Source(true), nullptr);
    ASSERT_FALSE(form->Document().Source(true)->Status.Complete);
    EXPECT_TRUE(form->Document().Source(false)->Status.Complete);
    const QString warning = ParseWarning(b, form->Document().Source(true)->Status);
    EXPECT_TRUE(warning.startsWith(QStringLiteral("! ") + b + QStringLiteral("(")));
    EXPECT_TRUE(warning.contains(QStringLiteral("not followed")));
    EXPECT_TRUE(report->Lines().contains(warning));
    EXPECT_FALSE(Face().Pane<QLabel>(true, "WarningPanel")->text().isEmpty());
    EXPECT_TRUE(Face().Pane<QLabel>(false, "WarningPanel")->text().isEmpty());
    EXPECT_TRUE(ParseWarning(a, form->Document().Source(false)->Status).isEmpty());
}

TEST_F(MainFormTest, FirstStartDefaults) {
    EXPECT_EQ(
        form->Settings().Defines,
        (QStringList{QStringLiteral("VER130"), QStringLiteral("WIN32"), QStringLiteral("CPU386")}));
    const QString filter = QStringLiteral(
        "Pascal and form files (*.pas;*.pp;*.inc;*.dpr;*.lpr;*.dpk;*.lpk;*.dfm;*.lfm;*.fmx)|"
        "*.pas;*.pp;*.inc;*.dpr;*.lpr;*.dpk;*.lpk;*.dfm;*.lfm;*.fmx|"
        "Pascal sources (*.pas;*.pp;*.inc;*.dpr;*.lpr;*.dpk;*.lpk)|"
        "*.pas;*.pp;*.inc;*.dpr;*.lpr;*.dpk;*.lpk|"
        "Form files (*.dfm;*.lfm;*.fmx)|*.dfm;*.lfm;*.fmx|"
        "Delphi backup (*.~pa;*.~dp)|*.~pa;*.~dp|All files (*.*)|*.*");
    EXPECT_EQ(Face().FileBox(true)->Filter(), filter);
    EXPECT_EQ(form->Settings().FontName, Face().Editor(true)->editorFont().family());
    form->show();
    // Most of the screen, centred, side by side.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const quennet::viewrules::ScreenRect first = quennet::viewrules::FirstWindowRect(
        {screen.x(), screen.y(), screen.width(), screen.height()});
    EXPECT_EQ(form->geometry(), QRect(first.X, first.Y, first.Width, first.Height));
    EXPECT_TRUE(SideBySide(*form));
    EXPECT_TRUE(QFileInfo(form->DefaultFolder(true)).isDir());
    EXPECT_EQ(nav->OldFolder(), form->DefaultFolder(true));
    EXPECT_EQ(nav->NewFolder(), form->DefaultFolder(false));

    // The list earlier versions stored unchanged gives way to today's.
    DestroyForms();
    ASSERT_TRUE(registry->OpenSettingsKey(QString(), true));
    registry->WriteStringList(QStringLiteral("Ext"),
                              {QStringLiteral("Delphi source (*.pas;*.dpr)|*.pas;*.dpr"),
                               QStringLiteral("Delphi backup (*.~pa;*.~dp)|*.~pa;*.~dp"),
                               QStringLiteral("All files (*.*)|*.*")});
    registry->CloseKey();
    MakeForms();
    EXPECT_EQ(Face().FileBox(true)->Filter(), filter);
}

TEST_F(MainFormTest, StoredListsAndFontAreReadAtStart) {
    DestroyForms();
    ASSERT_TRUE(registry->OpenSettingsKey(QString(), true));
    registry->WriteStringList(QStringLiteral("Opt"), {QStringLiteral("DEBUG")});
    registry->WriteStringList(QStringLiteral("Ext"), {QStringLiteral("Units|*.pas")});
    registry->WriteString(QStringLiteral("FontName"), QStringLiteral("Some Mono"));
    registry->WriteInteger(QStringLiteral("FontSize"), 13);
    registry->WriteString(QStringLiteral("FontCharset"), QStringLiteral("wrong type"));
    registry->CloseKey();
    MakeForms();
    EXPECT_EQ(form->Settings().Defines, QStringList{QStringLiteral("DEBUG")});
    EXPECT_EQ(Face().FileBox(true)->Filter(), QStringLiteral("Units|*.pas"));
    EXPECT_EQ(form->Settings().FontName, QStringLiteral("Some Mono"));
    EXPECT_EQ(form->Settings().FontSize, 13);
    EXPECT_EQ(form->Settings().FontCharset, 1);
    EXPECT_EQ(Face().Editor(true)->editorFont().pointSize(), 13);
    EXPECT_EQ(Face().Editor(false)->editorFont().pointSize(), 13);
    EXPECT_NE(Face().DiffEditor()->editorFont().pointSize(), 13);
}

TEST_F(MainFormTest, LayoutRoundTrip) {
    const QString oldDir = dir.filePath(QStringLiteral("olddir"));
    ASSERT_TRUE(QDir().mkpath(oldDir));
    form->resize(1000, 700);
    form->show();
    form->SetSplitMode(true);
    const int mainTotal = Face().MainSplitter()->width() - Face().MainSplitter()->handleWidth();
    Face().MainSplitter()->setSizes({210, mainTotal - 210});
    QApplication::processEvents();
    const int total = Face().SourceSplitter()->width() - Face().SourceSplitter()->handleWidth();
    Face().SourceSplitter()->setSizes({300, total - 300});
    ASSERT_EQ(OldPaneSize(*form), 300);
    // The navigator's pairs set each side's folder.
    form->OpenPair(Write(QStringLiteral("olddir/a.pas"), "unit A; end."), QString(), oldDir,
                   QString());
    form->OpenPair(QString(), Write(QStringLiteral("b.pas"), "unit B; end."), QString(),
                   dir.filePath(QStringLiteral("deleted")));
    DestroyForms();

    ASSERT_TRUE(registry->OpenSettingsKey(QStringLiteral("TMainForm"), false));
    EXPECT_EQ(registry->ReadInteger(QStringLiteral("TreeWidth"), 0), 210);
    EXPECT_EQ(registry->ReadInteger(QStringLiteral("Align"), -1), 1);
    EXPECT_EQ(registry->ReadInteger(QStringLiteral("SplitPos"), 0), 300);
    EXPECT_FALSE(registry->ReadString(QStringLiteral("Placement"), QString()).isEmpty());
    registry->CloseKey();

    MakeForms();
    form->show();
    EXPECT_EQ(form->size(), QSize(1000, 700));
    EXPECT_TRUE(SideBySide(*form));
    EXPECT_TRUE(Face().Action("splitMode")->isChecked());
    EXPECT_EQ(TreeWidth(*form), 210);
    EXPECT_EQ(OldPaneSize(*form), 300);
    EXPECT_EQ(form->DefaultFolder(true), oldDir);
    // A folder that no longer exists is replaced by the working folder, not the program's.
    EXPECT_EQ(QDir(form->DefaultFolder(false)), QDir(QDir::currentPath()));
    // A stored split beyond three quarters of the pane opens at half.
    DestroyForms();
    ASSERT_TRUE(registry->OpenSettingsKey(QStringLiteral("TMainForm"), true));
    registry->WriteInteger(QStringLiteral("SplitPos"), 5000);
    registry->CloseKey();
    MakeForms();
    form->show();
    EXPECT_TRUE(SideBySide(*form));
    EXPECT_EQ(OldPaneSize(*form), Face().Part<QWidget>("sourceTab")->width() / 2);
}

TEST_F(MainFormTest, SplitModeHalvesAndToggles) {
    form->resize(1100, 720);
    form->show();
    form->SetSplitMode(true);
    EXPECT_EQ(Face().SourceSplitter()->orientation(), Qt::Horizontal);
    EXPECT_EQ(OldPaneSize(*form), Face().Part<QWidget>("sourceTab")->width() / 2);
    Face().Action("splitMode")->trigger();
    EXPECT_EQ(Face().SourceSplitter()->orientation(), Qt::Vertical);
    EXPECT_EQ(OldPaneSize(*form), Face().Part<QWidget>("sourceTab")->height() / 2);
    // Resizing keeps the old pane's share (up to rounding).
    form->SetSplitMode(true);
    const int before = Face().SourceSplitter()->width();
    const int total = before - Face().SourceSplitter()->handleWidth();
    Face().SourceSplitter()->setSizes({total / 4, total - total / 4});
    ASSERT_EQ(OldPaneSize(*form), total / 4);
    const double share = double(OldPaneSize(*form)) / before;
    form->resize(form->width() + 300, form->height());
    QApplication::processEvents();
    const int after = Face().SourceSplitter()->width();
    ASSERT_GT(after, before);
    EXPECT_NEAR(double(OldPaneSize(*form)) / after, share, 0.01);
}

TEST_F(MainFormTest, NarrowPanesGiveTheFileNameItsOwnRow) {
    form->resize(1000, 700);
    form->SetSplitMode(true); // before the first showing, as a first window opens
    form->show();
    const MainFormFace ui = Face();
    const auto nameChars = [&](bool old) {
        QApplication::processEvents();
        return ui.FileBox(old)->width() / ui.FileBox(old)->fontMetrics().averageCharWidth();
    };
    const auto nameBesideButtons = [&](bool old) {
        QApplication::processEvents();
        return ui.FileBox(old)->geometry().bottom() >=
               ui.Pane<QPushButton>(old, "SaveButton")->geometry().top();
    };
    const auto twoFullRows = [&] {
        for (const bool old : {true, false}) {
            const QPushButton* save = ui.Pane<QPushButton>(old, "SaveButton");
            const TFilenameEdit* name = ui.FileBox(old);
            EXPECT_GE(nameChars(old), 40);
            EXPECT_FALSE(nameBesideButtons(old));
            EXPECT_GE(save->height(), save->sizeHint().height());
            EXPECT_GE(name->height(), name->minimumSizeHint().height());
        }
    };
    twoFullRows();
    form->SetSplitMode(false);
    EXPECT_TRUE(nameBesideButtons(true));
    EXPECT_GE(nameChars(true), 40);
    form->SetSplitMode(true);
    twoFullRows();
    form->resize(2400, 700); // wide again: one row
    EXPECT_TRUE(nameBesideButtons(false));
}

TEST_F(MainFormTest, SetupCommandStoresDefaultsForAnEmptyExtensionsPage) {
    Setup([](TSetupForm& setup) {
        setup.ExtensionsMemo->clear();
        setup.DefinesMemo->setPlainText(QStringLiteral("A\nB\nC\nD\nE"));
        setup.SizeEdit->setValue(12);
    });
    EXPECT_EQ(form->Settings().Defines.size(), 5);
    ASSERT_EQ(form->Settings().Extensions.size(), 5);
    EXPECT_TRUE(Face().FileBox(true)->Filter().startsWith(
        QStringLiteral("Pascal and form files (*.pas;*.pp;*.inc;*.dpr;*.lpr;*.dpk;*.lpk;*.dfm;"
                       "*.lfm;*.fmx)|*.pas;")));
    EXPECT_EQ(Face().Editor(true)->editorFont().pointSize(), 12);
    EXPECT_EQ(Face().Editor(false)->editorFont().pointSize(), 12);

    // A second setup with fewer symbols leaves exactly those in the store.
    Setup([](TSetupForm& setup) { setup.DefinesMemo->setPlainText(QStringLiteral("X\nY")); });
    TAppRegistry reader(registry->FileName());
    ASSERT_TRUE(reader.OpenSettingsKey(QString(), false));
    QStringList opt;
    reader.ReadStringList(QStringLiteral("Opt"), opt);
    EXPECT_EQ(opt, (QStringList{QStringLiteral("X"), QStringLiteral("Y")}));
    QStringList ext;
    reader.ReadStringList(QStringLiteral("Ext"), ext);
    EXPECT_EQ(ext, form->Settings().Extensions);
    EXPECT_EQ(reader.ReadInteger(QStringLiteral("FontSize"), 0), 12);
}

// The setup's target and include folders are stored, read again by a new window, and used by
// the compare.
TEST_F(MainFormTest, ThemeFromSetupAppliesAtOnceAndIsStored) {
    const QPalette before = QApplication::palette();
    Setup([](TSetupForm& setup) { setup.ThemeCombo->setCurrentText(QStringLiteral("Dark")); });
    QApplication::processEvents(); // the palette reaches the widgets as events
    const QPalette dark = QApplication::palette();
    EXPECT_LT(dark.color(QPalette::Window).lightness(), 128);
    // Disabled texts look disabled: fainter than enabled ones.
    for (QPalette::ColorRole role : {QPalette::ButtonText, QPalette::WindowText, QPalette::Text})
        EXPECT_LT(dark.color(QPalette::Disabled, role).lightness(),
                  dark.color(QPalette::Active, role).lightness() - 60)
            << role;
    EXPECT_TRUE(Face().Editor(true)->viewPalette().Dark) << "the views follow";
    TAppRegistry reader(registry->FileName());
    ASSERT_TRUE(reader.OpenSettingsKey(QString(), false));
    EXPECT_EQ(reader.ReadString(QStringLiteral("Theme"), QString()), QStringLiteral("Dark"));
    reader.CloseKey();

    Setup([](TSetupForm& setup) { setup.ThemeCombo->setCurrentText(QStringLiteral("Light")); });
    QApplication::processEvents();
    EXPECT_GT(QApplication::palette().color(QPalette::Window).lightness(), 200);
    EXPECT_FALSE(Face().Editor(true)->viewPalette().Dark);
    Setup([](TSetupForm& setup) { setup.ThemeCombo->setCurrentText(QStringLiteral("System")); });
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), before.color(QPalette::Window));
}

TEST_F(MainFormTest, SetupTargetAndIncludeFoldersReachTheCompare) {
    Write(QStringLiteral("inc/decls.inc"),
          "{$IFDEF WIN64}procedure Wide;{$ENDIF}\r\nprocedure Included;\r\n");
    const QString oldFile =
        Write(QStringLiteral("old.pas"), "unit U;\r\ninterface\r\nimplementation\r\nend.\r\n");
    const QString newFile = Write(QStringLiteral("new.pas"), "unit U;\r\ninterface\r\n{$I "
                                                             "decls.inc}\r\nimplementation\r\n"
                                                             "end.\r\n");
    const QString incDir = QDir::toNativeSeparators(dir.filePath(QStringLiteral("inc")));
    Setup([incDir](TSetupForm& setup) {
        setup.DialectCombo->setCurrentText(QStringLiteral("delphi"));
        setup.TargetCombo->setCurrentText(QStringLiteral("delphi12-win64"));
        setup.AddIncludeFolder(incDir);
        setup.AddIncludeFolder(QStringLiteral("/nowhere"));
        setup.MoveIncludeFolder(-1);
    });
    DestroyForms();
    MakeForms();
    const TReadingValues& stored = form->Settings().Reading;
    EXPECT_EQ(stored.Target, QStringLiteral("delphi12-win64"));
    EXPECT_EQ(stored.IncludeDirs, (QStringList{QStringLiteral("/nowhere"), incDir}));

    form->HandleCommandLine({newFile, oldFile});
    const QTreeWidget* tree = Face().Tree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    const QTreeWidgetItem* routines = tree->topLevelItem(0);
    ASSERT_EQ(routines->childCount(), 2);
    EXPECT_EQ(routines->child(0)->text(0), QStringLiteral("Included [decls.inc]"));
    EXPECT_EQ(routines->child(1)->text(0), QStringLiteral("Wide [decls.inc]"));
}

} // namespace
