#include "support/app/smtptestserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QThread>
#include <gtest/gtest.h>

namespace tev::test {

namespace {

// Debian's interpreter, which has aiosmtpd; another python3 earlier on PATH may not.
const char Python[] = "/usr/bin/python3";
constexpr int StartLimitMs = 15000;

} // namespace

TestCertificate TestCertificate::make(const QString &folder, const QString &commonName)
{
    TestCertificate pair{QDir(folder).filePath(commonName + QStringLiteral("-cert.pem")),
                         QDir(folder).filePath(commonName + QStringLiteral("-key.pem"))};
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                   "-nodes", "-days", "2", "-subj", "/CN=" + commonName, "-addext",
                   "subjectAltName=DNS:localhost,IP:127.0.0.1", "-keyout", pair.keyFile, "-out",
                   pair.certFile});
    EXPECT_TRUE(openssl.waitForFinished(30000)) << "openssl did not finish";
    EXPECT_EQ(openssl.exitCode(), 0) << openssl.readAllStandardError().constData();
    return pair;
}

SmtpTestServer::SmtpTestServer(const QString &folder, const Options &options)
    : m_folder(folder)
{
    QStringList args{QStringLiteral(TEVORA_FIXTURES_DIR "/mail/smtpserver.py"),
                     QStringLiteral("--folder"), folder, QStringLiteral("--mode")};
    switch (options.mode) {
    case Mode::Plain:
        args << QStringLiteral("plain");
        break;
    case Mode::StartTls:
        args << QStringLiteral("starttls");
        break;
    case Mode::ImplicitTls:
        args << QStringLiteral("smtps");
        break;
    }
    if (options.mode != Mode::Plain)
        args << QStringLiteral("--cert") << options.certificate.certFile << QStringLiteral("--key")
             << options.certificate.keyFile;
    if (!options.clientCa.isEmpty())
        args << QStringLiteral("--client-ca") << options.clientCa;
    if (!options.user.isEmpty())
        args << QStringLiteral("--user") << options.user << QStringLiteral("--password")
             << options.password;
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QString::fromLatin1(Python), args);
    if (!m_process.waitForStarted()) {
        ADD_FAILURE() << "cannot start " << Python;
        return;
    }
    QByteArray output;
    while (!output.contains('\n') && m_process.waitForReadyRead(StartLimitMs))
        output += m_process.readAllStandardOutput();
    if (!output.startsWith("READY ")) {
        ADD_FAILURE() << "the SMTP test server did not start: " << output.constData();
        return;
    }
    m_port = output.mid(6).trimmed().toUShort();
}

SmtpTestServer::~SmtpTestServer()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel(); // the server stops at the end of its input
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

QString SmtpTestServer::connectTo(quint16 standInPort) const
{
    return QStringLiteral("localhost:%1:127.0.0.1:%2").arg(standInPort).arg(m_port);
}

QList<QJsonObject> SmtpTestServer::messages() const
{
    QList<QJsonObject> result;
    for (int n = 1;; ++n) {
        QFile file(QDir(m_folder).filePath(QStringLiteral("%1.json").arg(n)));
        if (!file.open(QIODevice::ReadOnly))
            break;
        result << QJsonDocument::fromJson(file.readAll()).object();
    }
    return result;
}

QStringList SmtpTestServer::events() const
{
    QFile file(QDir(m_folder).filePath(QStringLiteral("events.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace tev::test

namespace tev::test {

bool SmtpTestServer::waitUntilAllClosed() const
{
    // The server notices a closed connection on its own schedule, so poll briefly.
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        const QStringList all = events();
        if (all.count(QStringLiteral("OPEN")) == all.count(QStringLiteral("CLOSED")))
            return true;
        QThread::msleep(20);
    }
    return false;
}

} // namespace tev::test
