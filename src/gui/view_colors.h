// The core palette's 0xRRGGBB colours as Qt colours.
#pragma once

#include <QColor>
#include <cstdint>

namespace quennet::gui {

inline QColor ToQColor(uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

inline uint32_t ToRgb(const QColor& color) {
    return static_cast<uint32_t>(color.rgb()) & 0xFFFFFFu;
}

} // namespace quennet::gui
