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

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

namespace {

// Every LF follows a CR and every CR is followed by an LF, the text ending in CR LF: for each
// byte after the first, "is LF" equals "the byte before is CR".
bool CrLfThroughout(std::string_view bytes) {
    if (bytes.empty()) return true;
    if (!bytes.ends_with("\r\n") || bytes[0] == '\n') return false;
    const char* const p = bytes.data();
    const size_t n = bytes.size();
    size_t i = 1;
#ifdef __SSE2__
    // Sixteen bytes a step: a memchr for each line costs more than the whole test.
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    __m128i mismatch = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i at = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i - 1));
        mismatch = _mm_or_si128(mismatch,
                                _mm_xor_si128(_mm_cmpeq_epi8(at, lf), _mm_cmpeq_epi8(before, cr)));
    }
    if (_mm_movemask_epi8(mismatch) != 0) return false;
#endif
    for (; i < n; ++i)
        if ((p[i] == '\n') != (p[i - 1] == '\r')) return false;
    return true;
}

} // namespace

std::string TakeAsCrLfText(std::string&& bytes) {
    if (CrLfThroughout(bytes)) return std::move(bytes);
    std::string out = ToCrLfText(std::string_view(bytes));
    std::string().swap(bytes);
    return out;
}

std::string ReadFileBytes(const std::string& path, FileIdentity* identity) {
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
    if (identity)
        *identity = {S_ISREG(st.st_mode) && !stdinput, static_cast<uint64_t>(st.st_dev),
                     static_cast<uint64_t>(st.st_ino), static_cast<uint64_t>(st.st_size),
                     static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    // The size is only a hint: pipes report none, and a file may grow or shrink while read.
    // Read straight into the text; one byte more than the size sees the end without regrowing.
    std::string data(S_ISREG(st.st_mode) && st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1
                                                           : size_t{65536},
                     '\0');
    size_t used = 0;
    for (;;) {
        if (used == data.size()) data.resize(data.size() * 2);
        const ssize_t n = ::read(fd, data.data() + used, data.size() - used);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("Cannot read \"" + path + "\": " + std::strerror(errno));
        }
        used += static_cast<size_t>(n);
    }
    data.resize(used);
    return data;
}

std::vector<std::string> LoadSourceLines(const std::string& path) {
    return SplitLines(ReadSourceFile(path).Text);
}

} // namespace quennet::io
