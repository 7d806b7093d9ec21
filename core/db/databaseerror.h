#pragma once

#include "platform/error.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <cstdint>

namespace tev {

// Why a statement failed, where the user has to act differently.
enum class DatabaseFailure {
    Other,
    // Another user's transaction changed the same rows first: nothing of this change was stored.
    Conflict,
    // Another user's transaction held the rows longer than the lock-wait limit.
    LockTimeout,
    // The connection to the server is gone; the next operation opens it again.
    ConnectionLost,
    // A primary or unique key already exists.
    DuplicateKey,
};

// A failed database statement. Its message starts with what happened in words a user can act
// on, followed by the engine's own message and the statement's first line.
class DatabaseError : public Error
{
public:
    // timedOut: the statement watch stepped in (StatementWatch).
    DatabaseError(DatabaseFailure failure, const QString &message, bool timedOut = false)
        : Error(message)
        , m_failure(failure)
        , m_timedOut(timedOut)
    {}
    DatabaseFailure failure() const noexcept { return m_failure; }
    // A connection lost this way was given up because the server did not answer: trying the
    // statement again at once would only wait again.
    bool timedOut() const noexcept { return m_timedOut; }

private:
    DatabaseFailure m_failure;
    bool m_timedOut;
};

// The error for a statement (context: its first line, or what was being done) that failed on db
// with error. timedOut tells that the statement watch cancelled it. A Firebird connection is
// asked whether it still reaches its server; when it does not, it is marked lost
// (ConnectionState) so that the next operation opens it again.
DatabaseError StatementError(const QSqlDatabase &db, const QSqlError &error, const QString &context,
                             bool timedOut = false);

// The same for a statement that the Firebird client ran itself on db's attachment, from the
// client's status vector (ISC_STATUS).
DatabaseError FirebirdStatementError(const QSqlDatabase &db, const std::intptr_t *status,
                                     const QString &context, bool timedOut = false);

} // namespace tev
