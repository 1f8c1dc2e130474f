// Copying a range of a workspace document: text, runs and breaks, and the RTF round trip
// that the clipboard relies on.
#include "workspace/rtf_reader.h"
#include "workspace/rtf_writer.h"
#include "workspace/workspace_range.h"

#include <gtest/gtest.h>

using namespace quennet::workspace;

namespace {

const TCharFormat kB{kBlack, false};
const TCharFormat kBold{kBlack, true};
const TCharFormat kR{kRed, false};
const TCharFormat kU{kBlue, false};

TWorkspaceDocument Sample() {
    TWorkspaceDocument d;
    d.AppendLine("begin a;", {{5, kBold}, {3, kB}}, kB);
    d.AppendLine("old", kR);
    d.AppendLine("", {}, kU);
    d.AppendLine("new", kU);
    return d;
}

void ExpectSame(const TWorkspaceDocument& a, const TWorkspaceDocument& b) {
    ASSERT_EQ(a.LineCount(), b.LineCount());
    for (size_t i = 0; i < a.LineCount(); ++i) {
        EXPECT_EQ(a.LineText(i), b.LineText(i)) << i;
        EXPECT_TRUE(a.LineRuns(i) == b.LineRuns(i)) << i;
        EXPECT_TRUE(a.LineBreakFormat(i) == b.LineBreakFormat(i)) << i;
    }
}

TEST(WorkspaceRange, CopiesTextFormatsAndBreaks) {
    const TWorkspaceDocument d = Sample();
    // "in a;" + break, "old" + break, the empty blue line's break, "ne".
    const size_t start = 3, end = d.LineIndex(3) + 2;
    const TWorkspaceDocument r = CopyRange(d, start, end - start);
    ASSERT_TRUE(r.IsConsistent());
    EXPECT_EQ(r.TextLength(), end - start);
    for (size_t i = 0; i < r.TextLength(); ++i)
        EXPECT_EQ(r.FormatAt(i), d.FormatAt(start + i)) << i;
    EXPECT_EQ(r.LineText(0), "in a;");
    EXPECT_EQ(r.LineText(3), "ne");
}

TEST(WorkspaceRange, EndsWithAnEmptyLineAfterABreakAndClampsToTheText) {
    const TWorkspaceDocument d = Sample();
    const TWorkspaceDocument r = CopyRange(d, d.LineIndex(1), 4); // "old" and its break
    ASSERT_EQ(r.LineCount(), 2u);
    EXPECT_EQ(r.LineText(0), "old");
    EXPECT_EQ(r.LineText(1), "");
    EXPECT_EQ(r.LineBreakFormat(0), kR);
    EXPECT_EQ(CopyRange(d, 0, 1000).TextLength(), d.TextLength());
    EXPECT_EQ(CopyRange(d, 1000, 5).TextLength(), 0u);
    EXPECT_EQ(CopyRange(d, 2, 0).TextLength(), 0u);
}

TEST(WorkspaceRange, SurvivesTheRtfRoundTrip) {
    const TWorkspaceDocument d = Sample();
    for (size_t start = 0; start < d.TextLength(); start += 3) {
        const TWorkspaceDocument r = CopyRange(d, start, 7);
        const TWorkspaceDocument back = ReadRtf(WriteRtf(r));
        ASSERT_EQ(back.TextLength(), r.TextLength()) << start;
        for (size_t i = 0; i < r.TextLength(); ++i)
            EXPECT_EQ(back.FormatAt(i), r.FormatAt(i)) << start << " " << i;
    }
    ExpectSame(ReadRtf(WriteRtf(CopyRange(d, 0, d.TextLength()))), d);
}

} // namespace
