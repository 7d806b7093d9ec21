#include "core/db/dbtransaction.h"

#include "core/db/databaseerror.h"
#include "core/db/statementwatch.h"
#include "core/db/tevconnection.h"

#include <QLoggingCategory>

namespace tev {

namespace {

Q_LOGGING_CATEGORY(lcTransaction, "tevora.data.transaction")

bool Begin(QSqlDatabase &db, bool &timedOut)
{
    StatementWatch watch(db);
    const bool ok = db.transaction();
    timedOut = watch.finish();
    return ok;
}

} // namespace

DbTransaction::DbTransaction(TTevConnection &connection)
{
    connection.recover();
    m_db = connection.database();
    m_state = ConnectionState::of(m_db);
    if (m_state && m_state->transactionDepth() > 0) {
        m_state->enterTransaction();
        return;
    }
    bool timedOut = false;
    if (!Begin(m_db, timedOut)) {
        const DatabaseError error = StatementError(
            m_db, m_db.lastError(), QStringLiteral("Cannot start a transaction"), timedOut);
        if (error.failure() != DatabaseFailure::ConnectionLost || !error.retryable())
            throw error;
        connection.recover();
        m_db = connection.database();
        m_state = ConnectionState::of(m_db);
        if (!Begin(m_db, timedOut))
            throw StatementError(m_db, m_db.lastError(),
                                 QStringLiteral("Cannot start a transaction"), timedOut);
    }
    m_outermost = true;
    if (m_state)
        m_state->enterTransaction();
}

DbTransaction::~DbTransaction()
{
    if (m_outermost && !m_done) {
        StatementWatch watch(m_db);
        if (!m_db.rollback())
            qCWarning(lcTransaction) << "Rollback failed:" << m_db.lastError().text();
    }
    if (m_state)
        m_state->leaveTransaction();
}

void DbTransaction::commit()
{
    if (!m_outermost || m_done)
        return;
    m_done = true;
    StatementWatch watch(m_db);
    const bool ok = m_db.commit();
    const bool timedOut = watch.finish();
    if (!ok)
        throw StatementError(m_db, m_db.lastError(), QStringLiteral("Cannot commit"), timedOut);
}

} // namespace tev
