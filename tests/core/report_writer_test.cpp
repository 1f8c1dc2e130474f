// The text report on hand-built models, for the lines the golden cases do not reach: removed
// properties, classes that only moved, a type and a value changed at once.
#include <gtest/gtest.h>

#include "hand_models.h"
#include "render/report_writer.h"

using namespace quennet::diff;
using namespace quennet::model;
using namespace quennet::render;
using quennet::testing::HandModel;
using quennet::testing::JoinLines;

namespace {

std::string Report(HandModel& oldM, HandModel& newM) {
    std::vector<std::string> lines;
    WriteReport(oldM.Done(), newM.Done(), lines);
    return JoinLines(lines);
}

} // namespace

TEST(ReportWriterTest, RemovedPropertyAndClassesThatOnlyMoved) {
    HandModel a, b;
    TidClass* c = a.Class("TFoo", "TObject", 5, 20);
    a.Property(c, "Old", "property Old: Integer read FA write FA", 8);
    a.Method(c, "Both", "procedure Both;", 7).Body("TFoo.Both", 7, 70, 36, 37, "", true);
    TidClass* d = b.Class("TFoo", "TObject", 5, 22);
    b.Method(d, "Both", "procedure Both(B: Byte);", 17);
    // Kind, lines and the ancestors' letter case alone are no change.
    TidClass* m = a.Class("TMoved", "TObject", 10, 15);
    a.Field(m, "FX", "Integer", 1, 11);
    TidClass* n = b.Class("tmoved", "tobject", 30, 36, "object");
    b.Field(n, "fx", "Integer", 1, 31);
    EXPECT_EQ(Report(a, b), ">>> Class/Interface\n"
                            "* TFoo\n"
                            "  *M Both - change\n"
                            "  -P property Old: Integer read FA write FA;\n");
}

TEST(ReportWriterTest, TypeAndValueBothChangedShowOnlyTheTypeLines) {
    HandModel a, b;
    a.Var("G", "Integer", 1, 10);
    b.Var("G", "Int64", 2, 11);
    EXPECT_EQ(Report(a, b), ">>> Variable\n* G\n  - :Integer\n  + :Int64\n");
}
