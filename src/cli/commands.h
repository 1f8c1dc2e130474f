// The commands of quennet-diff. Each takes the arguments after the program name and returns
// the exit status: 0 same, 1 different, 2 trouble. Errors the user must see are thrown as
// UsageError (bad options) or std::runtime_error (files) and reported by main.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "model/dialect.h"

namespace quennet::cli {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Compiler symbols: VER130, WIN32, CPU386 unless --no-default-defines; -D SYM adds one.
// Removes the options it consumed from args.
std::vector<std::string> TakeDefines(std::vector<std::string>& args);

// --dialect classic|delphi|fpc|auto (default auto). Removes the option it consumed from args.
model::Dialect TakeDialect(std::vector<std::string>& args);

int RunModelCommand(std::vector<std::string> args);           // --model FILE
int RunDiffCommand(std::vector<std::string> args);            // OLD NEW [--tree|--json|--map|...]
int RunWorkspaceOutputCommand(std::vector<std::string> args); // --from-workspace WS ...
int RunDirsCommand(std::vector<std::string> args);            // --dirs OLDDIR NEWDIR
int RunMergeCommand(std::vector<std::string> args);           // --merge BASE LOCAL REMOTE

} // namespace quennet::cli
