// The core palette's 0xRRGGBB colours as Qt colours, and the dark look that selects the dark
// variant.
#pragma once

#include <QApplication>
#include <QColor>
#include <QPalette>
#include <QStyleFactory>
#include <cstdint>

namespace quennet::gui {

inline QColor ToQColor(uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

inline uint32_t ToRgb(const QColor& color) {
    return static_cast<uint32_t>(color.rgb()) & 0xFFFFFFu;
}

// A dark Fusion look for the whole program, for pictures and measurements of the dark colours.
inline void UseDarkFusionPalette() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette p;
    p.setColor(QPalette::Window, QColor(53, 53, 53));
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(35, 35, 35));
    p.setColor(QPalette::AlternateBase, QColor(53, 53, 53));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, QColor(53, 53, 53));
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::black);
    QApplication::setPalette(p);
}

} // namespace quennet::gui
