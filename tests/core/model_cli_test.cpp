// quennet-diff --model: the sorted model as JSON, the symbol options, and its failures.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_runner.h"

using quennet::testing::RunCli;

namespace {
const std::string kCases = QUENNET_CASES_DIR;
}

TEST(ModelCli, PrintsTheSortedModelAsJson) {
    auto r = RunCli({"--model", kCases + "/model-02-classes/input.pas"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    EXPECT_EQ(r.out.rfind("{\"name\":\"Shapes2\",\"checksum\":", 0), 0u) << r.out;
    // Model order: IBar before TFoo; a forward class ends with its full declaration's lines.
    EXPECT_LT(r.out.find("\"name\":\"IBar\""), r.out.find("\"name\":\"TFoo\""));
    EXPECT_NE(r.out.find("{\"name\":\"TBase\",\"kind\":\"class\",\"ancestors\":\"TObject\","
                         "\"first\":21,\"last\":22"),
              std::string::npos);
    EXPECT_NE(r.out.find("\"implementation\":{\"checksum\":"), std::string::npos);
    EXPECT_NE(r.out.find("\"implementation\":null"), std::string::npos);
    EXPECT_NE(r.out.find("\"initialization\":{\"checksum\":0,\"first\":-1,\"last\":-1}"),
              std::string::npos);
}

TEST(ModelCli, SymbolsDecideWhatIsParsed) {
    const std::string file = kCases + "/model-03-directives-default-symbols/input.pas";
    auto withDefaults = RunCli({"--model", file});
    EXPECT_NE(withDefaults.out.find("\"name\":\"A\""), std::string::npos);
    EXPECT_EQ(withDefaults.out.find("\"name\":\"B\""), std::string::npos);
    auto empty = RunCli({"--model", file, "--no-default-defines"});
    EXPECT_EQ(empty.out.find("\"name\":\"A\""), std::string::npos);
    EXPECT_NE(empty.out.find("\"name\":\"B\""), std::string::npos);
    auto debug = RunCli({"--no-default-defines", "-D", "DEBUG", "--model", file});
    EXPECT_NE(debug.out.find("\"name\":\"D\""), std::string::npos);
}

TEST(ModelCli, SaysWhereTheStructureWasLost) {
    auto r =
        RunCli({"--dialect", "classic", "--model", kCases + "/model-08-error-stops/input.pas"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.err.find("input.pas:4: the structure is not followed from here on"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("the parse stopped at line 4"), std::string::npos) << r.err;
}

TEST(ModelCli, FailuresExitWithTwoAndNameTheFile) {
    auto missing = RunCli({"--model", "/nonexistent/dir/unit.pas"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("/nonexistent/dir/unit.pas"), std::string::npos);
    EXPECT_NE(missing.err.find("No such file"), std::string::npos) << missing.err;
    EXPECT_TRUE(missing.out.empty());
    auto folder = RunCli({"--model", kCases});
    EXPECT_EQ(folder.exitCode, 2);
    EXPECT_NE(folder.err.find("folder"), std::string::npos);
    EXPECT_EQ(RunCli({"--model"}).exitCode, 2);
    EXPECT_EQ(RunCli({"--model", "a.pas", "b.pas"}).exitCode, 2);
}
