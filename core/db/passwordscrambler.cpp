#include "core/db/passwordscrambler.h"

namespace tev {

namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The key advances with the scrambled byte in both directions, so unscrambling reverses it.
quint16 NextKey(quint8 scrambled, quint16 key)
{
    return static_cast<quint16>((static_cast<quint32>(scrambled) + key) * 97769u + 56227u);
}

QByteArray XorScramble(const QByteArray &text, quint16 key)
{
    QByteArray result;
    result.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<quint8>(static_cast<quint8>(ch) ^ (key >> 8));
        result.append(static_cast<char>(c));
        key = NextKey(c, key);
    }
    return result;
}

QByteArray XorUnscramble(const QByteArray &text, quint16 key)
{
    QByteArray result;
    result.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<quint8>(ch);
        result.append(static_cast<char>(c ^ (key >> 8)));
        key = NextKey(c, key);
    }
    return result;
}

QByteArray EncodeSixBit(const QByteArray &bytes)
{
    QByteArray result;
    for (qsizetype start = 0; start < bytes.size(); start += 3) {
        const qsizetype n = std::min<qsizetype>(3, bytes.size() - start);
        quint32 v = 0;
        for (qsizetype j = 0; j < n; ++j)
            v |= static_cast<quint32>(static_cast<quint8>(bytes[start + j])) << (8 * j);
        for (qsizetype k = 0; k <= n; ++k)
            result.append(Alphabet[(v >> (6 * k)) & 63]);
    }
    return result;
}

quint32 SixBitIndex(char ch)
{
    if (ch >= 'A' && ch <= 'Z')
        return static_cast<quint32>(ch - 'A');
    if (ch >= 'a' && ch <= 'z')
        return static_cast<quint32>(ch - 'a' + 26);
    if (ch >= '0' && ch <= '9')
        return static_cast<quint32>(ch - '0' + 52);
    if (ch == '+')
        return 62;
    if (ch == '/')
        return 63;
    return 0;
}

QByteArray DecodeSixBit(const QByteArray &text)
{
    QByteArray result;
    for (qsizetype start = 0; start < text.size(); start += 4) {
        const qsizetype m = std::min<qsizetype>(4, text.size() - start);
        quint32 v = 0;
        for (qsizetype j = 0; j < m; ++j)
            v |= SixBitIndex(text[start + j]) << (6 * j);
        // A block of m characters carries m - 1 bytes; a lone character carries none.
        for (qsizetype j = 0; j < m - 1; ++j)
            result.append(static_cast<char>((v >> (8 * j)) & 255));
    }
    return result;
}

} // namespace

QByteArray EncryptString(const QByteArray &text, quint16 key)
{
    return EncodeSixBit(XorScramble(text, key));
}

QByteArray DecryptString(const QByteArray &text, quint16 key)
{
    return XorUnscramble(DecodeSixBit(text), key);
}

} // namespace tev
