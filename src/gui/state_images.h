// The five 16 x 16 images of the difference tree and the gutters.
#pragma once

#include <QPixmap>
#include <array>

#include "viewrules/palette.h"

namespace quennet::gui {

enum StateImage : int {
    ImgRemoved = 0,  // red minus
    ImgAdded = 1,    // green plus
    ImgChanged = 2,  // green plus above red minus
    ImgGroup = 3,    // yellow folder
    ImgDocument = 4, // white page with blue lines
};

using TImageList = std::array<QPixmap, 5>;

// Minus and plus in the palette's glyph colours.
TImageList MakeStateImages(const viewrules::ViewPalette& palette = viewrules::LightPalette());

// Image index of a difference item's state; -1 for a state without an image.
int StateImageIndex(int state);

} // namespace quennet::gui
