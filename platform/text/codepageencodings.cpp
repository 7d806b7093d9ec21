#include "platform/text/codepageencodings.h"

#include <QtEndian>
#include <array>
#include <cerrno>
#include <iconv.h>

#include "platform/error.h"

namespace tev::detail {

namespace {

// Bytes 80..9F of Windows-1252. The undefined bytes carry the C1 control of the same value.
constexpr std::array<char16_t, 32> kHigh1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encode1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (size_t i = 0; i < kHigh1252.size(); ++i) {
        if (kHigh1252[i] == c)
            return char(0x80 + i);
    }
    return '?';
}

// Owns one iconv conversion descriptor.
class IconvHandle
{
public:
    IconvHandle(const char *to, const char *from)
        : m_cd(iconv_open(to, from))
    {}
    ~IconvHandle()
    {
        if (valid())
            iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle &) = delete;
    IconvHandle &operator=(const IconvHandle &) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

// Our strings hold UTF-16 in host order; iconv is asked for exactly that.
constexpr const char *kUtf16Host = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "UTF-16LE" : "UTF-16BE";

// Runs the conversion of in; at an input sequence that cannot be converted, appends
// replacement, skips skipUnit bytes (or a whole surrogate pair when decoding from UTF-16) and
// goes on.
QByteArray convert(iconv_t cd, QByteArrayView in, const QByteArray &replacement, size_t skipUnit,
                   bool inputIsUtf16)
{
    QByteArray out;
    out.resize(qsizetype(in.size() * 4 + 16));
    char *inPtr = const_cast<char *>(in.data());
    size_t inLeft = size_t(in.size());
    char *outPtr = out.data();
    size_t outLeft = size_t(out.size());

    auto grow = [&](size_t need) {
        const qsizetype used = outPtr - out.data();
        out.resize(out.size() + qsizetype(std::max(need, size_t(out.size()))));
        outPtr = out.data() + used;
        outLeft = size_t(out.size() - used);
    };

    while (inLeft > 0) {
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG) {
            grow(64);
            continue;
        }
        // EILSEQ or EINVAL (an incomplete sequence at the end): replace and move on.
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (outLeft < size_t(replacement.size()))
            grow(size_t(replacement.size()));
        memcpy(outPtr, replacement.constData(), size_t(replacement.size()));
        outPtr += replacement.size();
        outLeft -= size_t(replacement.size());
        size_t skip = std::min(skipUnit, inLeft);
        if (inputIsUtf16 && inLeft >= 4) {
            const char16_t unit = qFromUnaligned<char16_t>(inPtr);
            if (QChar::isHighSurrogate(unit) &&
                QChar::isLowSurrogate(qFromUnaligned<char16_t>(inPtr + 2)))
                skip = 4;
        }
        inPtr += skip;
        inLeft -= skip;
    }
    // Flushes the shift state of stateful encodings (UTF-7, ISO-2022).
    while (iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == size_t(-1) && errno == E2BIG)
        grow(16);
    out.resize(outPtr - out.data());
    return out;
}

} // namespace

QString Windows1252Encoding::GetString(QByteArrayView bytes) const
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *out++ = QChar(u >= 0x80 && u < 0xA0 ? kHigh1252[u - 0x80] : char16_t(u));
    }
    return text;
}

QByteArray Windows1252Encoding::GetBytes(QStringView text) const
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i; // one character outside the code page gives one "?"
        *out++ = encode1252(c.unicode());
    }
    bytes.truncate(out - bytes.data());
    return bytes;
}

IconvEncoding::IconvEncoding(int codePage, const QString &iconvName)
    : TEncoding(codePage, iconvName.toLower())
    , m_iconvName(iconvName.toLatin1())
{
    IconvHandle decoder(kUtf16Host, m_iconvName.constData());
    IconvHandle encoder(m_iconvName.constData(), kUtf16Host);
    if (!decoder.valid() || !encoder.valid())
        throw Error(QStringLiteral("The encoding \"%1\" is not supported.").arg(iconvName));
    const char16_t question = u'?';
    m_replacement =
        convert(encoder.get(), QByteArrayView(reinterpret_cast<const char *>(&question), 2),
                QByteArray("?"), 2, true);
    if (m_replacement.isEmpty())
        m_replacement = QByteArray("?");
}

QString IconvEncoding::GetString(QByteArrayView bytes) const
{
    if (bytes.isEmpty())
        return {};
    IconvHandle decoder(kUtf16Host, m_iconvName.constData());
    const char16_t replacement = 0xFFFD;
    const QByteArray utf16 =
        convert(decoder.get(), bytes, QByteArray(reinterpret_cast<const char *>(&replacement), 2),
                1, false);
    return QString(reinterpret_cast<const QChar *>(utf16.constData()), utf16.size() / 2);
}

QByteArray IconvEncoding::GetBytes(QStringView text) const
{
    if (text.isEmpty())
        return {};
    IconvHandle encoder(m_iconvName.constData(), kUtf16Host);
    return convert(encoder.get(),
                   QByteArrayView(reinterpret_cast<const char *>(text.data()), text.size() * 2),
                   m_replacement, 2, true);
}

} // namespace tev::detail
