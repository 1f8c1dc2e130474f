// Line keys: a line as the comparisons see it, blanks and letter case aside.
#include "base/line_keys.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

#include "base/crc32.h"

namespace quennet::base {

namespace {

uint32_t Crc(const unsigned char* p, size_t n, uint32_t crc) {
    const auto& t = kCrc32Slices.t;
    for (; n >= 8; p += 8, n -= 8) {
        const uint32_t lo = crc ^ (uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                                   uint32_t{p[3]} << 24);
        crc = t[7][lo & 0xFFu] ^ t[6][(lo >> 8) & 0xFFu] ^ t[5][(lo >> 16) & 0xFFu] ^
              t[4][lo >> 24] ^ t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; n > 0; ++p, --n)
        crc = t[0][(crc ^ *p) & 0xFFu] ^ (crc >> 8);
    return crc;
}

// The key one byte at a time: the rule itself, and the way for lines whose trailing blanks
// outgrow the folding buffer.
uint32_t LiteralKey(std::string_view line) {
    size_t begin = 0, end = line.size();
    while (begin < end && static_cast<unsigned char>(line[begin]) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(line[end - 1]) <= 32)
        --end;
    if (begin == end) return 0xFFFFFFFFu;

    enum { Normal, InString, InComment } state = Normal;
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = begin; i < end; ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        switch (state) {
        case Normal:
            if (c == '\'')
                state = InString;
            else if (c == '{')
                state = InComment;
            else if (c == '\t' || c == ' ')
                continue;
            break;
        case InString:
            if (c == '\'') state = Normal;
            break;
        case InComment:
            if (c == '}') state = Normal;
            break;
        }
        if (c >= 'a' && c <= 'z') c -= 32;
        crc = kCrc32Slices.t[0][(crc ^ c) & 0xFFu] ^ (crc >> 8);
    }
    return crc;
}

// One step of the key's scanner per state and byte: the next state (bits 0-1), whether the
// byte counts (kEmit), whether it is above 32 (kSignificant), whether it ends the line (kEnd)
// or changes the state (kSwitch).
enum : uint8_t { kNormal = 0, kInString = 1, kInComment = 2 };
enum : uint8_t { kEmit = 4, kSignificant = 8, kEnd = 16, kSwitch = 32 };

struct ScanTables {
    uint8_t step[3][256];
    uint8_t fold[256];
};

constexpr ScanTables MakeScanTables(bool lineEnds) {
    ScanTables t{};
    for (int c = 0; c < 256; ++c) {
        t.fold[c] = static_cast<uint8_t>(c >= 'a' && c <= 'z' ? c - 32 : c);
        const uint8_t counts = static_cast<uint8_t>(kEmit | (c > 32 ? kSignificant : 0));
        const bool end = lineEnds && (c == '\r' || c == '\n');
        t.step[kNormal][c] = end                     ? kEnd
                             : c == ' ' || c == '\t' ? kNormal
                             : c == '\''             ? counts | kSwitch | kInString
                             : c == '{'              ? counts | kSwitch | kInComment
                                                     : counts | kNormal;
        t.step[kInString][c] = end         ? kEnd
                               : c == '\'' ? counts | kSwitch | kNormal
                                           : counts | kInString;
        t.step[kInComment][c] = end        ? kEnd
                                : c == '}' ? counts | kSwitch | kNormal
                                           : counts | kInComment;
    }
    return t;
}

constexpr ScanTables kLineScan = MakeScanTables(true);
constexpr ScanTables kTextScan = MakeScanTables(false);

// The key of the line from p: the folded bytes gather in a buffer and go through the CRC eight
// at a time. With lineEnds the line ends at the first CR or LF, which is returned; otherwise
// at `end`. Bytes after the last one above 32 are held back until the line shows whether they
// are trailing (trimmed) or inside it.
const char* FoldedKey(const char* p, const char* end, bool lineEnds, uint32_t& key) {
    const ScanTables& t = lineEnds ? kLineScan : kTextScan;
    const char* const lineStart = p;
    while (p < end && static_cast<unsigned char>(*p) <= 32 &&
           !(t.step[kNormal][static_cast<unsigned char>(*p)] & kEnd))
        ++p;
    constexpr size_t kBuffer = 256;
    unsigned char buf[kBuffer];
    size_t n = 0, kept = 0; // kept: the buffered bytes up to the last one above 32
    uint32_t crc = 0xFFFFFFFFu;
    bool any = false;
    uint8_t state = kNormal;
    while (p < end) {
        // Each byte adds at most one to the buffer: no test for room inside the loop.
        const char* const stop = p + std::min<size_t>(static_cast<size_t>(end - p), kBuffer - n);
        for (; p < stop; ++p) {
            const auto c = static_cast<unsigned char>(*p);
            const uint8_t step = t.step[state][c];
            // A branch rather than a data dependency: the next byte's lookup need not wait for
            // this one's.
            if (step & (kEnd | kSwitch)) [[unlikely]] {
                if (step & kEnd) goto lineEnd;
                state = step & 3u;
            }
            buf[n] = t.fold[c];
            n += (step & kEmit) ? 1 : 0;
            kept = (step & kSignificant) ? n : kept;
        }
        if (n < kBuffer) continue;
        crc = Crc(buf, kept, crc);
        any = any || kept > 0;
        if (kept == 0) { // a buffer full of blanks inside a literal
            while (p < end && !(t.step[kNormal][static_cast<unsigned char>(*p)] & kEnd))
                ++p;
            key = LiteralKey(std::string_view(lineStart, static_cast<size_t>(p - lineStart)));
            return p;
        }
        std::copy(buf + kept, buf + n, buf);
        n -= kept;
        kept = 0;
    }
lineEnd:
    any = any || kept > 0;
    key = any ? Crc(buf, kept, crc) : 0xFFFFFFFFu;
    return p;
}

} // namespace

uint32_t LineKey(std::string_view line) {
    uint32_t key = 0;
    FoldedKey(line.data(), line.data() + line.size(), false, key);
    return key;
}

namespace {

// The key of each line in turn, split as LineRecordsOf splits them.
template <class Emit> void ForEachLineKey(std::string_view text, Emit emit) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        uint32_t key = 0;
        p = FoldedKey(p, end, true, key);
        emit(key);
        if (p < end) p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
    }
}

} // namespace

void AppendLineKeys(std::string_view text, std::vector<uint32_t>& keys) {
    ForEachLineKey(text, [&keys](uint32_t key) { keys.push_back(key); });
}

std::vector<TLineRecord> LineRecordsOf(std::string_view text) {
    // Room for every line without regrowing: LF ends, or CR ends where no LF is.
    auto count = [text](char c) {
        size_t found = 0;
        for (const char* p = text.data();
             (p = static_cast<const char*>(std::memchr(p, c, text.size() - (p - text.data())))) !=
             nullptr;
             ++p)
            ++found;
        return found;
    };
    size_t breaks = count('\n');
    if (breaks == 0) breaks = count('\r');
    std::vector<TLineRecord> out;
    out.reserve(breaks + 1);
    ForEachLineKey(text, [&out](uint32_t key) {
        out.push_back({key, static_cast<int32_t>(out.size()), false});
    });
    return out;
}

} // namespace quennet::base
