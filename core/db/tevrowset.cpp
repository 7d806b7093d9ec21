#include "core/db/tevrowset.h"

#include "core/db/databaseerror.h"
#include "platform/error.h"

namespace tev {

class TTevRowSet::RowField : public Field
{
public:
    RowField(TTevRowSet &owner, int column, const QString &name, FieldType type, int size)
        : Field(name, type, size, false)
        , m_owner(owner)
        , m_column(column)
    {}
    DataSet &dataSet() const override { return m_owner; }
    QVariant value() const override { return m_owner.value(m_column); }
    void setValue(const QVariant &value) override { m_owner.setValue(m_column, convert(value)); }

private:
    TTevRowSet &m_owner;
    int m_column;
};

TTevRowSet::TTevRowSet(QSqlDatabase db, QString table, QStringList keyFields, SqlTrace trace)
    : m_ownSession(std::make_unique<QtSqlSession>(std::move(db), trace))
    , m_session(m_ownSession.get())
    , m_table(std::move(table))
    , m_keyFields(std::move(keyFields))
    , m_trace(std::move(trace))
{}

TTevRowSet::TTevRowSet(SqlSession &session, QString table, QStringList keyFields, SqlTrace trace)
    : m_session(&session)
    , m_table(std::move(table))
    , m_keyFields(std::move(keyFields))
    , m_trace(std::move(trace))
{}

TTevRowSet::~TTevRowSet() = default;

void TTevRowSet::open(const QString &sql, const SqlBindings &bindings)
{
    close();
    SqlRows result = m_session->select(sql, bindings);
    for (size_t i = 0; i < result.columns.size(); ++i) {
        const SqlColumn &c = result.columns[i];
        m_fields.push_back(std::make_unique<RowField>(*this, int(i), c.name.toUpper(), c.type,
                                                      c.type == FieldType::String ? c.size : 0));
        // The first of two columns of one name is the one found, as by a search.
        if (!m_fieldIndex.contains(m_fields.back()->fieldName()))
            m_fieldIndex.insert(m_fields.back()->fieldName(), int(i));
    }
    m_rows = std::move(result.rows);
    for (const QString &key : m_keyFields) {
        const Field *f = findField(key);
        if (!f)
            throw Error(
                QStringLiteral("The key field %1 is not in the result of %2.").arg(key, m_table));
        for (size_t i = 0; i < m_fields.size(); ++i)
            if (m_fields[i].get() == f)
                m_keyColumns.push_back(int(i));
    }
    m_active = true;
    m_state = DataSetState::Browse;
    first();
}

void TTevRowSet::close()
{
    m_fields.clear();
    m_fieldIndex.clear();
    m_rows.clear();
    m_keyColumns.clear();
    m_buffer.clear();
    m_assigned.clear();
    m_cursor = -1;
    m_bof = m_eof = true;
    m_active = false;
    m_state = DataSetState::Inactive;
}

void TTevRowSet::checkActive() const
{
    if (!m_active)
        throw Error(QStringLiteral("The result set is not open."));
}

void TTevRowSet::checkUpdatable() const
{
    checkActive();
    if (m_table.isEmpty() || m_keyColumns.empty())
        throw Error(QStringLiteral("The result set cannot be changed."));
}

void TTevRowSet::checkBrowse()
{
    checkActive();
    if (editing())
        post();
}

Field &TTevRowSet::field(int index) const
{
    if (index < 0 || index >= fieldCount())
        throw Error(QStringLiteral("Field index %1 out of range").arg(index));
    return *m_fields[size_t(index)];
}

Field *TTevRowSet::findField(const QString &name) const
{
    auto it = m_fieldIndex.constFind(name);
    if (it == m_fieldIndex.cend())
        it = m_fieldIndex.constFind(name.toUpper());
    return it == m_fieldIndex.cend() ? nullptr : m_fields[size_t(*it)].get();
}

const TTevRowSet::Row *TTevRowSet::currentRow() const
{
    if (m_cursor < 0 || m_cursor >= int(m_rows.size()))
        return nullptr;
    return &m_rows[size_t(m_cursor)];
}

QVariant TTevRowSet::value(int column) const
{
    if (editing())
        return m_buffer[size_t(column)];
    const Row *row = currentRow();
    return row ? (*row)[size_t(column)] : QVariant();
}

void TTevRowSet::setValue(int column, const QVariant &value)
{
    if (!editing())
        throw Error(QStringLiteral("The result set is not in edit or insert mode."));
    m_buffer[size_t(column)] = value;
    m_assigned[size_t(column)] = true;
}

void TTevRowSet::first()
{
    checkBrowse();
    m_cursor = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
}

void TTevRowSet::last()
{
    checkBrowse();
    m_cursor = int(m_rows.size()) - 1;
    m_eof = true;
    m_bof = m_rows.empty();
}

void TTevRowSet::next()
{
    checkBrowse();
    if (m_cursor + 1 < int(m_rows.size())) {
        ++m_cursor;
        m_bof = false;
    } else {
        m_eof = true;
    }
}

void TTevRowSet::prior()
{
    checkBrowse();
    if (m_cursor > 0) {
        --m_cursor;
        m_eof = false;
    } else {
        m_bof = true;
    }
}

void TTevRowSet::setRecNo(int position)
{
    checkBrowse();
    if (position < 0 || position >= int(m_rows.size()))
        throw Error(QStringLiteral("Row %1 out of range").arg(position));
    m_cursor = position;
    m_bof = m_eof = false;
}

bool TTevRowSet::locate(const QString &fieldName, const QVariant &value)
{
    checkBrowse();
    Field &f = fieldByName(fieldName);
    const QVariant wanted = f.convert(value);
    const int saved = m_cursor;
    for (int i = 0; i < int(m_rows.size()); ++i) {
        m_cursor = i;
        if (f.value() == wanted) {
            m_bof = m_eof = false;
            return true;
        }
    }
    m_cursor = saved;
    return false;
}

void TTevRowSet::edit()
{
    checkUpdatable();
    if (editing())
        return;
    if (m_rows.empty()) {
        append();
        return;
    }
    m_buffer = *currentRow();
    m_assigned.assign(m_fields.size(), false);
    m_state = DataSetState::Edit;
}

void TTevRowSet::append()
{
    checkUpdatable();
    if (editing())
        post();
    m_buffer.assign(m_fields.size(), QVariant());
    m_assigned.assign(m_fields.size(), false);
    m_state = DataSetState::Insert;
}

void TTevRowSet::post()
{
    checkActive();
    if (m_state == DataSetState::Edit) {
        runUpdate();
        m_rows[size_t(m_cursor)] = m_buffer;
    } else if (m_state == DataSetState::Insert) {
        runInsert();
        m_rows.push_back(m_buffer);
        m_cursor = int(m_rows.size()) - 1;
        m_bof = m_eof = false;
    } else {
        return;
    }
    m_state = DataSetState::Browse;
}

void TTevRowSet::cancel()
{
    if (editing())
        m_state = DataSetState::Browse;
}

PreparedSql &TTevRowSet::statement(const QString &sql)
{
    return m_session->prepared(sql);
}

void TTevRowSet::runUpdate()
{
    const Row &original = *currentRow();
    QStringList sets;
    std::vector<int> changed;
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (m_assigned[i] && m_buffer[i] != original[i]) {
            sets << m_fields[i]->fieldName() + QStringLiteral(" = ?");
            changed.push_back(int(i));
        }
    }
    if (changed.empty())
        return;
    QStringList where;
    for (int k : m_keyColumns)
        where << m_fields[size_t(k)]->fieldName() + QStringLiteral(" = ?");
    const QString sql =
        QStringLiteral("update %1\nset %2\nwhere %3")
            .arg(m_table, sets.join(QStringLiteral(", ")), where.join(QStringLiteral(" and ")));
    if (m_trace)
        m_trace(sql);
    PreparedSql &query = statement(sql);
    int position = 0;
    for (int i : changed)
        query.bind(position++, m_buffer[size_t(i)], m_fields[size_t(i)]->dataType());
    for (int k : m_keyColumns)
        query.bind(position++, original[size_t(k)], m_fields[size_t(k)]->dataType());
    query.execute();
    query.finish();
}

