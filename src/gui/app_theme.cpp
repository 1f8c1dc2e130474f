// Themes as QPalettes.
#include "app_theme.h"

#include "view_colors.h"

#include <QApplication>
#include <QPalette>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>

namespace quennet::gui {

namespace {

// The desktop's style as the program started, for going back to System.
QString& SystemStyleName() {
    static QString name;
    return name;
}

QPalette PaletteOf(const viewrules::WindowColors& c) {
    QPalette p;
    auto set = [&p](QPalette::ColorRole role, uint32_t rgb) { p.setColor(role, ToQColor(rgb)); };
    set(QPalette::Window, c.Window);
    set(QPalette::WindowText, c.WindowText);
    set(QPalette::Base, c.Base);
    set(QPalette::AlternateBase, c.AlternateBase);
    set(QPalette::Text, c.Text);
    set(QPalette::Button, c.Button);
    set(QPalette::ButtonText, c.ButtonText);
    set(QPalette::BrightText, 0xFF5050);
    set(QPalette::Highlight, c.Highlight);
    set(QPalette::HighlightedText, c.HighlightedText);
    set(QPalette::ToolTipBase, c.ToolTipBase);
    set(QPalette::ToolTipText, c.ToolTipText);
    set(QPalette::Link, c.Link);
    set(QPalette::PlaceholderText, c.PlaceholderText);
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, ToQColor(c.DisabledText));
    p.setColor(QPalette::Disabled, QPalette::Button, ToQColor(c.DisabledButton));
    p.setColor(QPalette::Disabled, QPalette::Base, ToQColor(c.DisabledBase));
    p.setColor(QPalette::Disabled, QPalette::Highlight, ToQColor(c.DisabledButton));
    p.setColor(QPalette::Disabled, QPalette::HighlightedText, ToQColor(c.DisabledText));
    return p;
}

} // namespace

void ApplyTheme(viewrules::Theme theme) {
    if (SystemStyleName().isEmpty()) SystemStyleName() = QApplication::style()->name();
    if (theme == viewrules::Theme::System) {
        QStyle* style = QStyleFactory::create(SystemStyleName());
        if (style) QApplication::setStyle(style);
        QApplication::setPalette(QApplication::style()->standardPalette());
        return;
    }
    if (QApplication::style()->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) != 0)
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(PaletteOf(viewrules::ThemeColors(theme)));
}

} // namespace quennet::gui
