// The one loading convention of every front end: bytes split into lines at CR LF, lone CR or
// lone LF; a final line break starts no extra line; the parser gets every line + CR LF.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace quennet::io {

std::vector<std::string> SplitLines(std::string_view bytes);
// Calls line(text) for each line SplitLines would give, without copying any.
template <class F> void ForEachLine(std::string_view bytes, F&& line) {
    // memchr finds the line ends far faster than a loop over every byte.
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        const auto* lf =
            static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* stop = lf ? lf : end;
        const auto* cr =
            static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(stop - p)));
        if (cr) {
            line(std::string_view(p, static_cast<size_t>(cr - p)));
            p = cr + 1;
            if (p < end && *p == '\n') ++p;
        } else {
            line(std::string_view(p, static_cast<size_t>(stop - p)));
            p = lf ? lf + 1 : end;
        }
    }
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
