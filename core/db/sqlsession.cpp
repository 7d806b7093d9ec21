#include "core/db/sqlsession.h"

#include "core/db/databaseerror.h"
#include "core/db/statementwatch.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

namespace tev {

namespace {

FieldType FieldTypeOf(const QSqlField &field)
{
    switch (field.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return FieldType::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return FieldType::Double;
    case QMetaType::QByteArray: // Firebird's text BLOB
        return FieldType::Memo;
    default:
        return FieldType::String;
    }
}

QVariant ReadValue(const QVariant &value, FieldType type)
{
    if (value.isNull())
        return QVariant();
    switch (type) {
    case FieldType::Integer:
        return value.toInt();
    case FieldType::Double:
        return value.toDouble();
    case FieldType::Memo:
        if (value.typeId() == QMetaType::QByteArray)
            return QString::fromUtf8(value.toByteArray());
        return value.toString();
    case FieldType::String:
        return value.toString();
    }
    return value;
}

// A value bound to a statement: null keeps a type, which ODBC needs.
QVariant BindValue(const QVariant &value, FieldType type)
{
    if (value.isValid())
        return value;
    switch (type) {
    case FieldType::Integer:
        return QVariant(QMetaType::fromType<int>());
    case FieldType::Double:
        return QVariant(QMetaType::fromType<double>());
    default:
        return QVariant(QMetaType::fromType<QString>());
    }
}

} // namespace

class QtSqlSession::Statement : public PreparedSql
{
public:
    Statement(const QSqlDatabase &db, const QString &sql)
        : m_db(db)
        , m_sql(sql)
        , m_query(db)
    {
        StatementWatch watch(db);
        const bool ok = m_query.prepare(sql);
        const bool timedOut = watch.finish();
        if (!ok)
            throw StatementError(db, m_query.lastError(), sql, timedOut);
    }
    void bind(int position, const QVariant &value, FieldType type) override
    {
        m_query.bindValue(position, BindValue(value, type));
    }
    void execute() override { ExecPrepared(m_db, m_query, m_sql); }
    void finish() override
    {
        StatementWatch watch(m_db);
        m_query.finish();
    }

private:
    QSqlDatabase m_db;
    QString m_sql;
    QSqlQuery m_query;
};

QtSqlSession::QtSqlSession(QSqlDatabase db, SqlTrace trace)
    : m_db(std::move(db))
    , m_trace(std::move(trace))
{}

QtSqlSession::~QtSqlSession() = default;

SqlRows QtSqlSession::select(const QString &sql, const SqlBindings &bindings)
{
    QSqlQuery query = RunSql(m_db, sql, bindings, m_trace);
    SqlRows result;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField f = record.field(i);
        const FieldType type = FieldTypeOf(f);
        result.columns.push_back({f.name(), type, type == FieldType::String ? int(f.length()) : 0});
    }
    const size_t count = result.columns.size();
    StatementWatch watch(m_db);
    while (query.next()) {
        std::vector<QVariant> row(count);
        for (size_t i = 0; i < count; ++i)
            row[i] = ReadValue(query.value(int(i)), result.columns[i].type);
        result.rows.push_back(std::move(row));
    }
    const bool timedOut = watch.finish();
    if (query.lastError().isValid())
        throw StatementError(m_db, query.lastError(), sql, timedOut);
    query.finish();
    return result;
}

void QtSqlSession::run(const QString &sql, const SqlBindings &bindings)
{
    RunSql(m_db, sql, bindings, m_trace);
}

PreparedSql &QtSqlSession::prepared(const QString &sql)
{
    auto &slot = m_statements[sql];
    if (!slot) {
        try {
            slot = std::make_shared<Statement>(m_db, sql);
        } catch (...) {
            m_statements.remove(sql);
            throw;
        }
    }
    return *slot;
}

} // namespace tev
