// Include files across a comparison, in the views and on the command line; targets by name.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "cli_runner.h"
#include "diff/compare_sources.h"
#include "model/source_model.h"
#include "model/target.h"
#include "pascal/parse.h"
#include "render/line_decoration.h"
#include "temp_folder.h"
#include "viewrules/difference_marks.h"

namespace fs = std::filesystem;
using namespace quennet;
using quennet::testing::TempFolder;

namespace {

const char kUnit[] = "unit U;\r\ninterface\r\nimplementation\r\n{$I body.inc}\r\nend.\r\n";

} // namespace

// An include file's lines are not the unit's: the views point at the directive instead.
TEST(IncludeFiles, ViewsMarkTheDirectiveLineOfAChangedInclude) {
    TempFolder oldDir, newDir;
    const std::string oldPath = oldDir.Write("u.pp", kUnit);
    const std::string newPath = newDir.Write("u.pp", kUnit);
    oldDir.Write("body.inc", "procedure P;\r\nbegin\r\nend;\r\n");
    newDir.Write("body.inc", "procedure P;\r\nbegin\r\n  Beep;\r\nend;\r\n");
    const auto r = diff::CompareSources({kUnit, "u.pp", oldPath}, {kUnit, "u.pp", newPath}, {},
                                        model::ParseOptions(model::Dialect::Auto));
    EXPECT_FALSE(r.equivalent);
    const viewrules::DifferenceSpans spans = viewrules::CollectDifferenceSpans(r.diff->Root);
    const viewrules::LineSpan directive{3, 3,
                                        viewrules::MarkKind::Changed}; // "{$I body.inc}", 0-based
    EXPECT_EQ(spans.Old, std::vector<viewrules::LineSpan>{directive});
    EXPECT_EQ(spans.New, std::vector<viewrules::LineSpan>{directive});
}

TEST(IncludeFiles, ViewLinesAndTags) {
    model::TidName own("A", 0, 5, 7), included("B", 0, 1, 3), lost("C", 0, 1, 3),
        other("D", 0, 2, 2);
    included.File = "/x/old/defs.inc";
    included.IncludedAt = 9;
    lost.File = "defs.inc";
    other.File = "more.inc";
    EXPECT_EQ(render::ViewLines(&own), (render::LineRange{4, 6}));
    EXPECT_EQ(render::ViewLines(&included), (render::LineRange{8, 8}));
    EXPECT_FALSE(render::ViewLines(&lost).IsSet());
    EXPECT_FALSE(render::ViewLines(nullptr).IsSet());
    EXPECT_EQ(model::IncludeTag(&own, &own), "");
    EXPECT_EQ(model::IncludeTag(&own, &included), " [defs.inc]");
    EXPECT_EQ(model::IncludeTag(&included, &lost), " [defs.inc]");
    EXPECT_EQ(model::IncludeTag(&lost, &other), " [defs.inc, more.inc]");
}

