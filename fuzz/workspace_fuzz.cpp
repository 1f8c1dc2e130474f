// Fuzz target: the workspace builder and the merged-output writers on two texts (the input
// split at its first NUL). The workspace read back must give the new text byte for byte, the
// old text line key for line key, and the merged source must give each of them again when its
// NEW_VER blocks are followed one way or the other.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "merge/merge_workspace.h"
#include "merge/merged_output.h"
#include "merge/pas_conversion.h"
#include "merge/rtf_reader.h"
#include "io/source_file.h"

namespace quennet::fuzz {

// The lines of a merged source kept with NEW_VER defined or not.
inline std::vector<std::string> FollowNewVer(const std::vector<std::string>& merged, bool defined) {
    enum { Both, OldBlock, NewBlock } block = Both;
    std::vector<std::string> out;
    for (size_t i = 4; i < merged.size(); ++i) { // after the header
        const std::string& l = merged[i];
        if (l == "{$IFNDEF NEW_VER}") {
            block = OldBlock;
        } else if (l == "{$IFDEF NEW_VER}") {
            block = NewBlock;
        } else if (l == "{$ELSE}") {
            block = block == OldBlock ? NewBlock : OldBlock;
        } else if (l == "{$ENDIF}") {
            block = Both;
        } else if (block == Both || (block == NewBlock) == defined) {
            out.push_back(l);
        }
    }
    return out;
}

inline int WorkspaceFuzzOne(const uint8_t* data, size_t size) {
    const auto [oldText, newText] =
        TwoTexts(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::vector<std::string> oldLines = io::SplitLines(oldText);
    const std::vector<std::string> newLines = io::SplitLines(newText);
    std::optional<merge::TMergeWorkspace> ws;
    try {
        ws = merge::BuildMergeWorkspace(oldLines, newLines);
    } catch (const merge::EConversionError&) {
        return 0;
    }
    Require(ws.has_value() == !(oldLines.empty() && newLines.empty()));
    if (!ws) return 0;
    const merge::TWorkspaceDocument doc = merge::ReadRtf(ws->Rtf);
    Require(doc.IsConsistent());

    // A NUL ends a line's highlighting, and a line that reads like a NEW_VER directive cannot
    // be told from one: the byte-exact checks hold for the other texts.
    for (const auto* lines : {&oldLines, &newLines})
        for (const std::string& l : *lines)
            if (l.find('\0') != std::string::npos || l.rfind("{$", 0) == 0) return 0;
    Require(merge::NewVersionLines(doc, "") == newLines);
    const std::vector<std::string> oldVersion = merge::OldVersionLines(doc, "");
    Require(oldVersion.size() == oldLines.size());
    for (size_t i = 0; i < oldLines.size(); ++i)
        Require(model::LineKey(oldVersion[i]) == model::LineKey(oldLines[i]));

    const std::vector<std::string> merged = merge::MergedVersionLines(doc);
    Require(FollowNewVer(merged, true) == newLines);
    Require(FollowNewVer(merged, false) == oldVersion);
    return 0;
}

} // namespace quennet::fuzz

#ifndef QUENNET_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return quennet::fuzz::WorkspaceFuzzOne(data, size);
}
#endif
