// The merge editor's navigation, marking, status and save-name decisions.
#include <gtest/gtest.h>

#include "workspace/merge_editing.h"

using namespace quennet::workspace;

namespace {

// One line per letter: k black, r red, b blue, o another colour.
TWorkspaceDocument Lines(std::string_view kinds) {
    TWorkspaceDocument d;
    for (char k : kinds) {
        TColor c = k == 'k' ? kBlack : k == 'r' ? kRed : k == 'b' ? kBlue : TColor::Rgb(0, 128, 0);
        d.AppendLine(std::string("line ") + k, TCharFormat{c, false});
    }
    d.AppendLine("", TCharFormat{kBlack, false}); // the empty line after the last break
    return d;
}

size_t LineOf(const TWorkspaceDocument& d, size_t pos) {
    return d.LineFromChar(pos);
}

} // namespace

TEST(MergeEditing, NextDifference) {
    const auto d = Lines("kkrrkbbkk");
    EXPECT_EQ(LineOf(d, NextDifference(d, d.LineIndex(0))), 2u);
    EXPECT_EQ(NextDifference(d, d.LineIndex(0) + 3), d.LineIndex(2)); // caret mid-line
    // Inside a block: the next block, not the start of the current one.
    EXPECT_EQ(LineOf(d, NextDifference(d, d.LineIndex(3))), 5u);
    // No further block: the last text line.
    EXPECT_EQ(LineOf(d, NextDifference(d, d.LineIndex(5))), 8u);
    // Red directly followed by blue is one difference.
    const auto rb = Lines("krbk o");
    EXPECT_EQ(LineOf(rb, NextDifference(rb, rb.LineIndex(1))), 4u); // the blank letter is "other"
    EXPECT_EQ(NextDifference(TWorkspaceDocument(), 0), 0u);
}

TEST(MergeEditing, PriorDifference) {
    const auto d = Lines("kkrrkbbkk");
    EXPECT_EQ(LineOf(d, PriorDifference(d, d.LineIndex(8))), 5u);
    EXPECT_EQ(LineOf(d, PriorDifference(d, d.LineIndex(6))), 2u); // inside a block: the one before
    EXPECT_EQ(LineOf(d, PriorDifference(d, d.LineIndex(3))), 0u); // none before: line 0
    const auto top = Lines("rrkb");
    EXPECT_EQ(LineOf(top, PriorDifference(top, top.LineIndex(3))), 0u); // block at the top
}

TEST(MergeEditing, MarkWithoutSelectionRecoloursTheLineAndItsBreak) {
    auto d = Lines("kkk");
    d.SetSelection(d.LineIndex(1) + 2, 0);
    EXPECT_EQ(MarkRange(d, d.Selection()), (TSelection{d.LineIndex(1), 7}));
    Mark(d, MarkColorOfTag(2));
    EXPECT_EQ(d.LineColor(1), kRed);
    EXPECT_EQ(d.ColorAt(d.LineIndex(1) + 6), kRed); // the break
    EXPECT_EQ(d.LineColor(0), kBlack);
    EXPECT_EQ(d.LineColor(2), kBlack);
    EXPECT_EQ(d.Selection(), (TSelection{d.LineIndex(1) + 2, 0}));
    EXPECT_EQ(d.LineText(1), "line k");

    // On the last line: up to the end of the text.
    d.SetSelection(d.TextLength(), 0);
    Mark(d, MarkColorOfTag(1));
    EXPECT_EQ(d.LineColor(d.LineCount() - 1), kBlue);

    // With a selection exactly the selected characters change.
    d.SetSelection(d.LineIndex(0) + 1, 2);
    Mark(d, kBlue);
    EXPECT_EQ(d.LineColor(0), kBlack);
    EXPECT_EQ(d.ColorAt(1), kBlue);
    EXPECT_EQ(d.ColorAt(3), kBlack);
    EXPECT_EQ(MarkColorOfTag(0), kBlack);
}

TEST(MergeEditing, StatusAndFind) {
    auto d = Lines("kk");
    EXPECT_EQ(LineColStatus(d, 0), "Line:   1   Col:   1");
    EXPECT_EQ(LineColStatus(d, d.LineIndex(1) + 3), "Line:   2   Col:   4");
    d.SetSelection(0, 0);
    EXPECT_EQ(FindNext(d, "line", {}), 0u);
    d.SetSelection(0, 4);
    EXPECT_EQ(FindNext(d, "line", {}), d.LineIndex(1));
    EXPECT_EQ(FindNext(d, "line", {}, false), 0u);
    EXPECT_EQ(NotFoundMessage("abc"), "Text <abc> not found");
}

TEST(MergeEditing, WorkspaceSaveTarget) {
    EXPECT_EQ(WorkspaceSaveTarget("/x/merge").Path, "/x/merge.pas");
    EXPECT_FALSE(WorkspaceSaveTarget("/x/merge").AsRtf);
    EXPECT_TRUE(WorkspaceSaveTarget("/x/merge.RTF").AsRtf);
    EXPECT_EQ(WorkspaceSaveTarget("/x/merge.RTF").Path, "/x/merge.RTF");
    EXPECT_FALSE(WorkspaceSaveTarget("/x/merge.txt").AsRtf);
}
