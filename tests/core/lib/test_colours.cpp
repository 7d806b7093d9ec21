#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

#include "core/lib/colours.h"

using namespace tev;

TEST(Colours, NamedColoursHaveTheirRgbValues)
{
    struct Case
    {
        TColor colour;
        int r, g, b;
    };
    const Case cases[] = {
        {clOK, 0, 240, 0},
        {clCLViolated, 240, 240, 0},
        {clSLViolated, 240, 0, 0},
        {clRLViolated, 240, 0, 240},
        {clVYXCtrlBackground, 59, 59, 59},
        {clVYXSelected, 91, 125, 157},
        {clVYXCorpRed, 175, 21, 27},
        {clVYXOrange, 240, 112, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.colour, c.r | c.g << 8 | c.b << 16) << std::hex << c.colour;
}

TEST(Colours, BrightnessAndTextColour)
{
    struct Case
    {
        TColor background;
        float brightness;
        TColor text;
    };
    const Case cases[] = {
        {clBlack, 0, clWhite},
        {clWhite, 255, clBlack},
        {clVYXCorpRed, 87.95f, clWhite},
        {0x7F7F7F, 127, clWhite},
        {0x808080, 128, clBlack},
        {0x00FF00, 211.97f, clBlack},
        {TColor(0x12FFFFFF), 255, clBlack}, // the top byte of a non-system colour is ignored
    };
    for (const Case &c : cases) {
        EXPECT_NEAR(RGBBrightness(c.background), c.brightness, 0.01) << std::hex << c.background;
        EXPECT_EQ(BackgroundToTextColor(c.background), c.text) << std::hex << c.background;
    }
}

TEST(Colours, SystemColoursStandForThePaletteColours)
{
    const QPalette saved = QGuiApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::Active, QPalette::Base, QColor(10, 20, 30));
    palette.setColor(QPalette::Active, QPalette::Button, QColor(230, 230, 230));
    QGuiApplication::setPalette(palette);
    EXPECT_TRUE(IsSystemColor(clWindow));
    EXPECT_FALSE(IsSystemColor(clVYXCorpRed));
    EXPECT_EQ(ColorToRGB(clWindow), 10 | 20 << 8 | 30 << 16);
    EXPECT_EQ(ColorToRGB(clVYXCorpRed), clVYXCorpRed);
    EXPECT_EQ(ColorToRGB(TColor(0xFF0000FE)), clBlack) << "an index without element";
    EXPECT_EQ(BackgroundToTextColor(clWindow), clWhite);
    EXPECT_EQ(BackgroundToTextColor(clBtnFace), clBlack);
    // RGBBrightness itself does not resolve: clWindow's low bytes are 5, 0, 0.
    EXPECT_NEAR(RGBBrightness(clWindow), std::sqrt(0.241f * 25), 0.001);
    QGuiApplication::setPalette(saved);
}

TEST(Colours, AlphaColourSwapsRedAndBlue)
{
    EXPECT_EQ(ColorToAlphaColor(0x1B15AF), 0xAF151Bu);
    EXPECT_EQ(ColorToAlphaColor(TColor(0x80123456)), 0x80563412u);
}

TEST(Colours, LightnessInTheHslModel)
{
    struct Case
    {
        const char *what;
        TColor result, expected;
    };
    const Case cases[] = {
        {"raise by 2", IncreaseBrightness(clVYXCorpRed, 2), clWhite},
        {"raise grey by 0", IncreaseBrightness(0x808080, 0), 0x808080},
        {"raise black by 0.5", IncreaseBrightness(clBlack, 0.5f), 0x808080},
        {"lower below 0", IncreaseBrightness(clVYXOrange, -2), clBlack},
        {"set to 0", SetBrightness(clVYXSelected, 0), clBlack},
        {"set to 1", SetBrightness(clVYXSelected, 1), clWhite},
        {"set above 1", SetBrightness(clVYXSelected, 3), clWhite},
        {"red at 0.5", SetBrightness(0x0000FF, 0.5f), 0x0000FF},
        {"red at 0.75", SetBrightness(0x0000FF, 0.75f), 0x8080FF},
        {"orange keeps its hue", SetBrightness(clVYXOrange, 0.25f), 0x003C80},
        {"system colour not resolved", SetBrightness(clBtnFace, 0.5f), 0x0000FF},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.result, c.expected) << c.what << ": " << std::hex << c.result;
}
