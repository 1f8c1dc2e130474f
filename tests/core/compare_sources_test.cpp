// The one comparison's verdict and the window's message for the cases that must never read as
// "equivalent".
#include <gtest/gtest.h>

#include "compare/compare_sources.h"
#include "io/source_file.h"

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
