// Reading source files as bytes.
#include "io/source_file.h"

#include "io/platform.h"
#include "io/text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>
#include <stdexcept>
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

// A lone CR or LF grows by one byte; CR LF stays.
size_t LoneBreaks(const char* p, size_t n) {
    const auto lone = [p, n](size_t i) {
        return p[i] == '\r' ? !(i + 1 < n && p[i + 1] == '\n')
                            : p[i] == '\n' && (i == 0 || p[i - 1] != '\r');
    };
    size_t count = 0;
    size_t i = 0;
#ifdef __SSE2__
    // Sixteen bytes a step, from the second. A lane holds the byte before and the byte itself:
    // exactly one of "CR before" and "LF here" is one lone break (CR LF is neither). Lanes
    // count in bytes, summed before they can wrap.
    if (n >= 17) {
        const __m128i lf = _mm_set1_epi8('\n');
        const __m128i cr = _mm_set1_epi8('\r');
        count += p[0] == '\n';
        __m128i lanes = _mm_setzero_si128();
        int steps = 0;
        for (i = 1; i + 16 <= n; i += 16) {
            const __m128i crBefore =
                _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i - 1)), cr);
            const __m128i lfHere =
                _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), lf);
            lanes = _mm_sub_epi8(lanes, _mm_xor_si128(crBefore, lfHere));
            if (++steps == 255 || i + 32 > n) {
                const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
                count += static_cast<size_t>(_mm_cvtsi128_si32(sums)) +
                         static_cast<size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
                lanes = _mm_setzero_si128();
                steps = 0;
            }
        }
        // The CR at i-1 is left, then every byte from i.
        if (p[i - 1] == '\r' && !(i < n && p[i] == '\n')) ++count;
    }
#endif
    for (; i < n; ++i)
        if (lone(i)) ++count;
    return count;
}

} // namespace

std::string ToCrLfText(std::string_view bytes) {
    const char* p = bytes.data();
    const size_t n = bytes.size();
    if (n == 0) return {};
    const bool ended = p[n - 1] == '\r' || p[n - 1] == '\n';
    const size_t size = n + LoneBreaks(p, n) + (ended ? 0 : 2);
    // Sixteen bytes of room past the end for whole-block stores; taken off again below.
    std::string out(size + 16, '\0');
    char* o = out.data();
    size_t i = 0;
    const auto lineBreak = [&] {
        i += (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n') ? 2 : 1;
        *o++ = '\r';
        *o++ = '\n';
    };
#ifdef __SSE2__
    // A block is stored whole; the output goes on after its first break, if any.
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    while (i + 16 <= n) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o), block);
        const auto breaks = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, lf), _mm_cmpeq_epi8(block, cr))));
        if (breaks == 0) {
            i += 16;
            o += 16;
            continue;
        }
        const auto first = static_cast<size_t>(__builtin_ctz(breaks));
        i += first;
        o += first;
        lineBreak();
    }
#endif
    while (i < n) {
        if (p[i] == '\r' || p[i] == '\n')
            lineBreak();
        else
            *o++ = p[i++];
    }
    if (!ended) {
        *o++ = '\r';
        *o++ = '\n';
    }
    out.resize(size);
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

// Turns every lone CR or LF of s into CR LF and ends it with one, from its end backwards, so
// that each byte moves at most once; size is the length that gives.
void ExpandToCrLf(std::string& s, size_t size) {
    const size_t n = s.size();
    const bool ended = s.back() == '\r' || s.back() == '\n';
    s.resize(size);
    char* const p = s.data();
    size_t to = size;
    const auto lineBreak = [&] {
        p[--to] = '\n';
        p[--to] = '\r';
    };
    if (!ended) lineBreak();
    size_t from = n;
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
#endif
    // Once nothing is left to insert, the rest is where it was.
    while (to != from) {
#ifdef __SSE2__
        // Sixteen bytes a step up to the last break before from: the block is loaded whole
        // before it is stored, so the overlap of the two places does no harm.
        if (from >= 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + from - 16));
            const auto breaks = static_cast<unsigned>(_mm_movemask_epi8(
                _mm_or_si128(_mm_cmpeq_epi8(block, lf), _mm_cmpeq_epi8(block, cr))));
            if (breaks == 0) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(p + to - 16), block);
                from -= 16;
                to -= 16;
                continue;
            }
            const auto after = static_cast<size_t>(__builtin_clz(breaks) - 16);
            std::memmove(p + to - after, p + from - after, after);
            from -= after;
            to -= after;
        }
