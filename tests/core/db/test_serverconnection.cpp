// The connection to a real Firebird server on 127.0.0.1: what the connection file names is what is
// reached, and a server that is gone or does not answer is a bounded, clear failure.

#include "catalogue.h"
#include "core/db/databaseerror.h"
#include "core/db/passwordscrambler.h"
#include "core/db/statementwatch.h"
#include "core/db/tevdatamodule.h"
#include "core/project/projectdatasets.h"
#include "platform/dataset/memdataset.h"
#include "platform/error.h"
#include "support/app/databasebackend.h"
#include "support/app/firebirdserver.h"
#include "support/app/firebirdtestenv.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>

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
    // The engine's reason alone, for the status line and the connection test.
    const QString reason = "Your user name and password are not defined. Ask your database "
                           "administrator to set up a Firebird login.";
    EXPECT_EQ(c.openFailure(), reason);

    TempAppRoot root;
    TTevDataModule data(root.path());
    QString tested;
    EXPECT_FALSE(data.TestDBConnection(
        ServerParams(FirebirdServer::shared(), dir.file("new.fdb"), "not-it"), &tested));
    EXPECT_EQ(tested, reason);
    EXPECT_TRUE(data.TestDBConnection(ServerParams(FirebirdServer::shared(), dir.file("new.fdb")),
                                      &tested));
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

namespace {

// A module on a database of a server of the test's own, which the test stops and starts, with a
// saved project of five characteristics in memory.
class LostServer : public ::testing::Test
{
protected:
    LostServer()
    {
        m_server.start();
        WriteServerConnectionFile(m_root, m_server, m_root.file("DB/Tevora.fdb"));
        m_data = std::make_unique<TTevDataModule>(m_root.path());
        EXPECT_TRUE(m_data->Connected());
        m_data->UpgradeDatabase(TProductVersion{1, 0, 0, 0});
        CreateProjectDataSet(m_header);
        CreateCharDataSet(m_chars);
        m_header.append();
        m_header.fieldByName("PROJECTNAME").setAsString("P");
        m_header.fieldByName("FILENAME").setAsString(File);
        m_header.post();
        for (int i = 1; i <= 5; ++i) {
            m_chars.append();
            m_chars.fieldByName("CHARID").setAsInteger(i);
            m_chars.fieldByName("LABEL").setAsString(QString("L%1").arg(i));
            m_chars.fieldByName("FEATURE").setAsString(QString("F%1").arg(i));
            m_chars.fieldByName("NOMINAL").setAsFloat(1);
            m_chars.post();
        }
        save();
    }

    void save() { m_data->WriteProject(File, m_header, m_chars, TTevDBUpdateMode::dbumSaveAll); }
    void setNominals(double value)
    {
        for (m_chars.first(); !m_chars.eof(); m_chars.next()) {
            m_chars.edit();
            m_chars.fieldByName("NOMINAL").setAsFloat(value);
            m_chars.fieldByName("STATE").setAsInteger(8);
            m_chars.post();
        }
    }
    QStringList records()
    {
        QStringList result;
        for (m_chars.first(); !m_chars.eof(); m_chars.next())
            result << m_chars.fieldByName("NOMINAL").asString() + "/" +
                          m_chars.fieldByName("STATE").asString();
        return result;
    }
    QStringList stored() const
    {
        return Column(m_data->Database()->database(),
                      "select distinct cast(NOMINAL as integer) from CHARACTERISTICS");
    }

    static inline const QString File = QStringLiteral("work/p.seq");
    FirebirdServer m_server;
    TempAppRoot m_root;
    std::unique_ptr<TTevDataModule> m_data;
    MemDataSet m_header;
    MemDataSet m_chars;
};

} // namespace

TEST_F(LostServer, ALostConnectionIsReportedAndTheNextOperationConnectsAgain)
{
    QSignalSpy connected(m_data.get(), &TTevDataModule::AfterConnect);
    m_server.kill();
    setNominals(2);
    const QStringList mine = records();
    try {
        save();
        FAIL() << "no error";
    } catch (const DatabaseError &e) {
        EXPECT_EQ(e.failure(), DatabaseFailure::ConnectionLost);
        EXPECT_TRUE(e.message().startsWith("The connection to the database was lost"))
            << e.message().toStdString();
    }
    EXPECT_FALSE(m_data->Connected());
    EXPECT_EQ(records(), mine);
    // While the server is away, every operation says so.
    QString name;
    EXPECT_THROW(m_data->ProjectExists(File, name), DatabaseError);

    m_server.start();
    EXPECT_TRUE(m_data->ProjectExists(File, name));
    EXPECT_TRUE(m_data->Connected());
    EXPECT_GE(connected.count(), 1);
    EXPECT_EQ(stored(), QStringList{"1"});
    save();
    EXPECT_EQ(stored(), QStringList{"2"});
}

