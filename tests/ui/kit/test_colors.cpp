#include "ui/kit/colors.h"

#include <gtest/gtest.h>

namespace tev {
namespace {

struct ColorCase
{
    const char *name;
    TColor value;
    int r, g, b;
};

class ColorFromValue : public ::testing::TestWithParam<ColorCase>
{
};

TEST_P(ColorFromValue, ReadsRedFromTheLowestByte)
{
    const ColorCase &c = GetParam();
    const QColor color = colorFromValue(c.value);
    EXPECT_EQ(color.red(), c.r);
    EXPECT_EQ(color.green(), c.g);
    EXPECT_EQ(color.blue(), c.b);
    EXPECT_EQ(valueFromColor(color), c.value);
}

INSTANTIATE_TEST_SUITE_P(Table, ColorFromValue,
                         ::testing::Values(ColorCase{"PanelGrey", 5263440, 80, 80, 80},
                                           ColorCase{"Selection", 0x9D7D5B, 0x5B, 0x7D, 0x9D},
                                           ColorCase{"WarningOrange", 0x0070F0, 0xF0, 0x70, 0x00},
                                           ColorCase{"ErrorRed", 0x1B15AF, 0xAF, 0x15, 0x1B},
                                           ColorCase{"SuccessGreen", 0x008000, 0, 0x80, 0},
                                           ColorCase{"PureRed", 0x0000FF, 255, 0, 0},
                                           ColorCase{"PureBlue", 0xFF0000, 0, 0, 255}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ColorFromValue, ResolvesSystemColoursThroughTheStyle)
{
    const QColor window = colorFromValue(clWindow);
    EXPECT_EQ(valueFromColor(window), ColorToRGB(clWindow));
    EXPECT_TRUE(window.isValid());
}

} // namespace
} // namespace tev
