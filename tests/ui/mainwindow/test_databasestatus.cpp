// The database status line and LED of the main window on a real Firebird server: they show the
// connection's true state, lost when an operation found the server gone and connected again
// after the next operation reconnected, and the engine's reason when the start could not
// connect.

#include "mainwindowfixture.h"

#include "core/db/connectionfile.h"
#include "core/db/databaseerror.h"
#include "platform/ini/tinifile.h"
#include "support/app/firebirdserver.h"
#include "ui/mainwindow/ledshape.h"

#include <QDir>
#include <QPlainTextEdit>

namespace tev::test {
namespace {

const QColor Green(0, 0x80, 0);
const QColor Red(0xAF, 0x15, 0x1B);

class DatabaseStatus : public MainWindowTest
{
protected:
    // Points the connection file at a database of the server, as tevora_dbconfig does.
    void connectTo(const FirebirdServer &server, const QString &password)
    {
        QDir().mkpath(m_env.file("DB"));
        TIniFile ini(ConnectionFileName(m_env.rootDir()));
        WriteDefaultConnectionSection(ini, m_env.rootDir());
        WriteConnectionSection(ini,
                               TStringList(QStringList{"DriverId=FB", "Server=" + server.host(),
                                                       "Database=" + database(), "User_Name=SYSDBA",
                                                       "Password=" + password}));
    }
    QString database() const { return m_env.file("DB/Shared.fdb"); }
    QString status() { return child<QLabel>("LDatabaseStatus")->text(); }
    QColor led() { return child<TLedShape>("LEDDatabase")->brushColor(); }

    // Runs a statement on the SQL page, as a user in service mode does.
    void runSql(TTevMainForm &w)
    {
        child<QPlainTextEdit>("MemoSQL")->setPlainText(QStringLiteral("select count(*) from DB"));
        w.BtnExecSQLClick();
    }
};

TEST_F(DatabaseStatus, ShowsTheConnectionLostByAnOperationAndConnectedAgainAfterTheNext)
{
    FirebirdServer server;
    server.start();
    connectTo(server, FirebirdServer::password());
    TTevMainForm &w = start();
    EXPECT_EQ(status(), QStringLiteral("Database: %1 (connected)").arg(database()));
    EXPECT_EQ(led(), Green);
    runSql(w);

    server.kill();
    // Nothing has asked the server yet: the window cannot know.
    EXPECT_EQ(status(), QStringLiteral("Database: %1 (connected)").arg(database()));
    try {
        runSql(w);
        ADD_FAILURE() << "no error";
    } catch (const DatabaseError &e) {
        EXPECT_EQ(e.failure(), DatabaseFailure::ConnectionLost);
    }
    EXPECT_EQ(status(), QStringLiteral("Database: %1 (connection lost)").arg(database()));
    EXPECT_EQ(led(), Red);
    EXPECT_EQ(child<QLabel>("LDatabaseStatus")->toolTip(), status());

    // While the server is away, an operation that tries again leaves it lost.
    EXPECT_THROW(runSql(w), DatabaseError);
    EXPECT_EQ(status(), QStringLiteral("Database: %1 (connection lost)").arg(database()));

    server.start();
    runSql(w);
    EXPECT_EQ(status(), QStringLiteral("Database: %1 (connected)").arg(database()));
    EXPECT_EQ(led(), Green);
    // The window writes its settings to the database as it closes, while the server runs.
    stop();
}

TEST_F(DatabaseStatus, AWrongPasswordAtStartShowsTheEnginesReason)
{
    connectTo(FirebirdServer::shared(), QStringLiteral("not-the-password"));
    start();
    EXPECT_EQ(status(), QStringLiteral("Database: %1 (not connected: Your user name and password "
                                       "are not defined. Ask your database administrator to set "
                                       "up a Firebird login.)")
                            .arg(database()));
    EXPECT_EQ(led(), Red);
}

} // namespace
} // namespace tev::test
