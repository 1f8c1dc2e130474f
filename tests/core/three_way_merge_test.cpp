// The three-way merge: golden cases (tests/cases/merge3-*/: base.pas, local.pas, remote.pas,
// expected.pas, expected-exit.txt and, where notes are expected, expected-stderr.txt) run
// through quennet-diff --merge; the command's file handling; and git's two ways of calling
// it, mergetool and merge driver, in a scratch repository. UPDATE_GOLDEN=1 accepts outputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cli_runner.h"
#include "golden_file.h"
#include "io/source_file.h"
#include "merge3/three_way.h"
#include "temp_folder.h"

namespace fs = std::filesystem;
using namespace quennet;
using quennet::testing::ExpectGolden;
using quennet::testing::ReadWholeFile;
using quennet::testing::RunCli;
using quennet::testing::ShellQuote;
using quennet::testing::TempFolder;

namespace {

int Shell(const std::string& command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(ThreeWayMerge, GoldenCases) {
    const auto cases = quennet::testing::CaseFolders("merge3-");
    ASSERT_GE(cases.size(), 14u);
    for (const auto& dir : cases) {
        SCOPED_TRACE(dir.filename().string());
        auto r = RunCli({"--merge", "base.pas", "local.pas", "remote.pas"}, dir.string());
        ExpectGolden(dir / "expected.pas", r.out);
        EXPECT_EQ(std::stoi(ReadWholeFile(dir / "expected-exit.txt")), r.exitCode);
        if (fs::exists(dir / "expected-stderr.txt"))
            ExpectGolden(dir / "expected-stderr.txt", r.err);
        else
            EXPECT_EQ("", r.err);
    }
}

// Where only one side changed, the merge is that side, whatever the edit; also beyond the
// edit distance at which the pairing changes method.
TEST(ThreeWayMerge, OneSidedChangesGiveThatSide) {
    std::string big, other;
    for (int i = 0; i < 4000; ++i) {
        big += "  X" + std::to_string(i) + " := " + std::to_string(i) + ";\n";
        other += "  Y" + std::to_string(i % 7) + " := " + std::to_string(i) + ";\n";
    }
    const std::string unit = "unit U;\n\ninterface\n\nimplementation\n\nend.\n";
    const std::pair<std::string, std::string> cases[] = {
        {unit, "unit U;\n\ninterface\n\nimplementation\n\nprocedure P;\nbegin\nend;\n\nend.\n"},
        {unit, ""},
        {"", unit},
        {"a\nb\nc\n", "c\nb\na\n"},
        {big, other},
        {big + other, other + big},
    };
    for (const auto& [base, changed] : cases) {
        merge3::ThreeWayInput b{base, "b.pas", "BASE"}, c{changed, "c.pas", "LOCAL"};
        merge3::ThreeWayResult toLocal = merge3::MergeThreeWay(b, c, {base, "r.pas", "REMOTE"});
        EXPECT_EQ(0, toLocal.conflicts);
        EXPECT_EQ(io::SplitLines(changed), io::SplitLines(toLocal.text));
        merge3::ThreeWayResult toRemote = merge3::MergeThreeWay(b, {base, "l.pas", "LOCAL"}, c);
        EXPECT_EQ(0, toRemote.conflicts);
        EXPECT_EQ(io::SplitLines(changed), io::SplitLines(toRemote.text));
    }
}

TEST(ThreeWayMerge, CommandWritesOutputAndRefusesToOverwriteOtherInputs) {
    const fs::path src = fs::path(QUENNET_CASES_DIR) / "merge3-07-both-change-one-line";
    const TempFolder scratch;
    const fs::path& dir = scratch.path;
    for (const char* f : {"base.pas", "local.pas", "remote.pas"})
        fs::copy(src / f, dir / f);

    auto labelled = RunCli({"--merge", "base.pas", "local.pas", "remote.pas", "-o", "out.pas", "-L",
                            "ancestor", "-L", "mine", "-L", "theirs"},
                           dir.string());
    EXPECT_EQ(1, labelled.exitCode);
    EXPECT_EQ("", labelled.out);
    const std::string written = ReadWholeFile(dir / "out.pas");
    EXPECT_NE(std::string::npos, written.find("<<<<<<< mine\n"));
    EXPECT_NE(std::string::npos, written.find("||||||| ancestor\n"));
    EXPECT_NE(std::string::npos, written.find(">>>>>>> theirs\n"));

    const std::string base = ReadWholeFile(dir / "base.pas");
    auto overBase =
        RunCli({"--merge", "base.pas", "local.pas", "remote.pas", "-o", "base.pas"}, dir.string());
    EXPECT_EQ(2, overBase.exitCode);
    EXPECT_NE(std::string::npos, overBase.err.find("only LOCAL may be the output"));
    EXPECT_EQ(base, ReadWholeFile(dir / "base.pas"));

    auto missing = RunCli({"--merge", "base.pas", "none.pas", "remote.pas"}, dir.string());
    EXPECT_EQ(2, missing.exitCode);
    EXPECT_NE(std::string::npos, missing.err.find("none.pas"));

    auto twoFiles = RunCli({"--merge", "base.pas", "local.pas"}, dir.string());
    EXPECT_EQ(2, twoFiles.exitCode);
}

// The README's recipes, run as written: a merge driver and git mergetool, on a branch that
// moves a routine while the other edits it (a conflict for git's own merge).
TEST(ThreeWayMerge, GitRecipes) {
    if (Shell("git --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "git is not installed";
    const fs::path cases = QUENNET_CASES_DIR;
    const fs::path moveCase = cases / "merge3-08-move-and-edit";
    const std::string cli = ShellQuote(QUENNET_CLI_PATH);
    // BASE committed, then REMOTE on branch "other" and LOCAL on main.
    auto setUp = [&](const fs::path& repo) {
        auto version = [&](const char* f) {
            return "cp " + ShellQuote((moveCase / f).string()) + " Shapes.pas";
        };
        const std::string in = "cd " + ShellQuote(repo.string()) + " && ";
        EXPECT_EQ(0, Shell(in +
                           "{ git -c init.defaultBranch=main init -q . && git config "
                           "user.email t@example.org && git config user.name t && " +
                           version("base.pas") +
                           " && git add Shapes.pas && git commit -qm base "
                           "&& git checkout -qb other && " +
                           version("remote.pas") +
                           " && git commit -qam remote && git checkout -q main && " +
                           version("local.pas") + " && git commit -qam local; } >/dev/null 2>&1"));
        return in;
    };
    const std::string expected = ReadWholeFile(moveCase / "expected.pas");

    {
        const TempFolder repo;
        const std::string in = setUp(repo.path);
        Shell(in +
              "git config merge.pascal.name 'Pascal declarations' && git config "
              "merge.pascal.driver " +
              ShellQuote(cli + " --merge %O %A %B -o %A") +
              " && echo '*.pas merge=pascal' > .gitattributes");
        EXPECT_EQ(0, Shell(in + "git merge -q --no-edit other >/dev/null 2>&1"));
        EXPECT_EQ(expected, ReadWholeFile(repo.path / "Shapes.pas"));
    }
    {
        const TempFolder repo;
        const std::string in = setUp(repo.path);
        Shell(in + "git config mergetool.quennet.cmd " +
              ShellQuote(cli + " --merge \"$BASE\" \"$LOCAL\" \"$REMOTE\" -o \"$MERGED\"") +
              " && git config mergetool.quennet.trustExitCode true && git config "
              "mergetool.keepBackup false");
        EXPECT_NE(0, Shell(in + "git merge -q --no-edit other >/dev/null 2>&1"));
        EXPECT_EQ(0, Shell(in + "git mergetool --tool=quennet --no-prompt >/dev/null 2>&1"));
        EXPECT_EQ(expected, ReadWholeFile(repo.path / "Shapes.pas"));
        EXPECT_EQ(0, Shell(in + "git commit -qm merged >/dev/null 2>&1"));
    }
}
