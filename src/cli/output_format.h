// The outputs of a comparison of two Pascal files. Each format is one file (output_*.cpp) that
// writes it and registers it with the option that asks for it; the option table and the diff
// command read the registry, so adding a format is that file and its value of Output.
#pragma once

#include <string>
#include <vector>

#include "base/line_keys.h"
#include "diff/compare_sources.h"
#include "options.h"

namespace quennet::cli {

struct OutputFormat {
    Output id;
    const char* option = nullptr;  // long option; the report, the default, has none
    char shortOption = 0;          // 0: none
    std::vector<Command> commands; // the modes whose command line takes the option
    // Writes the format of a finished comparison to standard output. Null for a format that
    // needs no comparison (the line map).
    void (*write)(const diff::ComparisonResult& result, const CliOptions& opt) = nullptr;
    // Its line in --help; a '\n' continues it under the first line's text.
    const char* help = "";
};

// Ordered by Output.
const std::vector<OutputFormat>& OutputFormats();
// The --help lines of the formats of the two-file comparison, in order.
std::string OutputFormatsHelp();
const OutputFormat& FormatOf(Output id);

struct RegisterOutputFormat {
    explicit RegisterOutputFormat(OutputFormat format);
};

// The line map of two whole texts (output_map.cpp): 0 when every line is common, else 1.
int WriteLineMap(std::vector<base::TLineRecord> oldLines, std::vector<base::TLineRecord> newLines);

} // namespace quennet::cli
