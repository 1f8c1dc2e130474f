// Merge editor colours on screen.
#include "viewrules/merge_colors.h"

namespace quennet::viewrules {

namespace {

workspace::TColor FromRgb(uint32_t rgb) {
    return workspace::TColor::Rgb(static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                                  static_cast<uint8_t>(rgb));
}

} // namespace

workspace::TColor SwapMergeColor(const ViewPalette& palette, workspace::TColor color) {
    if (color.IsAutomatic()) return color;
    const std::pair<workspace::TColor, workspace::TColor> swaps[] = {
        {workspace::kRed, FromRgb(palette.MergeRemoved)},
        {workspace::kBlue, FromRgb(palette.MergeInserted)},
        {workspace::kBlack, FromRgb(palette.MergeUnchanged)},
    };
    for (const auto& [stored, shown] : swaps) {
        if (stored == shown) continue;
        if (color == stored) return shown;
        if (color == shown) return stored;
    }
    return color;
}

char MergeLineSign(workspace::TColor stored) {
    if (stored == workspace::kRed) return '-';
    if (stored == workspace::kBlue) return '+';
    return ' ';
}

} // namespace quennet::viewrules
