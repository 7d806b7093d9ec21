#include "buttongroupfixture.h"

#include "support/tempfolder.h"
#include "ui/controls/buttongroup/grpimagelist.h"
#include "ui/controls/buttongroup/grppainting.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace tev {
namespace {

using test::Centre;
using test::MakeGroup;
using test::MoveMouse;

const QColor kSlate(59, 59, 59);

struct ContrastCase
{
    const char *name;
    QColor color;
    QColor font;
};

class Contrast : public ::testing::TestWithParam<ContrastCase>
{
};

TEST_P(Contrast, FontColourFollowsColor)
{
    const ContrastCase &c = GetParam();
    TvyxButtonGroup group;
    group.setColor(c.color);
    EXPECT_EQ(group.FontColor(), c.font);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Contrast,
    ::testing::Values(ContrastCase{"LightGrey", QColor(240, 240, 240), QColor(0, 0, 0)},
                      ContrastCase{"DarkGrey", QColor(59, 59, 59), QColor(255, 255, 255)},
                      ContrastCase{"PureBlue", QColor(0, 0, 255), QColor(255, 255, 255)},
                      ContrastCase{"Yellow", QColor(255, 255, 0), QColor(0, 0, 0)},
                      // Brightness exactly half way counts as dark.
                      ContrastCase{"HalfWay", QColor(127, 127, 127), QColor(255, 255, 255)},
                      ContrastCase{"JustLight", QColor(128, 128, 128), QColor(0, 0, 0)}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Shades, LightenAndDarken)
{
    EXPECT_GT(HighlightShade(kSlate, kSelectedLuma).lightness(), kSlate.lightness());
    EXPECT_LT(ShadowShade(kSlate, kHotLuma).lightness(), kSlate.lightness());
    EXPECT_EQ(ShadowShade(QColor(0, 0, 0), kHotLuma), QColor(0, 0, 0));
    EXPECT_EQ(HighlightShade(QColor(255, 255, 255), kSelectedLuma), QColor(255, 255, 255));
}

// A pixel inside button index, away from caption and marks.
QColor FillAt(const QImage &image, const TvyxButtonGroup &group, int index)
{
    const QRect r = group.GetButtonRect(index);
    return image.pixelColor(r.right() - 4, r.top() + 3);
}

TEST(Painting, ButtonColoursByState)
{
    auto group = MakeGroup({"Normal", "Selected", "Hot", "Hot selected"}, 160, 100,
                           gboFullSize | gboShowCaptions | gboGroupStyle);
    group->setColor(kSlate);
    group->setItemIndex(1);
    MoveMouse(group->viewport(), Centre(*group, 2));
    QImage image = group->viewport()->grab().toImage();
    EXPECT_EQ(FillAt(image, *group, 0), kSlate);
    EXPECT_EQ(FillAt(image, *group, 1), HighlightShade(kSlate, kSelectedLuma));
    EXPECT_EQ(FillAt(image, *group, 2), ShadowShade(kSlate, kHotLuma));
    // A selected button under the mouse shows the hot colour.
    group->setItemIndex(3);
    MoveMouse(group->viewport(), Centre(*group, 3));
    image = group->viewport()->grab().toImage();
    EXPECT_EQ(FillAt(image, *group, 3), ShadowShade(kSlate, kHotLuma));
    // The background below the last whole row is Color.
    EXPECT_EQ(image.pixelColor(5, 98), kSlate);
}

TEST(Painting, WritesAPictureForReview)
{
    test::TempFolder folder;
    auto group = MakeGroup(
        {"General", "Database", "-", "Folders", "A caption far too long to fit", "Scripts"}, 180,
        150, gboFullSize | gboShowCaptions | gboGroupStyle);
    group->setColor(kSlate);
    auto *images = new TvyxGrpImageList(16, 16, group.get());
    QPixmap red(16, 16);
    red.fill(Qt::red);
    images->Add(red);
    group->setImages(images);
    group->Items().Items(0)->setImageIndex(0);
    group->Items().Items(2)->setImageIndex(0);
    group->setItemIndex(1);
    MoveMouse(group->viewport(), Centre(*group, 3));
    const QString file = folder.path() + "/buttongroup.png";
    ASSERT_TRUE(group->grab().save(file));
    EXPECT_FALSE(QImage(file).isNull());
    if (qEnvironmentVariableIsSet("TEVORA_KEEP_PICTURES"))
        group->grab().save(qEnvironmentVariable("TEVORA_KEEP_PICTURES") + "/buttongroup.png");

    // A grid in the middle of a drag: bar between buttons 4 and 5, the picture at the pointer.
    auto grid = MakeGroup(test::Captions(8), 130, 80, gboShowCaptions | gboAllowReorder);
    grid->setButtonWidth(60);
    grid->setButtonHeight(24);
    grid->setColor(QColor(240, 240, 240));
    const QPoint start = Centre(*grid, 0);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, start);
    MoveMouse(grid->viewport(), start + QPoint(20, 0), Qt::LeftButton);
    MoveMouse(grid->viewport(), QPoint(100, 40), Qt::LeftButton);
    EXPECT_EQ(grid->InsertLeft(), 4);
    ASSERT_TRUE(grid->grab().save(folder.path() + "/grid.png"));
    if (qEnvironmentVariableIsSet("TEVORA_KEEP_PICTURES"))
        grid->grab().save(qEnvironmentVariable("TEVORA_KEEP_PICTURES") + "/grid.png");
}

TEST(Painting, SeparatorDrawsALineClearOfItsImage)
{
    auto group = MakeGroup({"-"}, 100, 30);
    group->setColor(kSlate);
    auto *images = new TvyxGrpImageList(10, 10, group.get());
    QPixmap red(10, 10);
    red.fill(Qt::red);
    images->Add(red);
    group->setImages(images);
    group->Items().Items(0)->setImageIndex(0);
    const QImage image = group->viewport()->grab().toImage();
    const QColor line = HighlightShade(kSlate, kSelectedLuma);
    // Cell 0..100 x 0..24, shrunk to 2..98 x 1..23; the image sits at 5..14 and 7..16. The
    // line is at y 12 from 2 + 11 to 98 - 11 (exclusive), drawn over the image's last pixels.
    EXPECT_EQ(image.pixelColor(13, 12), line);
    EXPECT_EQ(image.pixelColor(50, 12), line);
    EXPECT_EQ(image.pixelColor(86, 12), line);
    EXPECT_EQ(image.pixelColor(4, 12), kSlate);
    EXPECT_EQ(image.pixelColor(87, 12), kSlate);
    EXPECT_EQ(image.pixelColor(50, 11), kSlate);
    EXPECT_EQ(image.pixelColor(50, 13), kSlate);
    EXPECT_EQ(image.pixelColor(7, 12), QColor(Qt::red)); // the image at text left - 1
}

TEST(Painting, InsertionMarkIsADarkerBar)
{
    auto group = MakeGroup({"A", "B", "C"}, 100, 100);
    group->setColor(kSlate);
    group->SetInsertionPoints(1);
    EXPECT_EQ(group->InsertTop(), 1);
    EXPECT_EQ(group->InsertBottom(), 0);
    const QImage image = group->viewport()->grab().toImage();
    const QColor mark = ShadowShade(kSlate, kInsertionMarkLuma);
    // Button 1 spans 24..48, shrunk top 25: bar at 24..25. Button 0 bottom 23: bar at 22..23.
    for (int y : {22, 23, 24, 25})
        EXPECT_EQ(image.pixelColor(50, y), mark) << y;
    EXPECT_EQ(image.pixelColor(50, 21), kSlate);
    EXPECT_EQ(image.pixelColor(50, 26), kSlate);
}

QImage PaintOne(TvyxButtonGroup &group, TButtonDrawState state)
{
    QImage image(100, 24, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter canvas(&image);
    group.PaintButton(0, canvas, state, QRect(0, 0, 100, 24));
    return image;
}

TEST(Painting, PressedLookMovesTextAndImageByOnePixel)
{
    auto group = MakeGroup({"Wg"}, 100, 30);
    group->setColor(kSlate);
    auto *images = new TvyxGrpImageList(8, 8, group.get());
    QPixmap red(8, 8);
    red.fill(Qt::red);
    images->Add(red);
    group->setImages(images);
    group->Items().Items(0)->setImageIndex(0);
    const QImage hot = PaintOne(*group, bdsHot);
    const QImage pressed = PaintOne(*group, bdsHot | bdsDown);
    EXPECT_EQ(pressed.pixelColor(50, 3), ShadowShade(kSlate, kHotLuma));
    int differing = 0;
    for (int y = 2; y < 21; ++y)
        for (int x = 3; x < 95; ++x) {
            if (hot.pixel(x, y) != hot.pixel(3, 2))
                ++differing;
            EXPECT_EQ(pressed.pixel(x + 1, y + 1), hot.pixel(x, y)) << x << "," << y;
        }
    EXPECT_GT(differing, 64); // the image and caption were drawn
}

TEST(Painting, OwnerDrawEventsGetIndexRectAndState)
{
    auto group =
        MakeGroup({"A", "B", "C"}, 100, 100, gboFullSize | gboShowCaptions | gboGroupStyle);
    group->setItemIndex(1);
    QStringList calls;
    group->setOnBeforeDrawButton(
        [&](QObject *, int index, QPainter &, const QRect &rect, TButtonDrawState state) {
            calls << QStringLiteral("before %1 %2 %3").arg(index).arg(rect.top()).arg(int(state));
        });
    group->setOnDrawIcon(
        [&](QObject *, int index, QPainter &, const QRect &, TButtonDrawState, int &textOffset) {
            calls << QStringLiteral("icon %1").arg(index);
            textOffset = 10;
        });
    group->setOnAfterDrawButton(
        [&](QObject *, int index, QPainter &, const QRect &, TButtonDrawState) {
            calls << QStringLiteral("after %1").arg(index);
        });
    group->viewport()->grab();
    EXPECT_EQ(calls, QStringList({"before 0 0 0", "icon 0", "after 0", "before 1 24 1", "icon 1",
                                  "after 1", "before 2 48 0", "icon 2", "after 2"}));
}

TEST(Painting, BeforeDrawButtonChoosesTheFill)
{
    auto group = MakeGroup({"A"}, 100, 30);
    group->setOnBeforeDrawButton([](QObject *, int, QPainter &canvas, const QRect &,
                                    TButtonDrawState) { canvas.setBrush(QColor(0, 128, 0)); });
    const QImage image = group->viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(90, 3), QColor(0, 128, 0));
}

TEST(Painting, DrawButtonReplacesAllDrawing)
{
    auto group = MakeGroup({"A", "B"}, 100, 100);
    group->setColor(kSlate);
    bool beforeCalled = false;
    group->setOnBeforeDrawButton(
        [&](QObject *, int, QPainter &, const QRect &, TButtonDrawState) { beforeCalled = true; });
    group->setOnDrawButton(
        [](QObject *, int index, QPainter &canvas, const QRect &rect, TButtonDrawState) {
            canvas.fillRect(rect, index == 0 ? Qt::blue : Qt::green);
            canvas.setBrush(Qt::red);
        });
    const QImage image = group->viewport()->grab().toImage();
    EXPECT_FALSE(beforeCalled);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(99, 30), QColor(Qt::green));

    QImage one(100, 24, QImage::Format_ARGB32);
    QPainter canvas(&one);
    group->PaintButton(0, canvas, {}, QRect(0, 0, 100, 24));
    EXPECT_EQ(canvas.brush().color(), kSlate);
}

TEST(Painting, ImageListChangesRepaintAndFreedListIsForgotten)
{
    auto group = MakeGroup({"A"}, 100, 30);
    {
        TvyxGrpImageList images(8, 8);
        group->setImages(&images);
        EXPECT_EQ(group->Images(), &images);
    }
    EXPECT_EQ(group->Images(), nullptr);
    group->viewport()->grab(); // paints without the freed list
}

} // namespace
} // namespace tev
