// The plain-text difference report, computed from the two sorted models.
#pragma once

#include <string>
#include <vector>

#include "model/source_model.h"

namespace quennet::model {

// Appends the report body to dest; never removes lines.
void WriteReport(const TPasSrc& oldSrc, const TPasSrc& newSrc, std::vector<std::string>& dest);

} // namespace quennet::model
