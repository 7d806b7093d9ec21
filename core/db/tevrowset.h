#pragma once

#include "core/db/sqlsession.h"
#include "platform/dataset/dataset.h"

#include <QHash>
#include <QSqlDatabase>
#include <QStringList>
#include <memory>
#include <vector>

namespace tev {

// A database result fetched fully into memory, with the record interface of the in-memory
// dataset, so that the routines written for datasets (copying and merging field values) work on
// database rows too.
//
// Design: the rows are read at open and the connection is free afterwards (Firebird's driver
// wants every SELECT finished before the next statement). A row set that names its table and
// primary key is updatable: posting an edited row runs an UPDATE of the columns whose value
// changed, keyed by the row's original key values, and posting an appended row runs an INSERT of
// the columns that were given a value, so that the others take their defaults. Statements are
// prepared once per column list and reused for the life of the row set (or of the session it
// runs in); a row set must therefore not outlive the transaction it was opened in.
//
// A failed post throws tev::Error and leaves the row set editing, with the edit buffer intact.
class TTevRowSet : public DataSet
{
public:
    // Read-only when table is empty.
    TTevRowSet(QSqlDatabase db, QString table = {}, QStringList keyFields = {},
               SqlTrace trace = {});
    // A row set whose statements run in a session that outlives it.
    TTevRowSet(SqlSession &session, QString table = {}, QStringList keyFields = {},
               SqlTrace trace = {});
    ~TTevRowSet() override;
    TTevRowSet(const TTevRowSet &) = delete;
    TTevRowSet &operator=(const TTevRowSet &) = delete;

    // Runs the SELECT and fetches every row; the cursor stands on the first.
    void open(const QString &sql, const SqlBindings &bindings = {});
    void close();

    // DataSet
    bool active() const override { return m_active; }
    DataSetState state() const override { return m_state; }
    int fieldCount() const override { return int(m_fields.size()); }
    Field &field(int index) const override;
    Field *findField(const QString &name) const override;
    void first() override;
    void next() override;
    void prior() override;
    void last() override;
    bool bof() const override { return m_bof; }
    bool eof() const override { return m_eof; }
    int recordCount() const override { return int(m_rows.size()); }
    void edit() override;
    void append() override;
    void post() override;
    void cancel() override;
    void deleteRecord() override;
    void disableControls() override { ++m_disableCount; }
    void enableControls() override { --m_disableCount; }
    bool controlsDisabled() const override { return m_disableCount > 0; }

    // The position of the current row (0-based; -1 when empty), and a move to a position. Rows
    // keep their positions until one is deleted; an appended row goes last.
    int recNo() const { return m_cursor; }
    void setRecNo(int position);

    // Goes to the first row whose field equals the value; the cursor stays when none does.
    bool locate(const QString &fieldName, const QVariant &value);

private:
    class RowField;
    using Row = std::vector<QVariant>;

    void checkActive() const;
    void checkUpdatable() const;
    void checkBrowse();
    const Row *currentRow() const;
    QVariant value(int column) const;
    void setValue(int column, const QVariant &value);
    PreparedSql &statement(const QString &sql);
    void runUpdate();
    void runInsert();

    std::unique_ptr<SqlSession> m_ownSession;
    SqlSession *m_session;
    QString m_table;
    QStringList m_keyFields;
    std::vector<int> m_keyColumns;
    SqlTrace m_trace;

    std::vector<std::unique_ptr<RowField>> m_fields;
    QHash<QString, int> m_fieldIndex; // by upper-case name
    std::vector<Row> m_rows;
    int m_cursor = -1;
    bool m_bof = true;
    bool m_eof = true;
    bool m_active = false;
    DataSetState m_state = DataSetState::Inactive;
    Row m_buffer;
    std::vector<bool> m_assigned;
    int m_disableCount = 0;
};

} // namespace tev
