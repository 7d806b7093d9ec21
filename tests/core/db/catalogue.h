#pragma once

#include <QSqlDatabase>
#include <QStringList>

namespace tev::test {

// Readable descriptions from a Firebird catalogue, for comparing a schema with what it must be.

// The user tables, sorted.
QStringList FirebirdTables(const QSqlDatabase &db);
// "NAME type[(length)] [UTF8] [not null] [default x]" per column, in column order.
QStringList FirebirdColumns(const QSqlDatabase &db, const QString &table);
// "PK_NAME(COL1, COL2)" of the table's primary key; empty when it has none.
QString FirebirdPrimaryKey(const QSqlDatabase &db, const QString &table);
// The user triggers, sorted, as "NAME on TABLE".
QStringList FirebirdTriggers(const QSqlDatabase &db);
// The first column of every row of a query, as text.
QStringList Column(const QSqlDatabase &db, const QString &sql);

} // namespace tev::test
