#pragma once

#include <QObject>
#include <QSqlDatabase>

namespace tev {

// What the data module keeps about one open Qt connection beyond what Qt knows of it. It hangs
// on the connection's driver as a child object, so every statement that holds a QSqlDatabase
// reaches it, and it ends with the driver.
//
// - lost: a failed statement found the connection to the server gone. Qt's driver cannot tell;
//   the connection counts as disconnected and is opened again before the next operation.
// - transactionDepth: our own transactions running on it (DbTransaction); nested ones join the
//   outermost, and nothing reopens the connection while one runs.
// - lockWaitSeconds: how long one statement may wait for rows that another transaction holds.
class ConnectionState : public QObject
{
    Q_OBJECT

public:
    // A statement that waits longer than this for another user's transaction gives up. The
    // engine itself would wait until that transaction ends, which may be never.
    static constexpr int DefaultLockWaitSeconds = 20;

    // The state of the connection's driver, made on first use; nullptr for an invalid connection.
    static ConnectionState *of(const QSqlDatabase &db);

    bool lost() const { return m_lost; }
    // Emits lostChanged when the flag changes.
    void setLost(bool lost);
    int transactionDepth() const { return m_transactionDepth; }
    void enterTransaction() { ++m_transactionDepth; }
    void leaveTransaction() { --m_transactionDepth; }
    int lockWaitSeconds() const { return m_lockWaitSeconds; }
    void setLockWaitSeconds(int seconds) { m_lockWaitSeconds = seconds; }

Q_SIGNALS:
    void lostChanged(bool lost);

private:
    explicit ConnectionState(QObject *driver);

    bool m_lost = false;
    int m_transactionDepth = 0;
    int m_lockWaitSeconds = DefaultLockWaitSeconds;
};

} // namespace tev
