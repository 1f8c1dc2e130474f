// The terminal displays, the API view and whole-tree comparison as the core takes them, made
// from the command line.
#pragma once

#include "folders/tree_compare.h"
#include "options.h"

namespace quennet::cli {

struct DisplayRequest {
    bool failOnBreaking = false;
    bool json = false;
    folders::TreeOptions tree; // pair options, mask and threads
};

// Width: --width, else COLUMNS, else the terminal's, else 80. Without --display, inline on a
// terminal and report otherwise. Colour as --color asks (never by default).
DisplayRequest MakeDisplayRequest(const CliOptions& opt);

// True when a comparison of two files is to be shown in a terminal display or as API changes
// rather than as the report, tree, JSON or map.
bool WantsDisplay(const CliOptions& opt);

} // namespace quennet::cli
