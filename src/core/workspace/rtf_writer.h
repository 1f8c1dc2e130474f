// Saving a workspace document as RTF: text, every character's colour and bold, and the format
// of every line break, so that reading it back gives the same document.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "io/source_save.h"
#include "workspace/workspace_document.h"

namespace quennet::workspace {

// Lines end with "\par" and CR LF; tabs are written as \tab, control bytes as \'hh. A text that
// is UTF-8 (so marked, or valid with characters beyond ASCII) is declared as code page 65001
// and writes each such character as \uN? (N signed 16-bit, two for a character beyond U+FFFF)
// and a byte that starts none as \'hh; any other text is code page 1252 and writes bytes from
// 128 up as \'hh. Reading gives the same bytes and the same mark.
std::string WriteRtf(const TWorkspaceDocument& doc);
// The same RTF handed to the sink in blocks as it is made.
void WriteRtf(const TWorkspaceDocument& doc, const io::ByteSink& sink);

// True when lines are written as UTF-8 characters.
bool IsUtf8Text(const std::vector<const std::vector<std::string>*>& texts);
bool IsUtf8Text(std::string_view text); // lines joined by "\n"

// Appends the byte at text[i] (a control byte or one from 128 up) in one of the forms above and
// returns how many bytes it took: a whole character in UTF-8 text, else one.
size_t AppendRtfEscapedChar(std::string& out, std::string_view text, size_t i, bool utf8);

// The code page declaration of UTF-8 text.
inline constexpr std::string_view kRtfUtf8CodePage = "\\ansicpg65001";

} // namespace quennet::workspace
