// Main window: command line, the Diff command with report and "equivalent" message, tree,
// stored layout and the Setup command.
#include "app_registry.h"
#include "diff_rpt_form.h"
#include "filename_edit.h"
#include "main_form.h"
#include "navigator_form.h"
#include "setup_form.h"
#include "source_editor.h"

#include "compare/compare_sources.h"
#include "io/source_file.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "fake_dialogs.h"

using namespace quennet::gui;

namespace {

const char* kOldUnit = "unit U;\r\n"
                       "interface\r\n"
                       "procedure A;\r\n"
                       "procedure B;\r\n"
                       "implementation\r\n"
                       "procedure A;\r\n"
                       "begin\r\n"
                       "end;\r\n"
                       "procedure B;\r\n"
                       "begin\r\n"
                       "end;\r\n"
                       "end.\r\n";
// B's body changed, C added.
const char* kNewUnit = "unit U;\r\n"
                       "interface\r\n"
                       "procedure A;\r\n"
                       "procedure B;\r\n"
                       "procedure C;\r\n"
                       "implementation\r\n"
                       "procedure A;\r\n"
                       "begin\r\n"
                       "end;\r\n"
                       "procedure B;\r\n"
                       "begin\r\n"
                       "  A;\r\n"
                       "end;\r\n"
                       "procedure C;\r\n"
                       "begin\r\n"
                       "end;\r\n"
                       "end.\r\n";
// Same structure as kOldUnit: comments, layout and letter case do not count.
const char* kOldUnitReformatted = "unit u; { reformatted }\n"
                                  "INTERFACE\n"
                                  "procedure a; procedure b;\n"
                                  "implementation\n"
                                  "procedure a; begin end;\n"
                                  "procedure b; begin end;\n"
                                  "end.\n";

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        registry = std::make_unique<TAppRegistry>(dir.filePath(QStringLiteral("settings.ini")));
        MakeForm();
    }
    void TearDown() override { DestroyForm(); }

    void MakeForm() {
        form = std::make_unique<TMainForm>(registry.get(), dialogs);
        report = std::make_unique<TDiffRptForm>(registry.get(), dialogs);
        form->SetReportForm(report.get());
        navigator = new TNavigatorForm(registry.get(), form.get());
        form->SetNavigatorForm(navigator);
    }
    void DestroyForm() {
        report.reset();
        form.reset();
    }

    QString Write(const QString& name, const char* text) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    }

    QTemporaryDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<TAppRegistry> registry;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TDiffRptForm> report;
    TNavigatorForm* navigator = nullptr;
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

    // One name: it is the new file, its backup the old one.
    auto one = ResolveCommandLine({x});
    EXPECT_EQ(one.NewFileName, x);
    EXPECT_EQ(one.OldFileName, xBackup);
    // A .dpr without a backup: nothing to load.
    auto dpr = ResolveCommandLine({d});
    EXPECT_TRUE(dpr.NewFileName.isEmpty());
    EXPECT_TRUE(dpr.OldFileName.isEmpty());
    Write(QStringLiteral("d.~pa"), kOldUnit);
    EXPECT_EQ(ResolveCommandLine({d}).OldFileName, dir.filePath(QStringLiteral("d.~pa")));
    // Two names: new, then old.
    auto two = ResolveCommandLine({a, b});
    EXPECT_EQ(two.NewFileName, a);
    EXPECT_EQ(two.OldFileName, b);
    // A second name that names no file: the backup of the first, if any.
    EXPECT_TRUE(ResolveCommandLine({a, missing}).NewFileName.isEmpty());
    auto fallback = ResolveCommandLine({x, missing});
    EXPECT_EQ(fallback.OldFileName, xBackup);
    // Three names: only the first counts.
    auto three = ResolveCommandLine({x, b, a});
    EXPECT_EQ(three.NewFileName, x);
    EXPECT_EQ(three.OldFileName, xBackup);
    // A first name that names no file, or none at all.
    EXPECT_TRUE(ResolveCommandLine({missing, b}).NewFileName.isEmpty());
    EXPECT_TRUE(ResolveCommandLine({}).NewFileName.isEmpty());
    // A folder is not a file.
    EXPECT_TRUE(ResolveCommandLine({dir.path(), b}).NewFileName.isEmpty());
}

