#pragma once

#include "core/lib/colours.h"

#include <QColor>

namespace tev {

// The one conversion of the program's colour values ($00BBGGRR, red in the lowest byte; 5263440
// is the grey RGB(80, 80, 80)) into Qt colours. A system colour is resolved first, to what the
// style in use paints that element with.
QColor colorFromValue(TColor value);
TColor valueFromColor(const QColor &color);

// The program's own drawing colours that the routine library does not name.
inline constexpr TColor kColorDimmedText = 0xC0C0C0;
inline constexpr TColor kColorSuccessGreen = 0x008000;
inline constexpr TColor kColorButtonPanel = 5263440;

} // namespace tev
