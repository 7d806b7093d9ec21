#include "core/db/databaseerror.h"

#include "core/db/connectionstate.h"
#include "core/db/statementwatch.h"

#include <QSqlDriver>
#include <QVariant>

#include <ibase.h>

namespace tev {

namespace {

// Firebird's SQL codes for an update conflict or deadlock, and for a duplicate key.
const QString SqlCodeConflict = QStringLiteral("-913");
const QString SqlCodeDuplicateKey = QStringLiteral("-803");

QString EngineText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    return text;
}

// Whether a Firebird connection still reaches its server: one small request on its handle. A
// server that went away fails it at once.
bool FirebirdConnectionAlive(const QSqlDatabase &db)
{
    const QVariant value = db.driver()->handle();
    if (!value.isValid() || value.metaType() != QMetaType::fromType<isc_db_handle>())
        return true; // nothing to ask
    isc_db_handle handle = *static_cast<const isc_db_handle *>(value.constData());
    if (handle == 0)
        return false;
    const char items[] = {isc_info_attachment_id, isc_info_end};
    char buffer[32];
    ISC_STATUS_ARRAY status{};
    StatementWatch watch(db);
    return isc_database_info(status, &handle, short(sizeof items), items, short(sizeof buffer),
                             buffer) == 0;
}

// nativeCode: Firebird's SQL code as text; empty for other drivers.
DatabaseError MakeError(const QSqlDatabase &db, QString engineText, const QString &nativeCode,
                        const QString &context, bool timedOut)
{
    if (engineText.isEmpty() && !db.isOpen())
        engineText = QStringLiteral("The database is not connected.");
    const QString details =
        QStringLiteral("%1\n(%2)").arg(engineText, context.section(QLatin1Char('\n'), 0, 0));
    const bool firebird = db.driverName() == QLatin1String("QIBASE");
    // A connection closed on purpose is not lost: it stays closed.
    if (firebird && db.isOpen() && !FirebirdConnectionAlive(db)) {
        ConnectionState *state = ConnectionState::of(db);
        // A connection found dead after the watch stepped in is one whose server did not answer:
        // the watch gave up its attachment.
        const QString why = timedOut
                                ? QStringLiteral(": the server did not answer within %1 seconds")
                                      .arg((state ? state->lockWaitSeconds()
                                                  : ConnectionState::DefaultLockWaitSeconds) +
                                           StatementWatch::AbortGraceSeconds)
                                : QString();
        if (state)
            state->setLost(true);
        return DatabaseError(
            DatabaseFailure::ConnectionLost,
            QStringLiteral("The connection to the database was lost%1. What was being saved may "
                           "not have been stored; nothing in memory is lost, and the next "
                           "database operation connects again.\n")
                    .arg(why) +
                details,
            !timedOut);
    }
    // What the failure leaves stored: a transaction of ours is rolled back whole; a statement on
    // its own stores nothing, but the statements before it stay.
    const ConnectionState *state = ConnectionState::of(db);
    const QString stored = state && state->transactionDepth() > 0
                               ? QStringLiteral("Nothing of this write was stored")
                               : QStringLiteral("This step stored nothing; the steps before it "
                                                "stay stored");
    if (timedOut) {
        return DatabaseError(
            DatabaseFailure::LockTimeout,
            QStringLiteral("The database waited more than %1 seconds for data that another "
                           "user's change holds, and gave up. %2; try again.\n")
                    .arg(state ? state->lockWaitSeconds() : ConnectionState::DefaultLockWaitSeconds)
                    .arg(stored) +
                details);
    }
    if (firebird && nativeCode == SqlCodeConflict)
        return DatabaseError(DatabaseFailure::Conflict,
                             QStringLiteral("Another user changed the same data at the same "
                                            "time. %1.\n")
                                     .arg(stored) +
                                 details);
    if (firebird && nativeCode == SqlCodeDuplicateKey)
        return DatabaseError(DatabaseFailure::DuplicateKey, details);
    return DatabaseError(DatabaseFailure::Other, details);
}

} // namespace

DatabaseError StatementError(const QSqlDatabase &db, const QSqlError &error, const QString &context,
                             bool timedOut)
{
    return MakeError(db, EngineText(error), error.nativeErrorCode(), context, timedOut);
}

DatabaseError FirebirdStatementError(const QSqlDatabase &db, const std::intptr_t *status,
                                     const QString &context, bool timedOut)
{
    static_assert(sizeof(ISC_STATUS) == sizeof(std::intptr_t));
    const auto *vector = reinterpret_cast<const ISC_STATUS *>(status);
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS *cursor = vector;
    while (fb_interpret(buffer, sizeof buffer, &cursor) > 0)
        lines << QString::fromUtf8(buffer);
    const QString code = QString::number(isc_sqlcode(vector));
    return MakeError(db, lines.join(QLatin1Char(' ')).trimmed(), code, context, timedOut);
}

} // namespace tev
