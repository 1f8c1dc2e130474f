// quennet-diff's merge outputs: --workspace and --merged on OLD NEW, and --from-workspace.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_runner.h"
#include "io/source_file.h"
#include "temp_folder.h"
#include "workspace/merge_workspace.h"
#include "workspace/merged_output.h"
#include "workspace/rtf_reader.h"

using quennet::testing::ReadWholeFile;
using quennet::testing::RunCli;
namespace fs = std::filesystem;

namespace {

const char kOld[] = "unit U;\r\ninterface\r\nconst A = 'x{y}';\r\nimplementation\r\nend.\r\n";
const char kNew[] =
    "unit U;\r\ninterface\r\nconst A = 'z';\r\nconst B = 1;\r\nimplementation\r\nend.\r\n";

// A folder holding old.pas and new.pas.
struct Folder : quennet::testing::TempFolder {
    Folder() {
        Write("old.pas", kOld);
        Write("new.pas", kNew);
    }
};

} // namespace

TEST(MergeCli, WorkspaceAndMergedFromOldAndNew) {
    Folder f;
    auto r =
        RunCli({"old.pas", "new.pas", "--workspace", "ws.rtf", "--merged=m.pas"}, f.path.string());
    EXPECT_EQ(r.exitCode, 1) << r.err; // the files differ: the report still runs
    EXPECT_NE(r.out.find("Diff report for"), std::string::npos);

    using namespace quennet;
    const auto ws = workspace::BuildMergeWorkspace(io::SplitLines(kOld), io::SplitLines(kNew));
    ASSERT_TRUE(ws);
    EXPECT_EQ(f.Read("ws.rtf"), ws->Rtf);
    const std::string merged = f.Read("m.pas");
    EXPECT_EQ(merged,
              io::JoinLinesCrLf(workspace::MergedVersionLines(workspace::ReadRtf(ws->Rtf))));
    EXPECT_NE(merged.find("{$IFNDEF NEW_VER}\r\nconst A = 'x{y}';\r\n{$ELSE}\r\nconst A = 'z';\r\n"
                          "const B = 1;\r\n{$ENDIF}\r\n"),
              std::string::npos)
        << merged;

    // The outputs of the workspace edited elsewhere.
    r = RunCli(
        {"--from-workspace", "ws.rtf", "--new", "n.pas", "--old", "o.pas", "--merged", "m2.pas"},
        f.path.string());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(f.Read("n.pas"), kNew);
    EXPECT_EQ(f.Read("o.pas"), kOld);
    EXPECT_EQ(f.Read("m2.pas"), merged);

    // Saved again through the document: RTF keeps the kinds, a name without extension gets
    // plain text and ".pas".
    r = RunCli({"--from-workspace", "ws.rtf", "--workspace", "again.rtf"}, f.path.string());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(f.Read("again.rtf"), f.Read("ws.rtf"));
    r = RunCli({"--from-workspace", "again.rtf", "--merged", "m3.pas", "--workspace", "plain"},
               f.path.string());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(f.Read("m3.pas"), merged);
    EXPECT_EQ(f.Read("plain.pas"), "unit U;\r\ninterface\r\nconst A = 'x{y}';\r\nconst A = 'z';\r\n"
                                   "const B = 1;\r\nimplementation\r\nend.\r\n");

    r = RunCli({"--from-workspace", "ws.rtf", "--new", "n.pas", "--comment", " "}, f.path.string());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(f.Read("n.pas"),
              "unit U;\r\ninterface\r\n// const A = 'x{y}';\r\nconst A = 'z';\r\nconst B = 1;\r\n"
              "implementation\r\nend.\r\n");
}

TEST(MergeCli, OutputToStandardOutput) {
    Folder f;
    auto r = RunCli({"old.pas", "new.pas", "--workspace", "ws.rtf"}, f.path.string());
    r = RunCli({"--from-workspace", "ws.rtf", "--old", "/dev/stdout"}, f.path.string());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, kOld);
}

TEST(MergeCli, Trouble) {
    Folder f;
    auto r = RunCli({"--from-workspace", "absent.rtf", "--new", "n.pas"}, f.path.string());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("absent.rtf"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(f.path / "n.pas"));

    r = RunCli({"--from-workspace", "old.pas"}, f.path.string());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("nothing to write"), std::string::npos) << r.err;

    r = RunCli({"old.pas", "new.pas", "--merged"}, f.path.string());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("--merged"), std::string::npos) << r.err;

    f.Write("bad.pas", "x := 'open;\r\n");
    r = RunCli({"old.pas", "bad.pas", "--workspace", "ws.rtf"}, f.path.string());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("bad.pas\", line 1: Invalid string"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(f.path / "ws.rtf"));

    r = RunCli({"old.pas", "new.pas", "--workspace", "no-folder/ws.rtf"}, f.path.string());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("no-folder/ws.rtf"), std::string::npos) << r.err;

    f.Write("e1.pas", "");
    f.Write("e2.pas", "");
    r = RunCli({"e1.pas", "e2.pas", "--merged", "m.pas"}, f.path.string());
    EXPECT_NE(r.err.find("both files are empty"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(f.path / "m.pas"));
}

TEST(MergeCli, OutputsNeverReplaceAnInput) {
    Folder f;
    auto r = RunCli({"old.pas", "new.pas", "--workspace", "ws.rtf"}, f.path.string());
    ASSERT_EQ(r.exitCode, 1) << r.err;
    fs::create_symlink(f.path / "new.pas", f.path / "link.pas");
    const std::string workspace = f.Read("ws.rtf");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--merged", "new.pas", "old.pas", "new.pas"},
             {"--workspace", "old.pas", "old.pas", "new.pas"},
             {"--merged", "link.pas", "old.pas", "new.pas"},
             {"--merged", "./old.pas", "old.pas", "new.pas", "--workspace", "out.rtf"},
             {"--from-workspace", "ws.rtf", "--new", "ws.rtf"},
             {"--from-workspace", "ws.rtf", "--old", "o.pas", "--workspace", "ws.rtf"},
         }) {
        r = RunCli(args, f.path.string());
        EXPECT_EQ(r.exitCode, 2) << args[1];
        EXPECT_NE(r.err.find("it is the input"), std::string::npos) << r.err;
        // Refused before anything was written.
        EXPECT_EQ(f.Read("old.pas"), kOld);
        EXPECT_EQ(f.Read("new.pas"), kNew);
        EXPECT_EQ(f.Read("ws.rtf"), workspace);
        EXPECT_FALSE(fs::exists(f.path / "out.rtf"));
        EXPECT_FALSE(fs::exists(f.path / "o.pas"));
    }
}
