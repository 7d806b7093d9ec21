#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace tev::test {

// A self-signed certificate for "localhost" and 127.0.0.1, made with openssl for one test.
struct TestCertificate
{
    QString certFile;
    QString keyFile;
    // Makes the pair in folder, named after commonName; fails the test when openssl fails.
    static TestCertificate make(const QString &folder,
                                const QString &commonName = QStringLiteral("localhost"));
};

// An SMTP server on 127.0.0.1 and a free port (tests/fixtures/mail/smtpserver.py under Debian's
// python3 with aiosmtpd). It stops when the object goes, also when the test fails.
class SmtpTestServer
{
public:
    enum class Mode { Plain, StartTls, ImplicitTls };
    struct Options
    {
        Mode mode = Mode::Plain;
        TestCertificate certificate; // needed for the TLS modes
        QString clientCa;            // asks for a client certificate when not empty
        QString user;                // with an authenticator when not empty
        QString password;
    };

    SmtpTestServer(const QString &folder, const Options &options);
    ~SmtpTestServer();
    SmtpTestServer(const SmtpTestServer &) = delete;
    SmtpTestServer &operator=(const SmtpTestServer &) = delete;

    bool isRunning() const { return m_port != 0; }
    quint16 port() const { return m_port; }
    // The connect-to entry that sends a connection for localhost:standInPort here.
    QString connectTo(quint16 standInPort) const;
    // The messages received so far, decoded by the server.
    QList<QJsonObject> messages() const;
    // OPEN, MAIL, RCPT, AUTH and CLOSED lines in the order the server saw them.
    QStringList events() const;
    // Waits until every connection the server saw is closed again; false after a few seconds.
    bool waitUntilAllClosed() const;

private:
    QString m_folder;
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace tev::test
