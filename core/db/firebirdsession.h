#pragma once

#include "core/db/sqlsession.h"

#include <QPointer>

namespace tev {

class ConnectionState;
class TTevConnection;

// A transaction of the Firebird client on the attachment of one of Qt's Firebird connections,
// with the statements that run in it. It exists for the work where Qt's driver costs more than
// the database: Qt's driver rebuilds its state for every run of a prepared statement (it closes a
// cursor that an INSERT never opened, and formats the error that this gives). Here a statement
// is prepared once per transaction and each run only binds its values and executes.
//
// The transaction is the engine's default (concurrency, wait for locks, read-write), as Qt's
// driver starts it, and it counts as one of ours on the connection (ConnectionState), so nothing
// opens the connection again while it runs. Each statement runs under a StatementWatch, and a
// failure throws the same DatabaseError as through Qt's driver. The transaction is rolled back
// unless committed.
//
// Values: integers, doubles and texts; a text BLOB is written as its UTF-8 bytes, as Qt's driver
// writes it. Columns of other types (dates, times) are read as the engine's text of them and
// cannot be written here.
class FirebirdSession : public SqlSession
{
public:
    // Whether db is an open Firebird connection on which no transaction of ours runs: only then
    // can the client start one of its own beside Qt's driver.
    static bool available(const QSqlDatabase &db);

    // Opens a connection found lost again and starts a session on it; nullptr when the client
    // cannot run one there (not Firebird, or a transaction of ours runs). A start that finds the
    // connection gone only now is tried once more on a connection opened again.
    static std::unique_ptr<FirebirdSession> begin(TTevConnection &connection, SqlTrace trace = {});

    // Starts the transaction; throws DatabaseError when it cannot.
    FirebirdSession(QSqlDatabase db, SqlTrace trace = {});
    ~FirebirdSession() override;
    FirebirdSession(const FirebirdSession &) = delete;
    FirebirdSession &operator=(const FirebirdSession &) = delete;

    SqlRows select(const QString &sql, const SqlBindings &bindings = {}) override;
    void run(const QString &sql, const SqlBindings &bindings = {}) override;
    PreparedSql &prepared(const QString &sql) override;

    // Throws DatabaseError when the commit fails; the transaction is then rolled back.
    void commit();

private:
    class Statement;

    std::unique_ptr<Statement> prepareNamed(const QString &sql, const SqlBindings &bindings);
    void end(bool commit);

    QSqlDatabase m_db;
    SqlTrace m_trace;
    QPointer<ConnectionState> m_state;
    // isc_db_handle and isc_tr_handle
    unsigned int m_attachment = 0;
    unsigned int m_transaction = 0;
    QHash<QString, std::shared_ptr<Statement>> m_statements;
};

} // namespace tev
