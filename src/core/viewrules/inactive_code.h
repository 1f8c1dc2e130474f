// Code that conditional compilation left out, as the source views shade it: 0-based lines and
// the tip that says why.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/source_model.h"

namespace quennet::viewrules {

struct InactiveSpan {
    int32_t First = 0;
    int32_t Last = 0;
    std::string Tip;
    bool operator==(const InactiveSpan&) const = default;
};

// "Not compiled: DEBUG is not defined ({$IFDEF DEBUG})", and the like for {$IFNDEF}, {$IF} and
// the {$ELSE} of each.
std::string InactiveTip(const model::InactiveLines& lines);
std::vector<InactiveSpan> InactiveSpans(const model::TPasSrc& source);

} // namespace quennet::viewrules
