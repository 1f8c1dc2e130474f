// The one loading convention of every front end: bytes split into lines at CR LF, lone CR or
// lone LF; a final line break starts no extra line; the parser gets every line + CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quennet::io {

std::vector<std::string> SplitLines(std::string_view bytes);
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

// Whole file as bytes; throws std::runtime_error naming the file and the reason.
std::string ReadFileBytes(const std::string& path);
std::vector<std::string> LoadSourceLines(const std::string& path);

} // namespace quennet::io
