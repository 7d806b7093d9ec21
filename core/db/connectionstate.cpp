#include "core/db/connectionstate.h"

#include <QSqlDriver>

namespace tev {

ConnectionState::ConnectionState(QObject *driver)
    : QObject(driver)
{}

void ConnectionState::setLost(bool lost)
{
    if (m_lost == lost)
        return;
    m_lost = lost;
    Q_EMIT lostChanged(lost);
}

ConnectionState *ConnectionState::of(const QSqlDatabase &db)
{
    QSqlDriver *driver = db.driver();
    if (!db.isValid() || !driver)
        return nullptr;
    if (auto *state = driver->findChild<ConnectionState *>(QString(), Qt::FindDirectChildrenOnly))
        return state;
    return new ConnectionState(driver);
}

} // namespace tev
