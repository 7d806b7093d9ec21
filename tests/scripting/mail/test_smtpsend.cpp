#include "envguard.h"
#include "support/app/smtptestserver.h"

#include "platform/error.h"
#include "scripting/mail/vyxemail.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QTcpServer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using tev::TvyxEMail;
using tev::test::SmtpTestServer;

namespace {

const QString Subject = QStringLiteral("Prüfbericht Ω – Messreihe 7 \u4e2d\u6587");
const QString SenderName = QStringLiteral("Jörg Lindqvist");

class SmtpSendTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        certificate = tev::test::TestCertificate::make(temp.path());
        env.set("TEVORA_MAIL_CA_BUNDLE", QFile::encodeName(certificate.certFile));
    }

    std::unique_ptr<SmtpTestServer> startServer(SmtpTestServer::Mode mode, const QString &user = {},
                                                const QString &password = {})
    {
        const QString folder = temp.file(QStringLiteral("server%1").arg(++serverCount));
        auto server = std::make_unique<SmtpTestServer>(
            folder, SmtpTestServer::Options{mode, certificate, {}, user, password});
        EXPECT_TRUE(server->isRunning());
        return server;
    }

    QString makeFile(const QString &name, const QByteArray &content)
    {
        QFile file(temp.file(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    }

    // A mail to a and b with CC c, a UTF-8 subject, a body with a line that is a single ".",
    // and two attachments, sent to the stand-in port through the given server.
    void fill(TvyxEMail &mail, const SmtpTestServer &server, quint16 port)
    {
        mail.SetHost(QStringLiteral("localhost"));
        mail.SetPort(port);
        mail.setConnectTo({server.connectTo(port)});
        mail.SetSenderEMail(QStringLiteral("gauge@tevora.test"));
        mail.SetSenderName(SenderName);
        mail.SetRecipientEMail(QStringLiteral("a@tevora.test;b@tevora.test;"));
        mail.SetCC(QStringLiteral("c@tevora.test"));
        mail.SetSubject(Subject);
        mail.SetBody(QStringLiteral("Dear team,\r\n.\r\nMaß 12,5 µm\r\n..\r\nEnd"));
        mail.SetAttachments(
            makeFile(QStringLiteral("Prüfbericht µ.txt"), "line 1\nline 2\n") + u';' +
            makeFile(QStringLiteral("data.bin"), QByteArray("\x00\x01\xff.\r\n", 6)));
    }

    tev::test::TempFolder temp;
    tev::test::EnvGuard env;
    tev::test::TestCertificate certificate;
    int serverCount = 0;
};

QString ErrorOf(TvyxEMail &mail)
{
    try {
        mail.Send();
    } catch (const tev::Error &error) {
        return error.message();
    }
    return QString();
}

struct TransportCase
{
    const char *name;
    SmtpTestServer::Mode mode;
    quint16 port;
    bool tls;
};

class SmtpTransportTest : public SmtpSendTest, public ::testing::WithParamInterface<TransportCase>
{
};

TEST_P(SmtpTransportTest, MailArrivesDecoded)
{
    const TransportCase &c = GetParam();
    const auto server = startServer(c.mode);
    TvyxEMail mail;
    fill(mail, *server, c.port);
    ASSERT_EQ(ErrorOf(mail), QString());

    const QList<QJsonObject> messages = server->messages();
    ASSERT_EQ(messages.size(), 1);
    const QJsonObject m = messages.first();
    EXPECT_EQ(m["tls"].toBool(), c.tls);
    EXPECT_EQ(m["mail_from"].toString(), QStringLiteral("gauge@tevora.test"));
    EXPECT_EQ(m["rcpt_tos"].toVariant().toStringList(),
              QStringList({"a@tevora.test", "b@tevora.test", "c@tevora.test"}));
    EXPECT_EQ(m["to"].toVariant().toStringList(), QStringList({"a@tevora.test", "b@tevora.test"}));
    EXPECT_EQ(m["cc"].toVariant().toStringList(), QStringList({"c@tevora.test"}));
    EXPECT_EQ(m["subject"].toString(), Subject);
    EXPECT_EQ(m["from_name"].toString(), SenderName);
    EXPECT_EQ(m["from_address"].toString(), QStringLiteral("gauge@tevora.test"));
    EXPECT_EQ(m["body"].toString(),
              QStringLiteral("Dear team,\n.\nMaß 12,5 µm\n..\nEnd\n").replace(u'\n', "\r\n"));
    EXPECT_FALSE(m["authenticated"].toBool());
    EXPECT_TRUE(server->waitUntilAllClosed());

    const QJsonArray attachments = m["attachments"].toArray();
    ASSERT_EQ(attachments.size(), 2);
    EXPECT_EQ(attachments[0]["filename"].toString(), QStringLiteral("Prüfbericht µ.txt"));
    EXPECT_EQ(QByteArray::fromBase64(attachments[0]["data"].toString().toLatin1()),
              QByteArray("line 1\nline 2\n"));
    EXPECT_EQ(attachments[1]["filename"].toString(), QStringLiteral("data.bin"));
    EXPECT_EQ(QByteArray::fromBase64(attachments[1]["data"].toString().toLatin1()),
              QByteArray("\x00\x01\xff.\r\n", 6));
}

INSTANTIATE_TEST_SUITE_P(
    Transports, SmtpTransportTest,
    ::testing::Values(TransportCase{"Plain", SmtpTestServer::Mode::Plain, 25, false},
                      TransportCase{"StartTls", SmtpTestServer::Mode::StartTls, 587, true},
                      TransportCase{"ImplicitTls", SmtpTestServer::Mode::ImplicitTls, 465, true},
                      TransportCase{"ImplicitTlsOn2525", SmtpTestServer::Mode::ImplicitTls, 2525,
                                    true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SmtpSendTest, LongHeadersAreFoldedAndStillDecode)
{
    const auto server = startServer(SmtpTestServer::Mode::Plain);
    TvyxEMail mail;
    fill(mail, *server, 25);
    const QString subject = QString(QStringLiteral("Prüfbericht \u4e2d Messreihe ")).repeated(12);
    mail.SetSubject(subject);
    QStringList many;
    for (int i = 0; i < 40; ++i)
        many << QStringLiteral("gauge-operator-%1@tevora.test").arg(i);
    mail.SetRecipientEMail(many.join(u';'));
    ASSERT_EQ(ErrorOf(mail), QString());
    const QList<QJsonObject> messages = server->messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages.first()["subject"].toString(), subject);
    EXPECT_EQ(messages.first()["to"].toVariant().toStringList(),
              QStringList({"a@tevora.test", "b@tevora.test"}) + many);
}

TEST_F(SmtpSendTest, AuthenticatesOnlyWithAUserName)
{
    struct Case
    {
        const char *user;
        const char *password;
        bool delivered;
        const char *event;
    };
    const Case cases[] = {
        {"scripter", "s3cret pass", true, "scripter ok"},
        {"scripter", "wrong", false, "scripter fail"},
        {"", "s3cret pass", true, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.user) + "/" + c.password);
        const auto server = startServer(SmtpTestServer::Mode::StartTls, QStringLiteral("scripter"),
                                        QStringLiteral("s3cret pass"));
        TvyxEMail mail;
        fill(mail, *server, 587);
        mail.SetUserName(QString::fromLatin1(c.user));
        mail.SetPassword(QString::fromLatin1(c.password));
        const QString error = ErrorOf(mail);
        const QList<QJsonObject> messages = server->messages();
        const QStringList auth = server->events().filter(QStringLiteral("AUTH"));
        if (c.delivered) {
            EXPECT_EQ(error, QString());
            ASSERT_EQ(messages.size(), 1);
            EXPECT_EQ(messages.first()["authenticated"].toBool(), c.event != nullptr);
        } else {
            EXPECT_THAT(error.toStdString(), HasSubstr("Authentication as \"scripter\""));
            EXPECT_TRUE(messages.isEmpty());
        }
        EXPECT_TRUE(server->waitUntilAllClosed());
        if (c.event) {
            ASSERT_EQ(auth.size(), 1);
            EXPECT_THAT(auth.first().toStdString(), HasSubstr(c.event));
        } else {
            EXPECT_TRUE(auth.isEmpty()) << auth.join(u',').toStdString();
        }
    }
}

TEST_F(SmtpSendTest, Port587WithoutStartTlsSendsNothing)
{
    const auto server =
        startServer(SmtpTestServer::Mode::Plain, QStringLiteral("scripter"), QStringLiteral("pw"));
    TvyxEMail mail;
    fill(mail, *server, 587);
    mail.SetUserName(QStringLiteral("scripter"));
    mail.SetPassword(QStringLiteral("pw"));
    EXPECT_THAT(ErrorOf(mail).toStdString(), HasSubstr("does not offer STARTTLS"));
    EXPECT_TRUE(server->messages().isEmpty());
    EXPECT_TRUE(server->waitUntilAllClosed());
    EXPECT_EQ(server->events(), QStringList({"OPEN", "CLOSED"}));
}

TEST_F(SmtpSendTest, SelfSignedCertificateIsRefusedUnlessTrusted)
{
    for (const auto &[mode, port] : {std::pair{SmtpTestServer::Mode::ImplicitTls, 465},
                                     std::pair{SmtpTestServer::Mode::StartTls, 587}}) {
        env.unset("TEVORA_MAIL_CA_BUNDLE");
        const auto server = startServer(mode);
        TvyxEMail mail;
        fill(mail, *server, static_cast<quint16>(port));
        const QString error = ErrorOf(mail);
        EXPECT_THAT(error.toStdString(), HasSubstr("certificate is not trusted")) << port;
        EXPECT_THAT(error.toStdString(), HasSubstr("TEVORA_MAIL_CA_BUNDLE"));
        EXPECT_TRUE(server->messages().isEmpty());

        env.set("TEVORA_MAIL_CA_BUNDLE", QFile::encodeName(certificate.certFile));
        EXPECT_EQ(ErrorOf(mail), QString()) << port;
        EXPECT_EQ(server->messages().size(), 1);
    }
}

TEST_F(SmtpSendTest, SslVersionIsAMinimum)
{
    struct Case
    {
        int version;
        const char *error; // nullptr: delivered
    };
    const Case cases[] = {
        {tev::SSLVersionTLS10, nullptr},
        {tev::SSLVersionTLS11, nullptr},
        {tev::SSLVersionTLS12, nullptr},
        {tev::SSLVersionSSL23, nullptr},
        {tev::SSLVersionSSL2, "SSL 2 is no longer available"},
        {tev::SSLVersionSSL3, "SSL 3 is no longer available"},
        {9, "Unknown SSL version 9"},
    };
    const auto server = startServer(SmtpTestServer::Mode::ImplicitTls);
    int delivered = 0;
    for (const Case &c : cases) {
        TvyxEMail mail;
        fill(mail, *server, 465);
        mail.SetSSLVersion(c.version);
        const QString error = ErrorOf(mail);
        if (c.error) {
            EXPECT_THAT(error.toStdString(), HasSubstr(c.error)) << c.version;
        } else {
            EXPECT_EQ(error, QString()) << c.version;
            ++delivered;
        }
        EXPECT_EQ(server->messages().size(), delivered) << c.version;
    }
}

TEST_F(SmtpSendTest, PlainPortIgnoresSslVersion)
{
    const auto server = startServer(SmtpTestServer::Mode::Plain);
    TvyxEMail mail;
    fill(mail, *server, 25);
    mail.SetSSLVersion(tev::SSLVersionSSL3);
    EXPECT_EQ(ErrorOf(mail), QString());
    EXPECT_EQ(server->messages().size(), 1);
}

TEST_F(SmtpSendTest, RefusedRecipientIsNamed)
{
    const auto server = startServer(SmtpTestServer::Mode::Plain);
    TvyxEMail mail;
    fill(mail, *server, 25);
    mail.SetCC(QStringLiteral("refused@tevora.test"));
    const QString error = ErrorOf(mail);
    EXPECT_THAT(error.toStdString(), HasSubstr("refused the recipient refused@tevora.test"));
    EXPECT_THAT(error.toStdString(), HasSubstr("550"));
    EXPECT_TRUE(server->messages().isEmpty());
    EXPECT_TRUE(server->waitUntilAllClosed());
}

TEST_F(SmtpSendTest, BadInputFailsBeforeConnecting)
{
    struct Case
    {
        const char *name;
        std::function<void(TvyxEMail &)> spoil;
        const char *error;
    };
    const Case cases[] = {
        {"subject", [](TvyxEMail &m) { m.SetSubject("Hi\r\nBcc: x@evil.test"); }, "subject"},
        {"subject LF", [](TvyxEMail &m) { m.SetSubject("Hi\nX-Evil: 1"); }, "subject"},
        {"sender name", [](TvyxEMail &m) { m.SetSenderName("Eve\rBcc: x"); }, "sender name"},
        {"sender", [](TvyxEMail &m) { m.SetSenderEMail("e@x.test>\r\nRCPT TO:<y@x"); },
         "sender address"},
        {"recipient", [](TvyxEMail &m) { m.SetRecipientEMail("d@x.test\r\nDATA"); }, "address"},
        {"cc", [](TvyxEMail &m) { m.SetCC("d@x.test\nRSET"); }, "address"},
        {"no sender", [](TvyxEMail &m) { m.SetSenderEMail(QString()); }, "no sender address"},
        {"no host", [](TvyxEMail &m) { m.SetHost(QString()); }, "Host is empty"},
        {"missing attachment",
         [](TvyxEMail &m) { m.SetAttachments("/nonexistent/tevora/missing.txt"); },
         "attachment \"/nonexistent/tevora/missing.txt\" cannot be read"},
        {"folder as attachment", [](TvyxEMail &m) { m.SetAttachments(QDir::tempPath()); },
         "cannot be read"},
    };
    const auto server = startServer(SmtpTestServer::Mode::Plain);
    for (const Case &c : cases) {
        TvyxEMail mail;
        fill(mail, *server, 25);
        c.spoil(mail);
        EXPECT_THAT(ErrorOf(mail).toStdString(), HasSubstr(c.error)) << c.name;
    }
    EXPECT_TRUE(server->events().isEmpty()) << server->events().join(u',').toStdString();
}

TEST_F(SmtpSendTest, NoRecipientIsAnError)
{
    TvyxEMail mail;
    mail.SetHost(QStringLiteral("localhost"));
    mail.SetSenderEMail(QStringLiteral("gauge@tevora.test"));
    mail.SetRecipientEMail(QStringLiteral(";;"));
    EXPECT_THAT(ErrorOf(mail).toStdString(), HasSubstr("no recipient"));
}

TEST_F(SmtpSendTest, ClosedPortIsAConnectionError)
{
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    TvyxEMail mail;
    mail.SetHost(QStringLiteral("localhost"));
    mail.SetPort(25);
    mail.setConnectTo({QStringLiteral("localhost:25:127.0.0.1:%1").arg(port)});
    mail.SetSenderEMail(QStringLiteral("gauge@tevora.test"));
    mail.SetRecipientEMail(QStringLiteral("a@tevora.test"));
    EXPECT_THAT(ErrorOf(mail).toStdString(), HasSubstr("Cannot connect to the mail server"));
}

TEST_F(SmtpSendTest, SilentServerTimesOut)
{
    // Listens but never greets: the kernel completes the connection, nobody answers.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    TvyxEMail mail;
    mail.SetHost(QStringLiteral("localhost"));
    mail.SetPort(25);
    mail.setConnectTo({QStringLiteral("localhost:25:127.0.0.1:%1").arg(silent.serverPort())});
    mail.setTimeouts(1000ms, 1000ms);
    mail.SetSenderEMail(QStringLiteral("gauge@tevora.test"));
    mail.SetRecipientEMail(QStringLiteral("a@tevora.test"));
    QElapsedTimer timer;
    timer.start();
    EXPECT_THAT(ErrorOf(mail).toStdString(), HasSubstr("did not answer in time"));
    EXPECT_LT(timer.elapsed(), 10000);
}

TEST_F(SmtpSendTest, ClientCertificateIsPresented)
{
    const auto client = tev::test::TestCertificate::make(temp.path(), QStringLiteral("gauge-7"));
    SmtpTestServer server(
        temp.file(QStringLiteral("server")),
        {SmtpTestServer::Mode::ImplicitTls, certificate, client.certFile, {}, {}});
    ASSERT_TRUE(server.isRunning());
    TvyxEMail without;
    fill(without, server, 465);
    ASSERT_EQ(ErrorOf(without), QString());

    TvyxEMail with;
    fill(with, server, 465);
    with.SetSSLCertFile(client.certFile);
    with.SetSSLKeyFile(client.keyFile);
    ASSERT_EQ(ErrorOf(with), QString());

    const QList<QJsonObject> messages = server.messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0]["client_cn"].toString(), QString());
    EXPECT_EQ(messages[1]["client_cn"].toString(), QStringLiteral("gauge-7"));
}

TEST_F(SmtpSendTest, MissingClientCertificateIsATlsError)
{
    const auto server = startServer(SmtpTestServer::Mode::ImplicitTls);
    TvyxEMail mail;
    fill(mail, *server, 465);
    mail.SetSSLCertFile(temp.file(QStringLiteral("missing-client.pem")));
    mail.SetSSLKeyFile(temp.file(QStringLiteral("missing-client.key")));
    EXPECT_THAT(ErrorOf(mail).toStdString(), HasSubstr("TLS with the mail server localhost:465"));
    EXPECT_TRUE(server->messages().isEmpty());
}

} // namespace
