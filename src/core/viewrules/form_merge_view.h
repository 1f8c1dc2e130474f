// The merge window on form files: the versions as it shows them (a binary form as its text
// form), the engine's form merge as the result text, and the bytes a save writes.
#pragma once

#include <string>

#include "forms/form_compare.h"
#include "merge3/merge3_files.h"
#include "merge3/three_way.h"

namespace quennet::viewrules {

// Whether a merge of these files is a merge of forms: any of them is one by name or content.
bool IsFormMerge(const std::string (&paths)[3]);

// As ReadMerge3Version, but a binary form is read as its text form; binary says which it was.
merge3::Merge3Version ReadFormMergeVersion(const std::string& path, std::string label,
                                           bool& binary);

// The versions (read as above and aligned) merged object by object; the result text is
// LOCAL's, as MergeThreeWay gives it.
merge3::ThreeWayResult MergeFormVersions(const merge3::Merge3Version (&versions)[3],
                                         const forms::NoiseRules& rules);

// A result for a binary LOCAL goes back to binary. Throws naming the file when the text no
// longer reads whole as a form.
std::string BinaryFormOf(const std::string& text, const std::string& fileName);

} // namespace quennet::viewrules
