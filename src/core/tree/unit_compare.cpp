// Parsing, comparison and rendering of one pair; nothing here is shared between calls.
#include "tree/unit_compare.h"

#include "compare/compare_sources.h"
#include "io/source_file.h"
#include "io/text_encoding.h"

namespace quennet::tree {

namespace {

DeclCounts CountDecls(const model::TSourceDiffList& root) {
    DeclCounts c;
    for (const auto& e : display::DisplayEntries(root)) {
        // A body is part of its routine's entry; a run of text is no declaration.
        if (e.kind == "implementation" || e.kind == "text") continue;
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
    const std::string oldText = io::JoinLinesCrLf(oldLines);
    const std::string newText = io::JoinLinesCrLf(newLines);
    model::ParseOptions parse = options.reading;
    parse.dialect = options.dialect;
    const compare::ComparisonResult r =
        compare::CompareSources({oldText, oldLabel}, {newText, newLabel}, options.symbols, parse);
    out.equivalent = r.equivalent;
    out.decls = CountDecls(r.diff->Root);
    if (options.api != ApiMode::Off) {
        out.api = api::CompareApi({r.oldSource.get(), &oldLines}, {r.newSource.get(), &newLines},
                                  options.api == ApiMode::Protected, r.pairing.get());
        // A change the model holds no declaration for (in the classic reading, a program's
        // main block) is still one.
        if (!r.equivalent && out.api.breaking + out.api.additive + out.api.internal == 0)
            out.api.internal = 1;
        for (const auto& c : out.api.changes)
            out.lines.push_back(api::ApiChangeLine(c));
    } else if (options.display.style == display::DisplayStyle::Report) {
        out.lines.assign(r.report.begin() + compare::kReportHeadingLines,
                         r.report.begin() + static_cast<long>(r.reportBodyEnd));
    } else {
        out.lines = display::RenderDisplay(oldLines, newLines, r.diff->Root, options.display);
    }
    for (const auto& note : r.stopNotes)
        out.lines.push_back(note.text);
    // The report's runs of text beyond a stop follow its notes; other displays show them.
    if (options.api == ApiMode::Off && options.display.style == display::DisplayStyle::Report)
        for (size_t i = r.reportBodyEnd + r.stopNotes.size(); i < r.report.size(); ++i)
            if (r.report[i] != compare::kEquivalentSentence) out.lines.push_back(r.report[i]);
    if (!r.stopNotes.empty()) {
        out.status = UnitStatus::Trouble;
        out.problem = r.stopNotes.front().text;
    } else {
        out.status = r.equivalent ? UnitStatus::Same : UnitStatus::Changed;
    }
    return out;
}

UnitOutcome CompareUnitFiles(const std::string& oldPath, const std::string& newPath,
                             const PairOptions& options) {
    std::string oldBytes, newBytes;
    try {
        oldBytes = io::ReadSourceFile(oldPath).Text;
        newBytes = io::ReadSourceFile(newPath).Text;
    } catch (const std::exception& e) {
        UnitOutcome out;
        out.status = UnitStatus::Trouble;
        out.problem = e.what();
        return out;
    }
    return CompareUnitTexts(oldBytes, newBytes, oldPath, newPath, options);
}

} // namespace quennet::tree
