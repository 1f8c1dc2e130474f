// The text rendering of the difference tree, for the command line and for tests.
#pragma once

#include <string>
#include <vector>

#include "diff/source_diff.h"

namespace quennet::render {

// One line per node: two blanks per level, caption, TAB, state, TAB, old lines, TAB, new
// lines. Lines are "first-last" (1-based, as in the model) or "-" for no declaration.
std::vector<std::string> FormatDiffTree(const diff::TSourceDiffList& root);

// "group", "removed", "added", "changed"; "unknown" for any other value.
const char* DiffStateName(diff::DiffState state);

} // namespace quennet::render
