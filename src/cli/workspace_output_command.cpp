// quennet-diff --from-workspace WS --new|--old|--merged OUT [--comment TEXT]: the outputs of a
// merge workspace edited elsewhere (RTF, or plain text in which every line is a difference).
#include <iostream>

#include "commands.h"
#include "io/output_guard.h"
#include "merge/merge_editing.h"
#include "merge/merged_output.h"

namespace quennet::cli {

namespace {

const char kUsage[] =
    "Usage: quennet-diff --from-workspace WS [--new OUT] [--old OUT] [--merged OUT]\n"
    "                    [--workspace OUT] [--comment TEXT]\n"
    "Write the sources of a merge workspace (red lines: old only, blue: new only).\n"
    "\n"
    "      --new OUT        the new version: red lines left out\n"
    "      --old OUT        the old version: blue lines left out\n"
    "      --merged OUT     both versions, chosen by {$IFDEF NEW_VER}\n"
    "      --comment TEXT   write the left-out lines behind \"//\" + TEXT instead\n"
    "      --workspace OUT  save the workspace again: RTF for a name ending in .rtf,\n"
    "                       plain text otherwise (\".pas\" added to a name without one)\n"
    "\n"
    "Exit status: 0 when every file was written, 2 if there was trouble.\n";

} // namespace

int RunWorkspaceOutputCommand(std::vector<std::string> args) {
    std::string workspace, newOut, oldOut, mergedOut, workspaceOut, prefix;
    bool comment = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return std::cout ? 0 : 2;
        }
        auto value = [&](std::string& field) {
            if (i + 1 >= args.size()) throw UsageError("option '" + a + "' needs a value");
            if (!field.empty() || (&field == &prefix && comment))
                throw UsageError("option '" + a + "' is given twice");
            field = args[++i];
        };
        if (a == "--from-workspace") {
            value(workspace);
        } else if (a == "--new") {
            value(newOut);
        } else if (a == "--old") {
            value(oldOut);
        } else if (a == "--merged") {
            value(mergedOut);
        } else if (a == "--workspace") {
            value(workspaceOut);
        } else if (a == "--comment") {
            value(prefix);
            comment = true;
        } else {
            throw UsageError("unknown argument '" + a + "'");
        }
    }
    if (workspace.empty()) throw UsageError("option '--from-workspace' needs a file name");
    if (newOut.empty() && oldOut.empty() && mergedOut.empty() && workspaceOut.empty())
        throw UsageError(
            "nothing to write: give --new, --old, --merged or --workspace with a file name");
    if (comment) prefix = "//" + prefix;

    const auto target = merge::WorkspaceSaveTarget(workspaceOut);
    io::RefuseOutputsOverInputs(
        {newOut, oldOut, mergedOut, workspaceOut.empty() ? "" : target.Path}, {workspace});
    std::vector<std::string> warnings;
    const auto doc = merge::LoadWorkspaceFile(workspace, &warnings);
    for (const std::string& w : warnings)
        std::cerr << "quennet-diff: warning: " << w << "\n";
    if (!newOut.empty()) merge::SaveNewVersion(doc, newOut, prefix);
    if (!oldOut.empty()) merge::SaveOldVersion(doc, oldOut, prefix);
    if (!mergedOut.empty()) merge::SaveMergedVersion(doc, mergedOut);
    if (!workspaceOut.empty()) {
        if (target.AsRtf)
            merge::SaveWorkspaceRtf(doc, target.Path);
        else
            merge::SaveWorkspacePlainText(doc, target.Path);
    }
    return 0;
}

} // namespace quennet::cli
