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

WorkspaceOptions TakeWorkspaceOptions(std::vector<std::string>& args) {
    WorkspaceOptions opt;
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        }
        std::string* target = nullptr;
        std::string name;
        for (auto [flag, field] : {std::pair{"--workspace", &opt.workspacePath},
                                   std::pair{"--merged", &opt.mergedPath}}) {
            const std::string f = flag;
            if (a == f) {
                if (i + 1 >= args.size()) throw UsageError("option '" + f + "' needs a file name");
                *field = args[++i];
                target = field;
            } else if (a.rfind(f + "=", 0) == 0) {
                *field = a.substr(f.size() + 1);
                target = field;
            }
            if (target) {
                name = f;
                break;
            }
        }
        if (!target) {
            rest.push_back(a);
        } else if (target->empty()) {
            throw UsageError("option '" + name + "' needs a file name");
        }
    }
    args = std::move(rest);
    return opt;
}

bool HandleWorkspaceOptions(const WorkspaceOptions& options, const WorkspaceInput& oldFile,
                            const WorkspaceInput& newFile) {
    if (!options.Any()) return false;
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
        merge::SaveMergedVersion(merge::ReadRtf(ws->Rtf), options.mergedPath);
    return true;
}

} // namespace quennet::cli
