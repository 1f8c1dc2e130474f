// Golden cases of the highlighter and the workspace builder: tests/cases/merge-*/.
// A conversion case holds source.pas and expected.rtf (or expected-error.txt); a workspace
// case holds old.pas, new.pas, expected.rtf and expected-merged.pas (the version in its first
// line written as @VERSION@).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "golden_file.h"
#include "io/source_file.h"
#include "workspace/merge_workspace.h"
#include "workspace/merged_output.h"
#include "workspace/pas_conversion.h"
#include "workspace/rtf_reader.h"

namespace fs = std::filesystem;
using namespace quennet;
using quennet::testing::CaseFolders;
using quennet::testing::ExpectGolden;

namespace {

std::string Read(const fs::path& p) {
    return io::ReadFileBytes(p.string());
}

void WriteBytes(const fs::path& p, std::string_view bytes) {
    std::ofstream(p, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Convert(const std::vector<std::string>& lines) {
    workspace::TPasConversion conv;
    conv.SetDefaultAttributes();
    conv.AppendSourceText(io::JoinLinesCrLf(lines));
    conv.Rewind();
    conv.ConvertToRtf();
    return std::string(conv.Data());
}

} // namespace

TEST(GoldenMerge, ConversionCases) {
    const auto folders = CaseFolders("merge-conv-");
    ASSERT_GE(folders.size(), 6u);
    for (const auto& dir : folders) {
        SCOPED_TRACE(dir.filename().string());
        const auto lines = io::SplitLines(Read(dir / "source.pas"));
        if (fs::exists(dir / "expected-error.txt")) {
            try {
                Convert(lines);
                ADD_FAILURE() << "conversion did not fail";
            } catch (const workspace::EConversionError& e) {
                EXPECT_EQ(e.what(), Read(dir / "expected-error.txt"));
            }
            continue;
        }
        const std::string rtf = Convert(lines);
        ExpectGolden(dir / "expected.rtf", rtf);
        // Every source line is one output line between the header and the two empty lines of
        // the final line ends, then "\par }" (a NUL ends the scan early).
        const auto out = io::SplitLines(rtf);
        ASSERT_GE(out.size(), 5u);
        EXPECT_EQ(out.back(), "\\par }");
        const bool hasNul = std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
            return l.find('\0') != std::string::npos;
        });
        if (!hasNul) {
            EXPECT_EQ(out.size(), lines.size() + 6);
        }
    }
}

TEST(GoldenMerge, WorkspaceCases) {
    const auto folders = CaseFolders("merge-ws-");
    ASSERT_GE(folders.size(), 4u);
    for (const auto& dir : folders) {
        SCOPED_TRACE(dir.filename().string());
        const auto oldLines = io::SplitLines(Read(dir / "old.pas"));
        const auto newLines = io::SplitLines(Read(dir / "new.pas"));
        auto ws = workspace::BuildMergeWorkspace(oldLines, newLines);
        ASSERT_TRUE(ws.has_value());
        ExpectGolden(dir / "expected.rtf", ws->Rtf);

        const auto doc = workspace::ReadRtf(ws->Rtf);
        ASSERT_EQ(doc.TextLineCount(), ws->MergeMap.size());
        std::string expectedMerged = Read(dir / "expected-merged.pas");
        const std::string version = "@VERSION@";
        expectedMerged.replace(expectedMerged.find(version), version.size(), QUENNET_VERSION);
        const std::string merged = io::JoinLinesCrLf(workspace::MergedVersionLines(doc));
        if (merged != expectedMerged) {
            WriteBytes(dir / "expected-merged.pas.actual", merged);
            quennet::testing::ExpectSameText(expectedMerged, merged, "merged output");
        }

        // Every byte of both versions comes back, NUL bytes included.
        EXPECT_EQ(workspace::NewVersionLines(doc, ""), newLines);
        EXPECT_EQ(workspace::OldVersionLines(doc, ""), oldLines);
    }
}
