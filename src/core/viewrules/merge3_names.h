// Conflicts named as a reader of the unit knows them: by the declaration they fall in
// ("TFoo.Bar (body)", "uses"), and the counts of a merge: what a merge by lines would have
// left, what the declarations solved, what is left.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "viewrules/merge3_layout.h"

namespace quennet::viewrules {

struct NamedSpan {
    std::string Name;
    int32_t First = 0, Last = 0; // 0-based lines, inclusive
    bool operator==(const NamedSpan&) const = default;
};

// The declarations of one version with their lines, as the modern reading of its dialect
// finds them; declarations of include files are left out (their lines are another file's).
std::vector<NamedSpan> OutlineDeclarations(const std::vector<std::string>& lines,
                                           const std::string& fileName);

// The innermost declaration holding lines first..last, or the declarations they touch joined
// by ", " (three at most), or "" when they touch none.
std::string DeclarationAt(const std::vector<NamedSpan>& outline, int32_t first, int32_t last);

// A name for each conflict: from LOCAL's part, else REMOTE's, else BASE's; "Lines a-b" of the
// result when no declaration holds it.
std::vector<std::string> NameConflicts(const std::vector<merge3::Merge3Conflict>& conflicts,
                                       const Merge3ResultMap& map,
                                       const std::array<std::vector<NamedSpan>, 3>& outlines);

struct Merge3Counts {
    int32_t ByLines = 0; // conflicts a merge by lines leaves
    int32_t Solved = 0;  // of those, what the declarations solved
    int32_t Left = 0;    // what the user still has to decide
};

// lineConflicts: a merge by lines of the same versions; structural: the merge's own conflicts
// when it was made; left: the conflicts the result still holds.
Merge3Counts CountMerge3(int32_t lineConflicts, int32_t structural, int32_t left);

} // namespace quennet::viewrules
