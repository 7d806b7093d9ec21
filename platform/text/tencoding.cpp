#include "platform/text/tencoding.h"

#include <QRegularExpression>

#include "platform/error.h"
#include "platform/text/codepageencodings.h"

namespace tev {

namespace {

class Utf8Encoding final : public TEncoding
{
public:
    Utf8Encoding()
        : TEncoding(65001, QStringLiteral("utf-8"))
    {}
    QString GetString(QByteArrayView bytes) const override { return QString::fromUtf8(bytes); }
    QByteArray GetBytes(QStringView text) const override { return text.toUtf8(); }
    QByteArray GetPreamble() const override { return QByteArray("\xEF\xBB\xBF", 3); }
};

// UTF-16 is converted unit by unit, so a lone surrogate survives a round trip like any other
// unit; only an odd last byte is replaced.
class Utf16Encoding final : public TEncoding
{
public:
    explicit Utf16Encoding(bool bigEndian)
        : TEncoding(bigEndian ? 1201 : 1200,
                    bigEndian ? QStringLiteral("utf-16be") : QStringLiteral("utf-16le"))
        , m_bigEndian(bigEndian)
    {}

    QString GetString(QByteArrayView bytes) const override
    {
        const qsizetype units = bytes.size() / 2;
        QString text(units + (bytes.size() % 2), Qt::Uninitialized);
        const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
        for (qsizetype i = 0; i < units; ++i) {
            const char16_t a = in[2 * i], b = in[2 * i + 1];
            text[i] = QChar(m_bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a));
        }
        if (bytes.size() % 2)
            text[units] = QChar::ReplacementCharacter;
        return text;
    }

    QByteArray GetBytes(QStringView text) const override
    {
        QByteArray bytes(text.size() * 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t u = text[i].unicode();
            const char hi = char(u >> 8), lo = char(u & 0xFF);
            bytes[2 * i] = m_bigEndian ? hi : lo;
            bytes[2 * i + 1] = m_bigEndian ? lo : hi;
        }
        return bytes;
    }

    QByteArray GetPreamble() const override
    {
        return m_bigEndian ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
    }

private:
    bool m_bigEndian;
};

// iconv names of the Windows code pages that do not follow the "CP<number>" pattern.
struct CodePageName
{
    int codePage;
    const char *iconvName;
};

constexpr CodePageName kCodePageNames[] = {
    {37, "IBM037"},         {500, "IBM500"},        {950, "BIG5"},         {1361, "JOHAB"},
    {10000, "MACINTOSH"},   {12000, "UTF-32LE"},    {12001, "UTF-32BE"},   {20127, "ASCII"},
    {20866, "KOI8-R"},      {21866, "KOI8-U"},      {28591, "ISO-8859-1"}, {28592, "ISO-8859-2"},
    {28593, "ISO-8859-3"},  {28594, "ISO-8859-4"},  {28595, "ISO-8859-5"}, {28596, "ISO-8859-6"},
    {28597, "ISO-8859-7"},  {28598, "ISO-8859-8"},  {28599, "ISO-8859-9"}, {28603, "ISO-8859-13"},
    {28605, "ISO-8859-15"}, {50220, "ISO-2022-JP"}, {51932, "EUC-JP"},     {51936, "EUC-CN"},
    {51949, "EUC-KR"},      {54936, "GB18030"},     {65000, "UTF-7"},
};

// Code page 0 is the system's "ANSI" code page on Windows.
constexpr int kAnsiCodePage = 0;

// Longest encoding name accepted; real names are far shorter.
constexpr qsizetype kMaxEncodingName = 64;

} // namespace

TEncoding::Ptr TEncoding::UTF8()
{
    static const Ptr encoding = std::make_shared<Utf8Encoding>();
    return encoding;
}

TEncoding::Ptr TEncoding::Unicode()
{
    static const Ptr encoding = std::make_shared<Utf16Encoding>(false);
    return encoding;
}

TEncoding::Ptr TEncoding::BigEndianUnicode()
{
    static const Ptr encoding = std::make_shared<Utf16Encoding>(true);
    return encoding;
}

TEncoding::Ptr TEncoding::Windows1252()
{
    static const Ptr encoding = std::make_shared<detail::Windows1252Encoding>();
    return encoding;
}

TEncoding::Ptr TEncoding::GetEncoding(int codePage)
{
    switch (codePage) {
    case kAnsiCodePage:
    case 1252:
        return Windows1252();
    case 65001:
        return UTF8();
    case 1200:
        return Unicode();
    case 1201:
        return BigEndianUnicode();
    default:
        break;
    }
    if (codePage < 0)
        throw Error(QStringLiteral("The code page %1 is not supported.").arg(codePage));
    for (const auto &entry : kCodePageNames) {
        if (entry.codePage == codePage)
            return std::make_shared<detail::IconvEncoding>(codePage,
                                                           QLatin1String(entry.iconvName));
    }
    // The DOS and Windows code pages carry their number in glibc's names.
    for (const char *prefix : {"CP", "IBM"}) {
        try {
            return std::make_shared<detail::IconvEncoding>(codePage, QLatin1String(prefix) +
                                                                         QString::number(codePage));
        } catch (const Error &) {
        }
    }
    throw Error(QStringLiteral("The code page %1 is not supported.").arg(codePage));
}

TEncoding::Ptr TEncoding::GetEncoding(const QString &name)
{
    const QString key = name.trimmed().toUpper();
    static const QRegularExpression valid(QStringLiteral("^[A-Z0-9][A-Z0-9_.:()-]*$"));
    if (key.size() > kMaxEncodingName || !valid.match(key).hasMatch())
        throw Error(QStringLiteral("The encoding \"%1\" is not supported.").arg(name));

    if (key == u"UTF-8" || key == u"UTF8")
        return UTF8();
    if (key == u"UTF-16" || key == u"UTF-16LE" || key == u"UNICODE" || key == u"UCS-2")
        return Unicode();
    if (key == u"UTF-16BE" || key == u"UNICODEFFFE")
        return BigEndianUnicode();
    static const QRegularExpression numbered(QStringLiteral("^(?:WINDOWS-|CP|X-CP|IBM)(\\d+)$"));
    if (const auto m = numbered.match(key); m.hasMatch()) {
        bool ok = false;
        const int codePage = m.captured(1).toInt(&ok);
        if (!ok)
            throw Error(QStringLiteral("The encoding \"%1\" is not supported.").arg(name));
        return GetEncoding(codePage);
    }
    for (const auto &entry : kCodePageNames) {
        if (key == QLatin1String(entry.iconvName))
            return GetEncoding(entry.codePage);
    }
    return std::make_shared<detail::IconvEncoding>(0, key);
}

TEncoding::Ptr TEncoding::DetectByPreamble(QByteArrayView bytes, const Ptr &fallback,
                                           int &preambleLength)
{
    for (const Ptr &candidate : {UTF8(), Unicode(), BigEndianUnicode()}) {
        const QByteArray preamble = candidate->GetPreamble();
        if (bytes.startsWith(preamble)) {
            preambleLength = int(preamble.size());
            return candidate;
        }
    }
    preambleLength = 0;
    return fallback;
}

} // namespace tev
