// The three merged outputs and the safe replacement of the files they go to.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "io/atomic_file.h"
#include "io/source_file.h"
#include "temp_folder.h"
#include "workspace/merged_output.h"
#include "workspace/rtf_writer.h"

using namespace quennet::workspace;
using namespace quennet::io;
namespace fs = std::filesystem;
using quennet::testing::TempFolder;

namespace {

const TColor kGreen = TColor::Rgb(0, 128, 0);

// One line per letter: k black, r red, b blue, g green, a automatic; text "<letter><index>".
TWorkspaceDocument Lines(std::string_view kinds) {
    TWorkspaceDocument d;
    for (size_t i = 0; i < kinds.size(); ++i) {
        const char k = kinds[i];
        const TColor c = k == 'k'   ? kBlack
                         : k == 'r' ? kRed
                         : k == 'b' ? kBlue
                         : k == 'g' ? kGreen
                                    : TColor::Automatic();
        d.AppendLine(std::string(1, k) + std::to_string(i), TCharFormat{c, false});
    }
    d.AppendLine("", TCharFormat{kBlack, false});
    return d;
}

std::vector<std::string> Body(std::vector<std::string> merged) {
    EXPECT_GE(merged.size(), 4u);
    EXPECT_EQ(merged[0], MergedHeaderLine());
    EXPECT_EQ(merged[1], "// FOR REVERSE SOURCE TO PREVIOUS VERSION REMOVE NEXT LINE");
    EXPECT_EQ(merged[2], "{$DEFINE NEW_VER}");
    EXPECT_EQ(merged[3], "");
    return {merged.begin() + 4, merged.end()};
}

} // namespace

TEST(MergedOutput, NewAndOldVersions) {
    const auto d = Lines("krrbbkgk");
    using V = std::vector<std::string>;
    EXPECT_EQ(NewVersionLines(d, ""), (V{"k0", "b3", "b4", "k5", "g6", "k7"}));
    EXPECT_EQ(NewVersionLines(d, "// "), (V{"k0", "// r1", "// r2", "b3", "b4", "k5", "g6", "k7"}));
    EXPECT_EQ(OldVersionLines(d, ""), (V{"k0", "r1", "r2", "k5", "g6", "k7"}));
    EXPECT_EQ(OldVersionLines(d, "//x"), (V{"k0", "r1", "r2", "//xb3", "//xb4", "k5", "g6", "k7"}));
}

TEST(MergedOutput, MergedVersionDirectives) {
    using V = std::vector<std::string>;
    // Blocks built from two texts are the workspace cases'; here an empty document and colours
    // marked by hand.
    EXPECT_EQ(Body(MergedVersionLines(TWorkspaceDocument())), V{});
    // Other colours write nothing but still become the previous colour.
    EXPECT_EQ(Body(MergedVersionLines(Lines("kgrgk"))), (V{"k0", "g1", "r2", "g3", "k4"}));
    EXPECT_EQ(Body(MergedVersionLines(Lines("kbgbk"))),
              (V{"k0", "{$IFDEF NEW_VER}", "b1", "g2", "b3", "{$ENDIF}", "k4"}));
    // Hand-marked red, blue, red: one block, each version in its branch, never a second ELSE;
    // a last line of another colour opened no block, so nothing closes it.
    EXPECT_EQ(Body(MergedVersionLines(Lines("rbr"))),
              (V{"{$IFNDEF NEW_VER}", "r0", "r2", "{$ELSE}", "b1", "{$ENDIF}"}));
    EXPECT_EQ(Body(MergedVersionLines(Lines("ka"))), (V{"k0", "a1"}));
}

TEST(MergedOutput, SetupChoice) {
    EXPECT_EQ(CommentPrefixOf(false, "x"), "");
    EXPECT_EQ(CommentPrefixOf(true, " "), "// ");
    EXPECT_EQ(CommentPrefixOf(true, ""), "//");
    EXPECT_FALSE(MergeSetupStateOf("").Comment);
    const auto blank = MergeSetupStateOf("// ");
    EXPECT_TRUE(blank.Comment);
    EXPECT_EQ(blank.EditText, " ");
    EXPECT_EQ(MergeSetupStateOf("//").EditText, "");
    EXPECT_EQ(MergeSetupStateOf("#").EditText, ""); // not ours: shorter than "//"
}

TEST(MergedOutput, EmptyRedLineTakesTheColourOfItsBreak) {
    // An empty line's kind is its break's colour, whatever its (absent) characters were.
    TWorkspaceDocument d;
    d.AppendLine("k", TCharFormat{kBlack, false});
    d.AppendLine("", {}, TCharFormat{kRed, false});
    d.AppendLine("k", TCharFormat{kBlack, false});
    EXPECT_EQ(NewVersionLines(d, ""), (std::vector<std::string>{"k", "k"}));
}