TEST_F(MainFormTest, StartWithOneNameLoadsBothAndCompares) {
    const QString x = Write(QStringLiteral("x.pas"), kNewUnit);
    const QString xBackup = Write(QStringLiteral("x.~pa"), kOldUnit);
    form->HandleCommandLine({x});
    EXPECT_EQ(form->FileName(true), xBackup);
    EXPECT_EQ(form->FileName(false), x);
    EXPECT_EQ(form->Widgets().Old.FilenameEdit->FileName(), xBackup);
    EXPECT_EQ(form->Widgets().New.FilenameEdit->FileName(), x);
    EXPECT_EQ(form->Widgets().Old.Editor->lineCount(), 12);
    EXPECT_EQ(form->Widgets().New.Editor->lineCount(), 17);
    ASSERT_NE(form->Comparison(), nullptr);
    EXPECT_GT(form->Widgets().DiffTree->topLevelItemCount(), 0);
    EXPECT_TRUE(dialogs.Infos.isEmpty());
    EXPECT_TRUE(dialogs.Errors.isEmpty());
    EXPECT_FALSE(form->Busy());
    EXPECT_EQ(form->Widgets().Progress->OpenCount(), 0);
}

TEST_F(MainFormTest, StartWithUnusableNamesStaysEmpty) {
    const QString a = Write(QStringLiteral("a.pas"), kNewUnit);
    form->HandleCommandLine({a, dir.filePath(QStringLiteral("nothing.pas"))});
    EXPECT_TRUE(form->FileName(true).isEmpty());
    EXPECT_TRUE(form->FileName(false).isEmpty());
    EXPECT_TRUE(form->Widgets().Old.FilenameEdit->FileName().isEmpty());
    EXPECT_EQ(form->Comparison(), nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quennet Pro"));
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
    const auto result = quennet::compare::CompareSources(
        {quennet::io::ToCrLfText(kOldUnit), b.toStdString()},
        {quennet::io::ToCrLfText(kNewUnit), a.toStdString()}, symbols);
    ASSERT_GT(result.reportBodyEnd, quennet::compare::kReportHeadingLines);
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(result.report.size()));
    for (size_t i = 0; i < result.report.size(); ++i)
        EXPECT_EQ(lines[static_cast<qsizetype>(i)].toStdString(), result.report[i]) << i;
}

