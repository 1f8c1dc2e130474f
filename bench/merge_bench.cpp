// Speed of the merge engine on a large pair: building the workspace (line matching, two
// highlighter passes, assembly), reading it as a document, writing it back as RTF and writing
// the merged source. Usage: merge_bench [OLD NEW] (default: a synthetic 40k-line pair).
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "io/source_file.h"
#include "workspace/merge_workspace.h"
#include "workspace/merged_output.h"
#include "workspace/pas_conversion.h"
#include "workspace/rtf_reader.h"
#include "workspace/rtf_writer.h"

using namespace quennet;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

std::vector<std::string> SyntheticUnit(size_t routines) {
    std::vector<std::string> lines = {"unit Big;", "", "interface", "", "implementation", ""};
    for (size_t r = 0; r < routines; ++r) {
        const std::string n = std::to_string(r);
        lines.push_back("procedure Routine" + n + "(const S: string; var X: Integer);");
        lines.push_back("var");
        lines.push_back("  I: Integer; { counter " + n + " }");
        lines.push_back("begin");
        lines.push_back("  for I := 1 to Length(S) do");
        lines.push_back("    if S[I] = '{' then Inc(X, $" + std::to_string(r % 255) + ");");
        lines.push_back("  // done " + n);
        lines.push_back("end;");
        lines.push_back("");
    }
    lines.push_back("end.");
    return lines;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> oldLines, newLines;
    if (argc == 3) {
        oldLines = io::LoadSourceLines(argv[1]);
        newLines = io::LoadSourceLines(argv[2]);
    } else {
        oldLines = SyntheticUnit(4500);
        newLines = oldLines;
        std::mt19937 rng(1);
        for (size_t i = 0; i < newLines.size() / 200; ++i) {
            const size_t at = 6 + rng() % (newLines.size() - 7);
            if (i % 3 == 0)
                newLines.erase(newLines.begin() + static_cast<long>(at));
            else if (i % 3 == 1)
                newLines[at] += " { changed }";
            else
                newLines.insert(newLines.begin() + static_cast<long>(at), "  WriteLn('inserted');");
        }
    }
    size_t bytes = 0;
    for (const auto& l : oldLines)
        bytes += l.size() + 2;
    std::printf("old %zu lines (%.1f MB), new %zu lines\n", oldLines.size(),
                static_cast<double>(bytes) / 1e6, newLines.size());

    auto t = Clock::now();
    {
        std::vector<base::TLineRecord> a(oldLines.size()), b(newLines.size());
        for (size_t i = 0; i < a.size(); ++i)
            a[i] = {base::LineKey(oldLines[i]), static_cast<int32_t>(i), false};
        for (size_t i = 0; i < b.size(); ++i)
            b[i] = {base::LineKey(newLines[i]), static_cast<int32_t>(i), false};
        std::vector<diff::TMapEntry> map;
        diff::MatchLines(a, b, map);
        std::printf("line matching     %8.1f ms  (of the build below)\n", Ms(t));
    }
    t = Clock::now();
    {
        workspace::TPasConversion conv;
        conv.SetDefaultAttributes();
        conv.AppendSourceText(io::JoinLinesCrLf(oldLines));
        conv.Rewind();
        conv.ConvertToRtf();
        std::printf("highlight old     %8.1f ms  (of the build below)\n", Ms(t));
    }
    t = Clock::now();
    const auto ws = workspace::BuildMergeWorkspace(oldLines, newLines);
    std::printf("build workspace   %8.1f ms  (%zu entries, %.1f MB RTF)\n", Ms(t),
                ws->MergeMap.size(), static_cast<double>(ws->Rtf.size()) / 1e6);
    t = Clock::now();
    const auto doc = workspace::ReadRtf(ws->Rtf);
    std::printf("read RTF          %8.1f ms  (%zu lines)\n", Ms(t), doc.TextLineCount());
    t = Clock::now();
    const std::string rtf = workspace::WriteRtf(doc);
    std::printf("write RTF         %8.1f ms  (%.1f MB)\n", Ms(t),
                static_cast<double>(rtf.size()) / 1e6);
    t = Clock::now();
    const auto merged = workspace::MergedVersionLines(doc);
    std::printf("merged version    %8.1f ms  (%zu lines)\n", Ms(t), merged.size());
    return 0;
}