TEST_F(LostServer, AnIdleConnectionSurvivesARestartOfTheServer)
{
    // Reading after a restart opens the connection again on its own: the read changed nothing.
    m_server.kill();
    m_server.start();
    QString name;
    EXPECT_TRUE(m_data->ProjectExists(File, name));
    EXPECT_EQ(name, "P");

    // So does a save, whose transaction had not begun.
    m_server.kill();
    m_server.start();
    setNominals(3);
    save();
    EXPECT_EQ(stored(), QStringList{"3"});

    // And the settings, which are skipped only while never connected.
    m_server.kill();
    m_server.start();
    m_data->WriteSystemSettings(TStringList(QStringList{"Lang=7"}));
    TStringList settings;
    m_data->ReadSystemSettings(settings);
    EXPECT_EQ(settings.ToStringList(), QStringList{"Lang=7"});
}

// A server that stops answering (its process stopped by a signal, as a hung server would) while
// a statement waits on it: the statement ends once the lock-wait limit and the grace after it
// have passed, as a lost connection that says so, the records in memory stay as they were, and
// once the server answers again the next operation connects again. Each kind of call: the save
// through the Firebird client's own transaction, a query and a row set through Qt's driver.
TEST_F(LostServer, AFrozenServerEndsEachKindOfStatementAndTheNextOperationConnectsAgain)
{
    constexpr int LockWait = 1;
    const int limitMs = (LockWait + StatementWatch::AbortGraceSeconds) * 1000;
    struct Operation
    {
        const char *name;
        std::function<void()> run;
    };
    QString name;
    MemDataSet header;
    MemDataSet chars;
    CreateProjectDataSet(header);
    CreateCharDataSet(chars);
    const std::vector<Operation> operations{
        {"save", [&] { save(); }},
        {"query", [&] { EXPECT_TRUE(m_data->ProjectExists(File, name)); }},
        {"row set", [&] { EXPECT_TRUE(m_data->ReadProject(File, header, chars)); }},
    };
    int value = 10;
    for (const Operation &operation : operations) {
        SCOPED_TRACE(operation.name);
        m_data->Database()->setLockWaitSeconds(LockWait);
        QSignalSpy disconnected(m_data.get(), &TTevDataModule::AfterDisconnect);
        setNominals(++value);
        const QStringList mine = records();
        m_server.freeze();
        QElapsedTimer timer;
        timer.start();
        try {
            operation.run();
            ADD_FAILURE() << "no error";
        } catch (const DatabaseError &e) {
            EXPECT_EQ(e.failure(), DatabaseFailure::ConnectionLost);
            EXPECT_FALSE(e.retryable());
            EXPECT_TRUE(e.message().startsWith(
                QString("The connection to the database was lost: the server did not answer "
                        "within %1 seconds. ")
                    .arg(LockWait + StatementWatch::AbortGraceSeconds)))
                << e.message().toStdString();
        }
        const qint64 elapsed = timer.elapsed();
        // Ended while the server still does not answer: not long after the limit.
        EXPECT_GE(elapsed, LockWait * 1000);
        EXPECT_LT(elapsed, limitMs + 10000);
        std::cout << "[ figures  ] frozen server, " << operation.name << ": ended after " << elapsed
                  << " ms (limit " << LockWait << " s + grace " << StatementWatch::AbortGraceSeconds
                  << " s)" << std::endl;
        EXPECT_FALSE(m_data->Connected());
        EXPECT_TRUE(m_data->Database()->lost());
        EXPECT_EQ(disconnected.count(), 1);
        EXPECT_EQ(records(), mine);

        m_server.resume();
        operation.run();
        EXPECT_TRUE(m_data->Connected());
        save();
        EXPECT_EQ(stored(), QStringList{QString::number(value)});
    }

    // An operation while the server still does not answer tries to connect once, and gives up
    // after the client's connect timeout (the program's firebird.conf), without creating anything.
    m_server.freeze();
    EXPECT_THROW(m_data->ProjectExists(File, name), DatabaseError);
    QElapsedTimer timer;
    timer.start();
    try {
        m_data->ProjectExists(File, name);
        ADD_FAILURE() << "no error";
    } catch (const DatabaseError &e) {
        EXPECT_EQ(e.failure(), DatabaseFailure::ConnectionLost);
        EXPECT_FALSE(e.retryable());
        EXPECT_TRUE(e.message().startsWith("The connection to the database was lost and cannot "
                                           "be opened again yet."))
            << e.message().toStdString();
    }
    const qint64 elapsed = timer.elapsed();
    EXPECT_LT(elapsed, 40000);
    std::cout << "[ figures  ] frozen server, connecting again: gave up after " << elapsed << " ms"
              << std::endl;
    EXPECT_TRUE(m_data->Database()->lost());
    m_server.resume();
    EXPECT_TRUE(m_data->ProjectExists(File, name));
    EXPECT_TRUE(m_data->Connected());
}
