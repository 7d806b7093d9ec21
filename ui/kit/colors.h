#pragma once

#include <QColor>
#include <cstdint>

namespace tev {

// Colour values as the program stores them: $00BBGGRR, red in the lowest byte. 5263440 is the
// grey RGB(80, 80, 80). The highest byte is no colour and is ignored.
QColor colorFromValue(std::uint32_t value);
std::uint32_t valueFromColor(const QColor &color);

// The program's own drawing colours, as values.
inline constexpr std::uint32_t kColorSelection = 0x9D7D5B;
inline constexpr std::uint32_t kColorWarningOrange = 0x0070F0;
inline constexpr std::uint32_t kColorErrorRed = 0x1B15AF;
inline constexpr std::uint32_t kColorDarkControl = 0x3B3B3B;
inline constexpr std::uint32_t kColorDimmedText = 0xC0C0C0;
inline constexpr std::uint32_t kColorSuccessGreen = 0x008000;
inline constexpr std::uint32_t kColorButtonPanel = 5263440;

} // namespace tev
