#include "ui/kit/colors.h"

namespace tev {

QColor colorFromValue(std::uint32_t value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

std::uint32_t valueFromColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return std::uint32_t(rgb.red()) | (std::uint32_t(rgb.green()) << 8) |
           (std::uint32_t(rgb.blue()) << 16);
}

} // namespace tev