#endif
        const char c = p[--from];
        if (c == '\n' || c == '\r') {
            if (c == '\n' && from > 0 && p[from - 1] == '\r') --from;
            lineBreak();
        } else {
            p[--to] = c;
        }
    }
}

} // namespace

std::string TakeAsCrLfText(std::string&& bytes) {
    if (CrLfThroughout(bytes)) return std::move(bytes);
    const size_t n = bytes.size();
    const bool ended = bytes.back() == '\r' || bytes.back() == '\n';
    const size_t size = n + LoneBreaks(bytes.data(), n) + (ended ? 0 : 2);
    // In the room the reader left after the text: no second buffer of the file's size to fault
    // in and fill.
    if (size <= bytes.capacity()) {
        ExpandToCrLf(bytes, size);
        return std::move(bytes);
    }
    std::string out = ToCrLfText(std::string_view(bytes));
    std::string().swap(bytes);
    return out;
}

namespace {
constexpr char kFolder[] = "it is a folder";
[[noreturn]] void CannotOpen(const std::string& path, const std::string& reason) {
    throw std::runtime_error("Cannot open \"" + path + "\": " + reason);
}
} // namespace

void RefuseMissingOrFolder(const std::string& path) {
    if (path == "-") return;
    int error = 0;
    const FileInfo info = StatPath(path, true, &error);
    if (info.Kind == FileKind::Missing) CannotOpen(path, ErrorText(error));
    if (info.Kind == FileKind::Folder) CannotOpen(path, kFolder);
}

namespace {
// The standard input once it was read to tell its kind: the reader that follows takes it.
std::mutex peekedInputLock;
std::optional<std::string> peekedInput;
} // namespace

std::string ReadFileBytes(const std::string& path, FileIdentity* identity) {
    const bool stdinput = path == "-";
    if (stdinput) {
        const std::lock_guard lock(peekedInputLock);
        if (peekedInput) {
            std::string data = std::move(*peekedInput);
            peekedInput.reset();
            if (identity) *identity = {};
            return data;
        }
    }
    int error = 0;
    TFile file = stdinput ? TFile::StandardInput() : TFile::OpenRead(path, error);
    if (!file.IsOpen()) CannotOpen(path, error == EISDIR ? kFolder : ErrorText(error));
    FileInfo info;
    if (const int failed = file.Info(info); failed != 0)
        throw std::runtime_error("Cannot read \"" + path + "\": " + ErrorText(failed));
    if (info.Kind == FileKind::Folder) CannotOpen(path, kFolder);
    const bool regular = info.Kind == FileKind::Regular;
    if (identity)
        *identity = {regular && !stdinput, info.Device, info.Id, info.Size, info.ModifiedNs};
    // The size is only a hint: pipes report none, and a file may grow or shrink while read.
    // Read straight into the text; one byte more than the size sees the end without regrowing.
    const size_t hint =
        regular && info.Size > 0 ? static_cast<size_t>(info.Size) + 1 : size_t{65536};
    // Room for the CRs a text with bare LF line ends gains (TakeAsCrLfText): memory that is
    // never written is never taken from the system.
    std::string data;
    data.reserve(hint + hint / 8 + 64);
    data.resize(hint);
    size_t used = 0;
    for (;;) {
        if (used == data.size()) data.resize(data.size() * 2);
        const long long n = file.Read(data.data() + used, data.size() - used, error);
        if (n == 0) break;
        if (n < 0) throw std::runtime_error("Cannot read \"" + path + "\": " + ErrorText(error));
        used += static_cast<size_t>(n);
    }
    data.resize(used);
    return data;
}

std::string ReadRegularFileHead(const std::string& path, size_t limit) {
    if (path == "-") {
        // Standard input cannot be read twice: it is read whole now and kept for its reader.
        std::string data = ReadFileBytes(path);
        const std::lock_guard lock(peekedInputLock);
        peekedInput = data;
        if (data.size() > limit) data.resize(limit);
        return data;
    }
    // Anything but a regular file is left unopened: even a non-blocking open of a FIFO lets a
    // waiting writer go on, and what it writes is lost when that reader closes.
    if (StatPath(path).Kind != FileKind::Regular) return {};
    int error = 0;
    TFile file = TFile::OpenRead(path, error, true);
    if (!file.IsOpen()) return {};
    FileInfo info;
    std::string data;
    if (file.Info(info) == 0 && info.Kind == FileKind::Regular) {
        data.resize(limit);
        const long long n = file.Read(data.data(), limit, error);
        data.resize(n > 0 ? static_cast<size_t>(n) : 0);
    }
    return data;
}

std::vector<std::string> LoadSourceLines(const std::string& path) {
    return SplitLines(ReadSourceFile(path).Text);
}

} // namespace quennet::io
