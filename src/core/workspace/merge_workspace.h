// Building the merge workspace: both texts matched line by line, highlighted, and interleaved
// into one RTF document whose line colours tell the kinds (black common, red only in the old
// text, blue only in the new text).
//
// The merge editor's flow: BuildMergeWorkspace -> ReadRtf (rtf_reader.h) gives the
// TWorkspaceDocument it shows and edits; merge_editing.h decides navigation, marking and
// status; merged_output.h writes the three outputs and saves the workspace;
// LoadWorkspaceFile opens a saved one.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "diff/line_matcher.h"

namespace quennet::workspace {

struct TMergeWorkspace {
    std::string Rtf;                       // every line followed by CR LF
    std::vector<diff::TMapEntry> MergeMap; // the merged order the body follows
};

// Receives "Prepare for merge ...", "Find merge map ...", "Add sintax highlighting ...",
// "Make merge result ..." as the work advances.
using TProgressCallback = std::function<void(std::string_view)>;

// "\cf2 " old only, "\cf3 " new only, "\cf1 " common and for an index outside the map.
std::string_view MergeColorCode(const std::vector<diff::TMapEntry>& map, std::ptrdiff_t i);

// The lines hold no CR or LF (as SplitLines gives them). Returns nothing when both texts
// are empty. Throws EConversionError ("Invalid string", with the text and its line) for a
// string literal that is not closed on its line in either text.
std::optional<TMergeWorkspace> BuildMergeWorkspace(const std::vector<std::string>& oldLines,
                                                   const std::vector<std::string>& newLines,
                                                   const TProgressCallback& progress = {});

} // namespace quennet::workspace
