#include "core/picture/kelbdecoder.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace tev {
namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(v));
    return bytes;
}

// However the file is cut into pieces, the decoder gives the same pixels and the same fault.
TEST(KelbDecoder, PiecesOfAnySizeDecodeAlike)
{
    const QByteArray files[] = {
        Bytes({3, 0, 2, 0, 0, 2, 12, 4, 9}),          // complete
        Bytes({3, 0, 2, 0xF0, 9, 2, 12, 4, 9, 0, 5}), // transparent, a pair setting nothing
        Bytes({2, 0, 2, 0, 0, 3, 12, 2, 12}),         // beyond W x H
        Bytes({3, 0, 2, 0, 0, 2, 12, 4}),             // pair without index
        Bytes({3, 0, 2}),                             // short header
    };
    for (const QByteArray &file : files) {
        SCOPED_TRACE(file.toHex().toStdString());
        QImage whole;
        const QString wholeFault = DecodeKelb(file, whole);
        for (qsizetype piece = 1; piece <= file.size(); ++piece) {
            SCOPED_TRACE(piece);
            TKelbDecoder decoder;
            bool ok = true;
            for (qsizetype at = 0; ok && at < file.size(); at += piece)
                ok = decoder.Feed(
                    QByteArrayView(file).sliced(at, std::min(piece, file.size() - at)));
            if (ok)
                decoder.Finish();
            EXPECT_EQ(decoder.Fault().toStdString(), wholeFault.toStdString());
            EXPECT_EQ(decoder.Image(), whole);
        }
    }
}

TEST(KelbDecoder, FaultsNameTheOffset)
{
    struct Case
    {
        QByteArray file;
        const char *fault;
    };
    const Case cases[] = {
        {Bytes({2, 0, 2}), "the file ends inside its 5-byte header (3 bytes)"},
        {Bytes({2, 0, 2, 0, 0, 1, 1, 7}),
         "the file ends after the count of the pair at offset 7, without its index"},
        {Bytes({2, 0, 2, 0, 0, 4, 1, 1, 1}),
         "the pair at offset 7 sets pixels beyond the 2 x 2 pixels of the image"},
        {Bytes({0, 0, 2, 0, 0, 0, 1, 1, 1}),
         "the pair at offset 7 sets pixels, but the image is 0 x 2 pixels"},
    };
    for (const Case &c : cases) {
        QImage image;
        EXPECT_EQ(DecodeKelb(c.file, image).toStdString(), c.fault);
    }
}

TEST(KelbDecoder, NothingIsTakenAfterAFault)
{
    TKelbDecoder decoder;
    EXPECT_FALSE(decoder.Feed(Bytes({1, 0, 1, 0, 0, 2, 12})));
    const QString fault = decoder.Fault();
    EXPECT_FALSE(decoder.Feed(Bytes({1, 9})));
    EXPECT_FALSE(decoder.Finish());
    EXPECT_EQ(decoder.Fault(), fault);
    EXPECT_EQ(decoder.Image().pixel(0, 0), qRgb(255, 0, 0));
}

} // namespace
} // namespace tev
