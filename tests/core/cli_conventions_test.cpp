// quennet-diff's command line as other tools expect it: option forms, standard input, labels,
// brief and coloured output, git's external-diff call, per-mode help and errors.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_runner.h"

using quennet::testing::RunCli;

namespace {

const std::string kOld = std::string(QUENNET_EXAMPLES_DIR) + "/old/Shapes.pas";
const std::string kNew = std::string(QUENNET_EXAMPLES_DIR) + "/new/Shapes.pas";
const std::string kHash = "0123456789abcdef0123456789abcdef01234567";

struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string input; // file for the standard input, or empty
    int exitCode;
    std::string outStart;
    std::string errPart; // empty: standard error must be empty
    std::string outAbsent = {};
};

std::string Report(const std::string& a, const std::string& b) {
    return "Diff report for\n  " + a + "\n  " + b + "\n\n";
}

TEST(CliConventions, Table) {
    const std::vector<Case> cases = {
        {"old from stdin", {"-", kNew}, kOld, 1, Report("-", kNew) + ">>> ", ""},
        {"new from stdin", {kOld, "-"}, kOld, 0, Report(kOld, "-") + "The compared", ""},
        {"labels",
         {"--label", "a/Shapes.pas", "-Lb/Shapes.pas", kOld, kNew},
         "",
         1,
         Report("a/Shapes.pas", "b/Shapes.pas"),
         ""},
        {"label with =", {"--label=A", kOld, kOld}, "", 0, Report("A", kOld), ""},
        {"brief differs",
         {"-q", "-L", "A", "-L", "B", kOld, kNew},
         "",
         1,
         "Files A and B differ\n",
         ""},
        {"brief same", {"--brief", kOld, kOld}, "", 0, "", "", "Files"},
        {"colour always",
         {"--color=always", kOld, kNew},
         "",
         1,
         Report(kOld, kNew) + "\033[1m>>> ",
         ""},
        {"colour auto off a terminal",
         {"--color", kOld, kNew},
         "",
         1,
         Report(kOld, kNew),
         "",
         "\033"},
        {"colour never", {"--color=never", kOld, kNew}, "", 1, Report(kOld, kNew), "", "\033"},
        {"git external diff",
         {"src/Shapes.pas", kOld, kHash, "100644", kNew, kHash, "100644"},
         "",
         0,
         Report("src/Shapes.pas", "src/Shapes.pas") + ">>> ",
         ""},
        {"git added file",
         {"src/Shapes.pas", "/dev/null", ".", ".", kNew, kHash, "100644"},
         "",
         0,
         Report("src/Shapes.pas", "src/Shapes.pas") + ">>> ",
         ""},
        {"git rename",
         {"a.pas", kOld, kHash, "100644", kNew, kHash, "100644", "b.pas", "note"},
         "",
         0,
         Report("a.pas", "b.pas"),
         ""},
        {"git call failing stays trouble",
         {"x.pas", "/nonexistent/x.pas", kHash, "100644", kNew, kHash, "100644"},
         "",
         2,
         "",
         "/nonexistent/x.pas"},
        {"options after the files", {kOld, kNew, "--tree"}, "", 1, "Type\t", ""},
        {"define with =",
         {"--define=DEBUG", "--no-default-defines", kOld, kOld},
         "",
         0,
         Report(kOld, kOld),
         ""},
        {"model from stdin", {"--model", "-"}, kNew, 0, "{\"format\":1,\"name\":\"Shapes\"", ""},
        {"model with =", {"--model=" + kNew}, "", 0, "{\"format\":1,", ""},
        {"model help", {"--model", "--help"}, "", 0, "Usage: quennet-diff --model", ""},
        {"dirs help", {"--dirs", "-h"}, "", 0, "Usage: quennet-diff --dirs", ""},
        {"workspace help",
         {"--from-workspace", "--help"},
         "",
         0,
         "Usage: quennet-diff --from-workspace",
         ""},
        {"file named like a mode after --",
         {"--", "--dirs", kNew},
         "",
         2,
         "",
         "Cannot open \"--dirs\""},
        {"both sides stdin", {"-", "-"}, kOld, 2, "", "quennet-diff: only one side"},
        {"missing value", {"--dirs", "--mask"}, "", 2, "", "quennet-diff: option '--mask' needs"},
        {"value to a flag", {"--tree=yes", kOld, kNew}, "", 2, "", "option '--tree' takes no"},
        {"bad colour", {"--color=sometimes", kOld, kNew}, "", 2, "", "option '--color'"},
        {"option of another mode",
         {"--tree", "--dirs", "a", "b"},
         "",
         2,
         "",
         "option '--tree' does not apply with '--dirs'"},
        {"two modes", {"--model", "--dirs", "a"}, "", 2, "", "'--model' and '--dirs'"},
        {"three labels", {"-L", "a", "-L", "b", "-L", "c", kOld, kNew}, "", 2, "", "'--label'"},
        {"merge help", {"--merge", "--help"}, "", 0, "Usage: quennet-diff --merge", ""},
        {"dialect with =", {"--dialect=classic", kOld, kOld}, "", 0, Report(kOld, kOld), ""},
        {"bad dialect", {"--dialect", "cobol", kOld, kNew}, "", 2, "", "unknown dialect 'cobol'"},
        {"merge output in a comparison",
         {"-o", "x.pas", kOld, kNew},
         "",
         2,
         "",
         "option '--output' does not apply"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto r = RunCli(c.args, ".", c.input);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        EXPECT_EQ(r.out.rfind(c.outStart, 0), 0u) << r.out;
        if (c.errPart.empty()) {
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
        }
        if (!c.outAbsent.empty()) {
            EXPECT_EQ(r.out.find(c.outAbsent), std::string::npos) << r.out;
        }
    }
}

TEST(CliConventions, ColourMarksRemovedAddedAndChangedLines) {
    auto r = RunCli({"--color=always", kOld, kNew});
    EXPECT_NE(r.out.find("\033[33m* TShapeKind\033[m\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\033[31m  - (skCircle, skRectangle)\033[m\n"), std::string::npos);
    EXPECT_NE(r.out.find("\033[32m  + (skCircle, skRectangle, skTriangle)\033[m\n"),
              std::string::npos);
    // The heading is never coloured, whatever the file names look like.
    EXPECT_EQ(r.out.rfind(Report(kOld, kNew), 0), 0u);
}

} // namespace
