// What the fuzz targets share: a failed check aborts (libFuzzer reports it as a crash), and
// one input holds two texts, split at its first NUL byte.
#pragma once

#include <cstdlib>
#include <string_view>
#include <utility>

namespace quennet::fuzz {

inline void Require(bool ok) {
    if (!ok) std::abort();
}

inline std::pair<std::string_view, std::string_view> TwoTexts(std::string_view bytes) {
    const size_t cut = bytes.find('\0');
    if (cut == std::string_view::npos) return {bytes, bytes.substr(bytes.size() / 2)};
    return {bytes.substr(0, cut), bytes.substr(cut + 1)};
}

} // namespace quennet::fuzz
