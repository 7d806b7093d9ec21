#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/text/tencoding.h"

using tev::TEncoding;

namespace {

QByteArray allBytes()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    return bytes;
}

} // namespace

TEST(Windows1252, EveryByteValueRoundTrips)
{
    const auto cp = TEncoding::Windows1252();
    for (int b = 0; b < 256; ++b) {
        const QByteArray one(1, char(b));
        const QString text = cp->GetString(one);
        ASSERT_EQ(text.size(), 1) << "byte " << b;
        EXPECT_EQ(cp->GetBytes(text), one) << "byte " << b;
    }
    EXPECT_EQ(cp->GetBytes(cp->GetString(allBytes())), allBytes());
}

TEST(Windows1252, MapsTheHighBytesToTheirCharacters)
{
    struct Case
    {
        unsigned char byte;
        char16_t character;
    };
    const Case cases[] = {
        {0x41, u'A'},   {0x80, 0x20AC}, {0x81, 0x0081},  {0x8D, 0x008D},
        {0x8F, 0x008F}, {0x90, 0x0090}, {0x9D, 0x009D},  {0x92, 0x2019},
        {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xE9, u'\xE9'}, {0xFF, 0x00FF},
    };
    const auto cp = TEncoding::Windows1252();
    for (const Case &c : cases) {
        EXPECT_EQ(cp->GetString(QByteArray(1, char(c.byte))), QString(QChar(c.character)))
            << int(c.byte);
    }
}

TEST(Windows1252, CharactersOutsideTheCodePageBecomeAQuestionMark)
{
    const auto cp = TEncoding::Windows1252();
    EXPECT_EQ(cp->GetBytes(u"a\u0100b"), QByteArray("a?b"));
    EXPECT_EQ(cp->GetBytes(u"x\U0001F600y"), QByteArray("x?y")); // one "?" per character
    EXPECT_EQ(cp->GetBytes(u"\u20AC"), QByteArray("\x80"));
}

TEST(UnicodeEncodings, WriteAndReadTheirByteOrderMarksAndUnits)
{
    struct Case
    {
        TEncoding::Ptr encoding;
        int codePage;
        QByteArray preamble;
        QByteArray bytesOfAEuro;
    };
    const Case cases[] = {
        {TEncoding::UTF8(), 65001, QByteArray("\xEF\xBB\xBF"), QByteArray("A\xE2\x82\xAC")},
        {TEncoding::Unicode(), 1200, QByteArray("\xFF\xFE"), QByteArray("A\0\xAC\x20", 4)},
        {TEncoding::BigEndianUnicode(), 1201, QByteArray("\xFE\xFF"), QByteArray("\0A\x20\xAC", 4)},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.encoding->CodePage(), c.codePage);
        EXPECT_EQ(c.encoding->GetPreamble(), c.preamble);
        EXPECT_EQ(c.encoding->GetBytes(u"A\u20AC"), c.bytesOfAEuro);
        EXPECT_EQ(c.encoding->GetString(c.bytesOfAEuro), QStringLiteral(u"A\u20AC"));
        int length = -1;
        EXPECT_EQ(
            TEncoding::DetectByPreamble(c.preamble + c.bytesOfAEuro, TEncoding::ANSI(), length),
            c.encoding);
        EXPECT_EQ(length, c.preamble.size());
    }
    int length = -1;
    EXPECT_EQ(TEncoding::DetectByPreamble("plain", TEncoding::ANSI(), length), TEncoding::ANSI());
    EXPECT_EQ(length, 0);
}

TEST(UnicodeEncodings, DamagedInputDecodesToReplacementCharacters)
{
    EXPECT_EQ(TEncoding::UTF8()->GetString("a\xFF"), QStringLiteral(u"a\uFFFD"));
    EXPECT_EQ(TEncoding::Unicode()->GetString(QByteArray("A\0B", 3)), QStringLiteral(u"A\uFFFD"));
}

TEST(EncodingLookup, FindsCodePagesByNumber)
{
    struct Case
    {
        int codePage;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {1252, "\x80", QStringLiteral(u"\u20AC")},
        {0, "\x80", QStringLiteral(u"\u20AC")}, // the system's ANSI code page
        {850, "\x82", QStringLiteral(u"\u00E9")},
        {437, "\x9C", QStringLiteral(u"\u00A3")},
        {1250, "\x8A", QStringLiteral(u"\u0160")},
        {28591, "\xE9", QStringLiteral(u"\u00E9")},
        {28605, "\xA4", QStringLiteral(u"\u20AC")},
        {65000, "+AKM-", QStringLiteral(u"\u00A3")},
        {65001, "\xC3\xA9", QStringLiteral(u"\u00E9")},
        {1200, QByteArray("\xE9\0", 2), QStringLiteral(u"\u00E9")},
        {1201, QByteArray("\0\xE9", 2), QStringLiteral(u"\u00E9")},
    };
    for (const Case &c : cases) {
        const auto encoding = TEncoding::GetEncoding(c.codePage);
        EXPECT_EQ(encoding->GetString(c.bytes), c.text) << c.codePage;
        EXPECT_EQ(encoding->GetBytes(c.text), c.bytes) << c.codePage;
    }
    EXPECT_EQ(TEncoding::GetEncoding(850)->CodePage(), 850);
    EXPECT_EQ(TEncoding::GetEncoding(28591)->CodePage(), 28591);
}

TEST(EncodingLookup, IconvCodePagesReplaceWhatTheyCannotHold)
{
    const auto cp850 = TEncoding::GetEncoding(850);
    EXPECT_EQ(cp850->GetBytes(u"a\u20ACb\U0001F600c"), QByteArray("a?b?c"));
    const auto ascii = TEncoding::GetEncoding(20127);
    EXPECT_EQ(ascii->GetString("a\xE9z"), QStringLiteral(u"a\uFFFDz"));
}

TEST(EncodingLookup, FindsEncodingsByName)
{
    struct Case
    {
        const char *name;
        int codePage;
    };
    const Case cases[] = {
        {"utf-8", 65001},       {"UTF8", 65001},  {"utf-16", 1200},      {"unicodeFFFE", 1201},
        {"windows-1252", 1252}, {"cp1252", 1252}, {"iso-8859-1", 28591}, {"ISO-8859-15", 28605},
        {"Windows-1250", 1250}, {"ibm850", 850},  {"KOI8-R", 20866},     {" utf-8 ", 65001},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TEncoding::GetEncoding(QString::fromLatin1(c.name))->CodePage(), c.codePage)
            << c.name;
    // A name that iconv knows but our table does not still works.
    EXPECT_EQ(TEncoding::GetEncoding(QStringLiteral("latin1"))->GetString("\xE9"),
              QStringLiteral(u"\u00E9"));
}

TEST(EncodingLookup, UnknownCodePagesAndNamesAreErrors)
{
    for (int codePage : {99999, -1, 1})
        EXPECT_THROW(TEncoding::GetEncoding(codePage), tev::Error) << codePage;
    for (const char *name : {"", "no-such-encoding", "utf-8//IGNORE", "cp99999999999"})
        EXPECT_THROW(TEncoding::GetEncoding(QString::fromLatin1(name)), tev::Error) << name;
}
