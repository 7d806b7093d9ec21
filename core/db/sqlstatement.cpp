#include "core/db/sqlstatement.h"

#include "platform/error.h"

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
    auto fail = [&]() {
        return Error(QStringLiteral("%1\n(%2)")
                         .arg(SqlErrorText(query), sql.section(QLatin1Char('\n'), 0, 0)));
    };
    if (!query.prepare(sql))
        throw fail();
    for (const auto &[name, value] : bindings)
        query.bindValue(QLatin1Char(':') + name, value);
    if (!query.exec())
        throw fail();
    return query;
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
