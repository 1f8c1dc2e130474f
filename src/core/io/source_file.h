// The one loading convention of every front end: bytes split into lines at CR LF, lone CR or
// lone LF; a final line break starts no extra line; the parser gets every line + CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quennet::io {

std::vector<std::string> SplitLines(std::string_view bytes);
// Calls line(text) for each line SplitLines would give, without copying any.
template <class F> void ForEachLine(std::string_view bytes, F&& line) {
    size_t start = 0, i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            line(bytes.substr(start, i - start));
            i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < bytes.size()) line(bytes.substr(start));
}
std::string JoinLinesCrLf(const std::vector<std::string>& lines);
// The same as JoinLinesCrLf(SplitLines(bytes)) without the lines in between.
std::string ToCrLfText(std::string_view bytes);
// The same for bytes no longer needed: text already in that form is returned without a copy,
// and other text is released once converted.
std::string TakeAsCrLfText(std::string&& bytes);

// What tells a regular file's text from a later one: taken before the file is read.
struct FileIdentity {
    bool Regular = false; // only a regular file can be read again
    uint64_t Device = 0, Inode = 0, Size = 0;
    int64_t ModifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

// Whole file as bytes, read to its end whatever it is (file, pipe, FIFO, /dev/fd/N); "-" is the
// standard input. Throws std::runtime_error naming the file and the reason: a file that cannot
// be read is an error, never an empty text. identity, when given, is filled in.
std::string ReadFileBytes(const std::string& path, FileIdentity* identity = nullptr);
// Throws as ReadFileBytes would for a path that does not exist or is a folder, without opening
// it (a FIFO is not disturbed): a quick refusal before work that would read it later.
void RefuseMissingOrFolder(const std::string& path);
// Up to limit bytes from the start of a regular file or of the standard input ("-", read whole
// and kept for the ReadFileBytes that follows), to tell its kind before reading it; empty for
// anything else (a pipe, a missing file), which is left unread.
std::string ReadRegularFileHead(const std::string& path, size_t limit);
// The lines of a source file as analysis sees them (ReadSourceFile).
std::vector<std::string> LoadSourceLines(const std::string& path);

} // namespace quennet::io
