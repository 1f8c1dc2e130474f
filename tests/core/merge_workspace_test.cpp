// The workspace builder: progress texts, the kinds of lines, failures, and both-empty input.
#include <gtest/gtest.h>

#include "io/source_file.h"
#include "workspace/merge_workspace.h"
#include "workspace/pas_conversion.h"
#include "workspace/rtf_reader.h"

using namespace quennet;

namespace {

// The body lines of a built workspace: between the three header lines and the closing item.
std::vector<std::string> BodyLines(const std::string& rtf) {
    auto lines = io::SplitLines(rtf);
    EXPECT_GE(lines.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
              (std::vector<std::string>{"", "\\par }", ""}));
    return {lines.begin() + 3, lines.end() - 3};
}

} // namespace

TEST(MergeWorkspace, ProgressTextsAndNothingForTwoEmptyTexts) {
    std::vector<std::string> seen;
    auto progress = [&](std::string_view t) { seen.emplace_back(t); };
    EXPECT_FALSE(workspace::BuildMergeWorkspace({}, {}, progress).has_value());
    EXPECT_EQ(seen, (std::vector<std::string>{"Prepare for merge ...", "Find merge map ..."}));
    seen.clear();
    EXPECT_TRUE(workspace::BuildMergeWorkspace({"a"}, {}, progress).has_value());
    EXPECT_EQ(seen,
              (std::vector<std::string>{"Prepare for merge ...", "Find merge map ...",
                                        "Add sintax highlighting ...", "Make merge result ..."}));
}

TEST(MergeWorkspace, LineKinds) {
    const std::vector<std::string> text = {"begin", "  x := 1;", "", "end;"};
    auto same = workspace::BuildMergeWorkspace(text, text);
    ASSERT_TRUE(same);
    for (const auto& l : BodyLines(same->Rtf))
        EXPECT_EQ(l.substr(0, 5), "\\cf1 ");

    auto onlyNew = workspace::BuildMergeWorkspace({}, text);
    ASSERT_TRUE(onlyNew);
    auto body = BodyLines(onlyNew->Rtf);
    ASSERT_EQ(body.size(), 4u);
    for (const auto& l : body)
        EXPECT_EQ(l.substr(0, 5), "\\cf3 ");
    EXPECT_EQ(body[2], "\\cf3 \\par "); // an empty line: the code and the paragraph mark

    auto onlyOld = workspace::BuildMergeWorkspace(text, {});
    ASSERT_TRUE(onlyOld);
    for (const auto& l : BodyLines(onlyOld->Rtf))
        EXPECT_EQ(l.substr(0, 5), "\\cf2 ");

    // a b replaced by c d: red a, red b, blue c, blue d between the common lines.
    auto replaced = workspace::BuildMergeWorkspace({"k", "a", "b", "z"}, {"k", "c", "d", "z"});
    ASSERT_TRUE(replaced);
    EXPECT_EQ(BodyLines(replaced->Rtf),
              (std::vector<std::string>{"\\cf1 k", "\\cf2 \\par a", "\\cf2 \\par b",
                                        "\\cf3 \\par c", "\\cf3 \\par d", "\\cf1 \\par z"}));
}

TEST(MergeWorkspace, ColorCodesOutsideTheMapAreCommon) {
    std::vector<diff::TMapEntry> map = {{diff::OldOnly, 0}};
    EXPECT_EQ(workspace::MergeColorCode(map, 1), "\\cf1 ");
    EXPECT_EQ(workspace::MergeColorCode(map, -1), "\\cf1 ");
}

TEST(MergeWorkspace, Failures) {
    // The error names the text and the line of the literal left open.
    const struct {
        std::vector<std::string> oldLines, newLines;
        bool inNew;
        int32_t line;
    } cases[] = {{{"ok;"}, {"s := 'open;"}, true, 1},
                 {{"a;", "{ 'in a comment }", "", "x := 'it''s';", "y := 'open;"}, {}, false, 5},
                 {{"a;"}, {"b;", "c := 'x'", "d := 'y"}, true, 3}};
    for (const auto& c : cases) {
        try {
            workspace::BuildMergeWorkspace(c.oldLines, c.newLines);
            ADD_FAILURE() << "no failure";
        } catch (const workspace::EConversionError& e) {
            EXPECT_STREQ(e.what(), "Invalid string");
            EXPECT_EQ(e.InNewText, c.inNew);
            EXPECT_EQ(e.Line, c.line);
        }
    }
    EXPECT_THROW(workspace::BuildMergeWorkspace({"a\nb"}, {}), std::invalid_argument);
}
