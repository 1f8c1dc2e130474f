// --workspace and --merged of the OLD NEW command.
#include "workspace_command.h"

#include <iostream>

#include "commands.h"
#include "io/atomic_file.h"
#include "workspace/merge_workspace.h"
#include "workspace/merged_output.h"
#include "workspace/pas_conversion.h"
#include "workspace/rtf_reader.h"

namespace quennet::cli {

bool HandleWorkspaceOptions(const CliOptions& options, const WorkspaceInput& oldFile,
                            const WorkspaceInput& newFile) {
    if (options.workspacePath.empty() && options.mergedPath.empty()) return false;
    std::optional<workspace::TMergeWorkspace> ws;
    try {
        ws = workspace::BuildMergeWorkspace(oldFile.lines, newFile.lines);
    } catch (const workspace::EConversionError& e) {
        throw std::runtime_error("Cannot build the merge workspace: \"" +
                                 (e.InNewText ? newFile.name : oldFile.name) + "\", line " +
                                 std::to_string(e.Line) + ": " + e.what());
    }
    if (!ws) {
        std::cerr << "quennet-diff: both files are empty: no merge workspace is built\n";
        return false;
    }
    if (!options.workspacePath.empty()) io::WriteFileAtomically(options.workspacePath, ws->Rtf);
    if (!options.mergedPath.empty())
        workspace::SaveMergedVersion(workspace::ReadRtf(ws->Rtf), options.mergedPath,
                                     io::OutputFormatOf(newFile.format, options.eol));
    return true;
}

} // namespace quennet::cli
