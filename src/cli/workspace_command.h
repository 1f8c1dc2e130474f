// The merge outputs of the OLD NEW command: --workspace FILE.rtf writes the merge workspace,
// --merged FILE the NEW_VER merged source (the workspace saved as the merged version).
#pragma once

#include <string>
#include <vector>

namespace quennet::cli {

struct WorkspaceOptions {
    std::string workspacePath;
    std::string mergedPath;
    bool Any() const { return !workspacePath.empty() || !mergedPath.empty(); }
};

// Removes --workspace FILE and --merged FILE (and the = forms) from args, up to a "--".
WorkspaceOptions TakeWorkspaceOptions(std::vector<std::string>& args);

// One compared file: its name as given and its lines as read.
struct WorkspaceInput {
    const std::string& name;
    const std::vector<std::string>& lines;
};

// Builds the workspace of the two files and writes what the options ask for. Two empty files
// build nothing: a note goes to stderr and no file is written. Returns whether files were
// written; throws std::runtime_error naming the file and the reason.
bool HandleWorkspaceOptions(const WorkspaceOptions& options, const WorkspaceInput& oldFile,
                            const WorkspaceInput& newFile);

} // namespace quennet::cli
