// The line tints of the three-way merge window: one colour per side, so a line of the result
// shows where it came from in the colour its version's changes carry above it.
#pragma once

#include <cstdint>

#include "viewrules/merge3_layout.h"

namespace quennet::viewrules {

struct Merge3Tints {
    uint32_t Local;
    uint32_t Remote;
    uint32_t Both;
    uint32_t Conflict;
    uint32_t Edited;
};

const Merge3Tints& Merge3TintsFor(bool dark);

// The tint of a changed stretch of a version, and of a result line by origin; 0 for none
// (a common line keeps the background).
uint32_t TintOf(const Merge3Tints& tints, viewrules::Merge3Change change);
uint32_t TintOf(const Merge3Tints& tints, viewrules::Merge3Origin origin);

} // namespace quennet::viewrules
