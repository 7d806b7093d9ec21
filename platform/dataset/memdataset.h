#pragma once

// MemDataSet: the in-memory client dataset that holds the open sequence's project record and
// its characteristics.
//
// Design. Records live in a table keyed by a stable record id, which is also the bookmark; each
// record keeps its values by field type (recordvalues.h), not as a variant per field. The
// active index is an ordered set of record pointers (a balanced tree), so that a posted record
// moves to its place in O(log n) instead of shifting an array, and the cursor is an iterator into
// it. The filter is a compiled expression tested while the cursor walks; the visible count is
// kept up to date on every post and delete. Locate on one to three fields uses the active index
// when the fields are its leading fields, and otherwise a hash of the values of those fields that
// is built on the first locate with that field list and then kept current on every post, so that
// reading a file of n rows with one locate per row stays linear.
//
// The trade-off: the record position (RecNo) is not kept, since nothing needs it, and every index
// switch rebuilds the ordered set (n log n).
//
// Field sizes: a text longer than its String field's size is refused at post with an error that
// names the field, its size and the value; nothing is ever cut without a word. The sizes are
// those of the database columns, so what the dataset holds can also be stored there.
//
// Pending edits: navigation, locate, an index or filter change and emptying first post a
// modified edit buffer (an unmodified one is cancelled), as the data layer does.

#include "platform/dataset/dataset.h"

#include <QHash>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

namespace tev {

class FilterExpression;
class RecordLayout;
struct DeferredText;

class MemDataSet : public DataSet
{
public:
    using Bookmark = quint64; // 0 is no bookmark
    using Handler = std::function<void(MemDataSet &dataSet)>;

    // What an attached control (a grid adapter) hears. Nothing while controls are disabled; when
    // they are enabled again, one DataChanged if the records changed meanwhile, one Scrolled if
    // only the cursor moved, and nothing if neither happened.
    enum class Notification { DataChanged, RecordChanged, Scrolled, StateChanged };
    using Observer = std::function<void(Notification)>;

    MemDataSet();
    ~MemDataSet() override;
    MemDataSet(const MemDataSet &) = delete;
    MemDataSet &operator=(const MemDataSet &) = delete;

    // Set-up, before createDataSet.
    Field &addField(const QString &name, FieldType type, int size = 0, bool required = false);
    // Index fields separated by ";" (blanks around the names are ignored).
    void addIndex(const QString &name, const QString &fields);
    // Opens the dataset empty.
    void createDataSet();
    void close();
    void open();

    // DataSet
    bool active() const override { return m_active; }
    DataSetState state() const override { return m_state; }
    int fieldCount() const override { return int(m_fields.size()); }
    Field &field(int index) const override;
    Field *findField(const QString &name) const override;
    // The position of the field of that name (without regard to case); throws when there is none.
    int fieldIndex(const QString &name) const;
    void first() override;
    void next() override;
    void prior() override;
    void last() override;
    bool bof() const override { return m_bof; }
    bool eof() const override { return m_eof; }
    int recordCount() const override;
    void edit() override;
    void append() override;
    void post() override;
    void cancel() override;
    void deleteRecord() override;
    void disableControls() override { ++m_disableCount; }
    void enableControls() override;
    bool controlsDisabled() const override { return m_disableCount > 0; }
    // The keys are the bookmarks.
    std::vector<RecordKey> recordKeys() const override;
    std::optional<RecordKey> currentKey() const override;
    void gotoKey(RecordKey key) override { gotoBookmark(key); }

    bool modified() const { return m_modified; }
    // Deletes all records (a pending edit is posted first) and the change log.
    void emptyDataSet();

    // Indexes.
    QString indexName() const { return m_indexName; }
    // Selects a named index; the empty name is the order of insertion. The current record stays.
    void setIndexName(const QString &name);
    QStringList indexNames() const;
    QStringList indexFields(const QString &name) const;
    // Goes to the first visible record whose leading active-index fields equal the values.
    bool findKey(const QVariantList &values);

    // Filter: the text and the switch are separate. Both move the cursor to the first record.
    QString filter() const { return m_filterText; }
    void setFilter(const QString &text);
    bool filtered() const { return m_filtered; }
    void setFiltered(bool on);

    // Exact, case-sensitive; fields separated by ";" (one to three); honours the filter; the
    // first match in the active order becomes current. The cursor stays when nothing matches.
    bool locate(const QString &fields, const QVariantList &values);

    // Bookmarks.
    Bookmark bookmark() const;
    bool bookmarkValid(Bookmark bookmark) const;
    // Throws tev::Error when the record is gone or hidden by the filter.
    void gotoBookmark(Bookmark bookmark);

    // Change log (off after creation).
    bool logChanges() const { return m_logChanges; }
    void setLogChanges(bool on) { m_logChanges = on; }
    int changeCount() const;
    void mergeChangeLog();
    void cancelUpdates();

