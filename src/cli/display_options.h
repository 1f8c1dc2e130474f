// The options of the terminal displays, the API view and whole-tree comparison, taken out of
// the argument list before the command's own parsing.
#pragma once

#include <string>
#include <vector>

#include "tree/tree_compare.h"

namespace quennet::cli {

struct DisplayRequest {
    bool styleGiven = false; // --display=...
    bool anyGiven = false;   // any option below
    bool failOnBreaking = false;
    bool json = false;      // taken only by TakeDisplayOptions(..., true)
    tree::TreeOptions tree; // pair options, mask and threads
};

// --display=STYLE, --width=N, --color=WHEN, --api[=protected], --fail-on=breaking, and with
// forTree also --mask, --threads, --json. Width: --width, else COLUMNS, else the terminal's,
// else 80. Without --display, inline on a terminal and report otherwise.
DisplayRequest TakeDisplayOptions(std::vector<std::string>& args, bool forTree);

// True when args name an option of the terminal displays or the API view.
bool HasDisplayOptions(const std::vector<std::string>& args);

} // namespace quennet::cli
