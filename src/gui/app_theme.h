// The theme chosen in Setup, put on the whole program at once.
#pragma once

#include "viewrules/theme.h"

namespace quennet::gui {

// System gives back the desktop's style and colours; Light and Dark set Fusion with the
// engine's colour set, the disabled group included. Source views follow the palette change.
void ApplyTheme(viewrules::Theme theme);

} // namespace quennet::gui
