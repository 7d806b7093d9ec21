#pragma once

#include <QColor>

namespace tev {

// Shades on the luminance scale of 0 to 240: a positive amount lightens, a negative one darkens.
QColor HighlightShade(const QColor &color, int luma);
QColor ShadowShade(const QColor &color, int luma);

// White on dark colours, black on light ones, by perceived brightness.
QColor ContrastColor(const QColor &color);

// The luminance amounts of the button group's own colour scheme.
inline constexpr int kSelectedLuma = 19; // selected, focused and pressed buttons; separators
inline constexpr int kHotLuma = -25;     // the button under the mouse
inline constexpr int kInsertionMarkLuma = -50;

} // namespace tev
