// A range of a workspace document as a document of its own, with every character's and
// every line break's format: what the merge editor puts on the clipboard.
#pragma once

#include <cstddef>

#include "workspace/workspace_document.h"

namespace quennet::workspace {

// [start, start + length), clamped to the text. A range that ends right after a line break
// ends with an empty line; the last line's end mark takes the format of that line's break in
// the source.
TWorkspaceDocument CopyRange(const TWorkspaceDocument& doc, size_t start, size_t length);

} // namespace quennet::workspace
