#include "core/db/tevconnection.h"

#include "core/db/connectionstate.h"
#include "core/db/databaseerror.h"
#include "core/db/embeddedusemarker.h"
#include "core/db/firebirdembedded.h"
#include "core/db/statementwatch.h"
#include "platform/error.h"

#include <QFileInfo>
#include <QSignalBlocker>
#include <QSqlError>

namespace tev {

namespace {

QString OdbcValue(const QString &value)
{
    // Braces let a value hold ';' and '='; a closing brace is doubled inside them.
    if (value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('{')) ||
        value.contains(QLatin1Char('}')) || value.contains(QLatin1Char('=')))
        return QLatin1Char('{') + QString(value).replace(QLatin1Char('}'), QStringLiteral("}}")) +
               QLatin1Char('}');
    return value;
}

// Firebird's SQL code when a server rejected a connection or did not answer it in time.
const QString SqlCodeConnectionRejected = QStringLiteral("-923");

QString DriverErrorText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    return text;
}

} // namespace

QString OdbcConnectionString(const TStringList &params)
{
    QString driver = params.Values(QStringLiteral("ODBCDriver"));
    if (driver.isEmpty())
        driver = QStringLiteral("FreeTDS");
    const bool freeTds = driver.compare(QLatin1String("FreeTDS"), Qt::CaseInsensitive) == 0;

    QString server = params.Values(QStringLiteral("Server"));
    QString port;
    const qsizetype comma = server.indexOf(QLatin1Char(','));
    if (freeTds && comma >= 0) {
        // FreeTDS takes the port as its own key; Microsoft's drivers read "host,port".
        port = server.mid(comma + 1).trimmed();
        server = server.left(comma).trimmed();
    }

    QStringList parts;
    parts << QStringLiteral("DRIVER={%1}").arg(driver);
    parts << QStringLiteral("SERVER=") + OdbcValue(server);
    if (!port.isEmpty())
        parts << QStringLiteral("PORT=") + OdbcValue(port);
    parts << QStringLiteral("DATABASE=") + OdbcValue(params.Values(QStringLiteral("Database")));
    parts << QStringLiteral("UID=") + OdbcValue(params.Values(QStringLiteral("User_Name")));
    parts << QStringLiteral("PWD=") + OdbcValue(params.Values(QStringLiteral("Password")));
    if (freeTds)
        parts << QStringLiteral("TDS_Version=7.4") << QStringLiteral("ClientCharset=UTF-8");
    return parts.join(QLatin1Char(';'));
}

TTevConnection::TTevConnection(const QString &connectionName, QObject *parent)
    : QObject(parent)
    , m_name(connectionName)
    , m_lockWaitSeconds(ConnectionState::DefaultLockWaitSeconds)
{}

