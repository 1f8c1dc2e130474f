// Which character mapping a view uses to show a file's bytes. The bytes themselves never change.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quennet::io {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// True when the text is valid UTF-8 and holds at least one non-ASCII byte; otherwise the view
// shows each byte as one Latin-1 character, as an 8-bit text is meant to be read.
bool ShowAsUtf8(const std::vector<std::string>& lines);

} // namespace quennet::io
