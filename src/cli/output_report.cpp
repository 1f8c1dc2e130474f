// The difference report, the default output; coloured by the mark that starts each line.
#include <iostream>
#include <string>

#include "io/platform.h"
#include "output_format.h"
#include "render/report_writer.h"

namespace quennet::cli {

namespace {

bool UseColor(ColorWhen when) {
    if (when != ColorWhen::Auto) return when == ColorWhen::Always;
    return io::EnvironmentValue("NO_COLOR").empty() && io::TerminalTakesColours();
}

// Removed red, added green, changed yellow, by the mark that starts a report line.
const char* ReportLineColor(const std::string& line) {
    const size_t at = line.find_first_not_of(' ');
    if (at == std::string::npos) return "";
    switch (line[at]) {
    case '-': return "\033[31m";
    case '+': return "\033[32m";
    case '*': return "\033[33m";
    case '>': return "\033[1m";
    default: return "";
    }
}

void WriteReport(const diff::ComparisonResult& result, const CliOptions& opt) {
    const bool color = UseColor(opt.color);
    std::string out;
    const render::ComparisonReport report = render::ReportOf(result);
    for (size_t i = 0; i < report.lines.size(); ++i) {
        const std::string& line = report.lines[i];
        const bool body = i >= render::kReportHeadingLines && i < report.bodyEnd;
        const char* c = color && body ? ReportLineColor(line) : "";
        out += *c ? c + line + "\033[m\n" : line + '\n';
    }
    std::cout << out;
}

const RegisterOutputFormat
    kReport({Output::Report, nullptr, 0, {}, &WriteReport, "the difference report"});

} // namespace

} // namespace quennet::cli
