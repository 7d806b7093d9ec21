#include "core/lib/bytes.h"

#include <algorithm>

namespace tev {

namespace {

// Bytes of a 32-bit value packed into set storage or a byte array at most.
constexpr int kIntBytes = 4;

QByteArray BigEndian(quint32 value, int bytes)
{
    QByteArray result(bytes, '\0');
    for (int i = bytes - 1; i >= 0; --i) {
        result[i] = char(value & 0xFF);
        value >>= 8;
    }
    return result;
}

} // namespace

qint32 ByteStrToInt(const QByteArray &S, int Len)
{
    if (Len <= 0 || S.size() < Len)
        return 0;
    quint32 value = 0;
    for (int i = 0; i < Len; ++i)
        value = (value << 8) | quint8(S.at(i));
    return qint32(value);
}

char ByteToAnsiChar(quint8 Value)
{
    return char(Value);
}

QByteArray IntToByteStr(qint32 Value)
{
    return BigEndian(quint32(Value), 4);
}

QByteArray SmallIntToByteStr(qint16 Value)
{
    return BigEndian(quint16(Value), 2);
}

QByteArray WordToByteStr(quint16 Value)
{
    return BigEndian(Value, 2);
}

void IntToBytes(qint32 Value, QByteArray &B)
{
    const int count = std::min<int>(kIntBytes, int(B.size()));
    for (int i = 0; i < count; ++i)
        B[i] = char((quint32(Value) >> (8 * i)) & 0xFF);
}

void IntToSet(qint32 Value, QByteArray &ASet, int Size)
{
    const int count = std::clamp(Size, 0, std::min<int>(kIntBytes, int(ASet.size())));
    for (int i = 0; i < count; ++i)
        ASet[i] = char((quint32(Value) >> (8 * i)) & 0xFF);
}

qint32 SetToInt(const QByteArray &ASet, int Size)
{
    const int count = std::clamp(Size, 0, std::min<int>(kIntBytes, int(ASet.size())));
    quint32 value = 0;
    for (int i = 0; i < count; ++i)
        value |= quint32(quint8(ASet.at(i))) << (8 * i);
    return qint32(value);
}

QString StreamToStr(QIODevice &Stream)
{
    return QString::fromLatin1(Stream.read(std::max<qint64>(Stream.size(), 0)));
}

} // namespace tev