void TTevRowSet::runInsert()
{
    QStringList columns;
    std::vector<int> given;
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (m_assigned[i]) {
            columns << m_fields[i]->fieldName();
            given.push_back(int(i));
        }
    }
    QString sql;
    if (given.empty()) {
        sql = QStringLiteral("insert into %1 default values").arg(m_table);
    } else {
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        sql =
            QStringLiteral("insert into %1\n  (%2)\nvalues\n  (%3)")
                .arg(m_table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    }
    if (m_trace)
        m_trace(sql);
    PreparedSql &query = statement(sql);
    int position = 0;
    for (int i : given)
        query.bind(position++, m_buffer[size_t(i)], m_fields[size_t(i)]->dataType());
    query.execute();
    // Columns left to their defaults stay null in memory until the result is read again.
}

void TTevRowSet::deleteRecord()
{
    checkUpdatable();
    if (editing())
        cancel();
    const Row *row = currentRow();
    if (!row)
        throw Error(QStringLiteral("The result set is empty."));
    QStringList where;
    for (int k : m_keyColumns)
        where << m_fields[size_t(k)]->fieldName() + QStringLiteral(" = ?");
    const QString sql = QStringLiteral("delete from %1\nwhere %2")
                            .arg(m_table, where.join(QStringLiteral(" and ")));
    if (m_trace)
        m_trace(sql);
    PreparedSql &query = statement(sql);
    int position = 0;
    for (int k : m_keyColumns)
        query.bind(position++, (*row)[size_t(k)], m_fields[size_t(k)]->dataType());
    query.execute();
    m_rows.erase(m_rows.begin() + m_cursor);
    if (m_cursor >= int(m_rows.size()))
        m_cursor = int(m_rows.size()) - 1;
    m_bof = m_cursor <= 0;
    m_eof = m_rows.empty();
}

} // namespace tev
