#pragma once

#include <QtGlobal>

// Colour values and colour arithmetic.
//
// A TColor is 32 bits: red in the lowest byte, then green, then blue; the top byte is 0 for a
// plain RGB colour. A system colour has FF in the top byte and the index of a user-interface
// element in the lowest byte; it stands for the colour the desktop currently uses for that
// element, which here is the application palette's (QGuiApplication::palette(), or Qt's default
// palette when no GUI application runs). A TAlphaColor has blue in the lowest byte, then green,
// red, and alpha in the top byte.
namespace tev {

using TColor = qint32;
using TAlphaColor = quint32;

// The library's named colours.
inline constexpr TColor clOK = 0x00F000;
inline constexpr TColor clCLViolated = 0x00F0F0;
inline constexpr TColor clSLViolated = 0x0000F0;
inline constexpr TColor clRLViolated = 0xF000F0;
inline constexpr TColor clVYXCtrlBackground = 0x3B3B3B;
inline constexpr TColor clVYXSelected = 0x9D7D5B;
inline constexpr TColor clVYXCorpRed = 0x1B15AF;
inline constexpr TColor clVYXOrange = 0x0070F0;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;

// System colours: FF in the top byte, the element's index below.
inline constexpr TColor clSystemColor = TColor(0xFF000000);
inline constexpr TColor clScrollBar = clSystemColor | 0;
inline constexpr TColor clBackground = clSystemColor | 1;
inline constexpr TColor clActiveCaption = clSystemColor | 2;
inline constexpr TColor clInactiveCaption = clSystemColor | 3;
inline constexpr TColor clMenu = clSystemColor | 4;
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clWindowFrame = clSystemColor | 6;
inline constexpr TColor clMenuText = clSystemColor | 7;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clCaptionText = clSystemColor | 9;
inline constexpr TColor clActiveBorder = clSystemColor | 10;
inline constexpr TColor clInactiveBorder = clSystemColor | 11;
inline constexpr TColor clAppWorkSpace = clSystemColor | 12;
inline constexpr TColor clHighlight = clSystemColor | 13;
inline constexpr TColor clHighlightText = clSystemColor | 14;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clBtnShadow = clSystemColor | 16;
inline constexpr TColor clGrayText = clSystemColor | 17;
inline constexpr TColor clBtnText = clSystemColor | 18;
inline constexpr TColor clInactiveCaptionText = clSystemColor | 19;
inline constexpr TColor clBtnHighlight = clSystemColor | 20;
inline constexpr TColor cl3DDkShadow = clSystemColor | 21;
inline constexpr TColor cl3DLight = clSystemColor | 22;
inline constexpr TColor clInfoText = clSystemColor | 23;
inline constexpr TColor clInfoBk = clSystemColor | 24;
inline constexpr TColor clHotLight = clSystemColor | 26;
inline constexpr TColor clGradientActiveCaption = clSystemColor | 27;
inline constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
inline constexpr TColor clMenuHighlight = clSystemColor | 29;
inline constexpr TColor clMenuBar = clSystemColor | 30;

bool IsSystemColor(TColor AColor);
// A system colour replaced by the RGB colour it currently stands for; other colours unchanged.
TColor ColorToRGB(TColor AColor);
// sqrt(0.241 R² + 0.691 G² + 0.068 B²) of the three low bytes: 0 for black, 255 for white.
// The top byte is ignored; a system colour is not resolved.
float RGBBrightness(TColor AColor);
// White for a background whose brightness is 127 or less, black otherwise; a system colour is
// resolved first.
TColor BackgroundToTextColor(TColor BackgroundColor);
// Red and blue bytes exchanged; green and the top byte stay (a plain colour gets alpha 0).
TAlphaColor ColorToAlphaColor(TColor Value);
// The HSL lightness raised by Delta and kept within 0..1.
TColor IncreaseBrightness(TColor AColor, float Delta);
// The HSL lightness replaced by Brightness, kept within 0..1.
TColor SetBrightness(TColor AColor, float Brightness);

} // namespace tev
