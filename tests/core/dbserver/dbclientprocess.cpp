#include "dbclientprocess.h"

#include "support/app/databasebackend.h"
#include "support/app/firebirdserver.h"

#include <QDeadlineTimer>
#include <gtest/gtest.h>

namespace tev::test {

DbClientProcess::DbClientProcess(const FirebirdServer &server, const QString &databaseFile,
                                 int lockWaitSeconds)
{
    WriteServerConnectionFile(m_root, server, databaseFile);
    QStringList arguments{m_root.path()};
    if (lockWaitSeconds > 0)
        arguments << QString::number(lockWaitSeconds);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(TEVORA_BINARY_DIR "/bin/tevora_dbclient"), arguments);
    EXPECT_TRUE(m_process.waitForStarted(30000)) << m_process.errorString().toStdString();
    EXPECT_EQ(readLine().toStdString(), "ready");
}

DbClientProcess::~DbClientProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    send(QStringLiteral("quit"));
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(30000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void DbClientProcess::send(const QString &command)
{
    m_process.write(command.toUtf8() + '\n');
    m_process.waitForBytesWritten(5000);
}

QString DbClientProcess::readLine(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!m_process.canReadLine()) {
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning) {
            ADD_FAILURE() << "the client did not answer";
            return {};
        }
        m_process.waitForReadyRead(int(qMin<qint64>(deadline.remainingTime(), 1000)));
    }
    return QString::fromUtf8(m_process.readLine()).trimmed();
}

QString DbClientProcess::pollLine(int waitMs)
{
    if (!m_process.canReadLine())
        m_process.waitForReadyRead(waitMs);
    return m_process.canReadLine() ? QString::fromUtf8(m_process.readLine()).trimmed() : QString();
}

} // namespace tev::test
