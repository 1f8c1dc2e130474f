// The difference tree on hand-built models, for the rules the golden cases do not reach: name
// order and letter case, headings without bodies, classes that only moved, lost sections.
// Trees are compared in the --tree text form (caption, state, old, new lines).
#include <gtest/gtest.h>

#include "diff/source_diff.h"
#include "hand_models.h"
#include "render/diff_tree_format.h"

using namespace quennet::base;
using namespace quennet::diff;
using namespace quennet::model;
using namespace quennet::render;
using quennet::testing::HandModel;
using quennet::testing::JoinLines;

namespace {

std::string Tree(HandModel& oldM, HandModel& newM) {
    TSourceDiff diff(oldM.Done(), newM.Done());
    return JoinLines(FormatDiffTree(diff.Root));
}

} // namespace

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

TEST(SourceDiffTest, RoutinesWithAndWithoutBodies) {
    HandModel a, b;
    // A heading change alone shows no body; a body gained with it is an added child.
    a.Proc("Head", "procedure Head;", 5, 5, 5).Body("Head", 5, 90, 40, 41);
    b.Proc("Head", "procedure Head(Y: Byte);", 6, 5, 5).Body("Head", 6, 90, 40, 41);
    a.Proc("Gains", "procedure Gains;", 7, 6, 6);
    b.Proc("Gains", "function Gains: Boolean;", 8, 6, 6).Body("Gains", 8, 5, 60, 62);
    // Removed without a body; added with a body only, in the implementation part.
    a.Proc("OldFwd", "procedure OldFwd;", 1, 4, 4);
    b.Body("Fresh", 2, 20, 30, 35);
    EXPECT_EQ(Tree(a, b), "Procedure/Function\t0\t-\t-\n"
                          "  OldFwd\t2\t4-4\t-\n"
                          "  Gains\t4\t6-6\t6-6\n"
                          "    implementation\t3\t-\t60-62\n"
                          "  Head\t4\t5-5\t5-5\n"
                          "  Fresh\t3\t-\t30-30\n"
                          "    implementation\t3\t-\t30-35\n");
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

TEST(SourceDiffTest, LostSectionsCarryBothRecords) {
    HandModel a, b;
    a.Init(5, 10, 12).Fin(6, 13, 15);
    b.Fin(0, -1, -1);
    EXPECT_EQ(Tree(a, b), "Initialization\t2\t10-12\t-1--1\n"
                          "Finalization\t2\t13-15\t-1--1\n");
}
