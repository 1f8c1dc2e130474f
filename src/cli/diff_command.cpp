// Placeholder until this command is built.
#include "commands.h"

namespace quennet::cli {

int RunDiffCommand(std::vector<std::string>) { throw UsageError("this command is not built yet"); }

} // namespace quennet::cli
