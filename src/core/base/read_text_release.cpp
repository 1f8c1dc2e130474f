#include "base/read_text_release.h"

#include <cstring>

#include "io/platform.h"

#if defined(__SANITIZE_ADDRESS__)
#define QUENNET_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUENNET_ASAN 1
#endif
#endif
#ifdef QUENNET_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace quennet::base {

namespace {

#ifdef QUENNET_ASAN
// Every passed line is poisoned at once, so that the tests catch any read behind the parse.
constexpr size_t kStep = 0;
#else
// Steps of whole pages large enough that the system calls stay a small part of the parse.
constexpr size_t kStep = size_t{64} << 10;
#endif

} // namespace

ReadTextRelease::~ReadTextRelease() {
#ifdef QUENNET_ASAN
    ASAN_UNPOISON_MEMORY_REGION(text_.data(), releasedTo_);
#endif
}

void ReadTextRelease::Passed(const char* at) {
    if (!Holds(at)) return;
    size_t end = static_cast<size_t>(at - text_.data());
    while (end > releasedTo_ && text_[end - 1] != '\n')
        --end;
    if (end <= releasedTo_ || end - releasedTo_ < kStep) return;
    if (!readAgain_ && keepLines_) {
        // Room for every line at once: a doubling array would briefly hold its keys twice over.
        if (keys_.capacity() == 0) {
            size_t lines = 1;
            for (const char* p = text_.data();
                 (p = static_cast<const char*>(
                      std::memchr(p, '\n', text_.size() - (p - text_.data())))) != nullptr;
                 ++p)
                ++lines;
            keys_.reserve(lines);
        }
        AppendLineKeys(text_.substr(releasedTo_, end - releasedTo_), keys_);
    }
    char* const from = const_cast<char*>(text_.data()) + releasedTo_;
#ifdef QUENNET_ASAN
    ASAN_POISON_MEMORY_REGION(from, end - releasedTo_);
#else
    io::ReleasePages(from, end - releasedTo_);
#endif
    releasedTo_ = end;
}

std::vector<TLineRecord> ReadTextRelease::LineRecords() const {
    if (readAgain_) return LineRecordsOf(readAgain_());
    std::vector<TLineRecord> rest = LineRecordsOf(text_.substr(releasedTo_));
    std::vector<TLineRecord> all;
    all.reserve(keys_.size() + rest.size());
    for (uint32_t key : keys_)
        all.push_back({key, static_cast<int32_t>(all.size()), false});
    for (TLineRecord& r : rest) {
        r.Line += static_cast<int32_t>(keys_.size());
        all.push_back(r);
    }
    return all;
}

} // namespace quennet::base
