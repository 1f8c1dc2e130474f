// The line matcher in its plainest form: every range searched diagonal by diagonal. Kept as the
// reference the fast matcher is checked and measured against.
#pragma once

#include <vector>

#include "model/line_matcher.h"

namespace quennet::model {

// The map MatchLines gives, without setting Unmatched.
std::vector<TMapEntry> MatchLinesLiteral(const std::vector<TLineRecord>& oldLines,
                                         const std::vector<TLineRecord>& newLines);

} // namespace quennet::model