// Texts whose declarations agree while their tokens do not are never called equivalent.
TEST_F(MainFormTest, NoEquivalentMessageWhereTheTokensDiffer) {
    const char* unit = "unit U;\ninterface\nuses A;\nfunction F(X: Integer): Integer; overload;\n"
                       "function F(S: string): string; overload;\nimplementation\n"
                       "function F(X: Integer): Integer;\nbegin Result := X; end;\n"
                       "function F(S: string): string;\nbegin Result := S; end;\nend.\n";
    const char* otherUses = "unit U;\ninterface\nuses A, B;\nfunction F(X: Integer): Integer; "
                            "overload;\nfunction F(S: string): string; overload;\nimplementation\n"
                            "function F(X: Integer): Integer;\nbegin Result := X; end;\n"
                            "function F(S: string): string;\nbegin Result := S; end;\nend.\n";
    const char* firstBody = "unit U;\ninterface\nuses A;\nfunction F(X: Integer): Integer; "
                            "overload;\nfunction F(S: string): string; overload;\nimplementation\n"
                            "function F(X: Integer): Integer;\nbegin Result := -X; end;\n"
                            "function F(S: string): string;\nbegin Result := S; end;\nend.\n";
    const char* program = "program P;\nbegin\n  Run;\nend.\n";
    const char* initialization = "program P;\ninitialization\n  Run;\nend.\n";
    struct Case {
        const char* oldText;
        const char* newText;
        const char* dialect;
        bool message; // the tree is empty, so the window explains why
    } cases[] = {
        {unit, otherUses, "delphi", false},         {unit, firstBody, "delphi", false},
        {unit, otherUses, "classic", true},         {unit, firstBody, "classic", true},
        {program, initialization, "delphi", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.newText) + c.dialect);
        dialogs.Infos.clear();
        DestroyForm();
        ASSERT_TRUE(registry->OpenSettingsKey(QString(), true));
        registry->WriteString(QStringLiteral("Dialect"), QString::fromLatin1(c.dialect));
        registry->CloseKey();
        MakeForm();
        form->HandleCommandLine({Write(QStringLiteral("new.pas"), c.newText),
                                 Write(QStringLiteral("old.pas"), c.oldText)});
        EXPECT_FALSE(
            dialogs.Infos.contains(QString::fromLatin1(quennet::compare::kEquivalentSentence)));
        if (c.message) {
            EXPECT_EQ(dialogs.Infos,
                      QStringList{QString::fromLatin1(quennet::compare::kDiffersOutsideSentence)});
        } else {
            EXPECT_GT(form->Widgets().DiffTree->topLevelItemCount(), 0);
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
    recorder.onInfo = [&] { openCountAtMessage = form->Widgets().Progress->OpenCount(); };
    DestroyForm();
    form = std::make_unique<TMainForm>(registry.get(), recorder);
    report = std::make_unique<TDiffRptForm>(registry.get(), recorder);
    form->SetReportForm(report.get());

    form->HandleCommandLine({a, b});
    ASSERT_EQ(recorder.Infos.size(), 1);
    EXPECT_EQ(recorder.Infos[0],
              QStringLiteral("The compared files syntactically are equivalent."));
    EXPECT_EQ(openCountAtMessage, 0);
    EXPECT_EQ(form->Widgets().DiffTree->topLevelItemCount(), 0);
    // The report still holds the four heading lines (and the writer's output, if any).
    const QStringList lines = report->Lines();
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("Diff report for"));

    // Different files: no message.
    recorder.Infos.clear();
    form->Widgets().New.Editor->setLines(quennet::io::SplitLines(kNewUnit));
    form->RunDiff();
    EXPECT_TRUE(recorder.Infos.isEmpty());
    EXPECT_GT(form->Widgets().DiffTree->topLevelItemCount(), 0);
}

TEST_F(MainFormTest, RunDiffOnEmptyViewsComparesTwoEmptyModels) {
    form->RunDiff();
    ASSERT_NE(form->Comparison(), nullptr);
    ASSERT_NE(form->Source(true), nullptr);
    ASSERT_NE(form->Source(false), nullptr);
    EXPECT_EQ(form->Widgets().DiffTree->topLevelItemCount(),
              static_cast<int>(form->Comparison()->Root.Count()));
    EXPECT_FALSE(form->Busy());
}

