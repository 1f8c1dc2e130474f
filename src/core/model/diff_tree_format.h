// Text and JSON renderings of the difference tree for the command line and for tests.
#pragma once

#include <string>
#include <vector>

#include "model/source_diff.h"

namespace quennet::model {

// One line per node: two blanks per level, caption, TAB, state, TAB, old lines, TAB, new
// lines. Lines are "first-last" (1-based, as in the model) or "-" for no declaration.
std::vector<std::string> FormatDiffTree(const TSourceDiffList& root);

// "group", "removed", "added", "changed"; "unknown" for any other value.
const char* DiffStateName(uint8_t state);

// The tree as a JSON array of nodes {caption, state, state_number, old, new, children}.
std::string DiffTreeJson(const TSourceDiffList& root);

// JSON string literal of 8-bit text: bytes above 127 become \u00XX (read as Latin-1), so the
// output is valid JSON and the bytes can be recovered.
std::string JsonQuote(const std::string& text);

} // namespace quennet::model
