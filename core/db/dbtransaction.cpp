#include "core/db/dbtransaction.h"

#include "core/db/databaseerror.h"
#include "core/db/tevconnection.h"

#include <QLoggingCategory>

namespace tev {

namespace {

Q_LOGGING_CATEGORY(lcTransaction, "tevora.data.transaction")

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
    if (!m_db.transaction()) {
        const DatabaseError error =
            StatementError(m_db, m_db.lastError(), QStringLiteral("Cannot start a transaction"));
        if (error.failure() != DatabaseFailure::ConnectionLost)
            throw error;
        connection.recover();
        m_db = connection.database();
        m_state = ConnectionState::of(m_db);
        if (!m_db.transaction())
            throw StatementError(m_db, m_db.lastError(),
                                 QStringLiteral("Cannot start a transaction"));
    }
    m_outermost = true;
    if (m_state)
        m_state->enterTransaction();
}

DbTransaction::~DbTransaction()
{
    if (m_outermost && !m_done && !m_db.rollback())
        qCWarning(lcTransaction) << "Rollback failed:" << m_db.lastError().text();
    if (m_state)
        m_state->leaveTransaction();
}

void DbTransaction::commit()
{
    if (!m_outermost || m_done)
        return;
    m_done = true;
    if (!m_db.commit())
        throw StatementError(m_db, m_db.lastError(), QStringLiteral("Cannot commit"));
}

} // namespace tev
