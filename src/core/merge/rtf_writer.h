// Saving a workspace document as RTF: text, every character's colour and bold, and the format
// of every line break, so that reading it back gives the same document.
#pragma once

#include <string>

#include "merge/workspace_document.h"

namespace quennet::merge {

// Lines end with "\par" and CR LF; bytes from 128 up and control bytes are written as \'hh
// (code page 1252), tabs as \tab.
std::string WriteRtf(const TWorkspaceDocument& doc);

} // namespace quennet::merge
