// The two inputs of a comparison read at once: the second on its own thread while the first
// is read, so that reading and decoding take the time of the larger file, not of both.
#pragma once

#include <future>
#include <string>
#include <utility>

namespace quennet::io {

// read(first) and read(second); when both fail, the first one's error is the one thrown.
template <class Read>
auto ReadBoth(const std::string& first, const std::string& second, Read read) {
    auto later = std::async(std::launch::async, [&read, &second] { return read(second); });
    auto earlier = read(first); // on a throw, the future waits for the other read to end
    return std::pair{std::move(earlier), later.get()};
}

} // namespace quennet::io
