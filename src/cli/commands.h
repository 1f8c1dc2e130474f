// The commands of quennet-diff. Each takes the parsed command line and returns the exit status:
// 0 same, 1 different, 2 trouble. Errors the user must see are thrown as UsageError (bad
// options) or std::runtime_error (files) and reported by main.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "options.h"

namespace quennet::model {
class TPasSrc;
}

namespace quennet::cli {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Writes what was buffered; a failed write (full disk, closed pipe) is trouble.
void FlushStandardOutput();

int RunModelCommand(const CliOptions& opt);           // --model FILE
int RunDiffCommand(const CliOptions& opt);            // OLD NEW [--tree|--json|--map|...]
int RunWorkspaceOutputCommand(const CliOptions& opt); // --from-workspace WS ...
int RunDirsCommand(const CliOptions& opt);            // --dirs OLDDIR NEWDIR
int RunMergeCommand(const CliOptions& opt);           // --merge BASE LOCAL REMOTE
int RunDisplayCommand(const CliOptions& opt);         // --display=STYLE|--api OLD NEW
int RunTreeCommand(const CliOptions& opt);            // -r OLDDIR NEWDIR
int RunCheckFormCommand(const CliOptions& opt);       // --check-form UNIT [FORM]
// OLD NEW: what the new unit and its form disagree on that the old pair did not, as warnings
// on stderr; nothing unless both units have a form beside them. Units not given are parsed.
void WarnNewFormFindings(const CliOptions& opt, const model::TPasSrc* oldUnit = nullptr,
                         const model::TPasSrc* newUnit = nullptr);
// Form files: whether the command is about forms (by extension or content), and running it.
bool UsesForms(const CliOptions& opt);
int RunFormCommand(const CliOptions& opt); // forms in --model, OLD NEW, --form-text

} // namespace quennet::cli
