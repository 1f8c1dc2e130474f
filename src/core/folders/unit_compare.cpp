// Parsing, comparison and rendering of one pair; nothing here is shared between calls.
#include "folders/unit_compare.h"

#include "diff/compare_sources.h"
#include "io/source_file.h"
#include "io/text_encoding.h"
#include "render/report_writer.h"

namespace quennet::folders {

namespace {

DeclCounts CountDecls(const diff::TSourceDiffList& root) {
    DeclCounts c;
    for (const auto& e : render::DisplayEntries(root)) {
        // A body is part of its routine's entry; a run of text is no declaration.
        if (e.kind == "implementation" || e.kind == "text") continue;
        if (e.state == diff::Removed)
            ++c.removed;
        else if (e.state == diff::Added)
            ++c.added;
        else
            ++c.changed;
    }
    return c;
}

} // namespace

PairOptions PairReading(const model::Reading& reading) {
    PairOptions pair;
    pair.symbols = reading.symbols;
    pair.dialect = reading.options.dialect;
    pair.reading = reading.options;
    return pair;
}

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
    const diff::ComparisonResult r =
        diff::CompareSources({oldText, oldLabel}, {newText, newLabel}, options.symbols, parse);
    render::ComparisonReport report;
    out.equivalent = r.equivalent;
    out.decls = CountDecls(r.diff->Root);
    if (options.api != ApiMode::Off) {
        out.api = diff::CompareApi({r.oldSource.get(), &oldLines}, {r.newSource.get(), &newLines},
                                   options.api == ApiMode::Protected, r.pairing.get());
        // A change the model holds no declaration for (in the classic reading, a program's
        // main block) is still one.
        if (!r.equivalent && out.api.breaking + out.api.additive + out.api.internal == 0)
            out.api.internal = 1;
        for (const auto& c : out.api.changes)
            out.lines.push_back(diff::ApiChangeLine(c));
    } else if (options.display.style == render::DisplayStyle::Report) {
        report = render::ReportOf(r);
        out.lines.assign(report.lines.begin() + render::kReportHeadingLines,
                         report.lines.begin() + static_cast<long>(report.bodyEnd));
    } else {
        out.lines = render::RenderDisplay(oldLines, newLines, r.diff->Root, options.display);
    }
    for (const auto& note : r.stopNotes)
        out.lines.push_back(note.text);
    // The report's runs of text beyond a stop follow its notes; other displays show them.
    if (options.api == ApiMode::Off && options.display.style == render::DisplayStyle::Report)
        out.lines.insert(out.lines.end(),
                         report.lines.begin() + static_cast<long>(report.runsBegin),
                         report.lines.begin() + static_cast<long>(report.runsEnd));
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

} // namespace quennet::folders
