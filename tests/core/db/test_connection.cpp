#include "core/db/firebirdembedded.h"
#include "core/db/tevconnection.h"
#include "platform/error.h"
#include "support/app/firebirdtestenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTcpServer>
#include <gtest/gtest.h>

using namespace tev;
using tev::test::TempFolder;

namespace {

TStringList FirebirdParams(const QString &file)
{
    return TStringList(QStringList{"DriverId=FB", "Server=", "Database=" + file, "User_Name=SYSDBA",
                                   "Password=plumtrees", "OpenMode=OpenOrCreate",
                                   "CharacterSet=UTF8"});
}

// A port on 127.0.0.1 that nothing listens on.
quint16 ClosedPort()
{
    QTcpServer server;
    EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    return server.serverPort();
}

} // namespace

TEST(Connection, ParamsMatchNamesWithoutCase)
{
    TTevConnection c("T1");
    c.setParams(TStringList(QStringList{"DriverID=FB", "Server=", "Password=a=b"}));
    EXPECT_EQ(c.driverId(), "FB");
    EXPECT_EQ(c.param("password"), "a=b");
    c.setParam("SERVER", "host");
    c.setParam("Database", "x.fdb");
    EXPECT_EQ(c.params().ToStringList(),
              QStringList({"DriverID=FB", "Server=host", "Password=a=b", "Database=x.fdb"}));
}

TEST(Connection, OpenOrCreateMakesTheFirebirdFileAndItsFolder)
{
    TempFolder dir;
    const QString file = dir.file("DB/Tevora.fdb");
    TTevConnection c("T2");
    c.setParams(FirebirdParams(file));
    QSignalSpy connected(&c, &TTevConnection::afterConnect);
    QSignalSpy disconnected(&c, &TTevConnection::afterDisconnect);
    c.open();
    EXPECT_TRUE(c.connected());
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(connected.count(), 1);
    {
        QSqlQuery q(c.database());
        ASSERT_TRUE(q.exec("select CURRENT_USER, RDB$CHARACTER_SET_NAME from RDB$DATABASE"));
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toString().trimmed(), "SYSDBA");
        EXPECT_EQ(q.value(1).toString().trimmed(), "UTF8");
    }
    c.close();
    EXPECT_FALSE(c.connected());
    EXPECT_EQ(disconnected.count(), 1);
    // The engine keeps its lock files in this process's own folder.
    EXPECT_TRUE(QDir(test::ProcessLockFolder()).exists());
    EXPECT_FALSE(QDir(test::BuildFirebirdFolder() + "/lock").exists());
}

TEST(Connection, OpenModeOtherThanOpenOrCreateDoesNotCreate)
{
    TempFolder dir;
    TStringList params = FirebirdParams(dir.file("missing.fdb"));
    params.SetValues("OpenMode", "Open");
    TTevConnection c("T3");
    c.setParams(params);
    QSignalSpy connected(&c, &TTevConnection::afterConnect);
    EXPECT_THROW(c.open(), Error);
    EXPECT_FALSE(c.connected());
    EXPECT_FALSE(QFileInfo::exists(dir.file("missing.fdb")));
    EXPECT_EQ(connected.count(), 0);
}

TEST(Connection, CreatingInAnUnwritablePlaceGivesTheEnginesMessage)
{
    TempFolder dir;
    QFile blocker(dir.file("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // A path below a plain file cannot become a folder.
    try {
        CreateFirebirdDatabase(dir.file("file/sub/x.fdb"), "SYSDBA");
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains("Cannot create the folder")) << e.message().toStdString();
    }
    // An existing file is not overwritten.
    try {
        CreateFirebirdDatabase(dir.file("file"), "SYSDBA");
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().startsWith("Cannot create the database"))
            << e.message().toStdString();
    }
}

TEST(Connection, UnknownDriverIsAClearError)
{
    TTevConnection c("T4");
    c.setParams(TStringList(QStringList{"DriverId=Oracle"}));
    try {
        c.open();
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_EQ(e.message(), "The database driver \"Oracle\" is not supported.");
    }
}

TEST(Connection, OdbcConnectionStringNamesTheDriver)
{
    EXPECT_EQ(OdbcConnectionString(
                  TStringList(QStringList{"DriverId=MSSQL", "Server=127.0.0.1,1433", "Database=Tev",
                                          "User_Name=sa", "Password=p;w"})),
              "DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=1433;DATABASE=Tev;UID=sa;PWD={p;w};"
              "TDS_Version=7.4;ClientCharset=UTF-8");
    EXPECT_EQ(OdbcConnectionString(TStringList(
                  QStringList{"DriverId=MSSQL", "Server=host,1433", "Database=Tev", "User_Name=sa",
                              "Password=pw", "ODBCDriver=ODBC Driver 18 for SQL Server"})),
              "DRIVER={ODBC Driver 18 for SQL Server};SERVER=host,1433;DATABASE=Tev;UID=sa;PWD=pw");
}

TEST(Connection, SqlServerOnAClosedPortFailsQuickly)
{
    TTevConnection c("T5");
    c.setParams(
        TStringList(QStringList{"DriverId=MSSQL", QString("Server=127.0.0.1,%1").arg(ClosedPort()),
                                "Database=Tevora", "User_Name=sa", "Password=x"}));
    QElapsedTimer timer;
    timer.start();
    EXPECT_THROW(c.open(), Error);
    EXPECT_FALSE(c.connected());
    EXPECT_LT(timer.elapsed(), (TTevConnection::LoginTimeoutSeconds + 2) * 1000);
}
