// The program's own themes: the desktop's colours (System), or a light or dark set of its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quennet::viewrules {

enum class Theme { System, Light, Dark };

// "System", "Light", "Dark" as stored (letter case ignored); nullopt for anything else.
std::optional<Theme> ThemeFromName(std::string_view name);
const char* ThemeName(Theme theme);

// The window colours of a theme of its own (0xRRGGBB). Disabled texts stand apart from the
// enabled ones, so a disabled button or label looks disabled in the dark set too.
struct WindowColors {
    uint32_t Window, WindowText, Base, AlternateBase, Text, Button, ButtonText;
    uint32_t Highlight, HighlightedText, ToolTipBase, ToolTipText, Link, PlaceholderText;
    uint32_t DisabledText, DisabledButton, DisabledBase;
};

// Light and Dark only; System keeps the desktop's colours.
const WindowColors& ThemeColors(Theme theme);

} // namespace quennet::viewrules
