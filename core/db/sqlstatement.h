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

// Prepares, binds and runs one statement; a failure throws DatabaseError with the database's
// message and the statement's first line. A statement that waits too long for another user's
// transaction is cancelled (StatementWatch). The query is left positioned before its first row.
QSqlQuery RunSql(const QSqlDatabase &db, const QString &sql, const SqlBindings &bindings = {},
                 const SqlTrace &trace = {});

// Runs as RunSql does and, for a statement that returns rows, fetches them all under the
// StatementWatch, so that the caller's walk over them never waits on the server. For the small
// results of the data module's own queries.
QSqlQuery RunSqlFetched(const QSqlDatabase &db, const QString &sql,
                        const SqlBindings &bindings = {}, const SqlTrace &trace = {});

// Runs a prepared query under a StatementWatch; a failure throws DatabaseError naming the
// context (the statement, or what it does) by its first line.
void ExecPrepared(const QSqlDatabase &db, QSqlQuery &query, const QString &context);

// The database's message for a failed query.
QString SqlErrorText(const QSqlQuery &query);

// Converts a value read from a text column: Firebird returns text BLOBs as UTF-8 bytes.
QVariant TextValue(const QVariant &value);

} // namespace tev
