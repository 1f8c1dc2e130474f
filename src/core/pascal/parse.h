// The parse entry: fills an empty model from a text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/dialect.h"
#include "model/source_model.h"

namespace quennet::pascal {

// Parses text (every line followed by CR LF) into src with a copy of symbols, then sorts and
// finishes the model. src must be new: a model is filled once.
void Parse(model::TPasSrc& src, std::string_view text, const std::vector<std::string>* symbols,
           const model::ParseOptions& options = {});

} // namespace quennet::pascal
