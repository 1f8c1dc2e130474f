// The recent lists of the main window: most recent first, no repeats, a fixed number kept.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quennet::viewrules {

inline constexpr size_t kRecentLimit = 8;

struct RecentPair {
    std::string Old;
    std::string New;
    bool operator==(const RecentPair&) const = default;
};

// The list with entry in front; an equal earlier entry is dropped and the list cut to limit.
// An empty entry (or a pair with an empty side) leaves the list as it is.
std::vector<std::string> AddRecent(std::vector<std::string> list, const std::string& entry,
                                   size_t limit = kRecentLimit);
std::vector<RecentPair> AddRecent(std::vector<RecentPair> list, const RecentPair& entry,
                                  size_t limit = kRecentLimit);

} // namespace quennet::viewrules
