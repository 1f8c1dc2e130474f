// The two palettes. The light one keeps the classic look (navy comments, purple strings, grey
// band, red and blue lines) but darkens red and green enough to read on the band.
#include "viewrules/palette.h"

#include <algorithm>
#include <cmath>

namespace quennet::viewrules {

namespace {

constexpr ViewPalette kLight{
    .Dark = false,
    .Text = 0x000000,
    .Background = 0xFFFFFF,
    .Comment = 0x000080,
    .String = 0x800080,
    .Keyword = 0x000000,
    .Directive = 0x006400,
    .SelectionBand = 0xE6E6E6,
    .OldOnlyText = 0xC00000,
    .NewOnlyText = 0x0000FF,
    .RemovedLines = 0xFFECEC,
    .AddedLines = 0xE8F6E8,
    .ChangedLines = 0xFFF5D6,
    .ChangedInside = 0xFFEBB8,
    .FillerRows = 0xF0F0F0,
    .InactiveShade = 0xE4E8EE,
    .OldChars = 0xFFD0D0,
    .NewChars = 0xD0E0FF,
    .Gutter = 0xF0F0F0,
    .GutterText = 0x606060,
    .BookmarkDigit = 0x0000FF,
    .MergeRemoved = 0xC00000,
    .MergeInserted = 0x0000FF,
    .MergeUnchanged = 0x000000,
    .MergeBackground = 0xFFFFFF,
    .GlyphRemoved = 0xDC1E1E,
    .GlyphAdded = 0x149628,
    .GlyphChanged = 0xA86800,
    .StripBackground = 0xF0F0F0,
};

constexpr ViewPalette kDark{
    .Dark = true,
    .Text = 0xD4D4D4,
    .Background = 0x1E1E1E,
    .Comment = 0x8CB4FF,
    .String = 0xE0A0E0,
    .Keyword = 0xFFFFFF,
    .Directive = 0x7CD67C,
    .SelectionBand = 0x3C3C3C,
    .OldOnlyText = 0xFF8080,
    .NewOnlyText = 0x80B4FF,
    .RemovedLines = 0x3A2020,
    .AddedLines = 0x1E3520,
    .ChangedLines = 0x36301A,
    .ChangedInside = 0x433816,
    .FillerRows = 0x282828,
    .InactiveShade = 0x141414,
    .OldChars = 0x5A2828,
    .NewChars = 0x233A5E,
    .Gutter = 0x2A2A2A,
    .GutterText = 0xA0A0A0,
    .BookmarkDigit = 0x80B4FF,
    .MergeRemoved = 0xFF8080,
    .MergeInserted = 0x80B4FF,
    .MergeUnchanged = 0xD4D4D4,
    .MergeBackground = 0x1E1E1E,
    .GlyphRemoved = 0xFF6060,
    .GlyphAdded = 0x60D060,
    .GlyphChanged = 0xE0B040,
    .StripBackground = 0x2A2A2A,
};

double Channel(uint32_t rgb, int shift) {
    const double c = ((rgb >> shift) & 0xFF) / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(uint32_t rgb) {
    return 0.2126 * Channel(rgb, 16) + 0.7152 * Channel(rgb, 8) + 0.0722 * Channel(rgb, 0);
}

} // namespace

const ViewPalette& LightPalette() {
    return kLight;
}

const ViewPalette& DarkPalette() {
    return kDark;
}

bool IsDarkBackground(uint32_t rgb) {
    const uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return std::max({r, g, b}) + std::min({r, g, b}) < 255;
}

const ViewPalette& PaletteFor(uint32_t windowBackground) {
    return IsDarkBackground(windowBackground) ? kDark : kLight;
}

render::DecorationColors SelectionColors(const ViewPalette& palette) {
    return {palette.OldOnlyText, palette.NewOnlyText, palette.SelectionBand};
}

double ContrastRatio(uint32_t a, uint32_t b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace quennet::viewrules
