#pragma once

// How the console's model values look on Qt widgets: its 0x00BBGGRR colours,
// its fonts, and its twips at the screen's scale.

#include "form/controls.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <cstdint>
#include <optional>

class QWidget;

namespace wc {

// The colour as Qt knows it, or nothing for the system button face.
std::optional<QColor> qt_color(std::uint32_t color);

// The console's face at the given size; `scale` is the window's own scale
// over the screen's, so that text grows with the geometry.
QFont console_font(double points, double scale);

inline constexpr double frame_caption_points = 12.0;
inline constexpr double control_points = 9.75;

// Twips to pixels: 15 twips are one pixel at 96 dpi, times the window's scale.
int to_pixels(int twips, double scale);
QRect to_pixels(const Twips& twips, double scale);

// Background (buttons, labels) and text colour as the model holds them.
void apply_back_color(QWidget& widget, Kind kind, std::uint32_t color);
void apply_fore_color(QWidget& widget, std::uint32_t color);

} // namespace wc
