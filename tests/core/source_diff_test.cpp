// The difference tree on hand-built models: categories, pass order, routine, class and
// section rules. Trees are compared in the --tree text form (caption, state, old, new lines).
#include <gtest/gtest.h>

#include "hand_models.h"
#include "model/diff_tree_format.h"
#include "model/source_diff.h"

using namespace quennet::model;
using quennet::testing::HandModel;
using quennet::testing::JoinLines;

namespace {

std::string Tree(HandModel& oldM, HandModel& newM) {
    TSourceDiff diff(oldM.Done(), newM.Done());
    return JoinLines(FormatDiffTree(diff.Root));
}

} // namespace

TEST(SourceDiffTest, IdenticalModelsGiveAnEmptyRoot) {
    HandModel a, b;
    for (HandModel* m : {&a, &b}) {
        TidClass* c = m->Class("TFoo");
        m->Field(c, "FX", "Integer", 11).Method(c, "Paint", "procedure Paint;", 12);
        m->Type("TMode", "(mA, mB)", 5).Proc("Run", "procedure Run;", 7).Var("G", "Integer", 3);
        m->Body("Run", 7, 70, 20, 25).Const("C", "", 0, 9).Init(44, 30, 31).FileSum(1234);
    }
    TSourceDiff diff(a.Done(), b.Done());
    EXPECT_EQ(diff.Root.Count(), 0u);
}

TEST(SourceDiffTest, CategoriesComeInFixedOrderAndEmptyOnesAreDropped) {
    HandModel a, b;
    a.Const("C", "", 0, 1).Type("T", "Integer", 1).Init(5, 40, 41);
    b.Const("C", "", 0, 2).Type("T", "Word", 2).Init(6, 50, 52).Fin(7, 53, 54);
    EXPECT_EQ(Tree(a, b), "Type\t0\t-\t-\n"
                          "  T\t4\t1-1\t1-1\n"
                          "Constant\t0\t-\t-\n"
                          "  C\t4\t1-1\t1-1\n"
                          "Initialization\t4\t40-41\t50-52\n"
                          "Finalization\t3\t-1--1\t53-54\n");
}

TEST(SourceDiffTest, RemovedThenChangedThenAddedEachInNameOrder) {
    HandModel a, b;
    a.Var("Zeta", "Integer", 1).Var("beta", "Integer", 1).Var("Gamma", "Integer", 1);
    a.Var("Mid", "Integer", 1);
    b.Var("Alpha", "Integer", 1).Var("BETA", "Integer", 2).Var("Mid", "Integer", 1);
    b.Var("Gamma", "Integer", 1, 9);
    // A renamed variable is one removed and one added node, removed first although the new
    // name sorts first; names match without regard to case; the caption is the old name.
    EXPECT_EQ(Tree(a, b), "Variable\t0\t-\t-\n"
                          "  Zeta\t2\t1-1\t-\n"
                          "  beta\t4\t1-1\t1-1\n"
                          "  Gamma\t4\t1-1\t1-1\n"
                          "  Alpha\t3\t-\t1-1\n");
}

TEST(SourceDiffTest, BodyOnlyChangeShowsTheBodies) {
    HandModel a, b;
    a.Proc("Run", "procedure Run;", 7, 3, 3).Body("Run", 7, 70, 20, 25);
    b.Proc("Run", "procedure Run;", 7, 3, 3).Body("Run", 7, 71, 22, 30);
    EXPECT_EQ(Tree(a, b), "Procedure/Function\t0\t-\t-\n"
                          "  Run\t4\t20-25\t22-30\n");
}

TEST(SourceDiffTest, EqualHeadingsWithABodyOnOneSideOnly) {
    HandModel a, b;
    a.Proc("Gone", "procedure Gone;", 1, 3, 3).Body("Gone", 1, 70, 20, 25);
    b.Proc("Gone", "procedure Gone;", 1, 3, 3);
    a.Proc("New", "procedure New;", 2, 4, 4);
    b.Proc("New", "procedure New;", 2, 4, 4).Body("New", 2, 80, 30, 31);
    a.Proc("Same", "procedure Same;", 3, 5, 5).Body("Same", 3, 90, 40, 41);
    b.Proc("Same", "procedure Same;", 3, 6, 6).Body("Same", 3, 90, 50, 51); // lines moved only
    EXPECT_EQ(Tree(a, b), "Procedure/Function\t0\t-\t-\n"
                          "  Gone\t2\t20-25\t-\n"
                          "  New\t3\t-\t30-31\n");
}

