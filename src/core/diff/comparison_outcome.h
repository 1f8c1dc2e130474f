// What a front end may claim after comparing two parsed files. Shared by the command line and
// the main window so both say the same thing about broken parses.
#pragma once

#include <cstdint>
#include <string>

#include "diff/source_diff.h"
#include "model/source_model.h"

namespace quennet::diff {

// The line named when a parse did not follow the structure to the end: the first syntax error,
// else where the parse stopped; -1 when the parse was complete or no line is known.
int32_t ParseStopLine(const model::ParseStatus& status);

// "! FILE(LINE): ..." for a parse that did not follow the structure to the end; empty when it
// did. fileName is shown as given.
std::string ParseStopNote(const std::string& fileName, const model::ParseStatus& status);

// The files are equivalent when the tree is empty, every token read is the same (whole-file
// checksum) and no text went unread: a broken parse counts only when both broke and every token
// left unread is the same.
bool ClaimsEquivalence(const diff::TSourceDiff& diff, const model::TPasSrc& oldSrc,
                       const model::TPasSrc& newSrc);

} // namespace quennet::diff
