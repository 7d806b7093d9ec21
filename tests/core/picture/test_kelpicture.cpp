#include "core/picture/kelbdecoder.h"
#include "core/picture/kelpicture.h"
#include "platform/error.h"
#include "support/fifoguard.h"
#include "support/tempfolder.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

namespace tev {
namespace {

// A KELB file: the header W, H, T and then (Count, Index) pairs.
QByteArray Kelb(quint16 w, quint16 h, quint8 t, std::initializer_list<int> tail = {})
{
    QByteArray bytes;
    bytes.append(char(w & 0xFF)).append(char(w >> 8));
    bytes.append(char(h & 0xFF)).append(char(h >> 8));
    bytes.append(char(t));
    for (int b : tail)
        bytes.append(char(b));
    return bytes;
}

QString WriteFile(const test::TempFolder &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = folder.file(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);

TEST(KelbPalette, FixedEntries)
{
    const QList<QRgb> &p = KelbPalette();
    ASSERT_EQ(p.size(), 256);
    EXPECT_EQ(p[6], qRgb(255, 165, 0));
    EXPECT_EQ(p[8], qRgb(105, 105, 105));
    EXPECT_EQ(p[15], qRgb(255, 255, 255));
    EXPECT_EQ(p[16], qRgb(0, 0, 0));
    EXPECT_EQ(p[17], qRgb(0, 0, 50));
    EXPECT_EQ(p[16 + 36], qRgb(50, 0, 0));
    EXPECT_EQ(p[231], qRgb(250, 250, 250));
    EXPECT_EQ(p[232], qRgb(0, 0, 0));
    EXPECT_EQ(p[255], qRgb(0, 0, 0));
    for (QRgb c : p)
        EXPECT_EQ(qAlpha(c), 255);
}

TEST(KelPicture, HeaderOnlyGivesBlankPicture)
{
    test::TempFolder dir;
    const QString path = WriteFile(dir, "blank.kelb", Kelb(2, 2, 0));
    TKelPicture picture;
    EXPECT_TRUE(picture.FileName().isEmpty());
    ASSERT_TRUE(picture.LoadKELBFromFile(path));
    EXPECT_EQ(picture.FileName(), path);
    EXPECT_TRUE(picture.GraphicIsBitmap());
    const QImage &image = picture.Image();
    EXPECT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.colorCount(), 256);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(image.pixelIndex(x, y), 0);
}

TEST(KelPicture, RunsFillRowByRow)
{
    test::TempFolder dir;
    const QString path = WriteFile(dir, "rb.kelb", Kelb(3, 2, 0, {2, 12, 4, 9}));
    TKelPicture picture;
    ASSERT_TRUE(picture.LoadKELBFromFile(path));
    const QImage &image = picture.Image();
    ASSERT_EQ(image.size(), QSize(3, 2));
    const QRgb expected[2][3] = {{kRed, kRed, kBlue}, {kBlue, kBlue, kBlue}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(image.pixel(x, y), expected[y][x]) << x << "," << y;
}

TEST(KelPicture, TransparencyMarkInHeight)
{
    struct Case
    {
        const char *name;
        quint16 h;
        quint8 t;
        bool transparent;
    };
    const Case cases[] = {
        {"F002 marks white transparent", 0xF002, 15, true},
        {"7002 has no transparency", 0x7002, 15, false},
        {"8002 has no transparency", 0x8002, 15, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder dir;
        // Top row white, bottom row red.
        const QString path = WriteFile(dir, "t.kelb", Kelb(2, c.h, c.t, {2, 15, 2, 12}));
        TKelPicture picture;
        ASSERT_TRUE(picture.LoadKELBFromFile(path));
        const QImage &image = picture.Image();
        ASSERT_EQ(image.size(), QSize(2, 2));
        EXPECT_EQ(image.hasAlphaChannel(), c.transparent);
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), c.transparent ? 0 : 255);
        EXPECT_EQ(qAlpha(image.pixel(1, 1)), 255);
    }
}

TEST(KelPicture, TransparentColourCoversEveryEntryOfThatColour)
{
    test::TempFolder dir;
    // T = 0 (black): indexes 0, 16 and 232-255 are all black and so all transparent.
    const QString path = WriteFile(dir, "k.kelb", Kelb(4, 0xF001, 0, {1, 0, 1, 16, 1, 240, 1, 7}));
    TKelPicture picture;
    ASSERT_TRUE(picture.LoadKELBFromFile(path));
    const QImage &image = picture.Image();
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(1, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(2, 0)), 0);
    EXPECT_EQ(image.pixel(3, 0), qRgb(192, 192, 192));
}

TEST(KelPicture, ExtensionComparedInLowerCase)
{
    test::TempFolder dir;
    const QString path = WriteFile(dir, "x.KELB", Kelb(3, 2, 0, {2, 12, 4, 9}));
    TKelPicture picture;
    ASSERT_TRUE(picture.LoadKELBFromFile(path));
    EXPECT_EQ(picture.Image().size(), QSize(3, 2));
    EXPECT_EQ(picture.Image().pixel(0, 0), kRed);
}

TEST(KelPicture, DimensionBitsAboveTwelveIgnored)
{
    struct Case
    {
        quint16 w, h;
        QSize size;
    };
    const Case cases[] = {
        {4095, 1, QSize(4095, 1)},
        {0xF001, 1, QSize(1, 1)},
        {1, 0xF000 | 4095, QSize(1, 4095)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.w << " " << c.h);
        test::TempFolder dir;
        const QString path = WriteFile(dir, "w.kelb", Kelb(c.w, c.h, 0, {1, 9, 0, 12}));
        TKelPicture picture;
        ASSERT_TRUE(picture.LoadKELBFromFile(path));
        EXPECT_EQ(picture.Image().size(), c.size);
    }
}

TEST(KelPicture, LargestWidthFillsAcrossRows)
{
    test::TempFolder dir;
    // 4095 x 2: 17 runs of the largest count, 255, set 4335 pixels, 240 into the second row.
    std::initializer_list<int> none;
    QByteArray bytes = Kelb(4095, 2, 0, none);
    for (int i = 0; i < 17; ++i)
        bytes.append(char(255)).append(char(9));
    const QString path = WriteFile(dir, "wide.kelb", bytes);
    TKelPicture picture;
    ASSERT_TRUE(picture.LoadKELBFromFile(path));
    const QImage &image = picture.Image();
    ASSERT_EQ(image.size(), QSize(4095, 2));
    EXPECT_EQ(image.pixel(4094, 0), kBlue);
    EXPECT_EQ(image.pixel(239, 1), kBlue);
    EXPECT_EQ(image.pixelIndex(240, 1), 0);
}

// The file is read in pieces; a pair may straddle two of them.
TEST(KelPicture, LongFileDecodesWhole)
{
    test::TempFolder dir;
    std::initializer_list<int> none;
    QByteArray bytes = Kelb(1000, 100, 0, none);
    for (int i = 0; i < 50000; ++i)
        bytes.append(char(2)).append(char(i % 2 ? 9 : 12));
    TKelPicture picture;
    ASSERT_TRUE(picture.LoadKELBFromFile(WriteFile(dir, "long.kelb", bytes)));
    const QImage &image = picture.Image();
    ASSERT_EQ(image.size(), QSize(1000, 100));
    EXPECT_EQ(image.pixel(0, 0), kRed);
    EXPECT_EQ(image.pixel(2, 0), kBlue);
    EXPECT_EQ(image.pixel(998, 99), kBlue);
    EXPECT_EQ(image.pixel(996, 99), kRed);
}

TEST(KelPicture, MissingFileGivesFalseAndKeepsPicture)
{
    test::TempFolder dir;
    TKelPicture picture;
    ASSERT_TRUE(picture.LoadKELBFromFile(WriteFile(dir, "a.kelb", Kelb(1, 1, 0, {1, 12}))));
    EXPECT_FALSE(picture.LoadKELBFromFile(dir.file("missing.kelb")));
    EXPECT_FALSE(picture.LoadKELBFromFile(dir.path()));
    EXPECT_EQ(picture.FileName(), dir.file("a.kelb"));
    EXPECT_EQ(picture.Image().pixel(0, 0), kRed);
}

// Malformed files: an error names the file and the fault, FileName stays, and the picture holds
// what was decoded before the fault.
TEST(KelPicture, MalformedFilesFailClearly)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        const char *message;
        QSize decodedSize;
        int decodedRed; // pixels set red before the fault
    };
    const Case cases[] = {
        {"one byte short of the header", Kelb(2, 2, 0).left(4), "header", QSize(0, 0), 0},
        {"empty file", QByteArray(), "header", QSize(0, 0), 0},
        {"one byte after the header", Kelb(2, 2, 0, {3}), "without its index", QSize(2, 2), 0},
        {"pair without index", Kelb(2, 2, 0, {2, 12, 1}), "without its index", QSize(2, 2), 2},
        {"pixel data beyond W x H", Kelb(2, 2, 0, {3, 12, 2, 12}), "beyond", QSize(2, 2), 4},
        {"width 0 with pixel data", Kelb(0, 2, 0, {1, 12}), "0 x 2", QSize(0, 0), 0},
        {"height 0 with pixel data", Kelb(3, 0, 0, {1, 12}), "3 x 0", QSize(0, 0), 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder dir;
        const QString path = WriteFile(dir, "bad.kelb", c.bytes);
        TKelPicture picture;
        picture.SetFileName("before.kelb");
        try {
            picture.LoadKELBFromFile(path);
            ADD_FAILURE() << "no error";
        } catch (const Error &e) {
            EXPECT_TRUE(e.message().contains(path)) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(c.message)) << e.message().toStdString();
        }
        EXPECT_EQ(picture.FileName(), "before.kelb");
        EXPECT_TRUE(picture.GraphicIsBitmap());
        EXPECT_EQ(picture.Image().size(), c.decodedSize);
        int red = 0;
        for (int y = 0; y < picture.Image().height(); ++y)
            for (int x = 0; x < picture.Image().width(); ++x)
                red += picture.Image().pixel(x, y) == kRed;
        EXPECT_EQ(red, c.decodedRed);
    }
}