TEST_F(MainFormTest, TreeMirrorsTheComparisonWithStateImages) {
    form->Widgets().Old.Editor->setLines(quennet::io::SplitLines(kOldUnit));
    form->Widgets().New.Editor->setLines(quennet::io::SplitLines(kNewUnit));
    form->RunDiff();
    const auto& root = form->Comparison()->Root;
    ASSERT_EQ(form->Widgets().DiffTree->topLevelItemCount(), static_cast<int>(root.Count()));
    int nodes = 0;
    std::function<void(QTreeWidgetItem*, const quennet::model::TSourceDiffItem*)> check =
        [&](QTreeWidgetItem* node, const quennet::model::TSourceDiffItem* item) {
            ++nodes;
            EXPECT_EQ(TMainForm::DiffItemOf(node), item);
            EXPECT_EQ(node->text(0).toStdString(), item->Caption);
            EXPECT_FALSE(node->icon(0).isNull());
            EXPECT_FALSE(node->isExpanded());
            ASSERT_EQ(node->childCount(), static_cast<int>(item->Children.Count()));
            for (size_t i = 0; i < item->Children.Count(); ++i)
                check(node->child(static_cast<int>(i)), item->Children.Items(i));
        };
    for (size_t i = 0; i < root.Count(); ++i)
        check(form->Widgets().DiffTree->topLevelItem(static_cast<int>(i)), root.Items(i));
    EXPECT_GT(nodes, 1);
    EXPECT_EQ(form->Widgets().DiffTree->currentItem(), nullptr);
    int leaves = 0;
    for (QTreeWidgetItemIterator it(form->Widgets().DiffTree); *it; ++it)
        if ((*it)->childCount() == 0 && TMainForm::DiffItemOf(*it)->State != quennet::model::Group)
            ++leaves;
    EXPECT_EQ(CountDifferences(root), leaves);
    EXPECT_TRUE(form->Widgets().StatusMessage->text().startsWith(
        QStringLiteral("%1 difference").arg(leaves)));

    form->ExpandAll();
    for (QTreeWidgetItemIterator it(form->Widgets().DiffTree); *it; ++it)
        if ((*it)->childCount() > 0) {
            EXPECT_TRUE((*it)->isExpanded());
        }
    form->CollapseAll();
    for (QTreeWidgetItemIterator it(form->Widgets().DiffTree); *it; ++it)
        EXPECT_FALSE((*it)->isExpanded());
}

TEST_F(MainFormTest, SelectionWhileBusyIsIgnoredAndRunDiffClearsRanges) {
    form->Widgets().Old.Editor->setLines(quennet::io::SplitLines(kOldUnit));
    form->Widgets().New.Editor->setLines(quennet::io::SplitLines(kNewUnit));
    form->RunDiff();
    form->ExpandAll();
    QTreeWidgetItem* leaf = nullptr;
    for (QTreeWidgetItemIterator it(form->Widgets().DiffTree); *it; ++it)
        if ((*it)->childCount() == 0) leaf = *it;
    ASSERT_NE(leaf, nullptr);
    form->Widgets().DiffTree->setCurrentItem(leaf);
    EXPECT_TRUE(form->SelectedRange(true).IsSet() || form->SelectedRange(false).IsSet());
    form->RunDiff();
    EXPECT_FALSE(form->SelectedRange(true).IsSet());
    EXPECT_FALSE(form->SelectedRange(false).IsSet());
    EXPECT_EQ(form->Widgets().DiffTree->currentItem(), nullptr);
}

TEST_F(MainFormTest, FailureInASelectionReachesTheMessageBoxAndLeavesTheTree) {
    form->Widgets().Old.Editor->setLines(quennet::io::SplitLines(kOldUnit));
    form->Widgets().New.Editor->setLines(quennet::io::SplitLines(kNewUnit));
    form->RunDiff();
    form->ExpandAll();
    // The texts shrink after the compare: the selected ranges point beyond them.
    form->Widgets().Old.Editor->setLines({"unit U;"});
    form->Widgets().New.Editor->setLines({"unit U;"});
    QTreeWidgetItem* deepest = nullptr;
    for (QTreeWidgetItemIterator it(form->Widgets().DiffTree); *it; ++it) {
        auto* item = TMainForm::DiffItemOf(*it);
        if (item && (item->OldDecl || item->NewDecl)) deepest = *it;
    }
    ASSERT_NE(deepest, nullptr);
    form->Widgets().DiffTree->setCurrentItem(deepest);
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_FALSE(dialogs.Errors[0].isEmpty());
    EXPECT_NE(form->Comparison(), nullptr);
    EXPECT_GT(form->Widgets().DiffTree->topLevelItemCount(), 0);
}

