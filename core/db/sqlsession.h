#pragma once

#include "core/db/sqlstatement.h"
#include "platform/dataset/field.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <memory>
#include <vector>

namespace tev {

// One column of a fetched result: its name as the database gives it, the field type it reads as,
// and for text its length.
struct SqlColumn
{
    QString name;
    FieldType type;
    int size;
};

// A result fetched fully into memory; values are null (invalid), int, double or QString.
struct SqlRows
{
    std::vector<SqlColumn> columns;
    std::vector<std::vector<QVariant>> rows;
};

// A statement prepared once and run many times with positional values ("?").
class PreparedSql
{
public:
    virtual ~PreparedSql() = default;
    // A null value is bound as a null of the type (some drivers need one).
    virtual void bind(int position, const QVariant &value, FieldType type) = 0;
    // Throws DatabaseError naming the statement by its first line.
    virtual void execute() = 0;
    // Lets the driver release what the last run holds.
    virtual void finish() {}
};

// Where the statements of one piece of work run: Qt's driver on a connection (QtSqlSession), or a
// transaction of the Firebird client on the connection's own attachment (FirebirdSession).
// Statements name their parameters ":NAME"; every statement text goes to the trace before it
// runs.
class SqlSession
{
public:
    virtual ~SqlSession() = default;
    // Runs a SELECT and fetches every row.
    virtual SqlRows select(const QString &sql, const SqlBindings &bindings = {}) = 0;
    // Runs a statement without a result.
    virtual void run(const QString &sql, const SqlBindings &bindings = {}) = 0;
    // The statement prepared on first use and kept for the life of the session; not traced.
    virtual PreparedSql &prepared(const QString &sql) = 0;
};

// Statements through Qt's driver, in whatever transaction runs on the connection.
class QtSqlSession : public SqlSession
{
public:
    explicit QtSqlSession(QSqlDatabase db, SqlTrace trace = {});
    ~QtSqlSession() override;

    SqlRows select(const QString &sql, const SqlBindings &bindings = {}) override;
    void run(const QString &sql, const SqlBindings &bindings = {}) override;
    PreparedSql &prepared(const QString &sql) override;

private:
    class Statement;

    QSqlDatabase m_db;
    SqlTrace m_trace;
    QHash<QString, std::shared_ptr<Statement>> m_statements;
};

} // namespace tev
