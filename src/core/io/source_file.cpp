// Reading source files as bytes.
#include "io/source_file.h"
#include "io/text_encoding.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quennet::io {

std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    ForEachLine(bytes, [&lines](std::string_view l) { lines.emplace_back(l); });
    return lines;
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
    size_t total = 0;
    for (const auto& l : lines)
        total += l.size() + 2;
    std::string out;
    out.reserve(total);
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

std::string ToCrLfText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 32 + 2);
    size_t i = 0;
    while (i < bytes.size()) {
        const size_t end = bytes.find_first_of("\r\n", i);
        if (end == std::string_view::npos) {
            out.append(bytes.substr(i));
            out += "\r\n";
            break;
        }
        out.append(bytes.substr(i, end - i));
        out += "\r\n";
        i = end +
            ((bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1);
    }
    return out;
}

std::string TakeAsCrLfText(std::string&& bytes) {
    bool crlf = bytes.empty() || bytes.ends_with("\r\n");
    for (size_t i = bytes.find_first_of("\r\n"); crlf && i != std::string::npos;
         i = bytes.find_first_of("\r\n", i + 2))
        crlf = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
    if (crlf) return std::move(bytes);
    std::string out = ToCrLfText(std::string_view(bytes));
    std::string().swap(bytes);
    return out;
}

std::string ReadFileBytes(const std::string& path) {
    const bool stdinput = path == "-";
    const int fd = stdinput ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("Cannot open \"" + path + "\": " + std::strerror(errno));
    struct Closer {
        int fd;
        bool own;
        ~Closer() {
            if (own) ::close(fd);
        }
    } closer{fd, !stdinput};
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        throw std::runtime_error("Cannot read \"" + path + "\": " + std::strerror(errno));
    if (S_ISDIR(st.st_mode))
        throw std::runtime_error("Cannot open \"" + path + "\": it is a folder");
    // The size is only a hint: pipes report none, and a file may grow or shrink while read.
    std::string data;
    if (S_ISREG(st.st_mode) && st.st_size > 0) data.reserve(static_cast<size_t>(st.st_size) + 1);
    char block[65536];
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("Cannot read \"" + path + "\": " + std::strerror(errno));
        }
        data.append(block, static_cast<size_t>(n));
    }
    return data;
}

std::vector<std::string> LoadSourceLines(const std::string& path) {
    return SplitLines(ReadSourceFile(path).Text);
}

} // namespace quennet::io
