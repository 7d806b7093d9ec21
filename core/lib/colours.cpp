#include "core/lib/colours.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>

namespace tev {

namespace {

struct PaletteColour
{
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The palette entry that plays the part of each user-interface element of the system colours.
constexpr PaletteColour kSystemColours[] = {
    {QPalette::Active, QPalette::Window},          // 0 scroll bar
    {QPalette::Active, QPalette::Window},          // 1 desktop
    {QPalette::Active, QPalette::Highlight},       // 2 active caption
    {QPalette::Inactive, QPalette::Window},        // 3 inactive caption
    {QPalette::Active, QPalette::Window},          // 4 menu
    {QPalette::Active, QPalette::Base},            // 5 window
    {QPalette::Active, QPalette::WindowText},      // 6 window frame
    {QPalette::Active, QPalette::WindowText},      // 7 menu text
    {QPalette::Active, QPalette::Text},            // 8 window text
    {QPalette::Active, QPalette::HighlightedText}, // 9 caption text
    {QPalette::Active, QPalette::Window},          // 10 active border
    {QPalette::Inactive, QPalette::Window},        // 11 inactive border
    {QPalette::Active, QPalette::Dark},            // 12 application work space
    {QPalette::Active, QPalette::Highlight},       // 13 highlight
    {QPalette::Active, QPalette::HighlightedText}, // 14 highlight text
    {QPalette::Active, QPalette::Button},          // 15 button face
    {QPalette::Active, QPalette::Dark},            // 16 button shadow
    {QPalette::Disabled, QPalette::Text},          // 17 grey text
    {QPalette::Active, QPalette::ButtonText},      // 18 button text
    {QPalette::Inactive, QPalette::WindowText},    // 19 inactive caption text
    {QPalette::Active, QPalette::Light},           // 20 button highlight
    {QPalette::Active, QPalette::Shadow},          // 21 3D dark shadow
    {QPalette::Active, QPalette::Midlight},        // 22 3D light
    {QPalette::Active, QPalette::ToolTipText},     // 23 info text
    {QPalette::Active, QPalette::ToolTipBase},     // 24 info background
    {QPalette::Active, QPalette::NoRole},          // 25 not in use: black
    {QPalette::Active, QPalette::Link},            // 26 hot light
    {QPalette::Active, QPalette::Highlight},       // 27 gradient of the active caption
    {QPalette::Inactive, QPalette::Window},        // 28 gradient of the inactive caption
    {QPalette::Active, QPalette::Highlight},       // 29 menu highlight
    {QPalette::Active, QPalette::Window},          // 30 menu bar
};

QPalette currentPalette()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QGuiApplication::palette();
    return QPalette(QColor(240, 240, 240)); // no desktop: a plain light palette
}

TColor fromRgb(int r, int g, int b)
{
    return TColor(r | g << 8 | b << 16);
}

struct Hsl
{
    float h, s, l;
};

// The HSL form of the colour's three low bytes (red lowest).
Hsl toHsl(TColor AColor)
{
    const TAlphaColor c = ColorToAlphaColor(AColor);
    const float r = float((c >> 16) & 0xFF) / 255.0f;
    const float g = float((c >> 8) & 0xFF) / 255.0f;
    const float b = float(c & 0xFF) / 255.0f;
    const float max = std::max({r, g, b});
    const float min = std::min({r, g, b});
    Hsl hsl{0, 0, (max + min) / 2};
    if (max == min)
        return hsl;
    const float d = max - min;
    hsl.s = hsl.l <= 0.5f ? d / (max + min) : d / (2 - max - min);
    if (r == max)
        hsl.h = (g - b) / d;
    else if (g == max)
        hsl.h = 2 + (b - r) / d;
    else
        hsl.h = 4 + (r - g) / d;
    hsl.h /= 6;
    if (hsl.h < 0)
        hsl.h += 1;
    return hsl;
}

float hueToChannel(float p, float q, float t)
{
    if (t < 0)
        t += 1;
    if (t > 1)
        t -= 1;
    if (t < 1.0f / 6)
        return p + (q - p) * 6 * t;
    if (t < 0.5f)
        return q;
    if (t < 2.0f / 3)
        return p + (q - p) * (2.0f / 3 - t) * 6;
    return p;
}

// Lightness outside 0..1 is kept within it, so the result is always a valid colour.
TColor fromHsl(Hsl hsl)
{
    const float l = std::clamp(hsl.l, 0.0f, 1.0f);
    float r = l, g = l, b = l;
    if (hsl.s != 0) {
        const float q = l < 0.5f ? l * (1 + hsl.s) : l + hsl.s - l * hsl.s;
        const float p = 2 * l - q;
        r = hueToChannel(p, q, hsl.h + 1.0f / 3);
        g = hueToChannel(p, q, hsl.h);
        b = hueToChannel(p, q, hsl.h - 1.0f / 3);
    }
    // Rounded to the nearest integer, ties to even.
    auto channel = [](float v) { return int(std::nearbyint(std::clamp(v, 0.0f, 1.0f) * 255)); };
    return fromRgb(channel(r), channel(g), channel(b));
}

} // namespace

bool IsSystemColor(TColor AColor)
{
    return (quint32(AColor) & 0xFF000000u) == 0xFF000000u;
}

TColor ColorToRGB(TColor AColor)
{
    if (!IsSystemColor(AColor))
        return AColor;
    const quint32 index = quint32(AColor) & 0xFF;
    if (index >= std::size(kSystemColours) || kSystemColours[index].role == QPalette::NoRole)
        return clBlack;
    const PaletteColour &entry = kSystemColours[index];
    const QColor colour = currentPalette().color(entry.group, entry.role);
    return fromRgb(colour.red(), colour.green(), colour.blue());
}

float RGBBrightness(TColor AColor)
{
    const long double r = float(AColor & 0xFF);
    const long double g = float((AColor >> 8) & 0xFF);
    const long double b = float((AColor >> 16) & 0xFF);
    return float(std::sqrt(0.241L * r * r + 0.691L * g * g + 0.068L * b * b));
}

TColor BackgroundToTextColor(TColor BackgroundColor)
{
    return RGBBrightness(ColorToRGB(BackgroundColor)) <= 127 ? clWhite : clBlack;
}

TAlphaColor ColorToAlphaColor(TColor Value)
{
    const quint32 v = quint32(Value);
    return (v & 0xFF00FF00u) | (v & 0xFF) << 16 | (v >> 16 & 0xFF);
}

TColor IncreaseBrightness(TColor AColor, float Delta)
{
    Hsl hsl = toHsl(AColor);
    hsl.l = std::min(hsl.l + Delta, 1.0f);
    return fromHsl(hsl);
}

TColor SetBrightness(TColor AColor, float Brightness)
{
    Hsl hsl = toHsl(AColor);
    hsl.l = Brightness;
    return fromHsl(hsl);
}

} // namespace tev
