#include "viewrules/recent_files.h"

#include <algorithm>

namespace quennet::viewrules {

namespace {
template <class T> std::vector<T> Push(std::vector<T> list, const T& entry, size_t limit) {
    std::erase(list, entry);
    list.insert(list.begin(), entry);
    if (list.size() > limit) list.resize(limit);
    return list;
}
} // namespace

std::vector<std::string> AddRecent(std::vector<std::string> list, const std::string& entry,
                                   size_t limit) {
    if (entry.empty()) return list;
    return Push(std::move(list), entry, limit);
}

std::vector<RecentPair> AddRecent(std::vector<RecentPair> list, const RecentPair& entry,
                                  size_t limit) {
    if (entry.Old.empty() || entry.New.empty()) return list;
    return Push(std::move(list), entry, limit);
}

} // namespace quennet::viewrules
