// Merge editor colours on screen.
#include "view/merge_colors.h"

namespace quennet::view {

namespace {

merge::TColor FromRgb(uint32_t rgb) {
    return merge::TColor::Rgb(static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                              static_cast<uint8_t>(rgb));
}

} // namespace

merge::TColor SwapMergeColor(const ViewPalette& palette, merge::TColor color) {
    if (color.IsAutomatic()) return color;
    const std::pair<merge::TColor, merge::TColor> swaps[] = {
        {merge::kRed, FromRgb(palette.MergeRemoved)},
        {merge::kBlue, FromRgb(palette.MergeInserted)},
        {merge::kBlack, FromRgb(palette.MergeUnchanged)},
    };
    for (const auto& [stored, shown] : swaps) {
        if (stored == shown) continue;
        if (color == stored) return shown;
        if (color == shown) return stored;
    }
    return color;
}

char MergeLineSign(merge::TColor stored) {
    if (stored == merge::kRed) return '-';
    if (stored == merge::kBlue) return '+';
    return ' ';
}

} // namespace quennet::view
