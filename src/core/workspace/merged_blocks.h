// Where the merged source may put its NEW_VER directives. A directive written inside a comment
// would end it early or be no directive at all, and one written between a conditional directive
// of the source and its partner would pair with it; so each changed stretch is widened until
// both versions are outside comments at its edges and every conditional of either version that
// it touches lies wholly inside it. Common lines taken into a stretch are written in both
// branches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace quennet::workspace {

// Which version a workspace line belongs to.
enum class TVersionMember : uint8_t { Both, OldOnly, NewOnly };

struct TMergedBlock {
    size_t Begin = 0, End = 0; // lines [Begin, End)
    bool Common = true;        // written once, outside any directive
    bool NewFirst = false;     // a stretch left as it was that starts with new lines
};

// Consecutive blocks covering every line, in order: line i is lineAt(i), i < member.size().
std::vector<TMergedBlock> MergedBlocks(const std::function<std::string_view(size_t)>& lineAt,
                                       const std::vector<TVersionMember>& member);

} // namespace quennet::workspace
