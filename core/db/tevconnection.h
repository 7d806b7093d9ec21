#pragma once

#include "platform/text/tstringlist.h"
#include <QObject>
#include <QSqlDatabase>

#include <QStringList>
#include <memory>

namespace tev {

class EmbeddedUseMarker;

// One named database connection with a name=value parameter list:
//   DriverId      "FB" (embedded Firebird through Qt's QIBASE) or "MSSQL" (SQL Server through
//                 QODBC); key names compare without regard to case, so DriverID is the same line
//   Server        empty for an embedded Firebird file; the SQL Server host, "host,port" or
//                 "host\instance"
//   Database      the Firebird file, or the SQL Server database name
//   User_Name, Password (plain text in memory)
//   OpenMode      "OpenOrCreate" creates a missing Firebird file
//   CharacterSet  "UTF8"; Qt's Firebird driver always talks UTF8
//   ODBCDriver    optional: the installed ODBC driver for SQL Server, "FreeTDS" when missing
//
// The Qt connection is registered under the connection's name while the object lives, and is
// removed with it.
class TTevConnection : public QObject
{
    Q_OBJECT

public:
    explicit TTevConnection(const QString &connectionName, QObject *parent = nullptr);
    ~TTevConnection() override;

    const QString &connectionName() const { return m_name; }

    TStringList &params() { return m_params; }
    const TStringList &params() const { return m_params; }
    void setParams(const TStringList &params) { m_params = params; }
    // The value of the line with that name (without regard to case); empty when there is none.
    QString param(const QString &name) const;
    // Replaces the value of the line with that name, or appends a line; an empty value is kept.
    void setParam(const QString &name, const QString &value);

    QString driverId() const { return param(QStringLiteral("DriverId")); }

    // The private Firebird folder; the client library is pointed at it before its first call.
    void setVendorHome(const QString &vendorHome) { m_vendorHome = vendorHome; }
    const QString &vendorHome() const { return m_vendorHome; }

    // Open, and not found lost by a statement.
    bool connected() const;
    // Opens with the current parameters; throws tev::Error with the driver's message. Opening an
    // open connection does nothing.
    void open();
    void close();
    // Why the last open failed, in the engine's words where it gave some ("Your user name and
    // password are not defined..."); empty once an open succeeded.
    const QString &openFailure() const { return m_openFailure; }

    // Whether a statement found the connection to the server gone and it has not been opened
    // again since (see ConnectionState).
    bool lost() const;
    // Opens a lost connection again, before an operation; nothing when it is not lost. Throws
    // DatabaseError (ConnectionLost) while the server cannot be reached, and while a transaction
    // of ours still runs on it: that one has to end first.
    void recover();

    // How long one statement may wait for rows that another user's transaction holds.
    int lockWaitSeconds() const { return m_lockWaitSeconds; }
    void setLockWaitSeconds(int seconds);

    // The Qt connection for queries; valid while the object lives.
    QSqlDatabase database() const;

    // Seconds the SQL Server driver waits for a login before it gives up.
    static constexpr int LoginTimeoutSeconds = 5;

Q_SIGNALS:
    void afterConnect();
    // Also when a statement found the connection lost: it is disconnected from then on.
    void afterDisconnect();

private:
    void openDriver();
    void openFirebird(QSqlDatabase &db);
    void openSqlServer(QSqlDatabase &db);
    void closeConnection();
    void stateLostChanged(bool lost);

    QString m_name;
    TStringList m_params;
    QString m_qtDriver;
    QString m_vendorHome;
    int m_lockWaitSeconds;
    QString m_openFailure;
    // Set when a lost connection was closed: until it opens again, operations try to open it.
    bool m_reopen = false;
    // Held while an embedded database file is open (see BeginEmbeddedUse).
    std::unique_ptr<EmbeddedUseMarker> m_useMarker;
};

// The ODBC connection string for SQL Server from a parameter list.
QString OdbcConnectionString(const TStringList &params);

} // namespace tev
