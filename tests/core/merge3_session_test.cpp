// Resolving a merge result: conflicts read from the markers, each choice applied to the text,
// line ends kept, blocks broken by hand counted as unresolved.
#include <gtest/gtest.h>

#include <stdexcept>

#include "merge3/merge3_session.h"

using namespace quennet::merge3;

namespace {

const char* const kTwoConflicts = "unit A;\r\n"
                                  "<<<<<<< ours\r\n"
                                  "L1\r\n"
                                  "||||||| base\r\n"
                                  "B1\r\n"
                                  "=======\r\n"
                                  "R1\r\n"
                                  ">>>>>>> theirs\r\n"
                                  "mid\r\n"
                                  "<<<<<<< ours\r\n"
                                  "L2\r\n"
                                  "=======\r\n"
                                  ">>>>>>> theirs\r\n"
                                  "end.\r\n";

} // namespace

TEST(Merge3Session, ReadsBlocksWithAndWithoutBase) {
    TMerge3Session s(kTwoConflicts);
    ASSERT_EQ(2u, s.Conflicts().size());
    const Merge3Conflict& first = s.Conflicts()[0];
    EXPECT_EQ(1, first.firstLine);
    EXPECT_EQ(7, first.lastLine);
    EXPECT_EQ("ours", first.localLabel);
    EXPECT_EQ("theirs", first.remoteLabel);
    EXPECT_TRUE(first.hasBase);
    EXPECT_EQ("L1\r\n", first.local);
    EXPECT_EQ("B1\r\n", first.base);
    EXPECT_EQ("R1\r\n", first.remote);
    const Merge3Conflict& second = s.Conflicts()[1];
    EXPECT_FALSE(second.hasBase);
    EXPECT_EQ("L2\r\n", second.local);
    EXPECT_EQ("", second.remote);
    EXPECT_EQ(2, s.Unresolved());
}

TEST(Merge3Session, EachChoiceReplacesTheBlock) {
    struct Case {
        Merge3Choice choice;
        const char* middle;
    } cases[] = {
        {Merge3Choice::Local, "L1\r\n"},
        {Merge3Choice::Remote, "R1\r\n"},
        {Merge3Choice::LocalThenRemote, "L1\r\nR1\r\n"},
        {Merge3Choice::RemoteThenLocal, "R1\r\nL1\r\n"},
        {Merge3Choice::Base, "B1\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.choice));
        TMerge3Session s(kTwoConflicts);
        EXPECT_EQ(1, s.Resolve(0, c.choice));
        std::string text = s.Text();
        ASSERT_EQ(0u, text.find(std::string("unit A;\r\n") + c.middle + "mid\r\n<<<<<<< ours"));
        // The other conflict is still there, now further up.
        ASSERT_EQ(1u, s.Conflicts().size());
        EXPECT_EQ("L2\r\n", s.Conflicts()[0].local);
        s.Resolve(0, Merge3Choice::Remote);
        EXPECT_EQ(0, s.Unresolved());
        EXPECT_EQ(std::string("unit A;\r\n") + c.middle + "mid\r\nend.\r\n", s.Text());
    }
}

TEST(Merge3Session, RefusesWhatItCannotDo) {
    TMerge3Session s(kTwoConflicts);
    EXPECT_THROW(s.Resolve(1, Merge3Choice::Base), std::invalid_argument);
    EXPECT_THROW(s.Resolve(2, Merge3Choice::Local), std::out_of_range);
    EXPECT_EQ(kTwoConflicts, s.Text());
}

TEST(Merge3Session, BlockAtTheEndWithoutLineEndKeepsItSo) {
    TMerge3Session s("a\n<<<<<<< L\nx\n=======\ny\n>>>>>>> R");
    s.Resolve(0, Merge3Choice::LocalThenRemote);
    EXPECT_EQ("a\nx\ny", s.Text());
}

// Edits by hand: a block whose markers are all gone is resolved; one broken halfway still
// counts, so that saving warns.
TEST(Merge3Session, HandEditsAreReadAgain) {
    struct Case {
        const char* text;
        size_t blocks;
        int unresolved;
    } cases[] = {
        {"a\nx\nb\n", 0, 0},
        {"a\n<<<<<<< L\nx\n=======\ny\nb\n", 0, 1},
        {"a\nx\n=======\ny\n>>>>>>> R\nb\n", 0, 1},
        {"a\n<<<<<<< L\nx\n<<<<<<< L\nx\n=======\ny\n>>>>>>> R\n", 1, 2},
        // Lines that only resemble markers.
        {"a\n<<<<<<<<\n========\n// >>>>>>> R\n", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TMerge3Session s(kTwoConflicts);
        s.SetText(c.text);
        EXPECT_EQ(c.blocks, s.Conflicts().size());
        EXPECT_EQ(c.unresolved, s.Unresolved());
    }
}

TEST(Merge3Session, FindsEachPartNearestToTheConflict) {
    const std::vector<std::string> lines = {"x", "begin", "y", "x", "begin", "y", "z"};
    struct Case {
        const char* part;
        int32_t near, found;
    } cases[] = {
        {"begin\r\ny\r\n", 0, 1}, {"begin\ny\n", 5, 4}, {"y\nz\n", 0, 5},
        {"y\nx\nq\n", 0, -1},     {"", 3, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.part);
        EXPECT_EQ(c.found, FindPart(lines, c.part, c.near));
    }
}
