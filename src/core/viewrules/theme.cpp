// Theme names and colour sets.
#include "viewrules/theme.h"

#include "base/ascii.h"

namespace quennet::viewrules {

namespace {

constexpr WindowColors kLight = {
    .Window = 0xEFEFEF,
    .WindowText = 0x1E1E1E,
    .Base = 0xFFFFFF,
    .AlternateBase = 0xF5F5F5,
    .Text = 0x1E1E1E,
    .Button = 0xE8E8E8,
    .ButtonText = 0x1E1E1E,
    .Highlight = 0x1F6FB0,
    .HighlightedText = 0xFFFFFF,
    .ToolTipBase = 0xFFFFDC,
    .ToolTipText = 0x1E1E1E,
    .Link = 0x0B5CAD,
    .PlaceholderText = 0x767676,
    .DisabledText = 0xA0A0A0,
    .DisabledButton = 0xEBEBEB,
    .DisabledBase = 0xF4F4F4,
};

constexpr WindowColors kDark = {
    .Window = 0x353535,
    .WindowText = 0xE6E6E6,
    .Base = 0x1E1E1E,
    .AlternateBase = 0x2A2A2A,
    .Text = 0xE6E6E6,
    .Button = 0x454545,
    .ButtonText = 0xE6E6E6,
    .Highlight = 0x1F6FB0,
    .HighlightedText = 0xFFFFFF,
    .ToolTipBase = 0x4A4A3A,
    .ToolTipText = 0xF0F0F0,
    .Link = 0x6CB4F5,
    .PlaceholderText = 0x9A9A9A,
    .DisabledText = 0x7A7A7A,
    .DisabledButton = 0x3A3A3A,
    .DisabledBase = 0x2A2A2A,
};

} // namespace

std::optional<Theme> ThemeFromName(std::string_view name) {
    for (Theme t : {Theme::System, Theme::Light, Theme::Dark})
        if (base::SameIgnoringCase(name, ThemeName(t))) return t;
    return std::nullopt;
}

const char* ThemeName(Theme theme) {
    switch (theme) {
    case Theme::Light: return "Light";
    case Theme::Dark: return "Dark";
    case Theme::System: break;
    }
    return "System";
}

const WindowColors& ThemeColors(Theme theme) {
    return theme == Theme::Dark ? kDark : kLight;
}

} // namespace quennet::viewrules
