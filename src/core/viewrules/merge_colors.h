// How the merge editor shows its stored colours: red, blue and black are drawn in the
// palette's colours, and each line carries a sign so its meaning does not rest on colour.
#pragma once

#include "viewrules/palette.h"
#include "workspace/workspace_document.h"

namespace quennet::viewrules {

// Swaps each stored colour with the colour the palette shows it in, and back: applied to what
// the widget shows it gives what is stored. Other colours pass unchanged.
workspace::TColor SwapMergeColor(const ViewPalette& palette, workspace::TColor color);

// '-' for a removed (red) line, '+' for an inserted (blue) one, ' ' otherwise.
char MergeLineSign(workspace::TColor stored);

} // namespace quennet::viewrules
