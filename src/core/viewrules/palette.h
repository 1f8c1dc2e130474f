// Every colour the windows draw with, in a light and a dark variant; the variant follows the
// lightness of the window background. Colours are 0xRRGGBB.
#pragma once

#include <cstdint>

#include "render/line_decoration.h"

namespace quennet::viewrules {

struct ViewPalette {
    bool Dark = false;

    // Source views: Pascal colouring on Background.
    uint32_t Text;
    uint32_t Background;
    uint32_t Comment;
    uint32_t String;
    uint32_t Keyword;
    uint32_t Directive;

    // Lines of the selected difference: a band, and text that stands in one text only.
    uint32_t SelectionBand;
    uint32_t OldOnlyText;
    uint32_t NewOnlyText;
    // Backgrounds of every difference's lines, of filler rows and of changed characters.
    uint32_t RemovedLines;
    uint32_t AddedLines;
    uint32_t ChangedLines;
    // Lines inside a changed declaration that the other text does not have as they are.
    uint32_t ChangedInside;
    uint32_t FillerRows;
    // Laid translucently over lines conditional compilation left out, whatever their tint.
    uint32_t InactiveShade;
    uint32_t OldChars;
    uint32_t NewChars;

    // Gutters: bookmark digits and line numbers.
    uint32_t Gutter;
    uint32_t GutterText;
    uint32_t BookmarkDigit;

    // Merge editor: what its red, blue and black lines are drawn in, on MergeBackground.
    uint32_t MergeRemoved;
    uint32_t MergeInserted;
    uint32_t MergeUnchanged;
    uint32_t MergeBackground;

    // Glyphs of the tree and the navigator, and the overview strip's bands.
    uint32_t GlyphRemoved;
    uint32_t GlyphAdded;
    uint32_t GlyphChanged;
    uint32_t StripBackground;
};

const ViewPalette& LightPalette();
const ViewPalette& DarkPalette();

// HSL lightness below one half counts as dark.
bool IsDarkBackground(uint32_t windowBackground);
const ViewPalette& PaletteFor(uint32_t windowBackground);

// The selected difference's colours in this palette.
render::DecorationColors SelectionColors(const ViewPalette& palette);

// WCAG contrast ratio of two colours, 1 to 21.
double ContrastRatio(uint32_t a, uint32_t b);

} // namespace quennet::viewrules
