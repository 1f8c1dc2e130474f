// Whether two texts differ in layout only: the same tokens, comments and directives, with
// any blanks and line breaks between them.
#pragma once

#include <string>
#include <vector>

namespace quennet::merge3 {

bool SameButLayout(const std::vector<std::string>& a, const std::vector<std::string>& b);

} // namespace quennet::merge3
