// The plain-text difference report, computed from the two sorted models.
#pragma once

#include <string>
#include <vector>

#include "diff/compare_sources.h"
#include "model/source_model.h"

namespace quennet::render {

// Appends the report body to dest; never removes lines. With a pairing, renamed and moved
// declarations are one line each.
void WriteReport(const model::TPasSrc& oldSrc, const model::TPasSrc& newSrc,
                 std::vector<std::string>& dest, const diff::DeclPairing* pairing = nullptr);

// The report's first lines: "Diff report for", the two names and an empty line.
inline constexpr size_t kReportHeadingLines = 4;

// The whole report of a comparison: the heading, the body, the stop notes, the runs of text
// after a stop and, when the files are equivalent, the sentence that says so. Lines from
// kReportHeadingLines up to bodyEnd hold source bytes; the others hold the names as given.
struct ComparisonReport {
    std::vector<std::string> lines;
    size_t bodyEnd = kReportHeadingLines;
    size_t runsBegin = kReportHeadingLines; // the runs of text after a stop: [runsBegin, runsEnd)
    size_t runsEnd = kReportHeadingLines;
};
ComparisonReport ReportOf(const diff::ComparisonResult& result);

} // namespace quennet::render
