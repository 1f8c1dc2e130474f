// The text report on hand-built models: every line format, block and run order, the
// "Other" block and the line for a change outside the model.
#include <gtest/gtest.h>

#include "hand_models.h"
#include "model/report_writer.h"

using namespace quennet::model;
using quennet::testing::HandModel;
using quennet::testing::JoinLines;

namespace {

std::string Report(HandModel& oldM, HandModel& newM) {
    std::vector<std::string> lines;
    WriteReport(oldM.Done(), newM.Done(), lines);
    return JoinLines(lines);
}

} // namespace

TEST(ReportWriterTest, WorkedExample) {
    HandModel a, b;
    a.Type("TMode", "(mRead, mWrite)", 100, 3, 3);
    TidClass* c = a.Class("TFoo", "TObject", 5, 10);
    a.Field(c, "FCount", "Integer", 200, 7).Method(c, "Paint", "procedure Paint;", 300, 8);
    a.Body("TFoo.Paint", 300, 400, 20, 24, "", true);
    a.Proc("Refresh", "procedure Refresh;", 500, 12).Body("Refresh", 500, 600, 26, 29);
    a.FileSum(1);

    b.Type("TMode", "(mRead, mWrite, mAppend)", 101, 3, 3);
    TidClass* d = b.Class("TFoo", "TObject", 5, 10);
    b.Field(d, "FCount", "Int64", 201, 7).Method(d, "Paint", "procedure Paint;", 300, 8);
    b.Body("TFoo.Paint", 300, 401, 20, 25, "", true);
    b.Var("GCount", "Integer", 700, 0, 14);
    b.FileSum(2);

    EXPECT_EQ(Report(a, b), ">>> Type\n"
                            "* TMode\n"
                            "  - (mRead, mWrite)\n"
                            "  + (mRead, mWrite, mAppend)\n"
                            ">>> Class/Interface\n"
                            "* TFoo\n"
                            "  *F FCount\n"
                            "    - :Integer;\n"
                            "    + :Int64;\n"
                            "  *M Paint - change implementation\n"
                            ">>> Procedure/Function\n"
                            "- procedure Refresh;\n"
                            ">>> Variable\n"
                            "+ GCount: Integer\n");
}

TEST(ReportWriterTest, IdenticalModelsAppendNothingAndKeepWhatIsThere) {
    HandModel a, b;
    for (HandModel* m : {&a, &b}) {
        TidClass* c = m->Class("TFoo");
        m->Field(c, "FX", "Integer", 1).Proc("Run", "procedure Run;", 2).Init(3, 1, 2).FileSum(9);
    }
    std::vector<std::string> lines{"Diff report for", "  a", "  b", ""};
    WriteReport(a.Done(), b.Done(), lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"Diff report for", "  a", "  b", ""}));
}

TEST(ReportWriterTest, ChangeOutsideTheModelIsOneLine) {
    HandModel a, b;
    a.Proc("Run", "procedure Run;", 2).FileSum(10);
    b.Proc("Run", "procedure Run;", 2).FileSum(11); // say only the uses clause changed
    // The heading lines already in the list do not count as a body.
    std::vector<std::string> lines{"Diff report for", "  a", "  b", ""};
    WriteReport(a.Done(), b.Done(), lines);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[4], "* source change (unknown)");

    // With any finding the line is not written.
    HandModel c, d;
    c.FileSum(10).Init(1, 5, 6);
    d.FileSum(11).Init(2, 5, 6);
    EXPECT_EQ(Report(c, d), ">>> Other\n* initialization change\n");
}

TEST(ReportWriterTest, OtherBlockForGainedOrLostSections) {
    HandModel a, b;
    b.Fin(77, 30, 32);
    EXPECT_EQ(Report(a, b), ">>> Other\n* finalization change\n");
    HandModel c, d;
    c.Init(5, 1, 2).Fin(6, 3, 4);
    EXPECT_EQ(Report(c, d), ">>> Other\n* initialization change\n* finalization change\n");
}

TEST(ReportWriterTest, TypeLines) {
    HandModel a, b;
    a.Type("TGone", "array[0..3] of Byte", 1).Type("TSame", "Integer", 2).Type("TChg", "Word", 3);
    b.Type("TNew", "set of Char", 4).Type("TSame", "Integer", 2).Type("tchg", "LongWord", 5);
    EXPECT_EQ(Report(a, b), ">>> Type\n"
                            "- TGone = array[0..3] of Byte\n"
                            "* TChg\n"
                            "  - Word\n"
                            "  + LongWord\n"
                            "+ TNew = set of Char\n");
}