TTevConnection::~TTevConnection()
{
    if (QSqlDatabase::contains(m_name)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            StatementWatch watch(db);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
}

QString TTevConnection::param(const QString &name) const
{
    return m_params.Values(name);
}

void TTevConnection::setParam(const QString &name, const QString &value)
{
    const int i = m_params.IndexOfName(name);
    if (i < 0)
        m_params.Add(name + QLatin1Char('=') + value);
    else
        m_params.SetStrings(i, m_params.Names(i) + QLatin1Char('=') + value);
}

bool TTevConnection::connected() const
{
    if (m_reopen || !QSqlDatabase::contains(m_name))
        return false;
    const QSqlDatabase db = QSqlDatabase::database(m_name, false);
    const ConnectionState *state = ConnectionState::of(db);
    return db.isOpen() && !(state && state->lost());
}

bool TTevConnection::lost() const
{
    if (m_reopen)
        return true;
    if (!QSqlDatabase::contains(m_name))
        return false;
    const ConnectionState *state = ConnectionState::of(QSqlDatabase::database(m_name, false));
    return state && state->lost();
}

void TTevConnection::setLockWaitSeconds(int seconds)
{
    m_lockWaitSeconds = seconds;
    if (!QSqlDatabase::contains(m_name))
        return;
    if (ConnectionState *state = ConnectionState::of(database()))
        state->setLockWaitSeconds(seconds);
}

void TTevConnection::recover()
{
    if (!lost())
        return;
    const ConnectionState *state = ConnectionState::of(database());
    if (state && state->transactionDepth() > 0)
        throw DatabaseError(DatabaseFailure::ConnectionLost,
                            QStringLiteral("The connection to the database was lost during a "
                                           "transaction."),
                            false);
    // What is left of the old connection goes first; Qt's driver cannot tell that it is dead.
    closeConnection();
    m_reopen = true;
    try {
        open();
    } catch (const Error &e) {
        throw DatabaseError(DatabaseFailure::ConnectionLost,
                            QStringLiteral("The connection to the database was lost and cannot "
                                           "be opened again yet. Nothing in memory is lost; the "
                                           "next database operation tries again.\n") +
                                e.message(),
                            false);
    }
}

QSqlDatabase TTevConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

void TTevConnection::open()
{
    if (connected())
        return;
    if (lost())
        closeConnection();
    m_openFailure.clear();
    try {
        openDriver();
    } catch (const Error &e) {
        if (m_openFailure.isEmpty())
            m_openFailure = e.message();
        throw;
    }
    m_openFailure.clear();
    m_reopen = false;
    if (ConnectionState *state = ConnectionState::of(database())) {
        state->setLost(false);
        state->setLockWaitSeconds(m_lockWaitSeconds);
        connect(state, &ConnectionState::lostChanged, this, &TTevConnection::stateLostChanged,
                Qt::UniqueConnection);
    }
    Q_EMIT afterConnect();
}

void TTevConnection::stateLostChanged(bool lost)
{
    if (lost)
        Q_EMIT afterDisconnect();
}

void TTevConnection::openDriver()
{
    const QString driverId = this->driverId();
    QString qtDriver;
    if (driverId == QLatin1String("FB"))
        qtDriver = QStringLiteral("QIBASE");
    else if (driverId == QLatin1String("MSSQL"))
        qtDriver = QStringLiteral("QODBC");
    else
        throw Error(QStringLiteral("The database driver \"%1\" is not supported.").arg(driverId));

    if (QSqlDatabase::contains(m_name) && m_qtDriver != qtDriver) {
        QSqlDatabase::removeDatabase(m_name);
    }
    if (!QSqlDatabase::contains(m_name)) {
        QSqlDatabase::addDatabase(qtDriver, m_name);
        m_qtDriver = qtDriver;
    }
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    if (!db.isValid())
        throw Error(QStringLiteral("The Qt database driver %1 is not available.").arg(qtDriver));
    if (qtDriver == QLatin1String("QIBASE"))
        openFirebird(db);
    else
        openSqlServer(db);
}

void TTevConnection::openFirebird(QSqlDatabase &db)
{
    const QString server = param(QStringLiteral("Server"));
    const QString fileName = param(QStringLiteral("Database"));
    const QString user = param(QStringLiteral("User_Name"));
    if (fileName.isEmpty())
        throw Error(QStringLiteral("No database file is given."));
    if (!m_vendorHome.isEmpty())
        PrepareFirebirdEnvironment(m_vendorHome);
    const bool openOrCreate = param(QStringLiteral("OpenMode"))
                                  .compare(QLatin1String("OpenOrCreate"), Qt::CaseInsensitive) == 0;
    const QString password = param(QStringLiteral("Password"));
    if (server.isEmpty() && openOrCreate && !QFileInfo::exists(fileName))
        CreateFirebirdDatabase(fileName, user);
    if (server.isEmpty())
        m_useMarker = BeginEmbeddedUse(fileName, user);
    db.setHostName(server);
    db.setDatabaseName(fileName);
    db.setUserName(user);
    db.setPassword(password);
    if (db.open())
        return;
    m_openFailure = DriverErrorText(db.lastError());
    m_useMarker.reset();
    const Error openError(
        QStringLiteral("Cannot open the database \"%1\": %2")
            .arg(server.isEmpty() ? fileName : server + QLatin1Char(':') + fileName,
                 m_openFailure));
    // A connection opened again had its file a moment ago, and a server that rejected the
    // connection (or did not answer it) would keep a create waiting just as long.
    if (server.isEmpty() || !openOrCreate || m_reopen ||
        db.lastError().nativeErrorCode() == SqlCodeConnectionRejected)
        throw openError;
    // Whether the file exists shows only on the server's machine. A create never replaces an
    // existing file, so when it fails too the open's error is the one to report.
    try {
        CreateFirebirdDatabase(fileName, user, server, password);
    } catch (const Error &) {
        throw openError;
    }
    if (!db.open()) {
        m_openFailure = DriverErrorText(db.lastError());
        throw Error(QStringLiteral("Cannot open the new database \"%1\": %2")
                        .arg(server + QLatin1Char(':') + fileName, m_openFailure));
    }
}

void TTevConnection::openSqlServer(QSqlDatabase &db)
{
    db.setDatabaseName(OdbcConnectionString(m_params));
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1;SQL_ATTR_CONNECTION_TIMEOUT=%1")
                             .arg(LoginTimeoutSeconds));
    if (!db.open()) {
        m_openFailure = DriverErrorText(db.lastError());
        throw Error(QStringLiteral("Cannot connect to the SQL Server \"%1\": %2")
                        .arg(param(QStringLiteral("Server")), m_openFailure));
    }
}

void TTevConnection::close()
{
    m_reopen = false;
    closeConnection();
}

void TTevConnection::closeConnection()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    QSqlDatabase db = database();
    if (!db.isOpen())
        return;
    ConnectionState *state = ConnectionState::of(db);
    // A lost connection was announced as disconnected when it was found lost.
    const bool wasLost = state && state->lost();
    {
        // A lost connection's detach fails; the driver forgets the handle all the same. A server
        // that does not answer has the attachment aborted by the watch.
        StatementWatch watch(db);
        db.close();
    }
    m_useMarker.reset();
    if (state) {
        const QSignalBlocker quiet(state);
        state->setLost(false);
    }
    if (!wasLost)
        Q_EMIT afterDisconnect();
}

} // namespace tev