TEST(SourceDiffTest, HeadingChangeWithBodyRemovedOrChanged) {
    HandModel a, b;
    // Body removed: the new file has only a forward or external declaration.
    a.Proc("Ext", "procedure Ext;", 1, 3, 3).Body("Ext", 1, 70, 20, 25);
    b.Proc("Ext", "procedure Ext; external 'x.dll';", 2, 3, 3);
    a.Proc("Both", "procedure Both;", 3, 4, 4).Body("Both", 3, 80, 30, 31);
    b.Proc("Both", "procedure Both(X: Integer);", 4, 4, 4).Body("Both", 4, 81, 32, 33);
    a.Proc("Head", "procedure Head;", 5, 5, 5).Body("Head", 5, 90, 40, 41);
    b.Proc("Head", "procedure Head(Y: Byte);", 6, 5, 5).Body("Head", 6, 90, 40, 41);
    a.Proc("Gains", "procedure Gains;", 7, 6, 6);
    b.Proc("Gains", "function Gains: Boolean;", 8, 6, 6).Body("Gains", 8, 5, 60, 62);
    EXPECT_EQ(Tree(a, b), "Procedure/Function\t0\t-\t-\n"
                          "  Both\t4\t4-4\t4-4\n"
                          "    implementation\t4\t30-31\t32-33\n"
                          "  Ext\t4\t3-3\t3-3\n"
                          "    implementation\t2\t20-25\t-\n"
                          "  Gains\t4\t6-6\t6-6\n"
                          "    implementation\t3\t-\t60-62\n"
                          "  Head\t4\t5-5\t5-5\n");
}

TEST(SourceDiffTest, RemovedAndAddedRoutinesCarryTheirBodies) {
    HandModel a, b;
    a.Proc("Old", "procedure Old;", 1, 3, 3).Body("Old", 1, 10, 20, 25);
    a.Proc("OldFwd", "procedure OldFwd;", 1, 4, 4);
    b.Body("Fresh", 2, 20, 30, 35); // exists only in the implementation part
    EXPECT_EQ(Tree(a, b), "Procedure/Function\t0\t-\t-\n"
                          "  Old\t2\t3-3\t-\n"
                          "    implementation\t2\t20-25\t-\n"
                          "  OldFwd\t2\t4-4\t-\n"
                          "  Fresh\t3\t-\t30-30\n"
                          "    implementation\t3\t-\t30-35\n");
}

TEST(SourceDiffTest, HeritageChangeAloneGivesOneInheritedChild) {
    HandModel a, b;
    a.Class("TFoo", "TObject", 10, 20);
    b.Class("TFoo", "TPersistent", 11, 22);
    EXPECT_EQ(Tree(a, b), "Class/Interface\t0\t-\t-\n"
                          "  TFoo\t4\t10-20\t11-22\n"
                          "    Inherited\t4\t10-20\t11-22\n");
}

TEST(SourceDiffTest, ClassKindLinesAndAncestorCaseAloneShowNothing) {
    HandModel a, b;
    TidClass* c = a.Class("TFoo", "TObject", 10, 20, "class");
    a.Field(c, "FX", "Integer", 1, 12);
    TidClass* d = b.Class("tfoo", "TOBJECT", 30, 45, "object");
    b.Field(d, "fx", "Integer", 1, 33);
    TSourceDiff diff(a.Done(), b.Done());
    EXPECT_EQ(diff.Root.Count(), 0u);
}

TEST(SourceDiffTest, ClassMembersInGroupsFieldMethodProperty) {
    HandModel a, b;
    TidClass* c = a.Class("TFoo", "TObject", 10, 20);
    a.Field(c, "FGone", "Integer", 1, 11).Field(c, "FType", "Integer", 2, 12);
    a.Method(c, "Paint", "procedure Paint;", 3, 13).Body("TFoo.Paint", 3, 30, 40, 45, "", true);
    a.Property(c, "Count", "property Count: Integer read FType", 4, 14);
    TidClass* d = b.Class("TFoo", "TComponent", 10, 22);
    b.Field(d, "FType", "Int64", 5, 12).Field(d, "FNew", "string", 6, 13);
    b.Method(d, "Paint", "procedure Paint;", 3, 14).Body("TFoo.Paint", 3, 31, 40, 47, "", true);
    b.Method(d, "Clear", "procedure Clear;", 7, 15);
    b.Property(d, "Count", "property Count: Integer read FType", 4, 16);
    EXPECT_EQ(Tree(a, b), "Class/Interface\t0\t-\t-\n"
                          "  TFoo\t4\t10-20\t10-22\n"
                          "    Inherited\t4\t10-20\t10-22\n"
                          "    Field\t0\t-\t-\n"
                          "      FGone\t2\t11-11\t-\n"
                          "      FType\t4\t12-12\t12-12\n"
                          "      FNew\t3\t-\t13-13\n"
                          "    Method\t0\t-\t-\n"
                          "      Paint\t4\t40-45\t40-47\n"
                          "      Clear\t3\t-\t15-15\n");
}

