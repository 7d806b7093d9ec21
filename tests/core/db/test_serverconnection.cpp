// The connection to a real Firebird server on 127.0.0.1: what the connection file names is what is
// reached, and a server that is gone or does not answer is a bounded, clear failure.

#include "catalogue.h"
#include "core/db/passwordscrambler.h"
#include "core/db/tevdatamodule.h"
#include "platform/error.h"
#include "support/app/databasebackend.h"
#include "support/app/firebirdserver.h"
#include "support/app/firebirdtestenv.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>

using namespace tev;
using namespace tev::test;

namespace {

TStringList ServerParams(const FirebirdServer &server, const QString &file,
                         const QString &password = FirebirdServer::password())
{
    return TStringList(QStringList{"DriverId=FB", "Server=" + server.host(), "Database=" + file,
                                   "User_Name=SYSDBA", "Password=" + password,
                                   "OpenMode=OpenOrCreate", "CharacterSet=UTF8"});
}

// Lets a stopped (frozen) process run again when the test ends, however it ends.
class ResumeGuard
{
public:
    explicit ResumeGuard(pid_t pid)
        : m_pid(pid)
    {}
    ~ResumeGuard() { ::kill(m_pid, SIGCONT); }
    ResumeGuard(const ResumeGuard &) = delete;
    ResumeGuard &operator=(const ResumeGuard &) = delete;

private:
    pid_t m_pid;
};

} // namespace

TEST(ServerConnection, AConnectionFileWithAServerReachesItAndCreatesTheDatabase)
{
    TempAppRoot root;
    WriteConnectionFile(root, DatabaseBackend::Server);
    TTevDataModule data(root.path());
    ASSERT_TRUE(data.Connected());
    EXPECT_EQ(data.Database()->param("Server"), FirebirdServer::shared().host());
    EXPECT_TRUE(QFileInfo::exists(root.file("DB/Tevora.fdb")));
    // The attachment is a network one, served by the server process, not the embedded engine.
    const QStringList attachment =
        Column(data.Database()->database(),
               "select MON$REMOTE_PROTOCOL || ' ' || MON$SERVER_PID || ' ' || MON$REMOTE_ADDRESS "
               "from MON$ATTACHMENTS where MON$ATTACHMENT_ID = CURRENT_CONNECTION");
    ASSERT_EQ(attachment.size(), 1);
    EXPECT_TRUE(attachment.first().startsWith(
        QString("TCPv4 %1 127.0.0.1/").arg(FirebirdServer::shared().processId())))
        << attachment.first().toStdString();
}

TEST(ServerConnection, AWrongPasswordFailsClearlyAndCreatesNothing)
{
    TempFolder dir;
    TTevConnection c("WrongPassword");
    c.setParams(ServerParams(FirebirdServer::shared(), dir.file("new.fdb"), "not-it"));
    try {
        c.open();
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains("user name and password are not defined"))
            << e.message().toStdString();
    }
    EXPECT_FALSE(c.connected());
    EXPECT_FALSE(QFileInfo::exists(dir.file("new.fdb")));
}

TEST(ServerConnection, AnExistingDatabaseIsNeverReplacedByOpenOrCreate)
{
    TempFolder dir;
    const QString file = dir.file("kept.fdb");
    {
        TTevConnection c("First");
        c.setParams(ServerParams(FirebirdServer::shared(), file));
        c.open();
        QSqlQuery q(c.database());
        ASSERT_TRUE(q.exec("create table KEPT (N integer)"));
    }
    TTevConnection again("Again");
    again.setParams(ServerParams(FirebirdServer::shared(), file));
    again.open();
    EXPECT_EQ(Column(again.database(), "select count(*) from RDB$RELATIONS "
                                       "where RDB$RELATION_NAME = 'KEPT'"),
              QStringList{"1"});
}

TEST(ServerConnection, TestDBConnectionToAStoppedServerIsFalseWithinSeconds)
{
    TempAppRoot root;
    TTevDataModule data(root.path());
    ASSERT_TRUE(data.Connected());
    FirebirdServer server;
    server.start();
    const TStringList params = ServerParams(server, root.file("remote.fdb"));
    EXPECT_TRUE(data.TestDBConnection(params));

    // A server that does not run refuses the connection at once.
    server.kill();
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(data.TestDBConnection(params));
    EXPECT_LT(timer.elapsed(), 10000);

    // A server that runs but does not answer (stopped by a signal here) is given up after the
    // client's connect timeout, not the engine's default of three minutes.
    server.start();
    EXPECT_TRUE(data.TestDBConnection(params));
    ::kill(server.processId(), SIGSTOP);
    {
        ResumeGuard resume(server.processId());
        timer.restart();
        EXPECT_FALSE(data.TestDBConnection(params));
        EXPECT_LT(timer.elapsed(), 60000);
    }
    EXPECT_TRUE(data.Connected());
    EXPECT_EQ(data.Database()->param("Server"), "");
}
