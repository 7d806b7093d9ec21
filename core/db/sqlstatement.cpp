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

QSqlQuery RunSql(const QSqlDatabase &db, const QString &sql, const SqlBindings &bindings,
                 const SqlTrace &trace)
{
    if (trace)
        trace(sql);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw StatementError(db, query.lastError(), sql);
    for (const auto &[name, value] : bindings)
        query.bindValue(QLatin1Char(':') + name, value);
    ExecPrepared(db, query, sql);
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