TEST(ReportWriterTest, ClassLinesWithHeritageAndEveryMemberFormat) {
    HandModel a, b;
    a.Class("TGone", "TObject, IUnknown", 1, 2);
    a.Class("TPlain", "", 3, 4, "object");
    TidClass* c = a.Class("TFoo", "TObject", 5, 20);
    a.Field(c, "FA", "Integer", 1).Field(c, "FB", "string", 2).Field(c, "FKeep", "Byte", 9);
    a.Method(c, "Draw", "procedure Draw(X: Integer);", 3).Method(c, "Load", "procedure Load;", 4);
    a.Body("TFoo.Load", 4, 40, 30, 33, "", true);
    a.Method(c, "Head", "procedure Head;", 6).Body("TFoo.Head", 6, 60, 34, 35, "", true);
    a.Method(c, "Both", "procedure Both;", 7).Body("TFoo.Both", 7, 70, 36, 37, "", true);
    a.Property(c, "Size", "property Size: Integer read FA", 5);
    a.Property(c, "Old", "property Old: Integer read FA write FA", 8);

    b.Class("TNew", "TInterfacedObject", 1, 2, "class");
    b.Class("TPlain", "", 3, 4, "object");
    TidClass* d = b.Class("TFoo", "TPersistent", 5, 22);
    b.Field(d, "FB", "AnsiString", 12).Field(d, "FC", "Double", 13).Field(d, "FKeep", "Byte", 9);
    b.Method(d, "Load", "procedure Load;", 4).Body("TFoo.Load", 4, 41, 30, 34, "", true);
    b.Method(d, "Head", "procedure Head(A: Byte);", 16).Body("TFoo.Head", 16, 60, 34, 35, "", true);
    b.Method(d, "Both", "procedure Both(B: Byte);", 17);
    b.Method(d, "Save", "procedure Save;", 18);
    b.Property(d, "Size", "property Size: Int64 read FA", 15);
    b.Property(d, "Name", "property Name: string read FB", 19);

    EXPECT_EQ(Report(a, b), ">>> Class/Interface\n"
                            "- class TGone(TObject, IUnknown)\n"
                            "* TFoo\n"
                            "  *I (TObject) -> (TPersistent)\n"
                            "  -F FA: Integer;\n"
                            "  *F FB\n"
                            "    - :string;\n"
                            "    + :AnsiString;\n"
                            "  +F FC: Double;\n"
                            "  -M procedure Draw(X: Integer);\n"
                            "  *M Both - change\n"
                            "  *M Head - change definition\n"
                            "  *M Load - change implementation\n"
                            "  +M procedure Save;\n"
                            "  -P property Old: Integer read FA write FA;\n"
                            "  *P Size\n"
                            "    - property Size: Integer read FA;\n"
                            "    + property Size: Int64 read FA;\n"
                            "  +P property Name: string read FB;\n"
                            "+ class TNew(TInterfacedObject)\n");
}

TEST(ReportWriterTest, ClassHeritageOnlyAndMovedClasses) {
    HandModel a, b;
    a.Class("TFoo", "TObject", 1, 5);
    b.Class("TFoo", "TComponent", 1, 5);
    TidClass* c = a.Class("TMoved", "TObject", 10, 15);
    a.Field(c, "FX", "Integer", 1, 11);
    TidClass* d = b.Class("TMoved", "tobject", 30, 36, "object");
    b.Field(d, "FX", "Integer", 1, 31);
    EXPECT_EQ(Report(a, b), ">>> Class/Interface\n"
                            "* TFoo\n"
                            "  *I (TObject) -> (TComponent)\n");
}

TEST(ReportWriterTest, RoutineChangeSuffixes) {
    HandModel a, b;
    a.Proc("Def", "procedure Def;", 1).Body("Def", 1, 10, 5, 6);
    b.Proc("Def", "procedure Def(X: Byte);", 2).Body("Def", 2, 10, 5, 6);
    // Heading changed and body removed: the absent body counts as checksum 0.
    a.Proc("Ext", "procedure Ext;", 3).Body("Ext", 3, 30, 7, 8);
    b.Proc("Ext", "procedure Ext; external 'k.dll';", 4);
    // Equal headings, only the new routine has a body.
    a.Proc("Fwd", "procedure Fwd;", 5);
    b.Proc("Fwd", "procedure Fwd;", 5).Body("Fwd", 5, 50, 9, 10);
    a.Proc("Same", "procedure Same;", 6).Body("Same", 6, 60, 11, 12);
    b.Proc("Same", "procedure Same;", 6).Body("Same", 6, 60, 21, 22);
    b.Proc("Added", "function Added: Integer;", 7).Body("Added", 7, 70, 13, 14);
    EXPECT_EQ(Report(a, b), ">>> Procedure/Function\n"
                            "* Def - change definition\n"
                            "* Ext - change\n"
                            "* Fwd - change implementation\n"
                            "+ function Added: Integer;\n");
}

TEST(ReportWriterTest, VariableAndConstantLines) {
    HandModel a, b;
    a.Var("GGone", "TList", 1).Var("GType", "Integer", 2).Var("GInit", "Integer", 3, 30);
    b.Var("GNew", "string", 4).Var("GType", "Cardinal", 5).Var("GInit", "Integer", 3, 31);
    a.Const("CUntyped", "", 0, 1).Const("SRes", "resourcestring", 0, 2).Const("CT", "Byte", 3, 4);
    a.Const("CSame", "", 0, 8);
    b.Const("SRes", "resourcestring", 0, 5).Const("CT", "Word", 6, 4).Const("CNew", "Double", 7, 8);
    b.Const("CSame", "", 0, 8);
    EXPECT_EQ(Report(a, b), ">>> Variable\n"
                            "- GGone: TList\n"
                            "* GInit - change init value\n"
                            "* GType\n"
                            "  - :Integer\n"
                            "  + :Cardinal\n"
                            "+ GNew: string\n"
                            ">>> Constant\n"
                            "- CUntyped: \n"
                            "* CT\n"
                            "  - :Byte\n"
                            "  + :Word\n"
                            "* SRes - change value\n"
                            "+ CNew: Double\n");
}

TEST(ReportWriterTest, TypeAndValueBothChangedShowOnlyTheTypeLines) {
    HandModel a, b;
    a.Var("G", "Integer", 1, 10);
    b.Var("G", "Int64", 2, 11);
    EXPECT_EQ(Report(a, b), ">>> Variable\n* G\n  - :Integer\n  + :Int64\n");
}
