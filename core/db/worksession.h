#pragma once

#include "core/db/sqlsession.h"

#include <memory>

namespace tev {

class DbTransaction;
class FirebirdSession;
class QtSqlSession;
class TTevConnection;

// The transaction of one piece of database work and the session its statements run in.
//
// On Firebird, unless a transaction of ours runs already, it is a transaction of the client's
// own on the connection's attachment: the work reads and writes thousands of rows, and Qt's
// driver costs more per row than the engine. Otherwise it goes through Qt's driver in a
// transaction of ours, joining one that runs. Work started while another WorkSession runs on the
// same slot joins that one instead: its statements run in the outer session and commit with it,
// so that writes made inside a larger piece of work (a propagation) never wait for it.
class WorkSession
{
public:
    // running: where the outermost WorkSession of the connection stands while it runs.
    WorkSession(TTevConnection &connection, SqlTrace trace, WorkSession *&running);
    ~WorkSession();
    WorkSession(const WorkSession &) = delete;
    WorkSession &operator=(const WorkSession &) = delete;

    SqlSession &session() { return *m_session; }
    // Whether this work joined an outer one, which commits it.
    bool joined() const { return m_outer != nullptr; }
    // Commits, unless joined; throws DatabaseError when the commit fails.
    void commit();

private:
    WorkSession *&m_running;
    WorkSession *m_outer = nullptr;
    std::unique_ptr<FirebirdSession> m_client;
    std::unique_ptr<DbTransaction> m_transaction;
    std::unique_ptr<QtSqlSession> m_driver;
    SqlSession *m_session = nullptr;
};

} // namespace tev
