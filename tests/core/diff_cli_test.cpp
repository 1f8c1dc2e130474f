// quennet-diff as a program: exit codes, messages and the output modes on the example pair.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_runner.h"

using quennet::testing::RunCli;

namespace {

const std::string kOld = std::string(QUENNET_EXAMPLES_DIR) + "/old/Shapes.pas";
const std::string kNew = std::string(QUENNET_EXAMPLES_DIR) + "/new/Shapes.pas";

} // namespace

TEST(DiffCliTest, SameFileIsEquivalentWithExitZero) {
    auto r = RunCli({kOld, kOld});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Diff report for\n  " + kOld + "\n  " + kOld +
                         "\n\nThe compared files syntactically are equivalent.\n");
    EXPECT_EQ(r.err, "");
}

TEST(DiffCliTest, DifferentFilesExitOneAndNameBothFiles) {
    auto r = RunCli({kOld, kNew});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.out.rfind("Diff report for\n  " + kOld + "\n  " + kNew + "\n\n>>> ", 0), 0u);
    EXPECT_EQ(r.out.find("equivalent"), std::string::npos);
}

TEST(DiffCliTest, MissingFileIsTroubleNamingTheFile) {
    auto r = RunCli({kOld, "no-such-unit.pas"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("no-such-unit.pas"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("No such file"), std::string::npos) << r.err;
}

TEST(DiffCliTest, FolderInsteadOfFileIsTrouble) {
    auto r = RunCli({QUENNET_EXAMPLES_DIR, kNew});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find(QUENNET_EXAMPLES_DIR), std::string::npos) << r.err;
}

TEST(DiffCliTest, BadUsageIsTroubleWithAHint) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--frobnicate", kOld, kNew},
             {kOld},
             {kOld, kNew, kNew},
             {"--tree", "--json", kOld, kNew},
             {"-D"},
         }) {
        auto r = RunCli(args);
        EXPECT_EQ(r.exitCode, 2) << args[0];
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("quennet-diff: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("--help"), std::string::npos) << r.err;
    }
    EXPECT_NE(RunCli({"--frobnicate", kOld, kNew}).err.find("'--frobnicate'"), std::string::npos);
}

TEST(DiffCliTest, HelpAndVersion) {
    auto h = RunCli({"--help"});
    EXPECT_EQ(h.exitCode, 0);
    EXPECT_EQ(h.out.rfind("Usage: quennet-diff", 0), 0u);
    EXPECT_NE(h.out.find("--tree"), std::string::npos);
    auto v = RunCli({"--version"});
    EXPECT_EQ(v.exitCode, 0);
    EXPECT_EQ(v.out.rfind(std::string("quennet-diff ") + QUENNET_VERSION + "\n", 0), 0u);
    EXPECT_NE(v.out.find("GPL-3.0-or-later"), std::string::npos);
}

TEST(DiffCliTest, MapOfIdenticalFilesIsAllCommon) {
    auto r = RunCli({"--map", kNew, kNew});
    EXPECT_EQ(r.exitCode, 0);
    ASSERT_EQ(r.out.rfind("C 0\nC 1\n", 0), 0u);
    EXPECT_EQ(r.out.find('O'), std::string::npos);
    EXPECT_EQ(r.out.find('N'), std::string::npos);
    auto d = RunCli({"--map", kOld, kNew});
    EXPECT_EQ(d.exitCode, 1);
}

TEST(DiffCliTest, JsonNamesFilesAndEquivalence) {
    auto r = RunCli({"--json", kOld, kNew});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.rfind("{\"format\":1,\"old\":\"" + kOld + "\",\"new\":\"" + kNew +
                              "\",\"equivalent\":false,\"stopped\":[],\"tree\":[{",
                          0),
              0u)
        << r.out;
    auto same = RunCli({"--json", kOld, kOld});
    EXPECT_EQ(same.exitCode, 0);
    EXPECT_NE(same.out.find("\"equivalent\":true,\"stopped\":[],\"tree\":[]}"), std::string::npos);
}

