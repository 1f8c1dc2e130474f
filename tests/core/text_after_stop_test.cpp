// The text after a parse stop: which changed runs are layout only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diff/text_after_stop.h"

using namespace quennet::diff;

namespace {

struct LayoutCase {
    const char* what;
    const char* oldText;
    const char* newText;
    bool kept; // the one changed run is still shown
};

TEST(TextAfterStop, OnlyRunsBeyondLayoutAreKept) {
    const LayoutCase cases[] = {
        {"blank lines and a comment added", "a;\r\nb;\r\n", "a;\r\n\r\n{ note }\r\nb;\r\n", false},
        {"a line split and indented", "f(x, y);\r\n", "f(x,\r\n  y);\r\n", false},
        {"letter case and a line comment", "Begin X := 1 end;\r\n", "begin x:=1 end; // why\r\n",
         false},
        {"a word split over two lines", "ab;\r\n", "a\r\nb;\r\n", true},
        {"blanks inside a string", "s := 'a b';\r\n", "s := 'a  b';\r\n", true},
        {"a directive added", "a;\r\nb;\r\n", "a;\r\n{$DEFINE X}\r\nb;\r\n", true},
        // The second line stands inside a comment opened on the first, outside the run.
        {"code changed inside an open comment", "{ start\r\nold text }\r\nc;\r\n",
         "{ start\r\nnew text }\r\nc;\r\n", false},
        {"code changed after a comment closed", "(* a\r\n*) x;\r\n", "(* a\r\n*) y;\r\n", true},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<TextRun> runs = ChangedRunsAfterStop(c.oldText, c.newText, 1, 1);
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(WithoutLayoutRuns(runs, c.oldText, c.newText).size(), c.kept ? 1u : 0u);
    }
}

} // namespace
