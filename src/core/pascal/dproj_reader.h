// The search paths a Delphi project file gives the build it makes by default.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quennet::pascal {

// The entries of DCC_IncludePath, then of DCC_UnitSearchPath, as MSBuild evaluates the project
// for its default Config and Platform: the top-level PropertyGroups whose Condition holds, in
// file order, each value's $(DCC_IncludePath) or $(DCC_UnitSearchPath) standing for the list so
// far. Other macros are left as written, for the caller to judge; a condition this reader cannot
// evaluate counts as false. Entries are trimmed, empty ones dropped, separators untouched.
std::vector<std::string> DprojSearchPaths(std::string_view text);

} // namespace quennet::pascal
