// quennet-diff as a program and as other tools expect it: exit codes and messages, option
// forms, standard input, labels, brief, coloured and JSON output, git's external-diff call,
// --model, per-mode help and errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "cli_runner.h"

using quennet::testing::RunCli;
using quennet::testing::RunShell;
using quennet::testing::ShellQuote;

namespace {

const std::string kOld = std::string(QUENNET_EXAMPLES_DIR) + "/old/Shapes.pas";
const std::string kNew = std::string(QUENNET_EXAMPLES_DIR) + "/new/Shapes.pas";
const std::string kCases = QUENNET_CASES_DIR;
const std::string kHash = "0123456789abcdef0123456789abcdef01234567";
const std::string kStops = kCases + "/diff-12-new-file-stops-early";
const std::string kModelStops = kCases + "/model-08-error-stops/input.pas";

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
    const std::string hint = "\nTry 'quennet-diff --help'.";
    const std::vector<Case> cases = {
        {"same file",
         {kOld, kOld},
         "",
         0,
         Report(kOld, kOld) + "The compared files syntactically are equivalent.\n",
         ""},
        {"missing file", {kOld, "nope.pas"}, "", 2, "", "Cannot open \"nope.pas\": No such file"},
        // The files are read at once; the old one's error is still the one told.
        {"both missing", {"none.pas", "nope.pas"}, "", 2, "", "Cannot open \"none.pas\""},
        {"folder for a file",
         {QUENNET_EXAMPLES_DIR, kNew},
         "",
         2,
         "",
         std::string("Cannot open \"") + QUENNET_EXAMPLES_DIR + "\": it is a folder"},
        {"unknown option",
         {"--frobnicate", kOld, kNew},
         "",
         2,
         "",
         "quennet-diff: unknown option '--frobnicate'" + hint},
        {"one file", {kOld}, "", 2, "", "two file names are needed: OLD NEW" + hint},
        {"three files", {kOld, kNew, kNew}, "", 2, "", "expected OLD NEW" + hint},
        {"tree and json", {"--tree", "--json", kOld, kNew}, "", 2, "", "each other" + hint},
        {"option without its value", {"-D"}, "", 2, "", "option '-D' needs a value" + hint},
        {"help", {"--help"}, "", 0, "Usage: quennet-diff", ""},
        {"version",
         {"--version"},
         "",
         0,
         std::string("quennet-diff ") + QUENNET_VERSION + "\nLicense GPL-3.0-or-later",
         ""},
        {"map of one file", {"--map", kNew, kNew}, "", 0, "C 0\nC 1\n", "", "O"},
        {"map of two", {"--map", kOld, kNew}, "", 1, "", ""},
        {"json",
         {"--json", kOld, kNew},
         "",
         1,
         "{\"format\":1,\"old\":\"" + kOld + "\",\"new\":\"" + kNew +
             "\",\"equivalent\":false,\"stopped\":[],\"tree\":[{",
         ""},
        {"json of one file",
         {"--json", kOld, kOld},
         "",
         0,
         "{\"format\":1,\"old\":\"" + kOld + "\",\"new\":\"" + kOld +
             "\",\"equivalent\":true,\"stopped\":[],\"tree\":[]}\n",
         ""},
        {"tree sends the stop note to standard error",
         {"--tree", kStops + "/old.pas", kStops + "/new.pas"},
         "",
         1,
         "Text, lines 13-14\t3\t-\t13-14\n",
         "! " + kStops + "/new.pas(13): the structure is not followed"},
        {"model stop note",
         {"--dialect", "classic", "--model", kModelStops},
         "",
         0,
         "{\"format\":1,",
         kModelStops + ":4: the structure is not followed from here on; the parse stopped at "
                       "line 4"},
        {"model of a missing file",
         {"--model", "/nonexistent/u.pas"},
         "",
         2,
         "",
         "Cannot open \"/nonexistent/u.pas\": No such file"},
        {"model of a folder", {"--model", kCases}, "", 2, "", "\": it is a folder"},
        {"model without a file",
         {"--model"},
         "",
         2,
         "",
         "option '--model' needs a file name" + hint},
        {"model of two files", {"--model", "a.pas", "b.pas"}, "", 2, "", "takes one file" + hint},
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
        {"form model from stdin",
         {"--model", "-"},
         kCases + "/form-01-value-kinds/old.dfm",
         0,
         "{\"format\":1,\"kind\":\"form\"",
         ""},
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
        if (c.exitCode == 2) {
            EXPECT_EQ(r.out, "");
        }
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

TEST(CliConventions, JsonTreesOfCases) {
    auto sections =
        RunCli({"--json", "old.pas", "new.pas"}, kCases + "/diff-05-sections-changed-and-gained");
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
        RunCli({"--json", "old.pas", "new.pas"}, kCases + "/diff-07-conditional-default-symbols");
    EXPECT_EQ(
        nested.out,
        "{\"format\":1,\"old\":\"old.pas\",\"new\":\"new.pas\",\"equivalent\":false,\"stopped\":[],"
        "\"tree\":[{\"kind\":\"routine\",\"caption\":\"Procedure/Function\",\"state\":\"group\","
        "\"state_number\":0,\"old\":null,\"new\":null,\"children\":[{\"kind\":\"routine\","
        "\"caption\":\"Run\","
        "\"state\":\"changed\",\"state_number\":4,\"old\":{\"first\":21,\"last\":26},"
        "\"new\":{\"first\":23,\"last\":31},\"children\":[]}]}]}\n");
    auto stopped = RunCli({"--json", "old.pas", "new.pas"}, kStops);
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_EQ(stopped.out,
              "{\"format\":1,\"old\":\"old.pas\",\"new\":\"new.pas\",\"equivalent\":false,"
              "\"stopped\":[{\"file\":\"new.pas\",\"line\":13}],\"tree\":[{\"kind\":\"text\","
              "\"caption\":\"Text, lines 13-14\",\"state\":\"added\",\"state_number\":3,"
              "\"old\":null,\"new\":{\"first\":13,\"last\":14},\"children\":[]}]}\n");
}

TEST(CliConventions, ModelIsTheSortedModelAsJson) {
    auto r = RunCli({"--model", kCases + "/model-02-classes/input.pas"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    EXPECT_EQ(r.out.rfind("{\"format\":1,\"name\":\"Shapes2\",\"checksum\":", 0), 0u) << r.out;
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

TEST(CliConventions, FailedWriteIsTroubleInEveryMode) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const std::string dirs = ShellQuote(std::string(QUENNET_EXAMPLES_DIR) + "/old") + " " +
                             ShellQuote(std::string(QUENNET_EXAMPLES_DIR) + "/new");
    for (const char* mode : {"", "--tree", "--json", "--map", "--help"}) {
        const auto r = RunShell("\"$CLI\" " + std::string(mode) + " " + ShellQuote(kOld) + " " +
                                ShellQuote(kNew) + " >/dev/full");
        EXPECT_EQ(r.exitCode, 2) << mode;
    }
    for (const std::string& args : {"--model " + ShellQuote(kOld), "--dirs " + dirs}) {
        const auto r = RunShell("\"$CLI\" " + args + " >/dev/full");
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_NE(r.err.find("standard output"), std::string::npos) << r.err;
    }
}

TEST(CliConventions, InputsAreReadToTheirEndFromAnySource) {
    const auto files = RunCli({kOld, kNew});
    const auto body = [](const std::string& out) { return out.substr(out.find("\n\n")); };
    ASSERT_EQ(files.exitCode, 1) << files.err;
    const std::string dir = std::filesystem::temp_directory_path().string();
    const std::string fifo = dir + "/quennet-fifo-" + std::to_string(::getpid());
    for (const std::string& cmd : {
             "cat " + ShellQuote(kOld) + " | \"$CLI\" - " + ShellQuote(kNew),
             "\"$CLI\" " + ShellQuote(kOld) + " /dev/fd/3 3<" + ShellQuote(kNew),
             "rm -f " + fifo + " && mkfifo " + fifo + " && { cat " + ShellQuote(kNew) + " >" +
                 fifo + " & } && \"$CLI\" " + ShellQuote(kOld) + " " + fifo + "; s=$?; rm -f " +
                 fifo + "; exit $s",
         }) {
        const auto r = RunShell(cmd);
        EXPECT_EQ(r.exitCode, 1) << cmd << "\n" << r.err;
        EXPECT_EQ(body(r.out), body(files.out)) << cmd;
    }
    // A read that fails is trouble, never an empty file.
    auto unreadable = RunCli({"/proc/self/mem", kNew});
    EXPECT_EQ(unreadable.exitCode, 2);
    EXPECT_NE(unreadable.err.find("Cannot read \"/proc/self/mem\""), std::string::npos)
        << unreadable.err;
}

} // namespace
