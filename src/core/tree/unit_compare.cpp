// Parsing, comparison and rendering of one pair; nothing here is shared between calls.
#include "tree/unit_compare.h"

#include <memory>

#include "model/comparison_outcome.h"
#include "model/report_writer.h"
#include "model/source_diff.h"
#include "io/source_file.h"
#include "model/source_model.h"

namespace quennet::tree {

namespace {

std::unique_ptr<model::TPasSrc> Parse(const std::vector<std::string>& lines,
                                      const std::string& label, const PairOptions& options) {
    const std::string text = io::JoinLinesCrLf(lines);
    auto src = std::make_unique<model::TPasSrc>();
    src->Parse(text, &options.symbols,
               {model::ResolveDialect(options.dialect, label, text), label, {}});
    return src;
}

DeclCounts CountDecls(const model::TSourceDiffList& root) {
    DeclCounts c;
    for (const auto& e : display::DisplayEntries(root)) {
        if (e.kind == "implementation") continue; // part of its routine's entry
        if (e.state == model::Removed)
            ++c.removed;
        else if (e.state == model::Added)
            ++c.added;
        else
            ++c.changed;
    }
    return c;
}

} // namespace

UnitOutcome CompareUnitTexts(const std::string& oldBytes, const std::string& newBytes,
                             const std::string& oldLabel, const std::string& newLabel,
                             const PairOptions& options) {
    UnitOutcome out;
    if (oldBytes == newBytes) return out;
    const auto oldLines = io::SplitLines(oldBytes);
    const auto newLines = io::SplitLines(newBytes);
    const auto oldSrc = Parse(oldLines, oldLabel, options);
    const auto newSrc = Parse(newLines, newLabel, options);
    const model::TSourceDiff diff(*oldSrc, *newSrc);
    const bool equivalent = model::ClaimsEquivalence(diff, *oldSrc, *newSrc);
    out.equivalent = equivalent;

    std::vector<std::string> notes;
    for (const auto& [src, label] : {std::pair{oldSrc.get(), &oldLabel}, {newSrc.get(), &newLabel}})
        if (!src->Status.Complete) notes.push_back(model::ParseStopNote(*label, src->Status));

    out.decls = CountDecls(diff.Root);
    if (options.api != ApiMode::Off) {
        out.api = api::CompareApi({oldSrc.get(), &oldLines}, {newSrc.get(), &newLines},
                                  options.api == ApiMode::Protected);
        for (const auto& c : out.api.changes)
            out.lines.push_back(api::ApiChangeLine(c));
    } else if (options.display.style == display::DisplayStyle::Report) {
        model::WriteReport(*oldSrc, *newSrc, out.lines);
    } else {
        out.lines = display::RenderDisplay(oldLines, newLines, diff.Root, options.display);
    }
    out.lines.insert(out.lines.end(), notes.begin(), notes.end());
    if (!notes.empty()) {
        out.status = UnitStatus::Trouble;
        out.problem = notes.front();
    } else {
        out.status = equivalent ? UnitStatus::Same : UnitStatus::Changed;
    }
    return out;
}

UnitOutcome CompareUnitFiles(const std::string& oldPath, const std::string& newPath,
                             const PairOptions& options) {
    std::string oldBytes, newBytes;
    try {
        oldBytes = io::ReadFileBytes(oldPath);
        newBytes = io::ReadFileBytes(newPath);
    } catch (const std::exception& e) {
        UnitOutcome out;
        out.status = UnitStatus::Trouble;
        out.problem = e.what();
        return out;
    }
    return CompareUnitTexts(oldBytes, newBytes, oldPath, newPath, options);
}

} // namespace quennet::tree
