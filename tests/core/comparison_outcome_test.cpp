// The equivalence claim and the stop notes for broken parses.
#include <gtest/gtest.h>

#include "diff/comparison_outcome.h"
#include "hand_models.h"

using namespace quennet::base;
using namespace quennet::diff;
using namespace quennet::model;
using namespace quennet::diff;
using quennet::testing::HandModel;

namespace {

void Break(HandModel& m, int32_t errorLine, uint64_t restHash, uint64_t restTokens) {
    m.src->Status.Complete = false;
    m.src->Status.FirstErrorLine = errorLine;
    m.src->Status.StopLine = errorLine;
    m.src->Status.RestHash = restHash;
    m.src->Status.RestTokens = restTokens;
}

bool Claims(HandModel& a, HandModel& b) {
    const TPasSrc& o = a.Done();
    const TPasSrc& n = b.Done();
    TSourceDiff diff(o, n);
    return ClaimsEquivalence(diff, o, n);
}

} // namespace

TEST(ComparisonOutcomeTest, CompleteParsesFollowTheTree) {
    HandModel a, b;
    a.FileSum(1);
    b.FileSum(2); // only unrecorded parts (a uses clause) differ
    EXPECT_FALSE(Claims(a, b));
    b.FileSum(1);
    EXPECT_TRUE(Claims(a, b));
    HandModel c, d;
    d.Var("G", "Integer", 1);
    EXPECT_FALSE(Claims(c, d));
}

// A broken parse on one side is never equivalent; on both, the tokens read (the file checksum,
// the tree) and the tokens left unread must all agree; the stop line may differ.
TEST(ComparisonOutcomeTest, BrokenParses) {
    struct Side {
        bool broken;
        uint32_t fileSum;
        int32_t line;
        uint64_t restHash, restTokens;
    };
    const struct {
        const char* what;
        Side a, b;
        bool extraVar, equivalent;
    } cases[] = {
        {"new broken", {false, 0, 0, 0, 0}, {true, 0, 13, 77, 5}, false, false},
        {"old broken", {true, 0, 13, 77, 5}, {false, 0, 0, 0, 0}, false, false},
        {"both alike", {true, 9, 13, 77, 5}, {true, 9, 14, 77, 5}, false, true},
        {"rests differ", {true, 0, 13, 77, 5}, {true, 0, 13, 78, 5}, false, false},
        {"rest lengths differ", {true, 0, 13, 77, 5}, {true, 0, 13, 77, 6}, false, false},
        {"read tokens differ", {true, 9, 13, 77, 0}, {true, 10, 13, 77, 0}, false, false},
        {"trees differ", {true, 0, 13, 77, 5}, {true, 0, 13, 77, 5}, true, false},
    };
    for (const auto& c : cases) {
        HandModel a, b;
        a.FileSum(c.a.fileSum);
        b.FileSum(c.b.fileSum);
        if (c.a.broken) Break(a, c.a.line, c.a.restHash, c.a.restTokens);
        if (c.b.broken) Break(b, c.b.line, c.b.restHash, c.b.restTokens);
        if (c.extraVar) b.Var("G", "Integer", 1);
        EXPECT_EQ(Claims(a, b), c.equivalent) << c.what;
    }
}

TEST(ComparisonOutcomeTest, StopNotesNameTheFileAndLine) {
    ParseStatus s;
    EXPECT_EQ(ParseStopNote("a.pas", s), "");
    EXPECT_EQ(ParseStopLine(s), -1);
    s.Complete = false;
    s.FirstErrorLine = 7;
    s.StopLine = 12;
    EXPECT_EQ(ParseStopLine(s), 7);
    EXPECT_EQ(ParseStopNote("dir/a.pas", s),
              "! dir/a.pas(7): the structure is not followed from here on; declarations after "
              "this point may be missing from the comparison");
    s.FirstErrorLine = -1; // no error reported, but the final "." was never reached
    EXPECT_EQ(ParseStopLine(s), 12);
    s.StopLine = -1;
    EXPECT_EQ(ParseStopNote("a.pas", s).rfind("! a.pas: the structure", 0), 0u);
}
