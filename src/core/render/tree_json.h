// The difference tree as JSON (--json): a document per comparison, with a schema in
// doc/schema/diff.schema.json.
#pragma once

#include <ostream>
#include <string_view>

#include "diff/compare_sources.h"
#include "diff/source_diff.h"

namespace quennet::render {

// The word for a node's kind in JSON and in the terminal displays.
const char* NodeKindName(diff::NodeKind kind);

// {format, old, new, equivalent, stopped, tree} and a line end.
void WriteComparisonJson(std::ostream& out, const diff::ComparisonResult& result,
                         std::string_view oldLabel, std::string_view newLabel, bool equivalent);

} // namespace quennet::render
