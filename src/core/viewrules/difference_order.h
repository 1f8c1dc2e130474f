// Stepping through the differences of a comparison the way the tree shows them: depth first, a
// parent before its children. A difference is a declaration the views can show, so groups and
// items whose children carry the detail are stepped over.
#pragma once

#include "diff/source_diff.h"

namespace quennet::viewrules {

// The difference after (forward) or before the current item in tree order. With no current item,
// or one that is not in the tree, the first (or last) difference. Null at either end.
const diff::TSourceDiffItem* StepDifference(const diff::TSourceDiffList& root,
                                            const diff::TSourceDiffItem* current, bool forward);

} // namespace quennet::viewrules
