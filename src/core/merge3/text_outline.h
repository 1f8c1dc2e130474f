// Declarations found by a light scan of the text where the parse cannot help: uses clauses
// (merged unit by unit, so that units added or removed on both sides combine instead of
// colliding) and routine bodies laid out the usual way, heading and "end;" at the margin.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quennet::merge3 {

struct UsesSpan {
    std::string section;         // "MAIN", "INTERFACE" or "IMPLEMENTATION"
    int32_t first = 0, last = 0; // 0-based lines, inclusive
};

std::vector<UsesSpan> FindUsesClauses(const std::vector<std::string>& lines);

struct RoutineSpan {
    std::string name;      // upper case, qualified as written
    std::string signature; // the heading, blanks collapsed, upper case
    int32_t first = 0, last = 0;
};

// Routine bodies of the implementation section whose heading starts on line from or later.
std::vector<RoutineSpan> FindRoutines(const std::vector<std::string>& lines, int32_t from);

// Upper-case names of every routine heading in the text, at any depth.
std::vector<std::string> RoutineHeadingNames(const std::vector<std::string>& lines);

// The merged clause, laid out like LOCAL's; nullopt when the lists cannot be merged by name
// (comments or directives inside, a unit changed on both sides, removed against changed).
std::optional<std::vector<std::string>> MergeUsesClause(const std::vector<std::string>& base,
                                                        const std::vector<std::string>& local,
                                                        const std::vector<std::string>& remote);

} // namespace quennet::merge3