TEST(SourceDiffTest, ClassOnlyOnOneSideIsASingleNode) {
    HandModel a, b;
    TidClass* c = b.Class("TNew", "TObject", 5, 9);
    b.Field(c, "FA", "Integer", 1).Method(c, "Go", "procedure Go;", 2);
    a.Class("TOld", "", 1, 3, "interface");
    EXPECT_EQ(Tree(a, b), "Class/Interface\t0\t-\t-\n"
                          "  TOld\t2\t1-3\t-\n"
                          "  TNew\t3\t-\t5-9\n");
}

TEST(SourceDiffTest, ClassWithOnlyANewField) {
    HandModel a, b;
    a.Class("TFoo", "TObject", 1, 4);
    TidClass* d = b.Class("TFoo", "TObject", 1, 5);
    b.Field(d, "FNew", "Integer", 9, 3);
    EXPECT_EQ(Tree(a, b), "Class/Interface\t0\t-\t-\n"
                          "  TFoo\t4\t1-4\t1-5\n"
                          "    Field\t0\t-\t-\n"
                          "      FNew\t3\t-\t3-3\n");
}

TEST(SourceDiffTest, VariablesAndConstantsCompareTypeAndValue) {
    HandModel a, b;
    a.Var("GInit", "Integer", 1, 10).Var("GType", "Integer", 1).Var("GSame", "Integer", 1, 5);
    b.Var("GInit", "Integer", 1, 11).Var("GType", "Int64", 2).Var("GSame", "Integer", 1, 5);
    a.Const("CVal", "", 0, 1).Const("SRes", "resourcestring", 0, 2).Const("CTyped", "Byte", 3, 4);
    b.Const("CVal", "", 0, 9).Const("SRes", "resourcestring", 0, 3).Const("CTyped", "Word", 5, 4);
    EXPECT_EQ(Tree(a, b), "Variable\t0\t-\t-\n"
                          "  GInit\t4\t1-1\t1-1\n"
                          "  GType\t4\t1-1\t1-1\n"
                          "Constant\t0\t-\t-\n"
                          "  CTyped\t4\t1-1\t1-1\n"
                          "  CVal\t4\t1-1\t1-1\n"
                          "  SRes\t4\t1-1\t1-1\n");
}

TEST(SourceDiffTest, SectionStatesFollowTheChecksumsAndCarryBothRecords) {
    {
        HandModel a, b;
        a.Init(5, 10, 12).Fin(6, 13, 15);
        b.Fin(0, -1, -1); // both sections gone
        EXPECT_EQ(Tree(a, b), "Initialization\t2\t10-12\t-1--1\n"
                              "Finalization\t2\t13-15\t-1--1\n");
    }
    {
        HandModel a, b;
        b.Init(5, 10, 12);
        EXPECT_EQ(Tree(a, b), "Initialization\t3\t-1--1\t10-12\n");
    }
    {
        HandModel a, b;
        a.Init(5, 10, 12).Fin(6, 14, 15);
        b.Init(5, 20, 22).Fin(7, 24, 25);
        EXPECT_EQ(Tree(a, b), "Finalization\t4\t14-15\t24-25\n");
    }
}

TEST(SourceDiffTest, MethodsFollowTheRoutineRule) {
    HandModel a, b;
    TidClass* c = a.Class("TFoo");
    a.Method(c, "Load", "procedure Load;", 1, 3).Body("TFoo.Load", 1, 10, 20, 25, "", true);
    a.Method(c, "Gone", "procedure Gone;", 2, 4).Body("TFoo.Gone", 2, 11, 26, 28, "", true);
    TidClass* d = b.Class("TFoo");
    b.Method(d, "Load", "procedure Load(const S: string);", 3, 3);
    b.Body("TFoo.Load", 3, 10, 20, 25, "", true);
    EXPECT_EQ(Tree(a, b), "Class/Interface\t0\t-\t-\n"
                          "  TFoo\t4\t1-1\t1-1\n"
                          "    Method\t0\t-\t-\n"
                          "      Gone\t2\t4-4\t-\n"
                          "        implementation\t2\t26-28\t-\n"
                          "      Load\t4\t3-3\t3-3\n");
}
