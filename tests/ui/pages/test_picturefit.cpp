#include "ui/pages/picturefit.h"

#include <gtest/gtest.h>

using namespace tev;

namespace {

struct FitCase
{
    const char *name;
    QSize picture;
    QSize control;
    double scale;
    int offsetX;
    int offsetY;
};

class PictureFitTable : public ::testing::TestWithParam<FitCase>
{
};

TEST_P(PictureFitTable, ScaleAndOffsets)
{
    const FitCase &c = GetParam();
    const std::optional<TPictureFit> fit = FitPicture(c.picture, c.control);
    ASSERT_TRUE(fit.has_value());
    EXPECT_DOUBLE_EQ(fit->Scale, c.scale);
    EXPECT_EQ(fit->OffsetX, c.offsetX);
    EXPECT_EQ(fit->OffsetY, c.offsetY);
}

INSTANTIATE_TEST_SUITE_P(Cases, PictureFitTable,
                         ::testing::Values(
                             // 400 x 300 in 250 x 250: the picture is wider, scaled to the width,
                             // centred vertically by Trunc(250 - 187.5) div 2.
                             FitCase{"WiderPicture", {400, 300}, {250, 250}, 0.625, 0, 31},
                             // 200 x 100 in 400 x 400: scaled up by 2, 100 pixels above and below.
                             FitCase{"SmallPictureScaledUp", {200, 100}, {400, 400}, 2.0, 0, 100},
                             // Equal aspect: the taller branch, scaled by height, no offsets.
                             FitCase{"EqualAspect", {300, 200}, {150, 100}, 0.5, 0, 0},
                             // A taller picture: scaled to the height, centred horizontally.
                             FitCase{"TallerPicture", {100, 400}, {300, 200}, 0.5, 125, 0},
                             // An odd remainder is cut toward zero: Trunc(101 - 50) div 2 = 25.
                             FitCase{"OddRemainder", {100, 100}, {101, 50}, 0.5, 25, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

struct BulletCase
{
    const char *name;
    QSize picture;
    QRect control;
    QPoint imagePoint;
    QRect bullet;
};

class BulletTable : public ::testing::TestWithParam<BulletCase>
{
};

TEST_P(BulletTable, MarkerRectangle)
{
    const BulletCase &c = GetParam();
    const std::optional<QRect> rect =
        BulletRect(c.picture, c.control, c.imagePoint.x(), c.imagePoint.y());
    ASSERT_TRUE(rect.has_value());
    EXPECT_EQ(*rect, c.bullet);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BulletTable,
    ::testing::Values(
        // Size 250 div 40 = 6, held at 10; centre at (125, 93): left 120, top 88.
        BulletCase{
            "CharacteristicPicture", {400, 300}, {0, 0, 250, 250}, {200, 100}, {120, 88, 10, 10}},
        // The control's place in its parent moves the marker with it.
        BulletCase{"ControlOffset", {400, 300}, {7, 11, 250, 250}, {200, 100}, {127, 99, 10, 10}},
        // 200 x 100 in 400 x 400, point (50, 25): left 95, top 145, 10 x 10.
        BulletCase{"EditorPicture", {200, 100}, {0, 0, 400, 400}, {50, 25}, {95, 145, 10, 10}},
        // A large control: 600 div 40 = 15.
        BulletCase{"LargeControl", {800, 600}, {0, 0, 800, 600}, {400, 300}, {393, 293, 15, 15}},
        // A small control still gives the smallest marker.
        BulletCase{"SmallControl", {200, 100}, {0, 0, 120, 90}, {0, 0}, {-5, 10, 10, 10}}),
    [](const auto &info) { return std::string(info.param.name); });

struct ClickCase
{
    const char *name;
    QPoint click;
    QPoint imagePoint;
};

class ClickTable : public ::testing::TestWithParam<ClickCase>
{
};

// 200 x 100 in a control of 400 x 400 at (0, 0).
TEST_P(ClickTable, PicturePoint)
{
    const ClickCase &c = GetParam();
    const std::optional<QPoint> point = PicturePoint({200, 100}, {0, 0, 400, 400}, c.click);
    ASSERT_TRUE(point.has_value());
    EXPECT_EQ(*point, c.imagePoint);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClickTable,
                         ::testing::Values(ClickCase{"OnPicture", {100, 150}, {50, 25}},
                                           // Above the picture: not clamped.
                                           ClickCase{"MarginAbove", {100, 50}, {50, -25}},
                                           // Below it: beyond the picture's height.
                                           ClickCase{"MarginBelow", {399, 399}, {199, 149}},
                                           // Truncated toward zero on both sides of 0.
                                           ClickCase{"TruncatedTowardZero", {3, 97}, {1, -1}}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(PictureFit, ZeroSizesGiveNoFitNoMarkerNoPoint)
{
    const QSize sizes[] = {{0, 100}, {100, 0}, {0, 0}, {-1, 10}};
    for (const QSize &zero : sizes) {
        EXPECT_FALSE(FitPicture(zero, {250, 250}).has_value());
        EXPECT_FALSE(FitPicture({400, 300}, zero).has_value());
        EXPECT_FALSE(BulletRect(zero, {0, 0, 250, 250}, 1, 1).has_value());
        EXPECT_FALSE(BulletRect({400, 300}, QRect(QPoint(0, 0), zero), 1, 1).has_value());
        EXPECT_FALSE(PicturePoint(zero, {0, 0, 250, 250}, {1, 1}).has_value());
        EXPECT_FALSE(PicturePoint({400, 300}, QRect(QPoint(0, 0), zero), {1, 1}).has_value());
    }
}

TEST(PictureFit, ClickAndMarkerAgree)
{
    // A click placed as a point puts the marker's centre back under the click (within the
    // truncation of one picture pixel).
    const QSize picture(640, 480);
    const QRect control(0, 0, 333, 271);
    for (const QPoint click : {QPoint(50, 60), QPoint(200, 135), QPoint(320, 250)}) {
        const QPoint point = *PicturePoint(picture, control, click);
        const QRect marker = *BulletRect(picture, control, point.x(), point.y());
        EXPECT_LE(std::abs(marker.left() + marker.width() / 2 - click.x()), 1);
        EXPECT_LE(std::abs(marker.top() + marker.height() / 2 - click.y()), 1);
    }
}

} // namespace
