// The merge outputs of the OLD NEW command: --workspace FILE.rtf writes the merge workspace,
// --merged FILE the NEW_VER merged source (the workspace saved as the merged version).
#pragma once

#include <string>
#include <vector>

#include "io/source_save.h"
#include "options.h"

namespace quennet::cli {

// One compared file: its name as given, its lines as read and how it was written.
struct WorkspaceInput {
    const std::string& name;
    const std::vector<std::string>& lines;
    io::SourceTextFormat format = {};
};

// Builds the workspace of the two files and writes what the options ask for. Two empty files
// build nothing: a note goes to stderr and no file is written. Returns whether files were
// written; throws std::runtime_error naming the file and the reason.
bool HandleWorkspaceOptions(const CliOptions& options, const WorkspaceInput& oldFile,
                            const WorkspaceInput& newFile);

} // namespace quennet::cli
