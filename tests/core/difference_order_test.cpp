// Stepping between differences in tree order.
#include <gtest/gtest.h>

#include "model/source_model.h"
#include "viewrules/difference_order.h"

using namespace quennet::diff;
using namespace quennet::model;
using namespace quennet::viewrules;

namespace {

TEST(StepDifference, WalksLeavesWithDeclarationsInTreeOrder) {
    TidName oldDecl("x", 0, 1, 2);
    TidName newDecl("x", 0, 3, 4);
    TSourceDiffList root;
    TSourceDiffItem* types = root.AddItem("Type", Group, nullptr, nullptr);
    TSourceDiffItem* a = types->AddChild("A", Removed, &oldDecl, nullptr);
    TSourceDiffItem* classes = root.AddItem("Class", Group, nullptr, nullptr);
    TSourceDiffItem* c = classes->AddChild("C", Changed, &oldDecl, &newDecl);
    TSourceDiffItem* fields = c->AddChild("Field", Group, nullptr, nullptr);
    TSourceDiffItem* f = fields->AddChild("f", Added, nullptr, &newDecl);
    TSourceDiffItem* init = root.AddItem("Init", Added, nullptr, &newDecl);
    TSourceDiffItem outside("elsewhere", Added, nullptr, &newDecl);

    struct Case {
        const TSourceDiffItem* current;
        bool forward;
        const TSourceDiffItem* expected;
    };
    const Case cases[] = {
        {nullptr, true, a},      {nullptr, false, init}, {a, true, f},        {f, true, init},
        {init, true, nullptr},   {a, false, nullptr},    {init, false, f},    {classes, true, f},
        {classes, false, a},     {c, false, a},          {&outside, true, a}, {fields, false, a},
        {&outside, false, init},
    };
    for (const Case& k : cases)
        EXPECT_EQ(StepDifference(root, k.current, k.forward), k.expected)
            << (k.current ? k.current->Caption : "none") << (k.forward ? " forward" : " back");
}

TEST(StepDifference, NothingToStepToInATreeWithoutDeclarations) {
    TSourceDiffList root;
    EXPECT_EQ(StepDifference(root, nullptr, true), nullptr);
    root.AddItem("Type", Group, nullptr, nullptr);
    EXPECT_EQ(StepDifference(root, nullptr, false), nullptr);
}

} // namespace
