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
#include "merge/three_way.h"

namespace fs = std::filesystem;
using namespace quennet;
using quennet::testing::ExpectGolden;
using quennet::testing::ReadWholeFile;
using quennet::testing::RunCli;
using quennet::testing::ShellQuote;

namespace {

fs::path ScratchDir(const std::string& name) {
    fs::path dir =
        fs::temp_directory_path() / ("quennet-merge3-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

int Shell(const std::string& command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(ThreeWayMerge, GoldenCases) {
    std::vector<fs::path> cases;
    for (const auto& e : fs::directory_iterator(QUENNET_CASES_DIR))
        if (e.path().filename().string().rfind("merge3-", 0) == 0) cases.push_back(e.path());
    std::sort(cases.begin(), cases.end());
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
        merge::ThreeWayInput b{base, "b.pas", "BASE"}, c{changed, "c.pas", "LOCAL"};
        merge::ThreeWayResult toLocal = merge::MergeThreeWay(b, c, {base, "r.pas", "REMOTE"});
        EXPECT_EQ(0, toLocal.conflicts);
        EXPECT_EQ(io::SplitLines(changed), io::SplitLines(toLocal.text));
        merge::ThreeWayResult toRemote = merge::MergeThreeWay(b, {base, "l.pas", "LOCAL"}, c);
        EXPECT_EQ(0, toRemote.conflicts);
        EXPECT_EQ(io::SplitLines(changed), io::SplitLines(toRemote.text));
    }
}

TEST(ThreeWayMerge, CommandWritesOutputAndRefusesToOverwriteOtherInputs) {
    const fs::path src = fs::path(QUENNET_CASES_DIR) / "merge3-07-both-change-one-line";
    const fs::path dir = ScratchDir("cli");
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
    fs::remove_all(dir);
}

// The README's recipes, run as written: a merge driver and git mergetool, on a branch that
// moves a routine while the other edits it (a conflict for git's own merge).
TEST(ThreeWayMerge, GitRecipes) {
    if (Shell("git --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "git is not installed";
    const fs::path cases = QUENNET_CASES_DIR;
    const fs::path moveCase = cases / "merge3-08-move-and-edit";
    const std::string cli = ShellQuote(QUENNET_CLI_PATH);
    auto setUp = [&](const std::string& name) {
        fs::path repo = ScratchDir(name);
        std::string git = "cd " + ShellQuote(repo.string()) + " && git -c init.defaultBranch=main";
        std::string q = " >/dev/null 2>&1";
        auto copy = [&](const char* f) {
            fs::copy_file(moveCase / f, repo / "Shapes.pas", fs::copy_options::overwrite_existing);
        };
        EXPECT_EQ(0, Shell(git + " init -q ." + q));
        Shell("cd " + ShellQuote(repo.string()) +
              " && git config user.email t@example.org && git config user.name t");
        copy("base.pas");
        EXPECT_EQ(0, Shell("cd " + ShellQuote(repo.string()) +
                           " && git add Shapes.pas && git commit -qm base" + q));
        EXPECT_EQ(0, Shell("cd " + ShellQuote(repo.string()) + " && git checkout -qb other" + q));
        copy("remote.pas");
        EXPECT_EQ(0, Shell("cd " + ShellQuote(repo.string()) + " && git commit -qam remote" + q));
        EXPECT_EQ(0, Shell("cd " + ShellQuote(repo.string()) + " && git checkout -q main" + q));
        copy("local.pas");
        EXPECT_EQ(0, Shell("cd " + ShellQuote(repo.string()) + " && git commit -qam local" + q));
        return repo;
    };
    const std::string expected = ReadWholeFile(moveCase / "expected.pas");

    {
        fs::path repo = setUp("driver");
        const std::string in = "cd " + ShellQuote(repo.string()) + " && ";
        Shell(in +
              "git config merge.pascal.name 'Pascal declarations' && git config "
              "merge.pascal.driver " +
              ShellQuote(cli + " --merge %O %A %B -o %A") +
              " && echo '*.pas merge=pascal' > .gitattributes");
        EXPECT_EQ(0, Shell(in + "git merge -q --no-edit other >/dev/null 2>&1"));
        EXPECT_EQ(expected, ReadWholeFile(repo / "Shapes.pas"));
        fs::remove_all(repo);
    }
    {
        fs::path repo = setUp("mergetool");
        const std::string in = "cd " + ShellQuote(repo.string()) + " && ";
        Shell(in + "git config mergetool.quennet.cmd " +
              ShellQuote(cli + " --merge \"$BASE\" \"$LOCAL\" \"$REMOTE\" -o \"$MERGED\"") +
              " && git config mergetool.quennet.trustExitCode true && git config "
              "mergetool.keepBackup false");
        EXPECT_NE(0, Shell(in + "git merge -q --no-edit other >/dev/null 2>&1"));
        EXPECT_EQ(0, Shell(in + "git mergetool --tool=quennet --no-prompt >/dev/null 2>&1"));
        EXPECT_EQ(expected, ReadWholeFile(repo / "Shapes.pas"));
        EXPECT_EQ(0, Shell(in + "git commit -qm merged >/dev/null 2>&1"));
        fs::remove_all(repo);
    }
}