    // Events.
    void setAfterPost(Handler handler) { m_afterPost = std::move(handler); }
    void setAfterOpen(Handler handler) { m_afterOpen = std::move(handler); }
    // Returns an id for removeObserver.
    int addObserver(Observer observer);
    void removeObserver(int id);

    // Used by the fields.
    QVariant currentValue(int index) const;
    void setCurrentValue(int index, const QVariant &value);
    // The current record's value as stored: deferred text is not built (deferredtext.h). For
    // readers that know the source of the text and take what they need from it directly.
    QVariant storedValue(int index) const;
    // Appends the current record's value as its field's asString gives it, without a variant
    // for integers and texts of a record that is not being edited.
    void appendAsString(int index, QString &out) const;
    // Stores deferred text in a Memo field of the edit buffer.
    void setCurrentDeferred(int index, DeferredText text);

protected:
    void beginRead(RecordKey key) override;
    void endRead() override;

private:
    struct Record;
    struct IndexDef
    {
        QString name;
        std::vector<int> fields;
    };
    struct KeyProbe
    {
        const std::vector<QVariant> *values;
    };
    struct Less
    {
        using is_transparent = void;
        const std::vector<int> *fields = nullptr;
        bool operator()(const Record *a, const Record *b) const;
        bool operator()(const Record *a, const KeyProbe &b) const;
        bool operator()(const KeyProbe &a, const Record *b) const;
    };
    using Order = std::set<Record *, Less>;
    struct HashIndex;

    class MemField;

    void checkActive() const;
    void checkBrowseMode();
    bool visible(const Record *record) const;
    Order::iterator firstVisibleFrom(Order::iterator it);
    Order::iterator lastVisibleBefore(Order::iterator it);
    Record *current() const;
    // The record the fields read: the current one, or the one of a ReadRecordScope.
    const Record *readRecord() const;
    // Whether the fields read the edit buffer.
    bool readsBuffer() const;
    void rebuildOrder();
    void recountVisible();
    Order::iterator insertRecord(Record *record);
    void removeRecord(Record *record);
    void placeCursorAfterChange(Order::iterator hint);
    // Whether the edit changed a field of the active index, of a locate's hash or of the filter.
    bool changesKeys() const;
    HashIndex &hashIndex(const std::vector<int> &fields);
    std::vector<int> parseFieldList(const QString &fields) const;
    void validate(const std::vector<QVariant> &values) const;
    void notify(Notification notification);

    std::vector<std::unique_ptr<MemField>> m_fields;
    QHash<QString, int> m_fieldIndex; // upper-case name -> position
    // Where each field lives in a record; made at opening, outlives every record.
    std::unique_ptr<RecordLayout> m_layout;
    std::vector<IndexDef> m_indexes;
    std::vector<int> m_activeFields;
    QString m_indexName;

    std::unordered_map<Bookmark, std::unique_ptr<Record>> m_records;
    Bookmark m_nextId = 1;
    std::unique_ptr<Order> m_order;
    Order::iterator m_cursor;
    bool m_bof = true;
    bool m_eof = true;

    bool m_active = false;
    DataSetState m_state = DataSetState::Inactive;
    std::vector<QVariant> m_buffer;
    Record *m_editRecord = nullptr;
    std::vector<bool> m_changed; // the fields the edit buffer was given a value for
    bool m_modified = false;

    QString m_filterText;
    bool m_filtered = false;
    std::unique_ptr<FilterExpression> m_filterExpr;
    int m_visibleCount = 0;

    std::map<std::vector<int>, std::unique_ptr<HashIndex>> m_hashIndexes;
    // The field list of the last locate, parsed (fields are fixed once the dataset is open).
    QString m_locateFieldsText;
    std::vector<int> m_locateFields;

    bool m_logChanges = false;
    std::vector<std::unique_ptr<Record>> m_deletedLog;

    int m_disableCount = 0;
    // What was held back while controls were disabled.
    bool m_dataPending = false;
    bool m_scrollPending = false;
    // A ReadRecordScope's record (nullptr when its record is gone).
    bool m_reading = false;
    const Record *m_readRecord = nullptr;
    Handler m_afterPost;
    Handler m_afterOpen;
    std::map<int, Observer> m_observers;
    int m_nextObserver = 1;
};

// Switches a dataset's filter off for one scope and restores the switch afterwards (the text is
// not touched), also when the scope ends by an exception.
class FilterOffGuard
{
public:
    explicit FilterOffGuard(MemDataSet &dataSet)
        : m_dataSet(dataSet)
        , m_was(dataSet.filtered())
    {
        if (m_was)
            m_dataSet.setFiltered(false);
    }
    ~FilterOffGuard()
    {
        try {
            if (m_was && !m_dataSet.filtered())
                m_dataSet.setFiltered(true);
        } catch (...) {
            // Only a post of a pending edit can fail here; the error that ended the scope wins.
        }
    }
    FilterOffGuard(const FilterOffGuard &) = delete;
    FilterOffGuard &operator=(const FilterOffGuard &) = delete;

private:
    MemDataSet &m_dataSet;
    bool m_was;
};

} // namespace tev
