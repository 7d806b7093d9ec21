#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>
#include <utility>
#include <vector>

namespace tev {

// Named parameter values for one statement, bound in order.
using SqlBindings = std::vector<std::pair<QString, QVariant>>;

// Receives the text of every statement the data module runs, before it runs.
using SqlTrace = std::function<void(const QString &sql)>;

// Prepares, binds and runs one statement; a failure throws tev::Error with the database's
// message and the statement's first line. The query is left positioned before its first row.
QSqlQuery RunSql(const QSqlDatabase &db, const QString &sql, const SqlBindings &bindings = {},
                 const SqlTrace &trace = {});

// The database's message for a failed query.
QString SqlErrorText(const QSqlQuery &query);

// Converts a value read from a text column: Firebird returns text BLOBs as UTF-8 bytes.
QVariant TextValue(const QVariant &value);

} // namespace tev
