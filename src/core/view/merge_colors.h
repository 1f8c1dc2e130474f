// How the merge editor shows its stored colours: red, blue and black are drawn in the
// palette's colours, and each line carries a sign so its meaning does not rest on colour.
#pragma once

#include "merge/workspace_document.h"
#include "view/palette.h"

namespace quennet::view {

// Swaps each stored colour with the colour the palette shows it in, and back: applied to what
// the widget shows it gives what is stored. Other colours pass unchanged.
merge::TColor SwapMergeColor(const ViewPalette& palette, merge::TColor color);

// '-' for a removed (red) line, '+' for an inserted (blue) one, ' ' otherwise.
char MergeLineSign(merge::TColor stored);

} // namespace quennet::view
