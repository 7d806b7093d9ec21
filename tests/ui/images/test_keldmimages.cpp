#include "ui/images/keldmimages.h"
#include "ui/kit/speedbutton.h"
#include "ui/printers.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace tev {
namespace {

TEST(ImageCollection, HoldsTheTwentyNamedIconsInOrder)
{
    const QStringList expected{"Large Icons\\CloseX negative",
                               "Large Icons\\Open negative",
                               "Large Icons\\Save negative",
                               "Large Icons\\Printer negative",
                               "Large Icons\\Refresh negative",
                               "Large Icons\\Timer negative",
                               "Large Icons\\Pen negative",
                               "Large Icons\\FullScreen negative",
                               "Tree Icons\\Tree Line negative",
                               "Tree Icons\\Tree Collapsed negative",
                               "Tree Icons\\Tree Expanded negative",
                               "Tree Icons\\Kel dark_red",
                               "Tree Icons\\Ombrix",
                               "Objects\\Obj FeatureBox negative",
                               "New negativ",
                               "Large Icons\\Trash negative",
                               "Large Icons\\Export negative",
                               "16x16\\Tool-font color",
                               "16x16\\Tool-color bucket",
                               "Undo negativ"};
    ASSERT_EQ(ImageCollection::count(), 20);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(ImageCollection::name(i), expected[i]);
        EXPECT_EQ(ImageCollection::indexOf(expected[i]), i);
        // Every icon draws something at the sizes the image lists use.
        for (int size : {16, 24, 32}) {
            const QImage image = ImageCollection::pixmap(expected[i], size).toImage();
            ASSERT_EQ(image.size(), QSize(size, size)) << expected[i].toStdString();
            int opaque = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    opaque += qAlpha(image.pixel(x, y)) > 0;
            EXPECT_GE(opaque, size) << expected[i].toStdString() << " at " << size;
        }
    }
    EXPECT_EQ(ImageCollection::indexOf(QStringLiteral("Large Icons\\Missing")), -1);
    EXPECT_TRUE(ImageCollection::icon(QStringLiteral("Large Icons\\Missing")).isNull());
    EXPECT_TRUE(ImageCollection::name(20).isEmpty());
}

struct GlyphCase
{
    const char *name;
    int height;
    int numGlyphs;
    int pixelsPerInch;
    qreal ratio;
    QSize pixels;  // device pixels of the new glyph; empty: the glyph becomes empty
    QSize logical; // what it covers on screen
};

class GlyphRescale : public ::testing::TestWithParam<GlyphCase>
{
};

TEST_P(GlyphRescale, FollowsTheButtonHeightAndTheDensity)
{
    const GlyphCase &c = GetParam();
    SpeedButton button;
    button.resize(60, c.height);
    button.setNumGlyphs(c.numGlyphs);
    QPixmap glyph(16 * c.numGlyphs, 16);
    glyph.fill(Qt::red);
    button.setGlyph(glyph);
    RescaleSpeedButtonGlyph(button, c.pixelsPerInch, c.ratio);
    if (c.pixels.isEmpty()) {
        EXPECT_TRUE(button.glyph().isNull());
        return;
    }
    EXPECT_EQ(button.glyph().size(), c.pixels);
    EXPECT_EQ(button.glyph().deviceIndependentSize().toSize(), c.logical);
    EXPECT_EQ(button.glyph().toImage().pixelColor(c.pixels.width() / 2, c.pixels.height() / 2),
              QColor(Qt::red));
}

INSTANTIATE_TEST_SUITE_P(
    Table, GlyphRescale,
    ::testing::Values(
        GlyphCase{"H25At96", 25, 1, 96, 1.0, {24, 24}, {24, 24}},
        GlyphCase{"H25TwoGlyphsAt96", 25, 2, 96, 1.0, {48, 24}, {48, 24}},
        GlyphCase{"H25At144", 25, 1, 144, 1.5, {36, 36}, {24, 24}},
        GlyphCase{"H25TwoGlyphsAt144", 25, 2, 144, 1.5, {72, 36}, {48, 24}},
        // A density Qt does not scale for (ratio 1) gets the larger glyph at its own size.
        GlyphCase{"H25At144Unscaled", 25, 1, 144, 1.0, {36, 36}, {36, 36}},
        GlyphCase{"H40At96", 40, 1, 96, 1.0, {32, 32}, {32, 32}},
        GlyphCase{"H40At144", 40, 1, 144, 1.5, {48, 48}, {32, 32}},
        GlyphCase{"H8At96", 8, 1, 96, 1.0, {8, 8}, {8, 8}},
        GlyphCase{"H15At96", 15, 1, 96, 1.0, {8, 8}, {8, 8}},
        GlyphCase{"H16At144", 16, 4, 144, 1.5, {96, 24}, {64, 16}},
        GlyphCase{"H31At96", 31, 3, 96, 1.0, {72, 24}, {72, 24}},
        GlyphCase{"H32At120", 32, 1, 120, 1.25, {40, 40}, {32, 32}},
        GlyphCase{"H7At96", 7, 1, 96, 1.0, {}, {}}, GlyphCase{"H7At144", 7, 1, 144, 1.5, {}, {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(GlyphRescale, GlyphSizeTable)
{
    const int heights[] = {0, 7, 8, 15, 16, 23, 24, 31, 32, 33, 100};
    const int at96[] = {0, 0, 8, 8, 16, 16, 24, 24, 32, 32, 32};
    const int at144[] = {0, 0, 12, 12, 24, 24, 36, 36, 48, 48, 48};
    for (std::size_t i = 0; i < std::size(heights); ++i) {
        EXPECT_EQ(glyphSize(heights[i], 96), at96[i]) << heights[i];
        EXPECT_EQ(glyphSize(heights[i], 144), at144[i]) << heights[i];
    }
    EXPECT_EQ(glyphSize(25, 97), 24); // truncated, not rounded
}

TEST(GlyphRescale, EmptyGlyphStaysEmpty)
{
    SpeedButton button;
    button.resize(60, 25);
    RescaleSpeedButtonGlyph(button, 144, 1.5);
    EXPECT_TRUE(button.glyph().isNull());
}

TEST(ImageModule, RescalesTheSpeedButtonsOfTheFormThatBecomesActive)
{
    TKelDMImages images;
    QWidget form;
    form.resize(200, 100);
    auto *inner = new QWidget(&form);
    auto *button = new SpeedButton(inner);
    button->setGeometry(0, 0, 60, 25);
    button->setGlyph(ImageCollection::pixmap(QStringLiteral("Large Icons\\Save negative"), 32));
    form.show();
    form.activateWindow();
    QApplication::setActiveWindow(&form);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::qWait(20);
    const int expected = glyphSize(25, qRound(form.logicalDpiY() * form.devicePixelRatioF()));
    EXPECT_EQ(button->glyph().width(), expected);
    EXPECT_EQ(button->glyph().height(), expected);
}

} // namespace
} // namespace tev
