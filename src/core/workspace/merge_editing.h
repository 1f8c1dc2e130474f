// The merge editor's decisions that need no widget, as functions over a workspace document.
// The window calls these and only moves its caret or repaints as they say.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "workspace/workspace_document.h"

namespace quennet::workspace {

// Caret position (an empty selection) for "Next difference" from a selection start: the first
// character of the first line of the next red, blue or other non-black block after the one
// the caret stands in, or of the last line when there is none. Lines are the text lines.
size_t NextDifference(const TWorkspaceDocument& doc, size_t selStart);

// Caret position for "Prior difference": the first line of the block before the one the caret
// stands in (or before the caret's black stretch), or line 0 at the top.
size_t PriorDifference(const TWorkspaceDocument& doc, size_t selStart);

// The range that Mark recolours: the selection itself, or for an empty selection the caret's
// whole line with its line break (on the last line, up to the end of the text).
TSelection MarkRange(const TWorkspaceDocument& doc, TSelection selection);

// The whole Mark command on the document's selection: recolours MarkRange, then leaves the
// caret at the old selection start with an empty selection. The text never changes.
void Mark(TWorkspaceDocument& doc, TColor color);

// The colour a mark button applies, by its tag: 0 black, 1 blue, 2 red.
TColor MarkColorOfTag(int tag);

// "Line: %3d   Col: %3d", 1-based, for a selection start; in UTF-8 text the column counts
// the editor's positions (a character, two beyond U+FFFF).
std::string LineColStatus(const TWorkspaceDocument& doc, size_t selStart);

// Find Next: searches from the end of the selection (from its start when the request is not
// a find-next one), always towards the end.
std::optional<size_t> FindNext(const TWorkspaceDocument& doc, std::string_view what,
                               TFindOptions options, bool findNextRequest = true);
// "Text <%s> not found"
std::string NotFoundMessage(std::string_view what);

// Save workspace: a name without extension gets ".pas"; ".rtf" (any letter case) saves rich
// text, anything else plain text.
struct TWorkspaceSaveTarget {
    std::string Path;
    bool AsRtf = false;
};
TWorkspaceSaveTarget WorkspaceSaveTarget(const std::string& chosenPath);

} // namespace quennet::workspace
