#pragma once

#include "core/db/connectionstate.h"

#include <QPointer>
#include <QSqlDatabase>

namespace tev {

class TTevConnection;

// A transaction of our own on a connection, rolled back unless committed. Inside one that runs
// already it joins it: only the outermost begins, commits and rolls back.
//
// Beginning opens a connection found lost again first. A begin that finds the connection gone
// only now is tried once more on a connection opened again: nothing has been done in it yet. A
// server that did not answer is not waited for a second time.
class DbTransaction
{
public:
    explicit DbTransaction(TTevConnection &connection);
    ~DbTransaction();
    DbTransaction(const DbTransaction &) = delete;
    DbTransaction &operator=(const DbTransaction &) = delete;

    // Throws DatabaseError when the commit fails; the transaction is over either way.
    void commit();

private:
    QSqlDatabase m_db;
    QPointer<ConnectionState> m_state;
    bool m_outermost = false;
    bool m_done = false;
};

} // namespace tev
