// --workspace and --merged of the OLD NEW command.
#include "workspace_command.h"

#include <iostream>

#include "commands.h"
#include "io/atomic_file.h"
#include "merge/merge_workspace.h"
#include "merge/merged_output.h"
#include "merge/pas_conversion.h"
#include "merge/rtf_reader.h"

namespace quennet::cli {

bool HandleWorkspaceOptions(const CliOptions& options, const WorkspaceInput& oldFile,
                            const WorkspaceInput& newFile) {
    if (options.workspacePath.empty() && options.mergedPath.empty()) return false;
    std::optional<merge::TMergeWorkspace> ws;
    try {
        ws = merge::BuildMergeWorkspace(oldFile.lines, newFile.lines);
    } catch (const merge::EConversionError& e) {
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
        merge::SaveMergedVersion(merge::ReadRtf(ws->Rtf), options.mergedPath,
                                 io::OutputFormatOf(newFile.format, options.eol));
    return true;
}

} // namespace quennet::cli
