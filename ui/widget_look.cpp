#include "ui/widget_look.h"

#include <QApplication>
#include <QPalette>
#include <QStringList>
#include <QWidget>
#include <cmath>

namespace wc {

std::optional<QColor> qt_color(std::uint32_t color) {
    if (color == color::button_face) {
        return std::nullopt;
    }
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

QFont console_font(double points, double scale) {
    QFont font;
    // The design face first, then the Traditional Chinese face that Debian
    // ships; Qt falls back to the system face when neither is installed.
    font.setFamilies({QStringLiteral("微軟正黑體"), QStringLiteral("Noto Sans CJK TC")});
    font.setPointSizeF(points * scale);
    return font;
}

int to_pixels(int twips, double scale) {
    return static_cast<int>(std::lround(twips * scale / 15.0));
}

// Edges are converted, not sizes, so that controls that touch in twips still
// touch in pixels and never overlap by a rounding pixel.
QRect to_pixels(const Twips& twips, double scale) {
    const int left = to_pixels(twips.left, scale);
    const int top = to_pixels(twips.top, scale);
    const int right = to_pixels(twips.left + twips.width, scale);
    const int bottom = to_pixels(twips.top + twips.height, scale);
    return {left, top, right - left, bottom - top};
}

void apply_back_color(QWidget& widget, Kind kind, std::uint32_t color) {
    const QPalette::ColorRole role = kind == Kind::button ? QPalette::Button : QPalette::Window;
    QPalette palette = widget.palette();
    const auto wanted = qt_color(color);
    palette.setColor(role, wanted ? *wanted : QApplication::palette().color(role));
    widget.setPalette(palette);
    // A label paints its background only when asked; the system face needs no painting.
    if (kind == Kind::label) {
        widget.setAutoFillBackground(wanted.has_value());
    }
}

void apply_fore_color(QWidget& widget, std::uint32_t color) {
    const QColor text = qt_color(color).value_or(QApplication::palette().color(QPalette::WindowText));
    QPalette palette = widget.palette();
    // The disabled group keeps its grey: a disabled control must look disabled.
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::Text, text);
    }
    widget.setPalette(palette);
}

} // namespace wc
