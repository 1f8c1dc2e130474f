// Loading a workspace: our own RTF and what word processors write. Text that does not start
// with "{\rtf" loads as plain text in the automatic colour.
//
// Understood: groups, \colortbl with \red \green \blue, \cf, \b and \b0, \plain, \par, \line
// and \row (line breaks), \tab and \cell (tab), \'hh, \uN with \ucN fallback skipping,
// \bin, the control symbols \\ \{ \} \~ \_ \- and the usual typographic words (\emdash,
// \lquote, ...). \* groups and the destinations that hold no body text (\fonttbl,
// \stylesheet, \info, \pict, headers, footers, field instructions, ...) are skipped.
//
// \uN becomes the Windows-1252 byte of the character when it has one (every code below 256
// maps to itself, and the 27 printable characters of 0x80 to 0x9F map to their bytes), else
// "?"; in a document of code page 65001 (UTF-8 text) it becomes the character's UTF-8 bytes,
// and the document is marked as UTF-8 (plain text is when its lines are).
// Raw bytes keep their value (CR and LF are ignored as RTF wants).
//
// A workspace made by BuildMergeWorkspace (recognised by its first line) writes each line's
// colour code before the paragraph mark that starts the line, so the mark ending an empty
// line carries the colour of the line after it. In such a document an empty line's break
// takes the colour the line was written with; elsewhere a break has the colour in effect at
// its \par, as RTF wants.
//
// Safe on any input: the group stack is explicit and capped (deeper groups are counted, not
// stored), every byte is looked at a bounded number of times, and nothing is recursive.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "workspace/workspace_document.h"

namespace quennet::workspace {

inline constexpr size_t kMaxRtfGroupDepth = 512;

// Something the reader passed over: what can be read is read all the same.
struct TReadWarning {
    size_t Offset; // in the bytes read
    std::string Text;
    bool operator==(const TReadWarning&) const = default;
};

bool LooksLikeRtf(std::string_view bytes);
// Warns when the document ends before its outermost group closes, and when anything but
// blanks and NULs follows that group (an early extra "}" ends the document there).
TWorkspaceDocument ReadRtf(std::string_view bytes, std::vector<TReadWarning>* warnings = nullptr);
// Lines split at CR LF, CR or LF; a final line break leaves an empty last line, as a text
// control shows it.
TWorkspaceDocument ReadPlainText(std::string_view bytes);
// RTF when the bytes start with "{\rtf", plain text otherwise.
TWorkspaceDocument ReadWorkspace(std::string_view bytes,
                                 std::vector<TReadWarning>* warnings = nullptr);

} // namespace quennet::workspace
