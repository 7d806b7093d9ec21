#include "scripting/mail/mailheaders.h"

#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

using namespace tev;

TEST(MailHeaders, DateIsEnglishWithNumericZone)
{
    const QDate day(2026, 3, 5);
    const QTime time(7, 8, 9);
    EXPECT_EQ(MailDate(QDateTime(day, time, QTimeZone(3600 + 1800))),
              QByteArray("Thu, 5 Mar 2026 07:08:09 +0130"));
    EXPECT_EQ(MailDate(QDateTime(day, time, QTimeZone(-5 * 3600))),
              QByteArray("Thu, 5 Mar 2026 07:08:09 -0500"));
    EXPECT_EQ(MailDate(QDateTime(day, time, QTimeZone::utc())),
              QByteArray("Thu, 5 Mar 2026 07:08:09 +0000"));
}

TEST(MailHeaders, TextIsEncodedOnlyWhenNeeded)
{
    EXPECT_EQ(EncodeHeaderText(QStringLiteral("Weekly report"), 9), QByteArray("Weekly report"));
    EXPECT_EQ(EncodeHeaderText(QStringLiteral("Maß"), 9), QByteArray("=?UTF-8?B?TWHDnw==?="));
    // Text that looks like an encoded word is encoded, so a reader does not decode it.
    EXPECT_TRUE(EncodeHeaderText(QStringLiteral("=?UTF-8?B?QQ==?="), 9).startsWith("=?UTF-8?B?"));
}

TEST(MailHeaders, LongTextIsFoldedIntoShortLines)
{
    const QString text = QString(QStringLiteral("Prüfbericht \u4e2d ")).repeated(20);
    const QByteArray encoded = EncodeHeaderText(text, 9);
    const QList<QByteArray> lines = encoded.split('\n');
    EXPECT_GT(lines.size(), 1);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).chopped(i + 1 < lines.size() ? 1 : 0); // the CR
        EXPECT_LE(line.size() + (i == 0 ? 9 : 0), 78) << line.constData();
        EXPECT_TRUE(i == 0 || line.startsWith(' ')) << line.constData();
    }
}

TEST(MailHeaders, Mailboxes)
{
    const std::tuple<const char *, const char *, const char *> cases[] = {
        {"", "a@x.test", "a@x.test"},
        {"Anna Berg", "a@x.test", "\"Anna Berg\" <a@x.test>"},
        {"Berg, \"Anna\" \\", "a@x.test", "\"Berg, \\\"Anna\\\" \\\\\" <a@x.test>"},
        {"J\xc3\xb6rg", "j@x.test", "=?UTF-8?B?SsO2cmc=?= <j@x.test>"},
    };
    for (const auto &[name, address, expected] : cases)
        EXPECT_EQ(EncodeMailbox(QString::fromUtf8(name), QString::fromUtf8(address)),
                  QByteArray(expected))
            << name;
}

// Each entry keeps its name, quoted or encoded, and its address unchanged, so that a reader sees
// one recipient per entry.
TEST(MailHeaders, AddressListsWithNames)
{
    const std::tuple<const char *, QStringList, const char *> cases[] = {
        {"bare addresses", {"a@x.test", " <b@x.test> "}, "a@x.test, b@x.test"},
        {"a name with a comma", {"Doe, John <d@t.test>"}, "\"Doe, John\" <d@t.test>"},
        {"a name beyond ASCII",
         {"J\u00fcrgen M\u00fcller <j@t.test>"},
         "=?UTF-8?B?SsO8cmdlbiBNw7xsbGVy?= <j@t.test>"},
        {"a quoted name keeps its quotes and escapes",
         {"\"Berg, \\\"Anna\\\"\" <a@x.test>", "\"\" <e@x.test>"},
         "\"Berg, \\\"Anna\\\"\" <a@x.test>, e@x.test"},
    };
    for (const auto &[name, addresses, expected] : cases)
        EXPECT_EQ(EncodeAddressList(addresses, 4), QByteArray(expected)) << name;
}

// A long name is folded between its encoded words and before its address, never beyond 78
// characters a line.
TEST(MailHeaders, LongNamesInAddressListsAreFolded)
{
    const QString name = QString(QStringLiteral("Pr\u00fcfstand \u4e2d ")).repeated(8);
    const QByteArray encoded = EncodeAddressList(
        {"x@t.test", name + "<a-rather-long-address-of-the-quality-office@tevora.test>",
         "y@t.test"},
        4);
    const QList<QByteArray> lines = encoded.split('\n');
    EXPECT_GT(lines.size(), 2);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).chopped(i + 1 < lines.size() ? 1 : 0); // the CR
        EXPECT_LE(line.size() + (i == 0 ? 4 : 0), 78) << line.constData();
        EXPECT_TRUE(i == 0 || line.startsWith(' ')) << line.constData();
    }
    EXPECT_TRUE(encoded.startsWith("x@t.test, =?UTF-8?B?")) << encoded.constData();
    EXPECT_TRUE(encoded.contains("?= <a-rather-long-address-of-the-quality-office@tevora.test>,"))
        << encoded.constData();
    EXPECT_TRUE(encoded.endsWith(" y@t.test")) << encoded.constData();
}

TEST(MailHeaders, AttachmentNames)
{
    EXPECT_EQ(AttachmentDisposition(QStringLiteral("report \"1\".txt")), QByteArray());
    EXPECT_EQ(AttachmentDisposition(QStringLiteral("Maß \"1\".txt")),
              QByteArray("attachment; filename*=UTF-8''Ma%C3%9F%20%221%22.txt"));
}

TEST(MailHeaders, EnvelopeAddressAndLineBreaks)
{
    EXPECT_EQ(EnvelopeAddress(QStringLiteral("Anna <a@x.test>")), QStringLiteral("a@x.test"));
    EXPECT_EQ(EnvelopeAddress(QStringLiteral(" a@x.test ")), QStringLiteral("a@x.test"));
    EXPECT_EQ(EnvelopeAddress(QStringLiteral("\"Doe, <J>\" <d@x.test>")),
              QStringLiteral("d@x.test"));
    EXPECT_TRUE(HasLineBreak(QStringLiteral("a\rb")));
    EXPECT_TRUE(HasLineBreak(QStringLiteral("a\nb")));
    EXPECT_FALSE(HasLineBreak(QStringLiteral("a\tb")));
}

} // namespace
