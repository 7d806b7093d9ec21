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
    DatabaseError(DatabaseFailure failure, const QString &message, bool retryable = true)
        : Error(message)
        , m_failure(failure)
        , m_retryable(retryable)
    {}
    DatabaseFailure failure() const noexcept { return m_failure; }
    // For a lost connection: whether work that changed nothing yet may be tried once more at
    // once on the connection opened again. Not when the server did not answer or the connection
    // could not be opened again: that would only wait and fail again.
    bool retryable() const noexcept { return m_retryable; }

private:
    DatabaseFailure m_failure;
    bool m_retryable;
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
