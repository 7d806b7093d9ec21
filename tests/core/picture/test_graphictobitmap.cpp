#include "core/picture/graphictobitmap.h"
#include "core/picture/kelpicture.h"
#include "support/tempfolder.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

namespace tev {
namespace {

TEST(GraphicToBitmap, ConvertsOtherFormatsToA32BitBitmap)
{
    test::TempFolder dir;
    QImage source(7, 4, QImage::Format_ARGB32);
    source.fill(Qt::transparent);
    source.setPixel(1, 2, qRgba(200, 100, 50, 255));
    source.setPixel(3, 1, qRgba(0, 0, 0, 128));
    ASSERT_TRUE(source.save(dir.file("p.png"), "PNG"));
    QFile svg(dir.file("s.svg"));
    ASSERT_TRUE(svg.open(QIODevice::WriteOnly));
    svg.write(R"(<svg xmlns="http://www.w3.org/2000/svg" width="12" height="9">)"
              R"(<rect width="12" height="9" fill="#0000ff"/></svg>)");
    svg.close();

    struct Case
    {
        const char *file;
        QSize size;
        QPoint probe;
        QRgb colour;
    };
    const Case cases[] = {
        {"p.png", QSize(7, 4), QPoint(1, 2), qRgba(200, 100, 50, 255)},
        {"s.svg", QSize(12, 9), QPoint(6, 4), qRgb(0, 0, 255)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        TKelPicture picture;
        ASSERT_TRUE(picture.LoadKELBFromFile(dir.file(c.file)));
        ASSERT_FALSE(picture.GraphicIsBitmap());
        GraphicToBitmap(picture);
        EXPECT_TRUE(picture.GraphicIsBitmap());
        EXPECT_EQ(picture.Image().size(), c.size);
        EXPECT_EQ(picture.Image().depth(), 32);
        EXPECT_EQ(picture.Image().pixel(c.probe), c.colour);
    }
}

TEST(GraphicToBitmap, KeepsAlphaOfTheGraphic)
{
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0, 0, 0, 0));
    image.setPixel(1, 0, qRgba(255, 0, 0, 255));
    TPicture picture;
    picture.SetGraphic(image, "png");
    GraphicToBitmap(picture);
    EXPECT_EQ(qAlpha(picture.Image().pixel(0, 0)), 0);
    EXPECT_EQ(picture.Image().pixel(1, 0), qRgba(255, 0, 0, 255));
}

TEST(GraphicToBitmap, BitmapOrNothingStaysAsItIs)
{
    TPicture empty;
    GraphicToBitmap(empty);
    EXPECT_FALSE(empty.HasGraphic());

    // An 8-bit gauge bitmap stays 8-bit.
    QImage indexed(3, 3, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3)});
    indexed.fill(0);
    TPicture bitmap;
    bitmap.SetBitmap(indexed);
    const qint64 key = bitmap.Image().cacheKey();
    GraphicToBitmap(bitmap);
    EXPECT_EQ(bitmap.Image().cacheKey(), key);
    EXPECT_EQ(bitmap.Image().format(), QImage::Format_Indexed8);
}

} // namespace
} // namespace tev
