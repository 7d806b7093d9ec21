#include "scripting/mail/vyxemail.h"

#include "platform/error.h"
#include "support/tempfolder.h"

#include <QMetaProperty>
#include <gtest/gtest.h>

namespace {

using tev::TLSMode;
using tev::TvyxEMail;

TEST(TvyxEMail, StartsPlainOnPort25WithTls10)
{
    TvyxEMail mail;
    EXPECT_EQ(mail.GetPort(), 25);
    EXPECT_EQ(mail.tlsMode(), TLSMode::No);
    EXPECT_EQ(mail.GetSSLVersion(), tev::SSLVersionTLS10);
    EXPECT_EQ(mail.GetRecipientEMail(), QString());
    EXPECT_EQ(mail.GetAttachments(), QString());
}

TEST(TvyxEMail, PortChoosesTheTransport)
{
    const std::pair<quint16, TLSMode> cases[] = {
        {25, TLSMode::No},         {587, TLSMode::Explicit}, {465, TLSMode::Implicit},
        {2525, TLSMode::Implicit}, {0, TLSMode::Implicit},   {25, TLSMode::No},
    };
    TvyxEMail mail;
    for (const auto &[port, mode] : cases) {
        mail.SetPort(port);
        EXPECT_EQ(mail.GetPort(), port);
        EXPECT_EQ(mail.tlsMode(), mode) << port;
    }
}

TEST(TvyxEMail, AddressListsReadBackWithSemicolonsAndAppend)
{
    TvyxEMail mail;
    mail.SetRecipientEMail(QStringLiteral("a;b"));
    EXPECT_EQ(mail.GetRecipientEMail(), QStringLiteral("a;b;"));
    mail.SetRecipientEMail(QStringLiteral("c;"));
    EXPECT_EQ(mail.GetRecipientEMail(), QStringLiteral("a;b;c;"));
    // Empty entries are skipped, blanks around an address are dropped.
    mail.SetRecipientEMail(QStringLiteral(";; d@x.org ;  ;"));
    EXPECT_EQ(mail.GetRecipientEMail(), QStringLiteral("a;b;c;d@x.org;"));

    mail.SetCC(QStringLiteral("c1;c2;"));
    mail.SetCC(QStringLiteral("c3"));
    EXPECT_EQ(mail.GetCC(), QStringLiteral("c1;c2;c3;"));
    mail.SetCC(QString());
    EXPECT_EQ(mail.GetCC(), QStringLiteral("c1;c2;c3;"));
}

TEST(TvyxEMail, AttachmentsReadBackAsFileNamesWithoutFolder)
{
    TvyxEMail mail;
    mail.SetAttachments(QStringLiteral("/data/reports/first.txt;/tmp/x/second file.pdf"));
    EXPECT_EQ(mail.GetAttachments(), QStringLiteral("first.txt;second file.pdf"));
    // A trailing ";" adds no empty attachment; a second write appends.
    mail.SetAttachments(QStringLiteral("/data/third.csv;"));
    EXPECT_EQ(mail.GetAttachments(), QStringLiteral("first.txt;second file.pdf;third.csv"));
    EXPECT_EQ(mail.attachmentPaths().size(), 3);
    EXPECT_EQ(mail.attachmentPaths().at(1), QStringLiteral("/tmp/x/second file.pdf"));
}

TEST(TvyxEMail, BodyIsSplitIntoLines)
{
    const std::pair<const char *, const char *> cases[] = {
        {"one", "one\r\n"},
        {"one\r\ntwo", "one\r\ntwo\r\n"},
        {"one\ntwo\rthree\r\n", "one\r\ntwo\r\nthree\r\n"},
        {"one\r\n\r\n", "one\r\n\r\n"},
        {"", ""},
        {"\n", "\r\n"},
    };
    TvyxEMail mail;
    for (const auto &[text, expected] : cases) {
        mail.SetBody(QString::fromLatin1(text));
        EXPECT_EQ(mail.GetBody(), QString::fromLatin1(expected)) << text;
    }
}

TEST(TvyxEMail, PropertiesAreReachableByName)
{
    // The script library exposes the class from its meta-object.
    TvyxEMail mail;
    const char *names[] = {"Attachments", "Body",           "CC",          "Host",       "Password",
                           "Port",        "RecipientEMail", "SenderEMail", "SenderName", "Subject",
                           "UserName",    "SSLCertFile",    "SSLKeyFile",  "SSLVersion"};
    for (const char *name : names) {
        const QMetaProperty property =
            mail.metaObject()->property(mail.metaObject()->indexOfProperty(name));
        EXPECT_TRUE(property.isValid() && property.isWritable()) << name;
    }
    EXPECT_TRUE(mail.setProperty("Port", 587));
    EXPECT_EQ(mail.tlsMode(), TLSMode::Explicit);
    EXPECT_TRUE(mail.setProperty("Subject", QStringLiteral("Hello")));
    EXPECT_EQ(mail.property("Subject").toString(), QStringLiteral("Hello"));
    EXPECT_GE(mail.metaObject()->indexOfMethod("Send()"), 0);
}

} // namespace
