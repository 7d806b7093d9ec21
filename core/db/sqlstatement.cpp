#include "core/db/sqlstatement.h"

#include "core/db/databaseerror.h"
#include "core/db/statementwatch.h"

#include <QSqlError>

namespace tev {

QString SqlErrorText(const QSqlQuery &query)
{
    const QSqlError error = query.lastError();
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    return text;
}

namespace {

QSqlQuery Prepare(const QSqlDatabase &db, const QString &sql, const SqlBindings &bindings,
                  const SqlTrace &trace, bool forwardOnly)
{
    if (trace)
        trace(sql);
    QSqlQuery query(db);
    query.setForwardOnly(forwardOnly);
    StatementWatch watch(db);
    const bool ok = query.prepare(sql);
    const bool timedOut = watch.finish();
    if (!ok)
        throw StatementError(db, query.lastError(), sql, timedOut);
    for (const auto &[name, value] : bindings)
        query.bindValue(QLatin1Char(':') + name, value);
    return query;
}

} // namespace

QSqlQuery RunSql(const QSqlDatabase &db, const QString &sql, const SqlBindings &bindings,
                 const SqlTrace &trace)
{
    QSqlQuery query = Prepare(db, sql, bindings, trace, true);
    ExecPrepared(db, query, sql);
    return query;
}

QSqlQuery RunSqlFetched(const QSqlDatabase &db, const QString &sql, const SqlBindings &bindings,
                        const SqlTrace &trace)
{
    QSqlQuery query = Prepare(db, sql, bindings, trace, false);
    ExecPrepared(db, query, sql);
    if (!query.isSelect())
        return query;
    StatementWatch watch(db);
    // The driver keeps the rows it fetched; the walk back to the start reads none again.
    query.last();
    const bool timedOut = watch.finish();
    if (query.lastError().isValid())
        throw StatementError(db, query.lastError(), sql, timedOut);
    query.seek(QSql::BeforeFirstRow);
    return query;
}

void ExecPrepared(const QSqlDatabase &db, QSqlQuery &query, const QString &context)
{
    StatementWatch watch(db);
    const bool ok = query.exec();
    const bool timedOut = watch.finish();
    if (!ok)
        throw StatementError(db, query.lastError(), context, timedOut);
}

QVariant TextValue(const QVariant &value)
{
    if (value.isNull())
        return QVariant();
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    return value;
}

} // namespace tev
