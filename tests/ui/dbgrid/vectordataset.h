#pragma once

#include "platform/dataset/dataset.h"
#include "platform/error.h"

#include <memory>
#include <vector>

namespace tev::test {

// A plain dataset over a vector of rows, standing for a dataset other than MemDataSet (such as a
// database row set): a cursor, an edit buffer and no notifications. It counts cursor moves, so a
// test can see that a view left the cursor where it was.
class VectorDataSet : public DataSet
{
public:
    explicit VectorDataSet(const QStringList &names, std::vector<std::vector<QVariant>> rows)
        : m_rows(std::move(rows))
    {
        for (const QString &name : names)
            m_fields.push_back(std::make_unique<VectorField>(*this, name, int(m_fields.size())));
    }

    bool active() const override { return true; }
    DataSetState state() const override { return m_state; }
    int fieldCount() const override { return int(m_fields.size()); }
    Field &field(int index) const override { return *m_fields[size_t(index)]; }
    void first() override { Move(0); }
    void next() override
    {
        ++m_moves;
        m_bof = false;
        if (m_cursor + 1 < int(m_rows.size()))
            ++m_cursor;
        else
            m_eof = true;
    }
    void prior() override
    {
        ++m_moves;
        m_eof = false;
        if (m_cursor > 0)
            --m_cursor;
        else
            m_bof = true;
    }
    void last() override { Move(int(m_rows.size()) - 1); }
    bool bof() const override { return m_bof; }
    bool eof() const override { return m_eof; }
    int recordCount() const override { return int(m_rows.size()); }
    void edit() override
    {
        if (m_state == DataSetState::Browse) {
            m_buffer = m_rows[size_t(m_cursor)];
            m_state = DataSetState::Edit;
        }
    }
    void append() override { throw Error("append is not supported"); }
    void post() override
    {
        if (m_state == DataSetState::Edit)
            m_rows[size_t(m_cursor)] = m_buffer;
        m_state = DataSetState::Browse;
    }
    void cancel() override { m_state = DataSetState::Browse; }
    void deleteRecord() override { throw Error("delete is not supported"); }
    void disableControls() override { ++m_disabled; }
    void enableControls() override { --m_disabled; }
    bool controlsDisabled() const override { return m_disabled > 0; }
    std::vector<RecordKey> recordKeys() const override
    {
        std::vector<RecordKey> keys;
        for (size_t i = 0; i < m_rows.size(); ++i)
            keys.push_back(RecordKey(i));
        return keys;
    }
    std::optional<RecordKey> currentKey() const override
    {
        return m_rows.empty() ? std::nullopt : std::optional<RecordKey>(RecordKey(m_cursor));
    }
    void gotoKey(RecordKey key) override
    {
        post();
        Move(int(key));
    }

    int cursor() const { return m_cursor; }
    // Cursor moves since the start, so that a test sees that a view leaves the cursor alone.
    int moves() const { return m_moves; }
    std::vector<std::vector<QVariant>> &rows() { return m_rows; }

private:
    class VectorField : public Field
    {
    public:
        VectorField(VectorDataSet &owner, const QString &name, int index)
            : Field(name, FieldType::String, 40, false)
            , m_owner(owner)
            , m_index(size_t(index))
        {}
        DataSet &dataSet() const override { return m_owner; }
        QVariant value() const override
        {
            const int row = m_owner.m_readRow >= 0 ? m_owner.m_readRow : m_owner.m_cursor;
            if (m_owner.editing() && row == m_owner.m_cursor)
                return m_owner.m_buffer[m_index];
            return size_t(row) < m_owner.m_rows.size() ? m_owner.m_rows[size_t(row)][m_index]
                                                       : QVariant();
        }
        void setValue(const QVariant &value) override
        {
            m_owner.m_buffer[m_index] = convert(value);
        }

    private:
        VectorDataSet &m_owner;
        size_t m_index;
    };

    void beginRead(RecordKey key) override { m_readRow = int(key); }
    void endRead() override { m_readRow = -1; }

    void Move(int row)
    {
        ++m_moves;
        m_cursor = std::max(0, row);
        m_bof = m_eof = m_rows.empty();
    }

    std::vector<std::unique_ptr<VectorField>> m_fields;
    std::vector<std::vector<QVariant>> m_rows;
    std::vector<QVariant> m_buffer;
    DataSetState m_state = DataSetState::Browse;
    int m_cursor = 0;
    bool m_bof = false;
    bool m_eof = false;
    int m_disabled = 0;
    int m_readRow = -1;
    int m_moves = 0;
};

} // namespace tev::test