TEST(DiffCliTest, JsonTreeOfGoldenCases) {
    const std::string cases = QUENNET_CASES_DIR;
    auto sections =
        RunCli({"--json", "old.pas", "new.pas"}, cases + "/diff-05-sections-changed-and-gained");
    EXPECT_EQ(
        sections.out,
        "{\"format\":1,\"old\":\"old.pas\",\"new\":\"new.pas\",\"equivalent\":false,\"stopped\":[],"
        "\"tree\":[{\"kind\":\"section\",\"caption\":\"Initialization\",\"state\":\"changed\","
        "\"state_number\":4,"
        "\"old\":{\"first\":10,\"last\":11},\"new\":{\"first\":10,\"last\":12},"
        "\"children\":[]},{\"kind\":\"section\",\"caption\":\"Finalization\",\"state\":\"added\","
        "\"state_number\":3,\"old\":{\"first\":-1,\"last\":-1},"
        "\"new\":{\"first\":14,\"last\":15},\"children\":[]}]}\n");
    auto nested =
        RunCli({"--json", "old.pas", "new.pas"}, cases + "/diff-07-conditional-default-symbols");
    EXPECT_EQ(
        nested.out,
        "{\"format\":1,\"old\":\"old.pas\",\"new\":\"new.pas\",\"equivalent\":false,\"stopped\":[],"
        "\"tree\":[{\"kind\":\"routine\",\"caption\":\"Procedure/Function\",\"state\":\"group\","
        "\"state_number\":0,\"old\":null,\"new\":null,\"children\":[{\"kind\":\"routine\","
        "\"caption\":\"Run\","
        "\"state\":\"changed\",\"state_number\":4,\"old\":{\"first\":21,\"last\":26},"
        "\"new\":{\"first\":23,\"last\":31},\"children\":[]}]}]}\n");
    auto stopped =
        RunCli({"--json", "old.pas", "new.pas"}, cases + "/diff-12-new-file-stops-early");
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_EQ(stopped.out,
              "{\"format\":1,\"old\":\"old.pas\",\"new\":\"new.pas\",\"equivalent\":false,"
              "\"stopped\":[{\"file\":\"new.pas\",\"line\":13}],\"tree\":[{\"kind\":\"text\","
              "\"caption\":\"Text, lines 13-14\",\"state\":\"added\",\"state_number\":3,"
              "\"old\":null,\"new\":{\"first\":13,\"last\":14},\"children\":[]}]}\n");
}

TEST(DiffCliTest, TreeModeSendsStopNotesToStandardError) {
    auto r = RunCli({"--tree", "old.pas", "new.pas"},
                    std::string(QUENNET_CASES_DIR) + "/diff-12-new-file-stops-early");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "Text, lines 13-14\t3\t-\t13-14\n");
    EXPECT_EQ(r.err.rfind("! new.pas(13): the structure is not followed", 0), 0u) << r.err;
}

TEST(DiffCliTest, FailedWriteIsTroubleInEveryMode) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    using quennet::testing::ShellQuote;
    const std::string dirs = ShellQuote(std::string(QUENNET_EXAMPLES_DIR) + "/old") + " " +
                             ShellQuote(std::string(QUENNET_EXAMPLES_DIR) + "/new");
    for (const char* mode : {"", "--tree", "--json", "--map", "--help"}) {
        const auto r =
            quennet::testing::RunShell("\"$CLI\" " + std::string(mode) + " " + ShellQuote(kOld) +
                                       " " + ShellQuote(kNew) + " >/dev/full");
        EXPECT_EQ(r.exitCode, 2) << mode;
    }
    for (const std::string& args : {"--model " + ShellQuote(kOld), "--dirs " + dirs}) {
        const auto r = quennet::testing::RunShell("\"$CLI\" " + args + " >/dev/full");
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_NE(r.err.find("standard output"), std::string::npos) << r.err;
    }
}

TEST(DiffCliTest, InputsAreReadToTheirEndFromAnySource) {
    const auto files = RunCli({kOld, kNew});
    const auto body = [](const std::string& out) { return out.substr(out.find("\n\n")); };
    ASSERT_EQ(files.exitCode, 1) << files.err;
    const std::string dir = std::filesystem::temp_directory_path().string();
    const std::string fifo = dir + "/quennet-fifo-" + std::to_string(::getpid());
    for (const std::string& cmd : {
             "cat " + quennet::testing::ShellQuote(kOld) + " | \"$CLI\" - " +
                 quennet::testing::ShellQuote(kNew),
             "\"$CLI\" " + quennet::testing::ShellQuote(kOld) + " /dev/fd/3 3<" +
                 quennet::testing::ShellQuote(kNew),
             "rm -f " + fifo + " && mkfifo " + fifo + " && { cat " +
                 quennet::testing::ShellQuote(kNew) + " >" + fifo + " & } && \"$CLI\" " +
                 quennet::testing::ShellQuote(kOld) + " " + fifo + "; s=$?; rm -f " + fifo +
                 "; exit $s",
         }) {
        const auto r = quennet::testing::RunShell(cmd);
        EXPECT_EQ(r.exitCode, 1) << cmd << "\n" << r.err;
        EXPECT_EQ(body(r.out), body(files.out)) << cmd;
    }

    auto both = RunCli({"-", "-"});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_NE(both.err.find("standard input"), std::string::npos) << both.err;

    // A read that fails is trouble, never an empty file.
    auto unreadable = RunCli({"/proc/self/mem", kNew});
    EXPECT_EQ(unreadable.exitCode, 2);
    EXPECT_NE(unreadable.err.find("Cannot read \"/proc/self/mem\""), std::string::npos)
        << unreadable.err;
}
