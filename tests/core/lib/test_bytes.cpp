#include <gtest/gtest.h>

#include "core/lib/bytes.h"
#include "qstringprinter.h"

#include <QBuffer>

using namespace tev;

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int v : values)
        result.append(char(v));
    return result;
}

} // namespace

TEST(ByteStrToInt, ReadsBigEndianOrGivesZero)
{
    struct Case
    {
        QByteArray s;
        int len;
        qint32 expected;
    };
    const Case cases[] = {
        {Bytes({1, 2}), 2, 258},
        {Bytes({1, 2}), 3, 0},
        {Bytes({1, 2}), 0, 0},
        {Bytes({1, 2}), -1, 0},
        {Bytes({1, 2, 3}), 1, 1},
        {Bytes({0xFF, 0xFF, 0xFF, 0xFF}), 4, -1},
        {Bytes({0x12, 0x34, 0x56, 0x78}), 4, 0x12345678},
        {Bytes({0xAA, 0x12, 0x34, 0x56, 0x78}), 5, 0x12345678},
        {QByteArray(), 1, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ByteStrToInt(c.s, c.len), c.expected) << c.s.toHex().toStdString();
}

TEST(ByteStrings, PackBigEndianAndReadBack)
{
    EXPECT_EQ(IntToByteStr(0x01020304), Bytes({1, 2, 3, 4}));
    EXPECT_EQ(IntToByteStr(-1), Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(SmallIntToByteStr(-2), Bytes({0xFF, 0xFE}));
    EXPECT_EQ(SmallIntToByteStr(0x0102), Bytes({1, 2}));
    EXPECT_EQ(WordToByteStr(0xBEEF), Bytes({0xBE, 0xEF}));
    EXPECT_EQ(ByteToAnsiChar(65), 'A');
    EXPECT_EQ(quint8(ByteToAnsiChar(233)), 233);
    for (qint32 v : {0, 1, -1, 0x7FFFFFFF, qint32(0x80000000), 258})
        EXPECT_EQ(ByteStrToInt(IntToByteStr(v), 4), v);
}

TEST(IntToBytes, FillsLeastSignificantFirstWithinTheArray)
{
    struct Case
    {
        QByteArray before;
        QByteArray after;
    };
    const Case cases[] = {
        {QByteArray(4, 0), Bytes({0x04, 0x03, 0x02, 0x01})},
        {QByteArray(6, 9), Bytes({0x04, 0x03, 0x02, 0x01, 9, 9})},
        {QByteArray(2, 9), Bytes({0x04, 0x03})},
        {QByteArray(), QByteArray()},
    };
    for (const Case &c : cases) {
        QByteArray b = c.before;
        IntToBytes(0x01020304, b);
        EXPECT_EQ(b, c.after) << c.before.size();
    }
}

TEST(SetStorage, CopiesTheLowBytesBothWays)
{
    for (int size = 0; size <= 4; ++size) {
        QByteArray set(4, char(0x77));
        IntToSet(0x0A0B0C0D, set, size);
        const QByteArray expected =
            Bytes({0x0D, 0x0C, 0x0B, 0x0A}).left(size) + QByteArray(4 - size, char(0x77));
        EXPECT_EQ(set, expected) << size;
        const quint32 mask = size == 4 ? 0xFFFFFFFFu : (1u << (8 * size)) - 1;
        EXPECT_EQ(quint32(SetToInt(set, size)), 0x0A0B0C0Du & mask) << size;
    }
    // Never past the storage's end, whatever Size says.
    QByteArray small(1, 0);
    IntToSet(0x0A0B0C0D, small, 4);
    EXPECT_EQ(small, Bytes({0x0D}));
    EXPECT_EQ(SetToInt(Bytes({0x34, 0x12, 0xFF}), 2), 0x1234);
    EXPECT_EQ(SetToInt(Bytes({0x34}), 4), 0x34);
    EXPECT_EQ(SetToInt(Bytes({0x34}), -1), 0);
    EXPECT_EQ(SetToInt(Bytes({1, 2, 3, 4, 5}), 9), 0x04030201);
}

TEST(StreamToStr, ReadsFromThePositionOneCharacterPerByte)
{
    QByteArray data;
    for (int i = 0; i < 256; ++i)
        data.append(char(i));
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    ASSERT_TRUE(buffer.seek(10));
    const QString text = StreamToStr(buffer);
    ASSERT_EQ(text.size(), 246);
    for (int i = 0; i < text.size(); ++i)
        EXPECT_EQ(text.at(i).unicode(), i + 10);
    EXPECT_TRUE(buffer.atEnd());
    EXPECT_EQ(StreamToStr(buffer), QString());
}
