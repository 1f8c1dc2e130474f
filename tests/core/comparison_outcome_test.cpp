// The equivalence claim and the stop notes for broken parses.
#include <gtest/gtest.h>

#include "compare/comparison_outcome.h"
#include "hand_models.h"

using namespace quennet::model;
using namespace quennet::compare;
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

TEST(ComparisonOutcomeTest, OneBrokenParseIsNeverEquivalent) {
    HandModel a, b;
    Break(b, 13, 77, 5);
    EXPECT_FALSE(Claims(a, b));
    HandModel c, d;
    Break(c, 13, 77, 5);
    EXPECT_FALSE(Claims(c, d));
}

TEST(ComparisonOutcomeTest, TwoBrokenParsesNeedEqualTokensReadAndUnread) {
    {
        HandModel a, b;
        a.FileSum(9);
        b.FileSum(9);
        Break(a, 13, 77, 5);
        Break(b, 14, 77, 5); // the line may differ, the tokens may not
        EXPECT_TRUE(Claims(a, b));
    }
    {
        HandModel a, b;
        Break(a, 13, 77, 5);
        Break(b, 13, 78, 5);
        EXPECT_FALSE(Claims(a, b));
    }
    {
        HandModel a, b;
        Break(a, 13, 77, 5);
        Break(b, 13, 77, 6);
        EXPECT_FALSE(Claims(a, b));
    }
    {
        HandModel a, b;
        a.FileSum(9);
        b.FileSum(10);
        Break(a, 13, 77, 0);
        Break(b, 13, 77, 0);
        EXPECT_FALSE(Claims(a, b));
    }
    {
        HandModel a, b;
        Break(a, 13, 77, 5);
        Break(b, 13, 77, 5);
        b.Var("G", "Integer", 1);
        EXPECT_FALSE(Claims(a, b));
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
