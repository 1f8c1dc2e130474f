// The line matcher in its plainest form: every range searched diagonal by diagonal. Kept as the
// reference the fast matcher is checked and measured against.
#pragma once

#include <vector>

#include "diff/line_matcher.h"

namespace quennet::diff {

// The map MatchLines gives, without setting Unmatched.
std::vector<TMapEntry> MatchLinesLiteral(const std::vector<base::TLineRecord>& oldLines,
                                         const std::vector<base::TLineRecord>& newLines);

} // namespace quennet::diff
