#pragma once

#include <QString>

namespace tev {

// The picture picker's title and filter, shared by the characteristics page and the editor.
inline QString PictureDialogTitle()
{
    return QStringLiteral("  Image");
}

inline QString PictureDialogFilter()
{
    return QStringLiteral("All Images|*.gif;*.png;*.jpg;*.jpeg;*.bmp|GIF-Bild (*.gif)|*.gif|"
                          "Portable Network Graphics (*.png)|*.png|JPEG-Grafikdatei (*.jpg)|*.jpg|"
                          "JPEG-Grafikdatei (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp");
}

} // namespace tev
