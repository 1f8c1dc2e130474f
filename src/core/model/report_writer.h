// The plain-text difference report, computed from the two sorted models.
#pragma once

#include <string>
#include <vector>

#include "model/source_model.h"

namespace quennet::model {

class DeclPairing;

// Appends the report body to dest; never removes lines. With a pairing, renamed and moved
// declarations are one line each.
void WriteReport(const TPasSrc& oldSrc, const TPasSrc& newSrc, std::vector<std::string>& dest,
                 const DeclPairing* pairing = nullptr);

} // namespace quennet::model
