// The command line of quennet-diff, read once by getopt_long for every mode: long and short
// forms, --opt=value, "--" ending the options, "-" naming standard input.
#pragma once

#include <string>
#include <vector>

#include "model/dialect.h"
#include "model/source_files.h"

namespace quennet::cli {

enum class Command { Diff, Model, FromWorkspace, Dirs, Merge, Tree, FormText, CheckForm };
// The outputs of OLD NEW, each written by its own output_*.cpp (output_format.h).
enum class Output { Report, Brief, Tree, Json, Map }; // in the order --help lists them
enum class ColorWhen { Never, Auto, Always };

struct CliOptions {
    Command command = Command::Diff;
    bool help = false;
    bool version = false;

    std::vector<std::string> files;   // operands, in order
    std::vector<std::string> symbols; // -D only: the target's come first unless told otherwise
    model::Dialect dialect = model::DefaultReading().dialect;
    bool defaultDefines = model::DefaultReading().targetSymbols;
    std::string target; // empty: each file's dialect picks its own
    std::vector<std::string> includeDirs;
    bool followIncludes = model::DefaultReading().followIncludes;
    model::ParseOptions::Renames renames = model::ParseOptions::Renames::ByDialect;

    // OLD NEW
    Output output = Output::Report;
    // The names the outputs show for OLD and NEW, or the conflict markers' BASE, LOCAL, REMOTE.
    std::vector<std::string> labels;
    ColorWhen color = ColorWhen::Never;
    bool gitExternal = false; // called by git as its external diff
    std::string workspacePath;
    std::string mergedPath;
    std::string eol; // line end of the outputs; empty: the source file's (CR LF when unknown)

    // --from-workspace
    std::string newOut, oldOut;
    bool comment = false;
    std::string commentText;

    // --dirs and -r
    std::string mask = model::kDefaultFolderMask;

    // Terminal displays and the API view (OLD NEW and -r)
    std::string display; // report, inline, side-by-side; empty: inline on a terminal
    int width = 0;       // 0: COLUMNS, the terminal's, or 80
    std::string api;     // empty: off; "public" or "protected"
    bool failOnBreaking = false;
    unsigned threads = 0; // -r: comparisons at once; 0: one per core

    // --merge
    std::string outputPath;

    // Form files: designer noise shown, hidden (counted) or ignored.
    std::string formNoise = "show";

    // The name an output shows for operand k (0 old, 1 new).
    const std::string& Label(size_t k) const { return k < labels.size() ? labels[k] : files[k]; }
};

// How every file of a command is read; the dialect and file name are set per file.
model::ParseOptions ReadingOf(const CliOptions& opt);

// Throws UsageError naming the option at fault. argv[0] is not read.
CliOptions ParseCommandLine(int argc, char** argv);

// The usage text of a command, for --help.
const char* UsageText(Command command);

} // namespace quennet::cli
