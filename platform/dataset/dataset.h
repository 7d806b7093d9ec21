#pragma once

// The record and field interface of Tevora's data layer.
//
// DataSet is what the routines that work on "a dataset" need, whatever holds the rows: a cursor
// over records (first, next, prior, last, Bof, Eof), the state of the current record (browse,
// edit, insert) with an edit buffer that reads see, and the record's fields by position or name.
// The in-memory dataset (MemDataSet) implements it, and so do the database row sets, which fetch
// a result fully and turn a post into an UPDATE or INSERT. Routines such as CopyFieldValues or
// the merge of a database row into a record are written once against this interface.
//
// Bof and Eof follow the data layer's rules: First sets Bof, Last sets Eof, Next on the last
// record sets Eof and stays there, Prior on the first record sets Bof and stays there; both are
// true on an empty dataset.
//
// Views read many records while the cursor stands on one: each record has a key (a bookmark, or
// a row set's position), and a ReadRecordScope points the fields at the record of a key without
// moving the cursor, so that values and display texts (whose get-text handlers read other fields
// of the same record) come from that record. A view thus keeps only the keys of its rows.

#include "platform/dataset/field.h"

#include <QString>
#include <optional>
#include <vector>

namespace tev {

enum class DataSetState { Inactive, Browse, Edit, Insert };

class DataSet
{
public:
    virtual ~DataSet();

    virtual bool active() const = 0;
    virtual DataSetState state() const = 0;
    bool editing() const
    {
        return state() == DataSetState::Edit || state() == DataSetState::Insert;
    }

    virtual int fieldCount() const = 0;
    virtual Field &field(int index) const = 0;
    // The field of that name, compared without regard to case; nullptr when there is none.
    virtual Field *findField(const QString &name) const;
    // As findField, but a missing field throws tev::Error.
    Field &fieldByName(const QString &name) const;

    virtual void first() = 0;
    virtual void next() = 0;
    virtual void prior() = 0;
    virtual void last() = 0;
    virtual bool bof() const = 0;
    virtual bool eof() const = 0;
    // The number of records the cursor can reach (for a filtered dataset: those passing it).
    virtual int recordCount() const = 0;
    bool isEmpty() const { return recordCount() == 0; }

    // Edit while editing or inserting does nothing; edit of an empty dataset appends.
    virtual void edit() = 0;
    virtual void append() = 0;
    virtual void post() = 0;
    virtual void cancel() = 0;
    virtual void deleteRecord() = 0;

    // Stops (with nesting) and resumes notifying the controls attached to the dataset.
    virtual void disableControls() = 0;
    virtual void enableControls() = 0;
    virtual bool controlsDisabled() const = 0;

    // Keys of records: valid while the record exists, never reused for another record of the
    // same opening.
    using RecordKey = quint64;
    // The keys of the records the cursor reaches, in its order. The cursor does not move.
    virtual std::vector<RecordKey> recordKeys() const = 0;
    // The current record's key; none without a current record.
    virtual std::optional<RecordKey> currentKey() const = 0;
    // Makes the record of the key current (a pending edit is posted first); throws tev::Error
    // when the cursor cannot reach it.
    virtual void gotoKey(RecordKey key) = 0;

protected:
    friend class ReadRecordScope;
    // Points the fields at the record of the key (the edit buffer when that record is being
    // edited; nulls when it is gone) until endRead. Not nested.
    virtual void beginRead(RecordKey key) = 0;
    virtual void endRead() = 0;
};

// Reads the record of a key through the fields for one scope. Nothing may move or change the
// dataset meanwhile.
class ReadRecordScope
{
public:
    ReadRecordScope(DataSet &dataSet, DataSet::RecordKey key)
        : m_dataSet(dataSet)
    {
        m_dataSet.beginRead(key);
    }
    ~ReadRecordScope() { m_dataSet.endRead(); }
    ReadRecordScope(const ReadRecordScope &) = delete;
    ReadRecordScope &operator=(const ReadRecordScope &) = delete;

private:
    DataSet &m_dataSet;
};

// Keeps a dataset's controls quiet for one scope, also when the scope ends by an exception.
class DisableControlsGuard
{
public:
    explicit DisableControlsGuard(DataSet &dataSet)
        : m_dataSet(dataSet)
    {
        m_dataSet.disableControls();
    }
    ~DisableControlsGuard() { m_dataSet.enableControls(); }
    DisableControlsGuard(const DisableControlsGuard &) = delete;
    DisableControlsGuard &operator=(const DisableControlsGuard &) = delete;

private:
    DataSet &m_dataSet;
};

} // namespace tev
