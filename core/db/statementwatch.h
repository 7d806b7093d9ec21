#pragma once

#include <QSqlDatabase>
#include <QtGlobal>

namespace tev {

// Bounds the time one statement may wait for rows that another transaction holds.
//
// Firebird waits for a conflicting transaction until it ends, and Qt's driver starts every
// transaction with the engine's default parameters, which cannot carry a lock timeout. So a
// watchdog thread cancels a statement that runs longer than the connection's lock-wait limit
// (ConnectionState::lockWaitSeconds), through the client library's cancel call on the
// connection's handle; the statement then fails and the caller reports why. Only the cancel
// itself runs on the watchdog thread; statements stay on the thread that runs them.
//
// A statement that legitimately runs longer than the limit is cancelled too; the limit is far
// above what one statement of the program takes.
class StatementWatch
{
public:
    // Starts watching a statement about to run on db; nothing for other drivers than Firebird.
    explicit StatementWatch(const QSqlDatabase &db);
    ~StatementWatch();
    StatementWatch(const StatementWatch &) = delete;
    StatementWatch &operator=(const StatementWatch &) = delete;

    // Ends the watch once the statement has returned; true when the watchdog cancelled it.
    bool finish();

private:
    quint64 m_id = 0;
    bool m_fired = false;
};

} // namespace tev