TEST_F(MainFormTest, IncompleteParseIsNamedInReportAndStatus) {
    const QString a = Write(QStringLiteral("a.pas"), kNewUnit);
    const QString b = Write(QStringLiteral("b.pas"), "unit U;\r\ninterface\r\nprocedure A;\r\n"
                                                     "type = = ;\r\nimplementation\r\nend.\r\n");
    form->HandleCommandLine({a, b});
    ASSERT_NE(form->Source(true), nullptr);
    ASSERT_FALSE(form->Source(true)->Status.Complete);
    EXPECT_TRUE(form->Source(false)->Status.Complete);
    const QString warning = ParseWarning(b, form->Source(true)->Status);
    EXPECT_TRUE(warning.startsWith(QStringLiteral("! ") + b + QStringLiteral("(")));
    EXPECT_TRUE(warning.contains(QStringLiteral("not followed")));
    EXPECT_TRUE(report->Lines().contains(warning));
    EXPECT_FALSE(form->Widgets().Old.WarningPanel->text().isEmpty());
    EXPECT_TRUE(form->Widgets().New.WarningPanel->text().isEmpty());
    EXPECT_TRUE(ParseWarning(a, form->Source(false)->Status).isEmpty());
}

TEST_F(MainFormTest, FirstStartDefaults) {
    EXPECT_EQ(
        form->Settings().Defines,
        (QStringList{QStringLiteral("VER130"), QStringLiteral("WIN32"), QStringLiteral("CPU386")}));
    ASSERT_EQ(form->Settings().Extensions.size(), 3);
    EXPECT_EQ(form->Widgets().Old.FilenameEdit->Filter(),
              QStringLiteral("Delphi source (*.pas;*.dpr)|*.pas;*.dpr|Delphi backup "
                             "(*.~pa;*.~dp)|*.~pa;*.~dp|All files (*.*)|*.*"));
    EXPECT_EQ(form->Widgets().New.FilenameEdit->Filter(),
              form->Widgets().Old.FilenameEdit->Filter());
    EXPECT_EQ(form->Settings().FontName, form->Widgets().Old.Editor->editorFont().family());
    EXPECT_EQ(form->Settings().FontCharset, 1);
    form->show();
    EXPECT_FALSE(form->SideBySide());
    EXPECT_FALSE(form->Widgets().SplitMode->isChecked());
    EXPECT_TRUE(QFileInfo(form->DefaultFolder(true)).isDir());
    EXPECT_EQ(navigator->OldFolder(), form->DefaultFolder(true));
    EXPECT_EQ(navigator->NewFolder(), form->DefaultFolder(false));
}

TEST_F(MainFormTest, StoredListsAndFontAreReadAtStart) {
    DestroyForm();
    ASSERT_TRUE(registry->OpenSettingsKey(QString(), true));
    registry->WriteStringList(QStringLiteral("Opt"), {QStringLiteral("DEBUG")});
    registry->WriteStringList(QStringLiteral("Ext"), {QStringLiteral("Units|*.pas")});
    registry->WriteString(QStringLiteral("FontName"), QStringLiteral("Some Mono"));
    registry->WriteInteger(QStringLiteral("FontSize"), 13);
    registry->WriteString(QStringLiteral("FontCharset"), QStringLiteral("wrong type"));
    registry->CloseKey();
    MakeForm();
    EXPECT_EQ(form->Settings().Defines, QStringList{QStringLiteral("DEBUG")});
    EXPECT_EQ(form->Widgets().Old.FilenameEdit->Filter(), QStringLiteral("Units|*.pas"));
    EXPECT_EQ(form->Settings().FontName, QStringLiteral("Some Mono"));
    EXPECT_EQ(form->Settings().FontSize, 13);
    EXPECT_EQ(form->Settings().FontCharset, 1);
    EXPECT_EQ(form->Widgets().Old.Editor->editorFont().pointSize(), 13);
    EXPECT_EQ(form->Widgets().New.Editor->editorFont().pointSize(), 13);
    EXPECT_NE(form->Widgets().DiffEditor->editorFont().pointSize(), 13);
}

