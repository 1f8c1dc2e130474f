// Reading source files as bytes.
#include "io/source_file.h"
#include "io/text_encoding.h"

#include <algorithm>
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

namespace {

// The next CR or LF at or after i, by two memchr scans whose results are kept until passed:
// a search for the pair byte by byte costs a call per byte.
class LineBreakFinder {
public:
    explicit LineBreakFinder(std::string_view bytes)
        : bytes_(bytes), cr_(Find('\r', 0)), lf_(Find('\n', 0)) {}
    size_t Next(size_t i) {
        if (cr_ < i) cr_ = Find('\r', i);
        if (lf_ < i) lf_ = Find('\n', i);
        return std::min(cr_, lf_);
    }

private:
    size_t Find(char c, size_t i) const {
        const void* at =
            i < bytes_.size() ? std::memchr(bytes_.data() + i, c, bytes_.size() - i) : nullptr;
        return at ? static_cast<size_t>(static_cast<const char*>(at) - bytes_.data())
                  : std::string_view::npos;
    }
    std::string_view bytes_;
    size_t cr_, lf_;
};

} // namespace

std::string ToCrLfText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 32 + 2);
    LineBreakFinder breaks(bytes);
    size_t i = 0;
    while (i < bytes.size()) {
        const size_t end = breaks.Next(i);
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
    // CR LF throughout when every CR is followed by an LF and every LF follows a CR.
    bool crlf = bytes.empty() || bytes.ends_with("\r\n");
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    for (const char* at = begin; crlf && at < end; ++at) {
        at = static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(end - at)));
        if (!at) break;
        crlf = at > begin && at[-1] == '\r';
    }
    for (const char* at = begin; crlf && at < end; ++at) {
        at = static_cast<const char*>(std::memchr(at, '\r', static_cast<size_t>(end - at)));
        if (!at) break;
        crlf = at + 1 < end && at[1] == '\n';
    }
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
