#include "core/db/worksession.h"

#include "core/db/dbtransaction.h"
#include "core/db/firebirdsession.h"
#include "core/db/tevconnection.h"

namespace tev {

WorkSession::WorkSession(TTevConnection &connection, SqlTrace trace, WorkSession *&running)
    : m_running(running)
{
    if (m_running) {
        m_outer = m_running;
        m_session = &m_outer->session();
        return;
    }
    m_client = FirebirdSession::begin(connection, trace);
    if (m_client) {
        m_session = m_client.get();
    } else {
        m_transaction = std::make_unique<DbTransaction>(connection);
        m_driver = std::make_unique<QtSqlSession>(connection.database(), std::move(trace));
        m_session = m_driver.get();
    }
    m_running = this;
}

WorkSession::~WorkSession()
{
    if (m_outer)
        return;
    m_running = nullptr;
    // The statements go before the transaction they ran in.
    m_driver.reset();
    m_client.reset();
}

void WorkSession::commit()
{
    if (m_outer)
        return;
    if (m_client)
        m_client->commit();
    else
        m_transaction->commit();
}

} // namespace tev
