// A form pair in the main window: its tree with noise apart, the keys that step through it, the
// stored noise setting, the report, and a binary form shown as text.
#include "main_window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QTreeWidget>

#include "forms/form_reader.h"
#include "forms/form_writer.h"

namespace quennet::gui {

namespace {

const QByteArray kOld = "object Form1: TForm1\r\n"      // 0
                        "  Caption = 'Main'\r\n"        // 1
                        "  PixelsPerInch = 96\r\n"      // 2
                        "  object Button1: TButton\r\n" // 3
                        "    Caption = 'OK'\r\n"        // 4
                        "  end\r\n"                     // 5
                        "  object Button2: TButton\r\n" // 6
                        "    Caption = 'Help'\r\n"      // 7
                        "  end\r\n"                     // 8
                        "end\r\n";
QByteArray NewText() {
    return QByteArray(kOld)
        .replace("'OK'", "'Cancel'")
        .replace("= 96", "= 120")
        .replace("'Help'", "'Info'");
}

class FormPairTest : public MainWindowTest {
protected:
    void Open(const QByteArray& oldBytes, const QByteArray& newBytes, const char* ext = "dfm") {
        form->LoadFile(true, Write(QStringLiteral("a/Main.") + ext, oldBytes));
        form->LoadFile(false, Write(QStringLiteral("b/Main.") + ext, newBytes));
        form->RunDiff();
        ASSERT_TRUE(dialogs.Errors.isEmpty()) << dialogs.Errors.join(' ').toStdString();
        ASSERT_NE(form->Document().Forms(), nullptr);
    }
    QStringList TopRows() const {
        QStringList rows;
        const QTreeWidget* tree = Face().Tree();
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            rows << tree->topLevelItem(i)->text(0);
        return rows;
    }
    QString Current() const {
        const QTreeWidgetItem* node = Face().Tree()->currentItem();
        return node ? node->text(0) : QString();
    }
};

} // namespace

TEST_F(FormPairTest, TreeShowsObjectsThenNoiseDimmedAndClosed) {
    Open(kOld, NewText());
    EXPECT_EQ(TopRows(),
              (QStringList{"Form1.Button1", "Form1.Button2", "Designer noise: 1 change"}));
    const QTreeWidget* tree = Face().Tree();
    QTreeWidgetItem* noise = tree->topLevelItem(2);
    EXPECT_FALSE(noise->isExpanded());
    EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());
    EXPECT_NE(noise->foreground(0), tree->topLevelItem(0)->foreground(0));
    const QString status = Face().Status();
    EXPECT_TRUE(status.contains("2 differences.")) << status.toStdString();
    EXPECT_TRUE(status.contains("Designer noise: 1.")) << status.toStdString();
    const QStringList lines = report->Lines();
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("Diff report for"));
    EXPECT_TRUE(lines.contains(QStringLiteral(">>> Designer noise: 1 change")));
}

TEST_F(FormPairTest, AltDownAndUpStepThroughChangesAndMarkBothViews) {
    Open(kOld, NewText());
    ShowActive(form.get());
    QStringList forward;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(form.get(), Qt::Key_Down, Qt::AltModifier);
        forward << Current();
    }
    EXPECT_EQ(forward, (QStringList{"Caption: 'OK' -> 'Cancel'", "Caption: 'Help' -> 'Info'",
                                    "PixelsPerInch: 96 -> 120", "PixelsPerInch: 96 -> 120"}));
    EXPECT_TRUE(Face().Tree()->topLevelItem(2)->isExpanded()) << "a step opens the noise group";
    QTest::keyClick(form.get(), Qt::Key_Up, Qt::AltModifier);
    QTest::keyClick(form.get(), Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(Current(), QStringLiteral("Caption: 'OK' -> 'Cancel'"));
    EXPECT_EQ(form->Document().Range(true), (render::LineRange{4, 4}));
    EXPECT_EQ(form->Document().Range(false), (render::LineRange{4, 4}));
    EXPECT_TRUE(dialogs.Errors.isEmpty());
}

TEST_F(FormPairTest, StoredHiddenNoiseLeavesOnlyItsCount) {
    DestroyForms();
    WriteSetting(QString(), QStringLiteral("FormNoise"), QStringLiteral("hide"));
    MakeForms();
    Open(kOld, NewText());
    EXPECT_EQ(TopRows(), (QStringList{"Form1.Button1", "Form1.Button2"}));
    EXPECT_TRUE(Face().Status().contains("Designer noise: 1 hidden."));
}

TEST_F(FormPairTest, BinaryFormIsShownAndComparedAsText) {
    const forms::FormFile text = forms::ReadForm(kOld.toStdString(), "old.dfm");
    ASSERT_TRUE(text.HasRoot);
    const std::string binary = forms::FormToBinary(text.Root);
    Open(QByteArray::fromStdString(binary), NewText());
    EXPECT_EQ(Face().Editor(true)->lineBytes(0), "object Form1: TForm1");
    EXPECT_EQ(TopRows(),
              (QStringList{"Form1.Button1", "Form1.Button2", "Designer noise: 1 change"}));
}

TEST_F(FormPairTest, UnitPairStillComparedAsUnits) {
    Open(kOld, NewText());
    form->LoadFile(true,
                   Write(QStringLiteral("a/U.pas"), "unit U;\ninterface\nimplementation\nend.\n"));
    form->LoadFile(false, Write(QStringLiteral("b/U.pas"),
                                "unit U;\ninterface\nprocedure P;\nimplementation\nprocedure "
                                "P;\nbegin\nend;\nend.\n"));
    form->RunDiff();
    EXPECT_EQ(form->Document().Forms(), nullptr);
    EXPECT_NE(form->Document().Comparison(), nullptr);
}

TEST_F(FormPairTest, WholeTreePageShowsEachFormUnderItsUnitAndOpensItAsForms) {
    const QByteArray unit = "unit Main;\ninterface\nimplementation\nend.\n";
    Write(QStringLiteral("old/Main.pas"), unit);
    Write(QStringLiteral("new/Main.pas"), unit);
    Write(QStringLiteral("old/Main.dfm"), kOld);
    Write(QStringLiteral("new/Main.dfm"), NewText());
    nav->SetFolders(QDir(dir.path()).filePath(QStringLiteral("old")),
                    QDir(dir.path()).filePath(QStringLiteral("new")));
    QSignalSpy compared(nav, &TNavigatorForm::TreeCompared);
    nav->CompareTrees();
    ASSERT_TRUE(compared.wait(20000));
    ASSERT_EQ(nav->TreeView->topLevelItemCount(), 1);
    QTreeWidgetItem* unitRow = nav->TreeView->topLevelItem(0);
    EXPECT_EQ(unitRow->text(1), QStringLiteral("Main.pas"));
    ASSERT_EQ(unitRow->childCount(), 1);
    EXPECT_TRUE(unitRow->isExpanded());
    nav->OpenTreeRow(unitRow->child(0));
    ASSERT_NE(form->Document().Forms(), nullptr);
    EXPECT_EQ(TopRows().first(), QStringLiteral("Form1.Button1"));
}

} // namespace quennet::gui