// After an include file, the unit's own declarations keep the unit's line numbers: each
// range lies in the unit and starts on the line that names the declaration.
TEST(IncludeFiles, DeclarationsAfterAnIncludeStandOnTheUnitsLines) {
    TempFolder dir;
    const std::string text = "unit U;\r\n{$I defs.inc}\r\ninterface\r\nuses\r\n  SysUtils,\r\n"
                             "  Classes;\r\ntype\r\n  TA = Integer;\r\nprocedure P;\r\n"
                             "implementation\r\nuses Math;\r\nprocedure P;\r\nbegin\r\nend;\r\n"
                             "initialization\r\n  P;\r\nend.\r\n";
    const std::string path = dir.Write("u.pas", text);
    dir.Write("defs.inc", "{$DEFINE X}\r\n{ 1 }\r\n{ 2 }\r\n{ 3 }\r\n{ 4 }\r\n{ 5 }\r\n");
    model::TPasSrc m;
    pascal::Parse(m, text, nullptr, model::ParseOptions(model::Dialect::Delphi, path));
    ASSERT_TRUE(m.Status.Complete);
    std::vector<std::string> lines;
    for (size_t from = 0, end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
        lines.push_back(text.substr(from, end - from));
    auto expectOnItsLine = [&](const model::TidName* d, const std::string& word) {
        SCOPED_TRACE(word);
        ASSERT_NE(d, nullptr);
        const render::LineRange r = render::ViewLines(d);
        ASSERT_TRUE(r.IsSet());
        ASSERT_LT(r.Last, static_cast<int32_t>(lines.size()));
        EXPECT_NE(lines[static_cast<size_t>(r.First)].find(word), std::string::npos);
    };
    ASSERT_EQ(m.Uses.size(), 3u);
    for (const auto& u : m.Uses)
        expectOnItsLine(u.get(), u->Name);
    ASSERT_EQ(m.Types.size(), 1u);
    expectOnItsLine(m.Types[0].get(), "TA");
    ASSERT_EQ(m.Procs.size(), 1u);
    expectOnItsLine(m.Procs[0].get(), "procedure P");
    expectOnItsLine(m.Procs[0]->Implementation.get(), "procedure P");
    expectOnItsLine(m.Initialization.get(), "initialization");
}

TEST(IncludeFiles, NestingIsBoundedAndFoldersAreSearchedInOrder) {
    TempFolder dir, extra;
    // a0.inc includes a1.inc and so on: deeper than any real code, and no cycle to catch it.
    for (int i = 0; i < 20; ++i)
        dir.Write("a" + std::to_string(i) + ".inc", "{$I a" + std::to_string(i + 1) + ".inc}\r\n");
    const std::string deep = dir.Write("deep.pp", "unit D;\r\n{$I a0.inc}\r\ninterface\r\n"
                                                  "implementation\r\nend.\r\n");
    model::TPasSrc m;
    pascal::Parse(m, quennet::testing::ReadWholeFile(deep), nullptr,
                  model::ParseOptions(model::Dialect::Fpc, deep));
    ASSERT_EQ(m.Status.Notes.size(), 1u);
    EXPECT_NE(m.Status.Notes[0].find("deeper than 16 levels"), std::string::npos);
    EXPECT_TRUE(m.Status.Complete);

    // Beside the including file first, then the -I folders.
    extra.Write("types.inc", "type TFromExtra = Integer;\r\n{$I gone.inc}\r\n");
    extra.Write("local.inc", "type TWrong = Integer;\r\n");
    dir.Write("local.inc", "type TLocal = Integer;\r\n");
    const std::string unit = dir.Write("u.pp", "unit U;\r\ninterface\r\n{$I types.inc}\r\n"
                                               "{$I local.inc}\r\nimplementation\r\nend.\r\n");
    const auto r = quennet::testing::RunShell("\"$CLI\" --model -I " +
                                              quennet::testing::ShellQuote(extra.path.string()) +
                                              " " + quennet::testing::ShellQuote(unit));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"name\":\"TFromExtra\""), std::string::npos);
    EXPECT_NE(r.out.find("\"name\":\"TLocal\""), std::string::npos);
    EXPECT_EQ(r.out.find("TWrong"), std::string::npos);
    // The note of a file not found names the places in the order they were searched.
    EXPECT_NE(r.err.find("{$I gone.inc} (" + extra.path.string() +
                         "/types.inc, line 2): the include file is not found beside the "
                         "including file, beside the unit, in the include folders, or in the "),
              std::string::npos)
        << r.err;

    // --no-includes reads the directives as comments: no included text, no note.
    const auto bare = quennet::testing::RunShell("\"$CLI\" --model --no-includes " +
                                                 quennet::testing::ShellQuote(unit));
    EXPECT_EQ(bare.exitCode, 0) << bare.err;
    EXPECT_EQ(bare.out.find("TLocal"), std::string::npos);
    EXPECT_EQ(bare.err, "");
}

TEST(Targets, NamesIgnoreCaseAndAnUnknownOneIsRefused) {
    ASSERT_NE(model::FindTarget("FPC-Win64"), nullptr);
    EXPECT_EQ(model::FindTarget("fpc-win32"), nullptr);
    // An unknown target is the caller's fault, named in the message.
    model::TPasSrc m;
    model::ParseOptions reading(model::Dialect::Delphi);
    reading.target = "turbo7";
    EXPECT_THROW(pascal::Parse(m, "unit U;", nullptr, reading), std::runtime_error);
    const auto r = quennet::testing::RunShell("\"$CLI\" --model --target=turbo7 /dev/null");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("unknown target 'turbo7'"), std::string::npos) << r.err;
}
