#include "ui/kit/colors.h"

namespace tev {

QColor colorFromValue(TColor value)
{
    const quint32 rgb = quint32(ColorToRGB(value));
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

TColor valueFromColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return TColor(quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16));
}

} // namespace tev
