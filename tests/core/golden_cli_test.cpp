// Golden command lines: tests/cases/{display,api,tree}-*/. Each args*.txt holds one argument a
// line; the run's standard output is compared with expected*.txt and its exit status with
// exit*.txt (same suffix).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cli_runner.h"
#include "golden_file.h"
#include "io/source_file.h"

namespace fs = std::filesystem;
using quennet::testing::CaseFolders;
using quennet::testing::ExpectGolden;
using quennet::testing::ReadWholeFile;
using quennet::testing::RunCli;

namespace {

void RunCases(const std::string& prefix, size_t atLeast) {
    size_t runs = 0;
    for (const auto& dir : CaseFolders(prefix)) {
        for (const auto& f : fs::directory_iterator(dir)) {
            const std::string name = f.path().filename().string();
            if (name.rfind("args", 0) != 0 || f.path().extension() != ".txt") continue;
            const std::string suffix = name.substr(4); // "-color.txt" or ".txt"
            SCOPED_TRACE(dir.filename().string() + "/" + name);
            const auto args = quennet::io::SplitLines(ReadWholeFile(f.path()));
            const auto r = RunCli(args, dir.string());
            ExpectGolden(dir / ("expected" + suffix), r.out);
            ExpectGolden(dir / ("exit" + suffix), std::to_string(r.exitCode) + "\n");
            ++runs;
        }
    }
    EXPECT_GE(runs, atLeast);
}

} // namespace

TEST(GoldenCli, Displays) {
    RunCases("display-", 6);
}

// --display=report must leave the report exactly as it is without the option.
TEST(GoldenCli, ReportDisplayIsTheReport) {
    size_t cases = 0;
    for (const auto& dir : CaseFolders("diff-")) {
        SCOPED_TRACE(dir.filename().string());
        const auto plain = RunCli({"old.pas", "new.pas"}, dir.string());
        const auto report = RunCli({"--display=report", "old.pas", "new.pas"}, dir.string());
        EXPECT_EQ(plain.out, report.out);
        EXPECT_EQ(plain.exitCode, report.exitCode);
        ++cases;
    }
    EXPECT_GE(cases, 10u);
}

TEST(GoldenCli, ApiClassification) {
    RunCases("api-", 7);
}

TEST(GoldenCli, WholeTrees) {
    RunCases("tree-", 5);
}

TEST(GoldenCli, FormFiles) {
    RunCases("form-", 20);
}