TEST_F(MainFormTest, LayoutRoundTrip) {
    const QString oldDir = dir.filePath(QStringLiteral("olddir"));
    ASSERT_TRUE(QDir().mkpath(oldDir));
    form->resize(1000, 700);
    form->show();
    form->SetSplitMode(true);
    const int mainTotal =
        form->Widgets().MainSplitter->width() - form->Widgets().MainSplitter->handleWidth();
    form->Widgets().MainSplitter->setSizes({210, mainTotal - 210});
    QApplication::processEvents();
    const int total =
        form->Widgets().SourceSplitter->width() - form->Widgets().SourceSplitter->handleWidth();
    form->Widgets().SourceSplitter->setSizes({300, total - 300});
    ASSERT_EQ(form->OldPaneSize(), 300);
    form->SetDefaultFolder(true, oldDir);
    form->SetDefaultFolder(false, dir.filePath(QStringLiteral("deleted")));
    DestroyForm();

    ASSERT_TRUE(registry->OpenSettingsKey(QStringLiteral("TMainForm"), false));
    EXPECT_EQ(registry->ReadInteger(QStringLiteral("TreeWidth"), 0), 210);
    EXPECT_EQ(registry->ReadInteger(QStringLiteral("Align"), -1), 1);
    EXPECT_EQ(registry->ReadInteger(QStringLiteral("SplitPos"), 0), 300);
    EXPECT_FALSE(registry->ReadString(QStringLiteral("Placement"), QString()).isEmpty());
    registry->CloseKey();

    MakeForm();
    form->show();
    EXPECT_EQ(form->size(), QSize(1000, 700));
    EXPECT_TRUE(form->SideBySide());
    EXPECT_TRUE(form->Widgets().SplitMode->isChecked());
    EXPECT_EQ(form->TreeWidth(), 210);
    EXPECT_EQ(form->OldPaneSize(), 300);
    EXPECT_EQ(form->DefaultFolder(true), oldDir);
    // A folder that no longer exists is replaced by the working folder, not the program's.
    EXPECT_EQ(QDir(form->DefaultFolder(false)), QDir(QDir::currentPath()));
}

TEST_F(MainFormTest, SplitPositionBeyondThreeQuartersBecomesHalf) {
    ASSERT_TRUE(registry->OpenSettingsKey(QStringLiteral("TMainForm"), true));
    registry->WriteBool(QStringLiteral("Align"), true);
    registry->WriteInteger(QStringLiteral("SplitPos"), 5000);
    registry->CloseKey();
    DestroyForm();
    MakeForm();
    form->show();
    const int tab = form->Widgets().SourceTab->width();
    EXPECT_TRUE(form->SideBySide());
    EXPECT_EQ(form->OldPaneSize(), tab / 2);
}

TEST_F(MainFormTest, SplitModeHalvesAndToggles) {
    form->show();
    form->SetSplitMode(true);
    EXPECT_EQ(form->Widgets().SourceSplitter->orientation(), Qt::Horizontal);
    EXPECT_EQ(form->OldPaneSize(), form->Widgets().SourceTab->width() / 2);
    form->Widgets().SplitMode->trigger();
    EXPECT_EQ(form->Widgets().SourceSplitter->orientation(), Qt::Vertical);
    EXPECT_EQ(form->OldPaneSize(), form->Widgets().SourceTab->height() / 2);
    // Resizing keeps the old pane's share (up to rounding).
    form->SetSplitMode(true);
    const int before = form->Widgets().SourceSplitter->width();
    const int total = before - form->Widgets().SourceSplitter->handleWidth();
    form->Widgets().SourceSplitter->setSizes({total / 4, total - total / 4});
    ASSERT_EQ(form->OldPaneSize(), total / 4);
    const double share = double(form->OldPaneSize()) / before;
    form->resize(form->width() + 300, form->height());
    QApplication::processEvents();
    const int after = form->Widgets().SourceSplitter->width();
    ASSERT_GT(after, before);
    EXPECT_NEAR(double(form->OldPaneSize()) / after, share, 0.01);
}

