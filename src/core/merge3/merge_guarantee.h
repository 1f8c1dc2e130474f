// What a clean three-way merge must be, checked on the result alone, whatever way the merge
// found it: each declaration is, token for token, its BASE, LOCAL or REMOTE version or the
// line merge of its own three versions; the text between two declarations likewise with the
// same neighbours; a uses clause names exactly the units the sides' additions and removals
// leave; nothing is added twice or lost where neither side removed it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "merge3/three_way.h"

namespace quennet::model {
class TPasSrc;
}
namespace quennet::diff {
class DeclPairing;
}

namespace quennet::merge3 {

struct GuaranteeViolation {
    std::string name;                 // as the user knows it: "TA.Create", "uses (interface)"
    int32_t first = -1, last = -1;    // result lines, 0-based inclusive; first < 0 when missing
    int32_t before = 0;               // where a missing one goes: the result line it precedes
    std::vector<std::string> text[3]; // BASE, LOCAL, REMOTE versions (empty where absent)
};

// A side's keys of routines it renamed or methods it moved, each with the key BASE gives it.
using KeyRewrites = std::vector<std::pair<std::string, std::string>>;
KeyRewrites GuaranteeKeys(const diff::DeclPairing& pairing);
// LOCAL's and REMOTE's.
using RenamedRoutines = std::array<KeyRewrites, 2>;

// The declarations and texts of a clean result that break the guarantee. Lines have no BOM.
// Versions already parsed with these options (their lines as given) may be passed along. A
// routine a side renamed or a method it moved is the same declaration under its new key, in
// that side and in the result.
std::vector<GuaranteeViolation> CheckMergeGuarantee(
    const std::vector<std::string> (&versions)[3], const std::vector<std::string>& result,
    const std::string& fileName, const ThreeWayOptions& options,
    std::array<const model::TPasSrc*, 3> parsed = {}, const RenamedRoutines& renamed = {});

// Each violation in result becomes a diff3 conflict of its three versions; returns the count.
int32_t MarkViolations(std::vector<std::string>& result,
                       const std::vector<GuaranteeViolation>& violations,
                       const std::string (&labels)[3]);

// A routine's parameter types in order, with their modifiers, from its first lines (atMost):
// what tells overloads apart, as parameter names do not.
std::string ParameterTypes(const std::vector<std::string>& routine, size_t atMost);

// The note on standard error that names a violation.
std::string ViolationNote(const GuaranteeViolation& v);

} // namespace quennet::merge3
