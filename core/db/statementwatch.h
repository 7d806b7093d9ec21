#pragma once

#include <QSqlDatabase>
#include <QtGlobal>

namespace tev {

// Bounds the time one call of the Firebird client (a statement, a fetch, a commit, a detach)
// may block the thread that makes it.
//
// Firebird waits for a conflicting transaction until it ends, and Qt's driver starts every
// transaction with the engine's default parameters, which cannot carry a lock timeout. So a
// watchdog thread cancels a call that runs longer than the connection's lock-wait limit
// (ConnectionState::lockWaitSeconds), through the client library's cancel call on the
// connection's handle; the call then fails and the caller reports why.
//
// A server that does not answer at all (stopped, or its machine unreachable without the network
// telling) never sees that cancel. So a call on a server connection that is still blocked
// AbortGraceSeconds after the cancel has its attachment aborted on the client side, which needs
// no answer from the server: the call fails at once, the connection counts as lost, and the next
// operation opens it again. The server rolls back what the aborted attachment left open.
//
// The watchdog thread is the one thread the program starts for the database, and it only ever
// cancels or aborts: statements stay on the thread that runs them, which is the main thread.
//
// A call that legitimately runs longer than the limit is cancelled too; the limit is far above
// what one call of the program takes.
class StatementWatch
{
public:
    // How long after the cancel a call on a server connection may still block before its
    // attachment is aborted: enough for a busy server to answer the cancel.
    static constexpr int AbortGraceSeconds = 5;

    // Starts watching a call about to be made on db; nothing for other drivers than Firebird,
    // for a connection that is not open, and for a lock-wait limit of 0.
    explicit StatementWatch(const QSqlDatabase &db);
    ~StatementWatch();
    StatementWatch(const StatementWatch &) = delete;
    StatementWatch &operator=(const StatementWatch &) = delete;

    // Ends the watch once the call has returned; true when the watchdog cancelled or aborted it.
    bool finish();

private:
    quint64 m_id = 0;
    bool m_fired = false;
};

} // namespace tev
