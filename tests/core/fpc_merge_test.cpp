// A merged source compiles as either version: built from two small programs, compiled by
// Free Pascal with NEW_VER defined by its third line and with that line removed, each binary
// printing what its own version prints. Skipped where fpc is not installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "io/source_file.h"
#include "temp_folder.h"
#include "workspace/merge_workspace.h"
#include "workspace/merged_output.h"
#include "workspace/rtf_reader.h"

namespace fs = std::filesystem;
using namespace quennet;

namespace {

const std::vector<std::string> kOldProgram = {
    "program Demo;",
    "{ prints a greeting and a number }",
    "var",
    "  i: Integer;",
    "",
    "function Twice(x: Integer): Integer;",
    "begin",
    "  Twice := 2 * x;",
    "end;",
    "",
    "begin",
    "  i := 3;",
    "  WriteLn('old {', Twice(i), '}');",
    "end.",
};

const std::vector<std::string> kNewProgram = {
    "program Demo;",
    "{ prints a greeting and a number }",
    "var",
    "  i: Integer;",
    "  s: string;",
    "",
    "function Thrice(x: Integer): Integer;",
    "begin",
    "  Thrice := 3 * x;",
    "end;",
    "",
    "begin",
    "  i := 3;",
    "  s := 'new \\';",
    "  WriteLn(s, Thrice(i));",
    "end.",
};

std::string Run(const std::string& command) {
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return out;
    char buf[512];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    if (::pclose(p) != 0) out += "<failed>";
    return out;
}

// Compiles source in its own folder; returns the program's output.
std::string CompileAndRun(const fs::path& dir, const std::string& name, const std::string& source) {
    fs::create_directories(dir / name);
    const fs::path file = dir / name / "demo.pas";
    std::ofstream(file, std::ios::binary) << source;
    const std::string log =
        Run("fpc -v0 -FE'" + (dir / name).string() + "' '" + file.string() + "' 2>&1");
    if (!fs::exists(dir / name / "demo")) return "<compile failed>" + log;
    return Run("'" + (dir / name / "demo").string() + "'");
}

// Edits inside a comment that spans lines and on conditional directive lines.
const std::vector<std::string> kOldCommented = {
    "program Demo;",     "{ greeting:", "  the old text }",    "begin",      "  {$IFDEF UNIX}",
    "  WriteLn('old');", "  {$ELSE}",   "  WriteLn('other');", "  {$ENDIF}", "end.",
};

const std::vector<std::string> kNewCommented = {
    "program Demo;",
    "{ greeting:",
    "  the new text }",
    "begin",
    "  {$IFDEF LINUX}",
    "  WriteLn('new');",
    "  {$ELSE} (* not here *)",
    "  WriteLn('other');",
    "  {$ENDIF}",
    "end.",
};

} // namespace

TEST(FpcMerge, EditsInCommentsAndConditionalsCompileBothWays) {
    if (std::system("command -v fpc >/dev/null 2>&1") != 0) GTEST_SKIP() << "fpc is not installed";
    const quennet::testing::TempFolder scratch;
    const fs::path& dir = scratch.path;
    const auto ws = workspace::BuildMergeWorkspace(kOldCommented, kNewCommented);
    ASSERT_TRUE(ws);
    auto merged = workspace::MergedVersionLines(workspace::ReadRtf(ws->Rtf));
    EXPECT_EQ(CompileAndRun(dir, "merged-new", io::JoinLinesCrLf(merged)), "new\n");
    merged.erase(merged.begin() + 2);
    EXPECT_EQ(CompileAndRun(dir, "merged-old", io::JoinLinesCrLf(merged)), "old\n");
}

TEST(FpcMerge, MergedSourceCompilesAsBothVersions) {
    if (std::system("command -v fpc >/dev/null 2>&1") != 0) GTEST_SKIP() << "fpc is not installed";
    const quennet::testing::TempFolder scratch;
    const fs::path& dir = scratch.path;

    const auto ws = workspace::BuildMergeWorkspace(kOldProgram, kNewProgram);
    ASSERT_TRUE(ws);
    const auto doc = workspace::ReadRtf(ws->Rtf);
    const auto merged = workspace::MergedVersionLines(doc);
    ASSERT_EQ(merged[2], "{$DEFINE NEW_VER}");

    EXPECT_EQ(CompileAndRun(dir, "old", io::JoinLinesCrLf(kOldProgram)), "old {6}\n");
    EXPECT_EQ(CompileAndRun(dir, "new", io::JoinLinesCrLf(kNewProgram)), "new \\9\n");
    EXPECT_EQ(CompileAndRun(dir, "merged-new", io::JoinLinesCrLf(merged)), "new \\9\n");
    auto withoutDefine = merged;
    withoutDefine.erase(withoutDefine.begin() + 2);
    EXPECT_EQ(CompileAndRun(dir, "merged-old", io::JoinLinesCrLf(withoutDefine)), "old {6}\n");
    // The two single versions written from the workspace compile too.
    EXPECT_EQ(
        CompileAndRun(dir, "ws-new", io::JoinLinesCrLf(workspace::NewVersionLines(doc, "//"))),
        "new \\9\n");
    EXPECT_EQ(CompileAndRun(dir, "ws-old", io::JoinLinesCrLf(workspace::OldVersionLines(doc, ""))),
              "old {6}\n");
}