TEST_F(MainFormTest, SetupCommandStoresDefaultsForAnEmptyExtensionsPage) {
    QTimer::singleShot(0, [] {
        auto* setup = qobject_cast<TSetupForm*>(QApplication::activeModalWidget());
        ASSERT_NE(setup, nullptr);
        setup->ExtensionsMemo->clear();
        setup->DefinesMemo->setPlainText(QStringLiteral("A\nB\nC\nD\nE"));
        setup->SizeEdit->setValue(12);
        setup->Buttons->button(QDialogButtonBox::Ok)->click();
    });
    form->SetupCommand();
    EXPECT_EQ(form->Settings().Defines.size(), 5);
    ASSERT_EQ(form->Settings().Extensions.size(), 3);
    EXPECT_TRUE(
        form->Widgets().Old.FilenameEdit->Filter().startsWith(QStringLiteral("Delphi source")));
    EXPECT_EQ(form->Widgets().Old.Editor->editorFont().pointSize(), 12);
    EXPECT_EQ(form->Widgets().New.Editor->editorFont().pointSize(), 12);

    // A second setup with fewer symbols leaves exactly those in the store.
    QTimer::singleShot(0, [] {
        auto* setup = qobject_cast<TSetupForm*>(QApplication::activeModalWidget());
        ASSERT_NE(setup, nullptr);
        setup->DefinesMemo->setPlainText(QStringLiteral("X\nY"));
        setup->Buttons->button(QDialogButtonBox::Ok)->click();
    });
    form->SetupCommand();
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

} // namespace

namespace {

// The setup's target and include folders are stored, read again by a new window, and used by
// the compare.
TEST_F(MainFormTest, SetupTargetAndIncludeFoldersReachTheCompare) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("inc")));
    Write(QStringLiteral("inc/decls.inc"),
          "{$IFDEF WIN64}procedure Wide;{$ENDIF}\r\nprocedure Included;\r\n");
    const QString oldFile =
        Write(QStringLiteral("old.pas"), "unit U;\r\ninterface\r\nimplementation\r\nend.\r\n");
    const QString newFile = Write(QStringLiteral("new.pas"), "unit U;\r\ninterface\r\n{$I "
                                                             "decls.inc}\r\nimplementation\r\n"
                                                             "end.\r\n");
    const QString incDir = QDir::toNativeSeparators(dir.filePath(QStringLiteral("inc")));
    QTimer::singleShot(0, [incDir] {
        auto* setup = qobject_cast<TSetupForm*>(QApplication::activeModalWidget());
        ASSERT_NE(setup, nullptr);
        setup->DialectCombo->setCurrentText(QStringLiteral("delphi"));
        setup->TargetCombo->setCurrentText(QStringLiteral("delphi12-win64"));
        setup->AddIncludeFolder(incDir);
        setup->AddIncludeFolder(QStringLiteral("/nowhere"));
        setup->MoveIncludeFolder(-1);
        setup->Buttons->button(QDialogButtonBox::Ok)->click();
    });
    form->SetupCommand();
    DestroyForm();
    MakeForm();
    const TReadingValues& stored = form->Settings().Reading;
    EXPECT_EQ(stored.Target, QStringLiteral("delphi12-win64"));
    EXPECT_EQ(stored.IncludeDirs, (QStringList{QStringLiteral("/nowhere"), incDir}));

    form->HandleCommandLine({newFile, oldFile});
    const QTreeWidget* tree = form->Widgets().DiffTree;
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    const QTreeWidgetItem* routines = tree->topLevelItem(0);
    ASSERT_EQ(routines->childCount(), 2);
    EXPECT_EQ(routines->child(0)->text(0), QStringLiteral("Included [decls.inc]"));
    EXPECT_EQ(routines->child(1)->text(0), QStringLiteral("Wide [decls.inc]"));
}

} // namespace
