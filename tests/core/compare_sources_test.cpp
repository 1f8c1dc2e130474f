// The one comparison: report layout, verdict and the window's message for the cases that
// must never read as "equivalent".
#include <gtest/gtest.h>

#include "compare/compare_sources.h"
#include "io/source_file.h"
#include "model/report_writer.h"

using namespace quennet;
using compare::CompareSources;

namespace {

const std::vector<std::string> kSymbols{"VER130", "WIN32", "CPU386"};

const char kGood[] = "unit U;\ninterface\nprocedure A;\nimplementation\n"
                     "procedure A;\nbegin\nend;\nend.\n";
const char kChanged[] = "unit U;\ninterface\nprocedure A;\nprocedure B;\nimplementation\n"
                        "procedure A;\nbegin\nend;\nprocedure B;\nbegin\nend;\nend.\n";
const char kBroken[] = "unit U;\ninterface\nprocedure A;\nimplementation\n"
                       "procedure A;\nbegin\nend;\n= = ;\nend.\n";
const char kUsesOnly[] = "unit U;\ninterface\nuses SysUtils;\nprocedure A;\nimplementation\n"
                         "procedure A;\nbegin\nend;\nend.\n";
const char kBrokenOtherwise[] = "unit U;\ninterface\nprocedure A;\nimplementation\n"
                                "procedure A;\nbegin\nend;\n= = = ;\nend.\n";

compare::ComparisonResult Compare(const char* oldText, const char* newText) {
    return CompareSources({io::ToCrLfText(oldText), "old.pas"},
                          {io::ToCrLfText(newText), "new.pas"}, kSymbols);
}

} // namespace

TEST(CompareSources, ReportIsHeadingBodyNotesAndVerdict) {
    const auto r = Compare(kBroken, kChanged);
    ASSERT_GE(r.report.size(), compare::kReportHeadingLines);
    EXPECT_EQ(r.report[0], "Diff report for");
    EXPECT_EQ(r.report[1], "  old.pas");
    EXPECT_EQ(r.report[2], "  new.pas");
    EXPECT_EQ(r.report[3], "");
    std::vector<std::string> body;
    model::WriteReport(*r.oldSource, *r.newSource, body);
    ASSERT_FALSE(body.empty());
    ASSERT_EQ(r.reportBodyEnd, compare::kReportHeadingLines + body.size());
    EXPECT_TRUE(
        std::equal(body.begin(), body.end(), r.report.begin() + compare::kReportHeadingLines));
    ASSERT_EQ(r.stopNotes.size(), 1u);
    EXPECT_EQ(r.stopNotes[0].file, "old.pas");
    EXPECT_EQ(r.stopNotes[0].line, 8);
    EXPECT_EQ(r.report.back(), r.stopNotes[0].text);
    EXPECT_EQ(r.report.size(), r.reportBodyEnd + 1);
    EXPECT_FALSE(r.equivalent);
    EXPECT_EQ(compare::OutcomeMessage(r), "");

    const auto same = Compare(kGood, kGood);
    EXPECT_TRUE(same.equivalent);
    EXPECT_EQ(same.report.back(), compare::kEquivalentSentence);
    EXPECT_EQ(same.report.size(), compare::kReportHeadingLines + 1);
}

TEST(CompareSources, VerdictAndMessage) {
    struct Case {
        const char* oldText;
        const char* newText;
        bool equivalent;
        const char* messageStart; // "" when no message is shown
    } cases[] = {
        {kGood, kGood, true, compare::kEquivalentSentence},
        {kBroken, kBroken, true, compare::kEquivalentSentence},
        {kGood, kChanged, false, ""},
        {kGood, kUsesOnly, false, compare::kDiffersOutsideSentence},
        // Equal trees, but the parse lost the structure on one or both sides differently.
        {kBroken, kBrokenOtherwise, false, "No structural differences were found, but"},
        {kGood, kBroken, false, "No structural differences were found, but"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.oldText) + "|" + c.newText);
        const auto r = Compare(c.oldText, c.newText);
        EXPECT_EQ(r.equivalent, c.equivalent);
        EXPECT_EQ(r.equivalent, r.report.back() == compare::kEquivalentSentence);
        const std::string message = compare::OutcomeMessage(r);
        EXPECT_EQ(message.rfind(c.messageStart, 0), 0u) << message;
        if (*c.messageStart == '\0') {
            EXPECT_EQ(message, "");
        }
        if (r.diff->Root.Count() == 0 && r.oldSource->Checksum != r.newSource->Checksum) {
            EXPECT_NE(std::find(r.report.begin(), r.report.end(), "* source change (unknown)"),
                      r.report.end());
        }
        if (r.equivalent || message.empty()) continue;
        for (const auto& note : r.stopNotes)
            EXPECT_NE(message.find(note.text), std::string::npos) << message;
    }
}