TEST(MergedOutput, FilesEndLinesWithCrLfAndReplaceWhole) {
    TempFolder dir;
    const std::string path = (dir.path / "out.pas").string();
    SaveNewVersion(Lines("krb"), path, "");
    EXPECT_EQ(quennet::io::ReadFileBytes(path), "k0\r\nb2\r\n");
    ::chmod(path.c_str(), 0640);
    SaveOldVersion(Lines("krb"), path, "// ");
    EXPECT_EQ(quennet::io::ReadFileBytes(path), "k0\r\nr1\r\n// b2\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u); // the replaced file keeps its permissions
    SaveMergedVersion(Lines("k"), path);
    EXPECT_EQ(quennet::io::ReadFileBytes(path),
              MergedHeaderLine() +
                  "\r\n// FOR REVERSE SOURCE TO PREVIOUS VERSION REMOVE NEXT LINE\r\n"
                  "{$DEFINE NEW_VER}\r\n\r\nk0\r\n");
    EXPECT_EQ(dir.Names().size(), 1u); // no temporary file left

    const std::string rtf = (dir.path / "ws.rtf").string();
    SaveWorkspaceRtf(Lines("rb"), rtf);
    std::vector<std::string> warnings;
    const auto back = LoadWorkspaceFile(rtf, &warnings);
    EXPECT_EQ(back.LineColor(0), kRed);
    EXPECT_EQ(back.LineColor(1), kBlue);
    EXPECT_TRUE(warnings.empty());
    SaveWorkspacePlainText(Lines("rb"), (dir.path / "ws.pas").string());
    EXPECT_EQ(quennet::io::ReadFileBytes((dir.path / "ws.pas").string()), "r0\r\nb1\r\n");
    EXPECT_TRUE(
        LoadWorkspaceFile((dir.path / "ws.pas").string(), &warnings).LineColor(0).IsAutomatic());
    EXPECT_TRUE(warnings.empty()) << "plain text is a workspace form of its own";

    // A cut workspace, and plain text under an RTF name, are read with warnings naming them.
    const std::string whole = quennet::io::ReadFileBytes(rtf);
    ASSERT_EQ(whole.substr(whole.size() - 3), "}\r\n");
    WriteFileAtomically(rtf, whole.substr(0, whole.size() - 3));
    EXPECT_GE(LoadWorkspaceFile(rtf, &warnings).LineCount(), 1u);
    WriteFileAtomically((dir.path / "plain.RTF").string(), "r0\r\n");
    LoadWorkspaceFile((dir.path / "plain.RTF").string(), &warnings);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0], rtf + ": offset " + std::to_string(whole.size() - 3) +
                               ": the workspace ends before its last group closes (1 open); "
                               "the text up to there is read");
    EXPECT_EQ(warnings[1], (dir.path / "plain.RTF").string() +
                               ": offset 0: not RTF: read as plain text, without line colours");
}

TEST(MergedOutput, LargeOutputsWrittenInBlocksEqualTheWholeText) {
    // Far more than one block, with characters of two and three bytes on every line: each
    // encoding's mark comes once and no character is cut between blocks.
    TWorkspaceDocument d;
    const TColor colors[] = {kBlack, kRed, kBlue};
    for (size_t i = 0; i < 6000; ++i)
        d.AppendLine("line " + std::to_string(i) + " caf\xC3\xA9 \xE2\x82\xAC {x}",
                     TCharFormat{colors[i % 3], i % 7 == 0});
    TempFolder dir;
    const std::string path = (dir.path / "out.pas").string();
    for (const TextEncoding encoding : {TextEncoding::Bytes, TextEncoding::Utf8Bom,
                                        TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
        SourceTextFormat format;
        format.LineBreak = "\n";
        format.Encoding = encoding;
        SaveNewVersion(d, path, "//", format);
        EXPECT_EQ(ReadFileBytes(path),
                  AssembleSourceText(NewVersionLines(d, "//"), OutputFormatOf(format)));
        SaveMergedVersion(d, path, format);
        EXPECT_EQ(ReadFileBytes(path),
                  AssembleSourceText(MergedVersionLines(d), OutputFormatOf(format)));
    }
    SaveWorkspaceRtf(d, path);
    EXPECT_EQ(ReadFileBytes(path), WriteRtf(d));
    EXPECT_EQ(dir.Names().size(), 1u);
}

// A failed write of a regular file is the saving code's, tested with the source saves.
TEST(MergedOutput, AFolderInTheWayOrMissingFails) {
    TempFolder dir;
    fs::create_directory(dir.path / "sub");
    EXPECT_THROW(WriteFileAtomically((dir.path / "sub").string(), "x"), std::runtime_error);
    try {
        WriteFileAtomically((dir.path / "missing" / "f.pas").string(), "x");
        ADD_FAILURE();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("missing/f.pas"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("No such file"), std::string::npos);
    }
}

TEST(MergedOutput, DevicesAreWrittenDirectly) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    try {
        SaveMergedVersion(Lines("k"), "/dev/full");
        ADD_FAILURE() << "no failure";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("/dev/full"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("No space left"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_NO_THROW(WriteFileAtomically("/dev/null", "x"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}
