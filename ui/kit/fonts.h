#pragma once

#include <QFont>

namespace tev {

// The faces the dialogs are designed in. Neither exists on a Linux desktop as a rule; both fall
// back to DejaVu Sans, which keeps text metrics stable, at the same pixel size.
enum class FontFace { Tahoma, SegoeUI };

QFont dialogFont(FontFace face, int pixelSize);

} // namespace tev
