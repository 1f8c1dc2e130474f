// One file's declaration model as JSON (--model), with a schema in
// doc/schema/model.schema.json.
#pragma once

#include <ostream>

#include "model/source_model.h"

namespace quennet::render {

// The whole model and a line end.
void WriteModel(std::ostream& out, const model::TPasSrc& m);

} // namespace quennet::render
