// quennet-diff --from-workspace WS --new|--old|--merged OUT [--comment TEXT]: the outputs of a
// merge workspace edited elsewhere (RTF, or plain text in which every line is a difference).
#include <iostream>

#include "commands.h"
#include "exit_codes.h"
#include "io/output_guard.h"
#include "workspace/merge_editing.h"
#include "workspace/merged_output.h"

namespace quennet::cli {

int RunWorkspaceOutputCommand(const CliOptions& opt) {
    const std::string& workspace = opt.files[0];
    const std::string& newOut = opt.newOut;
    const std::string& oldOut = opt.oldOut;
    const std::string& mergedOut = opt.mergedPath;
    const std::string& workspaceOut = opt.workspacePath;
    const std::string prefix = opt.comment ? "//" + opt.commentText : std::string();

    const auto target = workspace::WorkspaceSaveTarget(workspaceOut);
    io::RefuseOutputsOverInputs(
        {newOut, oldOut, mergedOut, workspaceOut.empty() ? "" : target.Path}, {workspace});
    std::vector<std::string> warnings;
    const auto doc = workspace::LoadWorkspaceFile(workspace, &warnings);
    for (const std::string& w : warnings)
        std::cerr << "quennet-diff: warning: " << w << "\n";
    const io::SourceTextFormat format = io::OutputFormatOf({}, opt.eol);
    if (!newOut.empty()) workspace::SaveNewVersion(doc, newOut, prefix, format);
    if (!oldOut.empty()) workspace::SaveOldVersion(doc, oldOut, prefix, format);
    if (!mergedOut.empty()) workspace::SaveMergedVersion(doc, mergedOut, format);
    if (!workspaceOut.empty()) {
        if (target.AsRtf)
            workspace::SaveWorkspaceRtf(doc, target.Path);
        else
            workspace::SaveWorkspacePlainText(doc, target.Path);
    }
    return kExitEquivalent;
}

} // namespace quennet::cli
