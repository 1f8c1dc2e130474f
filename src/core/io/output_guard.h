// Outputs never replace the files they are made from: a merged source written over its own
// old version would lose the very text it was built from.
#pragma once

#include <string>
#include <vector>

namespace quennet::io {

// True when both names lead to the same existing file once links are followed.
bool SameFile(const std::string& a, const std::string& b);

// Throws std::runtime_error when an output names one of the inputs; call it before anything
// is written. Empty names, "-" and outputs that are not regular files are skipped.
void RefuseOutputsOverInputs(const std::vector<std::string>& outputs,
                             const std::vector<std::string>& inputs);

} // namespace quennet::io