TEST(KelPicture, EmptyPairsAtWidthZeroAreAccepted)
{
    test::TempFolder dir;
    TKelPicture picture;
    ASSERT_TRUE(picture.LoadKELBFromFile(WriteFile(dir, "z.kelb", Kelb(0, 5, 0, {0, 12, 0, 9}))));
    EXPECT_TRUE(picture.GraphicIsBitmap());
    EXPECT_TRUE(picture.Image().isNull());
}

TEST(KelPicture, OtherFormatsGoToImageReaders)
{
    test::TempFolder dir;
    QImage source(5, 3, QImage::Format_ARGB32);
    source.fill(qRgba(10, 20, 30, 128));
    struct Case
    {
        const char *file;
        const char *writeFormat;
        const char *graphicFormat;
    };
    const Case cases[] = {
        {"p.png", "PNG", "png"},
        {"p.jpg", "JPEG", "jpeg"},
        {"p.bmp", "BMP", "bmp"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = dir.file(c.file);
        ASSERT_TRUE(source.save(path, c.writeFormat));
        TKelPicture picture;
        ASSERT_TRUE(picture.LoadKELBFromFile(path));
        EXPECT_EQ(picture.FileName(), path);
        EXPECT_EQ(picture.GraphicFormat(), c.graphicFormat);
        EXPECT_EQ(picture.GraphicIsBitmap(), QByteArray(c.graphicFormat) == "bmp");
        EXPECT_EQ(picture.Image().size(), QSize(5, 3));
    }
}

TEST(KelPicture, SvgIsRasterisedAtItsSize)
{
    test::TempFolder dir;
    const QString path =
        WriteFile(dir, "s.svg",
                  R"(<svg xmlns="http://www.w3.org/2000/svg" width="40" height="20">)"
                  R"(<rect width="40" height="20" fill="#ff0000"/></svg>)");
    TKelPicture picture;
    ASSERT_TRUE(picture.LoadKELBFromFile(path));
    EXPECT_EQ(picture.GraphicFormat(), "svg");
    EXPECT_EQ(picture.Image().size(), QSize(40, 20));
    EXPECT_EQ(picture.Image().pixel(20, 10), kRed);
}

TEST(KelPicture, UnreadableOtherFilesPassTheirError)
{
    struct Case
    {
        const char *file;
        QByteArray bytes;
        const char *message;
    };
    const Case cases[] = {
        {"x.xyz", "data", "Unknown picture file extension (.xyz)"},
        {"noext", "data", "Unknown picture file extension"},
        {"broken.png", "not a png", "Cannot load the picture"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        test::TempFolder dir;
        const QString path = WriteFile(dir, c.file, c.bytes);
        TKelPicture picture;
        picture.SetFileName("before.png");
        try {
            picture.LoadKELBFromFile(path);
            ADD_FAILURE() << "no error";
        } catch (const Error &e) {
            EXPECT_TRUE(e.message().contains(c.message)) << e.message().toStdString();
        }
        EXPECT_EQ(picture.FileName(), "before.png");
        EXPECT_FALSE(picture.HasGraphic());
    }
}

// A FIFO under a picture's name would stall the reader for ever and a device such as /dev/zero
// would never end: both are refused with the reason, before a byte is read.
TEST(KelPicture, OnlyRegularFilesAreRead)
{
    test::TempFolder dir;
    const std::unique_ptr<test::FifoGuard> fifos[] = {
        std::make_unique<test::FifoGuard>(dir.file("cover.kelb")),
        std::make_unique<test::FifoGuard>(dir.file("cover.png"))};
    for (const auto &fifo : fifos)
        ASSERT_TRUE(fifo->made());
    ASSERT_TRUE(QFile::link("/dev/zero", dir.file("zero.kelb")));
    ASSERT_TRUE(QFile::link("/dev/zero", dir.file("zero.bmp")));
    struct Case
    {
        const char *file;
        const char *reason;
    };
    const Case cases[] = {
        {"cover.kelb", "it is a pipe (FIFO), not a regular file"},
        {"cover.png", "it is a pipe (FIFO), not a regular file"},
        {"zero.kelb", "it is a device, not a regular file"},
        {"zero.bmp", "it is a device, not a regular file"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        TKelPicture picture;
        try {
            picture.LoadKELBFromFile(dir.file(c.file));
            ADD_FAILURE() << "no error";
        } catch (const Error &e) {
            EXPECT_TRUE(e.message().contains(c.reason)) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(dir.file(c.file))) << e.message().toStdString();
        }
        EXPECT_EQ(picture.FileName(), "");
        EXPECT_FALSE(picture.HasGraphic());
    }
}

} // namespace
} // namespace tev
