#include "viewrules/merge3_colors.h"

namespace quennet::viewrules {

namespace {

// Blue for LOCAL, green for REMOTE, violet where both agree, red for a conflict, amber for
// text of no version; light enough in the light theme, and dark enough in the dark one, for
// the Pascal colours to read on them.
constexpr Merge3Tints kLight{0xDCE8FF, 0xDDF3DD, 0xEBDDF7, 0xFFD4D4, 0xFFF0BF};
constexpr Merge3Tints kDark{0x1F3050, 0x1E3C24, 0x36284E, 0x4E2226, 0x433A18};

} // namespace

const Merge3Tints& Merge3TintsFor(bool dark) {
    return dark ? kDark : kLight;
}

uint32_t TintOf(const Merge3Tints& tints, viewrules::Merge3Change change) {
    switch (change) {
    case viewrules::Merge3Change::Local: return tints.Local;
    case viewrules::Merge3Change::Remote: return tints.Remote;
    case viewrules::Merge3Change::Both: return tints.Both;
    case viewrules::Merge3Change::Conflict: return tints.Conflict;
    }
    return 0;
}

uint32_t TintOf(const Merge3Tints& tints, viewrules::Merge3Origin origin) {
    switch (origin) {
    case viewrules::Merge3Origin::Common: return 0;
    case viewrules::Merge3Origin::Local: return tints.Local;
    case viewrules::Merge3Origin::Remote: return tints.Remote;
    case viewrules::Merge3Origin::Both: return tints.Both;
    case viewrules::Merge3Origin::Conflict: return tints.Conflict;
    case viewrules::Merge3Origin::Edited: return tints.Edited;
    }
    return 0;
}

} // namespace quennet::viewrules
