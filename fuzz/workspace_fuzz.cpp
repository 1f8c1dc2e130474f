// Fuzz target: the workspace builder and the merged-output writers on two texts (the input
// split at its first NUL; in the texts a byte 1 stands for a NUL, and the first byte's low two
// bits choose the new file's encoding). The workspace read back must give the new file byte
// for byte, the old text line key for line key, and the merged source must give each of them
// again when its NEW_VER blocks are followed one way or the other.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "io/source_file.h"
#include "io/source_save.h"
#include "io/text_encoding.h"
#include "io/view_encoding.h"
#include "workspace/merge_workspace.h"
#include "workspace/merged_output.h"
#include "workspace/pas_conversion.h"
#include "workspace/rtf_reader.h"

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

inline std::string WithNuls(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\1') c = '\0';
    return out;
}

inline int WorkspaceFuzzOne(const uint8_t* data, size_t size) {
    const auto [oldPart, newPart] =
        TwoTexts(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string oldText = WithNuls(oldPart), newText = WithNuls(newPart);
    const auto encoding = static_cast<io::TextEncoding>(size > 0 ? data[0] & 3 : 0);
    const bool utf16 =
        encoding == io::TextEncoding::Utf16Le || encoding == io::TextEncoding::Utf16Be;
    // A UTF-16 file holds characters: text that is not UTF-8 cannot come from one.
    if (utf16 && !io::IsValidUtf8(newText)) return 0;
    const std::string newFile = io::EncodeSourceText(newText, encoding);
    if (utf16) Require(io::DecodeSourceBytes(newFile, "NEW").Text == newText);

    const std::vector<std::string> oldLines = io::SplitLines(oldText);
    const std::vector<std::string> newLines = io::SplitLines(newText);
    std::optional<workspace::TMergeWorkspace> ws;
    try {
        ws = workspace::BuildMergeWorkspace(oldLines, newLines);
    } catch (const workspace::EConversionError&) {
        return 0;
    }
    Require(ws.has_value() == !(oldLines.empty() && newLines.empty()));
    if (!ws) return 0;
    const workspace::TWorkspaceDocument doc = workspace::ReadRtf(ws->Rtf);
    Require(doc.IsConsistent());

    // The new output is the new file again, whatever its bytes, encoding and line ends.
    Require(io::AssembleSourceText(workspace::NewVersionLines(doc, ""),
                                   io::DetectTextFormat(newText, encoding)) == newFile);

    // A line that reads like a NEW_VER directive cannot be told from one by the line-based
    // reading below.
    for (const auto* lines : {&oldLines, &newLines})
        for (const std::string& l : *lines)
            if (l.rfind("{$", 0) == 0) return 0;
    const std::vector<std::string> oldVersion = workspace::OldVersionLines(doc, "");
    Require(oldVersion.size() == oldLines.size());
    for (size_t i = 0; i < oldLines.size(); ++i)
        Require(base::LineKey(oldVersion[i]) == base::LineKey(oldLines[i]));

    const std::vector<std::string> merged = workspace::MergedVersionLines(doc);
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
