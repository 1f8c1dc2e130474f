// Fuzz target: the structural comparison and the report writer on two units (the input split
// at its first NUL). A unit compared with itself is equivalent; two units give a tree whose
// declarations stay within their texts, and the report of the pair never shrinks its buffer.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "diff/source_diff.h"
#include "fuzz_support.h"
#include "io/source_file.h"
#include "model/source_model.h"
#include "pascal/parse.h"
#include "render/report_writer.h"

namespace quennet::fuzz {

inline void CheckTree(const diff::TSourceDiffList& list, int32_t oldMax, int32_t newMax,
                      int depth) {
    Require(depth < 64);
    for (size_t i = 0; i < list.Count(); ++i) {
        const diff::TSourceDiffItem* item = list.Items(i);
        Require(item->OldDecl || item->NewDecl || item->Children.Count() > 0);
        if (item->OldDecl) Require(item->OldDecl->LastLine <= oldMax);
        if (item->NewDecl) Require(item->NewDecl->LastLine <= newMax);
        CheckTree(item->Children, oldMax, newMax, depth + 1);
    }
}

inline int ComparisonFuzzOne(const uint8_t* data, size_t size) {
    const auto [oldText, newText] =
        TwoTexts(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::vector<std::string> symbols = {"VER130", "WIN32", "CPU386"};
    const std::vector<std::string> oldLines = io::SplitLines(oldText);
    const std::vector<std::string> newLines = io::SplitLines(newText);
    auto oldSrc = std::make_unique<model::TPasSrc>();
    auto newSrc = std::make_unique<model::TPasSrc>();
    pascal::Parse(*oldSrc, io::JoinLinesCrLf(oldLines), &symbols);
    pascal::Parse(*newSrc, io::JoinLinesCrLf(newLines), &symbols);

    const diff::TSourceDiff same(*oldSrc, *oldSrc);
    Require(same.Root.Count() == 0);
    std::vector<std::string> report{"heading"};
    render::WriteReport(*oldSrc, *oldSrc, report);
    Require(!report.empty() && report.front() == "heading");

    const diff::TSourceDiff diff(*oldSrc, *newSrc);
    CheckTree(diff.Root, static_cast<int32_t>(oldLines.size()) + 1,
              static_cast<int32_t>(newLines.size()) + 1, 0);
    report = {"heading"};
    render::WriteReport(*oldSrc, *newSrc, report);
    Require(report.front() == "heading");
    return 0;
}

} // namespace quennet::fuzz

#ifndef QUENNET_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return quennet::fuzz::ComparisonFuzzOne(data, size);
}
#endif
