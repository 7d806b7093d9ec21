#include "core/db/tevdatamodule.h"
#include "platform/error.h"
#include "support/app/firebirdtestenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTcpServer>
#include <gtest/gtest.h>

using namespace tev;
using tev::test::TempAppRoot;

namespace {

QStringList FileLines(const QString &fileName)
{
    QFile file(fileName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

void WriteFile(const QString &fileName, const QString &text)
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

quint16 ClosedPort()
{
    QTcpServer server;
    EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    return server.serverPort();
}

} // namespace

TEST(DataModule, FirstStartWritesTheConnectionFileAndCreatesTheDatabase)
{
    TempAppRoot root;
    const QString database = root.file("DB/Tevora.fdb");
    {
        TTevDataModule data(root.path());
        EXPECT_EQ(FileLines(root.file("Config/Config.ini")),
                  QStringList({"[Database]", "DriverId=FB", "Server=", "Database=" + database,
                               "User_Name=SYSDBA", "Password=BqSJx/blikOh", "OpenMode=OpenOrCreate",
                               "CharacterSet=UTF8"}));
        EXPECT_EQ(
            data.Database()->params().ToStringList(),
            QStringList({"DriverId=FB", "Server=", "Database=" + database, "User_Name=SYSDBA",
                         "Password=plumtrees", "OpenMode=OpenOrCreate", "CharacterSet=UTF8"}));
        ASSERT_TRUE(data.Connected());
        EXPECT_TRUE(QFileInfo::exists(database));
        QSqlQuery q(data.Database()->database());
        ASSERT_TRUE(q.exec("select CURRENT_USER from RDB$DATABASE"));
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toString().trimmed(), "SYSDBA");
    }
    // The write-back at destruction leaves a file that reads the same.
    EXPECT_EQ(FileLines(root.file("Config/Config.ini")).size(), 8);
    EXPECT_TRUE(FileLines(root.file("Config/Config.ini")).contains("Password=BqSJx/blikOh"));
}

TEST(DataModule, MissingConfigFolderEndsConstruction)
{
    TempAppRoot root;
    ASSERT_TRUE(QDir(root.file("Config")).removeRecursively());
    EXPECT_THROW(TTevDataModule data(root.path()), Error);
}

TEST(DataModule, SectionWithoutPasswordGivesAnEmptyOne)
{
    TempAppRoot root;
    WriteFile(root.file("Config/Config.ini"),
              "[Database]\nDriverId=FB\nDatabase=" + root.file("x.fdb") + "\n");
    TTevDataModule data(root.path());
    EXPECT_EQ(data.Database()->param("Password"), "");
    EXPECT_EQ(data.Database()->param("User_Name"), "SYSDBA");
    EXPECT_FALSE(FileLines(root.file("Config/Config.ini")).join('\n').contains("Password"));
    EXPECT_TRUE(data.Connected());
}

TEST(DataModule, HandEditedKeysSurviveAndTheOthersAreRewritten)
{
    TempAppRoot root;
    WriteFile(root.file("Config/Config.ini"),
              "; connection\n[Database]\nDriverId=FB\nServer=\nDatabase=" + root.file("a.fdb") +
                  "\nUser_Name=SYSDBA\nPassword=QC\nOpenMode=Open\nCharacterSet=WIN1252\n");
    {
        TTevDataModule data(root.path());
        EXPECT_FALSE(data.Connected()); // "Open" does not create the missing file
        EXPECT_EQ(data.Database()->param("Password"), "a");
        data.Database()->setParam("Database", root.file("b.fdb"));
        data.Database()->setParam("Password", QString::fromUtf8("ab\u00e4"));
    }
    const QStringList lines = FileLines(root.file("Config/Config.ini"));
    EXPECT_EQ(lines.first(), "; connection");
    EXPECT_TRUE(lines.contains("Database=" + root.file("b.fdb")));
    EXPECT_TRUE(lines.contains("OpenMode=Open"));
    EXPECT_TRUE(lines.contains("CharacterSet=WIN1252"));
    TTevDataModule again(root.path());
    EXPECT_EQ(again.Database()->param("Password"), QString::fromUtf8("ab\u00e4"));
}

TEST(DataModule, PasswordOutsideTheAnsiCodePageDoesNotComeBack)
{
    TempAppRoot root;
    {
        TTevDataModule data(root.path());
        data.Database()->setParam("Password", QString::fromUtf8("\u043f\u0430\u0440"));
    }
    TTevDataModule again(root.path());
    EXPECT_NE(again.Database()->param("Password"), QString::fromUtf8("\u043f\u0430\u0440"));
    EXPECT_EQ(again.Database()->param("Password"), "???");
}

TEST(DataModule, ReconnectFiresTheModulesEvents)
{
    TempAppRoot root;
    TTevDataModule data(root.path());
    ASSERT_TRUE(data.Connected());
    QSignalSpy connected(&data, &TTevDataModule::AfterConnect);
    QSignalSpy disconnected(&data, &TTevDataModule::AfterDisconnect);
    EXPECT_TRUE(data.Reconnect());
    ASSERT_EQ(disconnected.count(), 1);
    ASSERT_EQ(connected.count(), 1);
    EXPECT_EQ(connected.first().first().value<TTevDataModule *>(), &data);
    EXPECT_EQ(disconnected.first().first().value<TTevDataModule *>(), &data);

    data.Database()->setParam("DriverId", "MSSQL");
    data.Database()->setParam("Server", QString("127.0.0.1,%1").arg(ClosedPort()));
    EXPECT_FALSE(data.Reconnect());
    EXPECT_FALSE(data.Connected());
    EXPECT_EQ(disconnected.count(), 2);
    EXPECT_EQ(connected.count(), 1);
}

TEST(DataModule, TestDBConnectionLeavesTheModulesConnectionAlone)
{
    TempAppRoot root;
    TTevDataModule data(root.path());
    ASSERT_TRUE(data.Connected());
    QSignalSpy disconnected(&data, &TTevDataModule::AfterDisconnect);

    TStringList server(QStringList{"DriverID=MSSQL",
                                   QString("Server=127.0.0.1,%1").arg(ClosedPort()),
                                   "Database=Tevora", "User_Name=sa", "Password=secret"});
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(data.TestDBConnection(server));
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_TRUE(data.Connected());
    EXPECT_EQ(disconnected.count(), 0);

    TStringList other(QStringList{"DriverID=FB", "Server=", "Database=" + root.file("other.fdb"),
                                  "User_Name=SYSDBA", "Password=", "OpenMode=OpenOrCreate"});
    EXPECT_TRUE(data.TestDBConnection(other));
    EXPECT_TRUE(data.Connected());
    EXPECT_EQ(data.Database()->param("Database"), root.file("DB/Tevora.fdb"));
}

TEST(DataModule, UnreachableServerAtStartIsSwallowedAndAnotherOdbcDriverCanBeNamed)
{
    TempAppRoot root;
    WriteFile(root.file("Config/Config.ini"),
              QString("[Database]\nDriverId=MSSQL\nServer=127.0.0.1,%1\nDatabase=Tevora\n"
                      "User_Name=sa\nPassword=QC\nODBCDriver=FreeTDS\n")
                  .arg(ClosedPort()));
    QElapsedTimer timer;
    timer.start();
    TTevDataModule data(root.path());
    EXPECT_FALSE(data.Connected());
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(data.Database()->param("ODBCDriver"), "FreeTDS");
    EXPECT_EQ(data.Database()->params().Count(), 8);
    QStringList statements;
    data.SetSqlTrace([&](const QString &sql) { statements << sql; });
    data.UpgradeDatabase(TProductVersion{1, 0, 0, 0});
    EXPECT_TRUE(statements.isEmpty());
}
