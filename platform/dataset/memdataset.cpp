#include "platform/dataset/memdataset.h"

#include "platform/dataset/deferredtext.h"
#include "platform/dataset/filterexpression.h"
#include "platform/dataset/recordvalues.h"
#include "platform/error.h"

#include <algorithm>
#include <cmath>

namespace tev {

struct MemDataSet::Record
{
    Bookmark id = 0;
    RecordValues values;
    // The values before the first logged change; set only while the change log records.
    std::optional<RecordValues> original;
    bool loggedInsert = false;
};

namespace {

bool sameKeyValue(const QVariant &a, const QVariant &b)
{
    const bool an = !a.isValid();
    const bool bn = !b.isValid();
    if (an || bn)
        return an == bn;
    if (a.typeId() != b.typeId())
        return false;
    if (a.typeId() == QMetaType::Int)
        return a.toInt() == b.toInt();
    if (a.typeId() == QMetaType::Double) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return (std::isnan(x) && std::isnan(y)) || (x == y && std::signbit(x) == std::signbit(y));
    }
    return a.toString() == b.toString();
}

} // namespace

// The values of a field list hashed as one key, for locates that no index fits. Only the hash is
// kept per record; a lookup compares the values of the records under it.
struct MemDataSet::HashIndex
{
    std::vector<int> fields;
    std::unordered_multimap<size_t, Record *> map;

    size_t hashOf(const std::vector<QVariant> &probe) const
    {
        size_t h = 0;
        for (const QVariant &v : probe)
            h = KeyHash(v, h);
        return h;
    }
    size_t hashOfRecord(const Record *r) const
    {
        size_t h = 0;
        for (int f : fields)
            h = r->values.keyHash(f, h);
        return h;
    }
    void insert(Record *r) { map.emplace(hashOfRecord(r), r); }
    void remove(Record *r)
    {
        auto [first, last] = map.equal_range(hashOfRecord(r));
        for (auto it = first; it != last; ++it) {
            if (it->second == r) {
                map.erase(it);
                return;
            }
        }
    }
};

class MemDataSet::MemField : public Field
{
public:
    MemField(MemDataSet &owner, int index, const QString &name, FieldType type, int size,
             bool required)
        : Field(name, type, size, required)
        , m_owner(owner)
        , m_index(index)
    {}
    DataSet &dataSet() const override { return m_owner; }
    QVariant value() const override { return m_owner.currentValue(m_index); }
    void setValue(const QVariant &value) override { m_owner.setCurrentValue(m_index, value); }

private:
    MemDataSet &m_owner;
    int m_index;
};

namespace {

int comparePrefix(const std::vector<int> &fields, const RecordValues &values,
                  const std::vector<QVariant> &probe)
{
    for (size_t i = 0; i < probe.size(); ++i) {
        const int c = CompareValues(values.get(fields[i]), probe[i]);
        if (c != 0)
            return c;
    }
    return 0;
}

Error notEditing()
{
    return Error(QStringLiteral("Dataset not in edit or insert mode"));
}

} // namespace

bool MemDataSet::Less::operator()(const Record *a, const Record *b) const
{
    for (int f : *fields) {
        const int c = a->values.compare(f, b->values);
        if (c != 0)
            return c < 0;
    }
    return a->id < b->id;
}

bool MemDataSet::Less::operator()(const Record *a, const KeyProbe &b) const
{
    return comparePrefix(*fields, a->values, *b.values) < 0;
}

bool MemDataSet::Less::operator()(const KeyProbe &a, const Record *b) const
{
    return comparePrefix(*fields, b->values, *a.values) > 0;
}

MemDataSet::MemDataSet()
    : m_order(std::make_unique<Order>(Less{&m_activeFields}))
{
    m_cursor = m_order->end();
}

MemDataSet::~MemDataSet() = default;

Field &MemDataSet::addField(const QString &name, FieldType type, int size, bool required)
{
    if (m_active)
        throw Error(QStringLiteral("Cannot add field '%1' to an open dataset").arg(name));
    if (m_fieldIndex.contains(name.toUpper()))
        throw Error(QStringLiteral("Duplicate field name '%1'").arg(name));
    const int index = int(m_fields.size());
    m_fields.push_back(std::make_unique<MemField>(*this, index, name, type, size, required));
    m_fieldIndex.insert(name.toUpper(), index);
    m_locateFieldsText.clear();
    return *m_fields.back();
}

void MemDataSet::addIndex(const QString &name, const QString &fields)
{
    IndexDef def{name, parseFieldList(fields)};
    for (IndexDef &existing : m_indexes) {
        if (existing.name.compare(name, Qt::CaseInsensitive) == 0) {
            existing = std::move(def);
            return;
        }
    }
    m_indexes.push_back(std::move(def));
}

void MemDataSet::createDataSet()
{
    open();
}

void MemDataSet::open()
{
    if (m_active)
        return;
    std::vector<FieldType> types;
    for (const auto &f : m_fields)
        types.push_back(f->dataType());
    m_layout = std::make_unique<RecordLayout>(types);
    m_active = true;
    m_state = DataSetState::Browse;
    m_bof = m_eof = true;
    if (m_afterOpen)
        m_afterOpen(*this);
    notify(Notification::DataChanged);
}

void MemDataSet::close()
{
    if (!m_active)
        return;
    m_order->clear();
    m_cursor = m_order->end();
    m_records.clear();
    m_hashIndexes.clear();
    m_deletedLog.clear();
    m_layout->texts().clear();
    m_visibleCount = 0;
    m_buffer.clear();
    m_editRecord = nullptr;
    m_active = false;
    m_state = DataSetState::Inactive;
    notify(Notification::DataChanged);
}

Field &MemDataSet::field(int index) const
{
    return *m_fields.at(size_t(index));
}

Field *MemDataSet::findField(const QString &name) const
{
    const auto it = m_fieldIndex.constFind(name.toUpper());
    return it == m_fieldIndex.cend() ? nullptr : m_fields[size_t(*it)].get();
}

int MemDataSet::fieldIndex(const QString &name) const
{
    const auto it = m_fieldIndex.constFind(name.toUpper());
    if (it == m_fieldIndex.cend())
        throw Error(QStringLiteral("Field '%1' not found").arg(name));
    return *it;
}

void MemDataSet::checkActive() const
{
    if (!m_active)
        throw Error(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void MemDataSet::checkBrowseMode()
{
    checkActive();
    if (!editing())
        return;
    if (m_modified)
        post();
    else
        cancel();
}

bool MemDataSet::visible(const Record *record) const
{
    return !m_filtered || !m_filterExpr ||
           m_filterExpr->matches([record](int f) { return record->values.get(f); });
}

MemDataSet::Order::iterator MemDataSet::firstVisibleFrom(Order::iterator it)
{
    while (it != m_order->end() && !visible(*it))
        ++it;
    return it;
}

MemDataSet::Order::iterator MemDataSet::lastVisibleBefore(Order::iterator it)
{
    while (it != m_order->begin()) {
        --it;
        if (visible(*it))
            return it;
    }
    return m_order->end();
}

MemDataSet::Record *MemDataSet::current() const
{
    return m_cursor == m_order->end() ? nullptr : *m_cursor;
}

void MemDataSet::first()
{
    checkBrowseMode();
    m_cursor = firstVisibleFrom(m_order->begin());
    m_bof = true;
    m_eof = m_cursor == m_order->end();
    notify(Notification::Scrolled);
}

void MemDataSet::last()
{
    checkBrowseMode();
    m_cursor = lastVisibleBefore(m_order->end());
    m_eof = true;
    m_bof = m_cursor == m_order->end();
    notify(Notification::Scrolled);
}

void MemDataSet::next()
{
    checkBrowseMode();
    if (m_eof || m_cursor == m_order->end()) {
        m_eof = true;
        return;
    }
    m_bof = false;
    const auto n = firstVisibleFrom(std::next(m_cursor));
    if (n == m_order->end()) {
        m_eof = true;
        return;
    }
    m_cursor = n;
    notify(Notification::Scrolled);
}

void MemDataSet::prior()
{
    checkBrowseMode();
    if (m_bof || m_cursor == m_order->end()) {
        m_bof = true;
        return;
    }
    m_eof = false;
    const auto p = lastVisibleBefore(m_cursor);
    if (p == m_order->end()) {
        m_bof = true;
        return;
    }
    m_cursor = p;
    notify(Notification::Scrolled);
}

int MemDataSet::recordCount() const
{
    return m_active ? m_visibleCount : 0;
}

void MemDataSet::edit()
{
    checkActive();
    if (editing())
        return;
    Record *r = current();
    if (!r) {
        append();
        return;
    }
    m_buffer = r->values.toVector();
    m_changed.assign(m_fields.size(), false);
    m_editRecord = r;
    m_modified = false;
    m_state = DataSetState::Edit;
    notify(Notification::StateChanged);
}

void MemDataSet::append()
{
    checkBrowseMode();
    m_buffer.assign(m_fields.size(), QVariant());
    m_changed.assign(m_fields.size(), false);
    m_editRecord = nullptr;
    m_modified = false;
    m_state = DataSetState::Insert;
    notify(Notification::StateChanged);
}

void MemDataSet::validate(const std::vector<QVariant> &values) const
{
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const Field &f = *m_fields[i];
        const QVariant &v = values[i];
        if (f.required() && !v.isValid())
            throw Error(QStringLiteral("Field '%1' must have a value").arg(f.fieldName()));
        if (f.dataType() == FieldType::String && f.size() > 0 && v.isValid()) {
            const qsizetype length = v.toString().size();
            if (length > f.size())
                throw Error(QStringLiteral("Value of field '%1' is %2 characters long; the "
                                           "field holds at most %3: \"%4\"")
                                .arg(f.fieldName())
                                .arg(length)
                                .arg(f.size())
                                .arg(v.toString()));
        }
    }
}

MemDataSet::Order::iterator MemDataSet::insertRecord(Record *record)
{
    // Records appended in index order (a file read in routine order) go to the end at once.
    const auto it = m_order->insert(m_order->end(), record);
    for (auto &[fields, index] : m_hashIndexes)
        index->insert(record);
    if (visible(record))
        ++m_visibleCount;
    return it;
}

void MemDataSet::removeRecord(Record *record)
{
    const auto it = m_order->find(record);
    if (it == m_cursor)
        m_cursor = m_order->end();
    if (it != m_order->end())
        m_order->erase(it);
    for (auto &[fields, index] : m_hashIndexes)
        index->remove(record);
    if (visible(record))
        --m_visibleCount;
}

void MemDataSet::post()
{
    checkActive();
    if (!editing())
        return;
    validate(m_buffer);
    Record *r = m_editRecord;
    Order::iterator placed;
    if (m_state == DataSetState::Insert) {
        auto owned = std::make_unique<Record>();
        owned->id = m_nextId++;
        owned->values = RecordValues(*m_layout, m_buffer);
        owned->loggedInsert = m_logChanges;
        r = owned.get();
        m_records.emplace(r->id, std::move(owned));
        placed = insertRecord(r);
    } else {
        if (m_logChanges && !r->original && !r->loggedInsert)
            r->original = r->values;
        if (changesKeys()) {
            removeRecord(r);
            r->values.assign(m_buffer);
            placed = insertRecord(r);
        } else {
            // Neither its place in the order nor a locate's hash nor the filter sees the change:
            // the record is written where it stands.
            r->values.assign(m_buffer);
            placed = m_cursor != m_order->end() && *m_cursor == r ? m_cursor : m_order->find(r);
        }
    }
    m_buffer.clear();
    m_editRecord = nullptr;
    m_modified = false;
    m_state = DataSetState::Browse;
    placeCursorAfterChange(placed);
    notify(Notification::DataChanged);
    if (m_afterPost)
        m_afterPost(*this);
}

bool MemDataSet::changesKeys() const
{
    if (m_filtered && m_filterExpr)
        return true;
    for (size_t i = 0; i < m_changed.size(); ++i) {
        if (!m_changed[i])
            continue;
        const int field = int(i);
        if (std::find(m_activeFields.begin(), m_activeFields.end(), field) != m_activeFields.end())
            return true;
        for (const auto &[fields, index] : m_hashIndexes)
            if (std::find(fields.begin(), fields.end(), field) != fields.end())
                return true;
    }
    return false;
}

// The changed record stays current when the filter lets it through; otherwise the cursor moves
// on to the next visible record, or back to the one before when it was the last.
void MemDataSet::placeCursorAfterChange(Order::iterator it)
{
    if (it != m_order->end() && !visible(*it)) {
        auto n = firstVisibleFrom(std::next(it));
        it = n != m_order->end() ? n : lastVisibleBefore(it);
    }
    m_cursor = it;
    m_bof = m_eof = m_cursor == m_order->end();
}

void MemDataSet::cancel()
{
    if (!editing())
        return;
    m_buffer.clear();
    m_editRecord = nullptr;
    m_modified = false;
    m_state = DataSetState::Browse;
    notify(Notification::StateChanged);
}

void MemDataSet::deleteRecord()
{
    checkActive();
    if (m_state == DataSetState::Insert) {
        cancel();
        return;
    }
    cancel();
    Record *r = current();
    if (!r)
        throw Error(QStringLiteral("Cannot perform this operation on an empty dataset"));
    Record *neighbour = nullptr;
    if (auto n = firstVisibleFrom(std::next(m_cursor)); n != m_order->end())
        neighbour = *n;
    else if (auto p = lastVisibleBefore(m_cursor); p != m_order->end())
        neighbour = *p;
    removeRecord(r);
    auto node = m_records.extract(r->id);
    if (m_logChanges && !r->loggedInsert) {
        if (r->original) {
            r->values = std::move(*r->original);
            r->original.reset();
        }
        m_deletedLog.push_back(std::move(node.mapped()));
    }
    m_cursor = neighbour ? m_order->find(neighbour) : m_order->end();
    m_bof = m_eof = m_cursor == m_order->end();
    notify(Notification::DataChanged);
}

void MemDataSet::emptyDataSet()
{
    checkBrowseMode();
    m_order->clear();
    m_cursor = m_order->end();
    m_records.clear();
    for (auto &[fields, index] : m_hashIndexes)
        index->map.clear();
    m_deletedLog.clear();
    m_layout->texts().clear();
    m_visibleCount = 0;
    m_bof = m_eof = true;
    notify(Notification::DataChanged);
}

void MemDataSet::rebuildOrder()
{
    auto order = std::make_unique<Order>(Less{&m_activeFields});
    for (auto &[id, record] : m_records)
        order->insert(record.get());
    m_order = std::move(order);
    m_cursor = m_order->end();
}

void MemDataSet::recountVisible()
{
    if (!m_filtered || !m_filterExpr) {
        m_visibleCount = int(m_order->size());
        return;
    }
    int count = 0;
    for (const Record *r : *m_order)
        count += m_filterExpr->matches([r](int f) { return r->values.get(f); }) ? 1 : 0;
    m_visibleCount = count;
}

void MemDataSet::setIndexName(const QString &name)
{
    std::vector<int> fields;
    QString found;
    if (!name.isEmpty()) {
        auto it = std::find_if(m_indexes.begin(), m_indexes.end(), [&](const IndexDef &d) {
            return d.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (it == m_indexes.end())
            throw Error(QStringLiteral("Index '%1' not found").arg(name));
        fields = it->fields;
        found = it->name;
    }
    if (m_active)
        checkBrowseMode();
    Record *cur = m_active ? current() : nullptr;
    m_indexName = found;
    // An index on the fields of the active one orders the records as it does.
    if (fields != m_activeFields) {
        m_activeFields = std::move(fields);
        rebuildOrder();
    }
    if (cur)
        m_cursor = m_order->find(cur);
    else
        m_cursor = firstVisibleFrom(m_order->begin());
    m_bof = m_eof = m_cursor == m_order->end();
    notify(Notification::DataChanged);
}

QStringList MemDataSet::indexNames() const
{
    QStringList names;
    for (const IndexDef &d : m_indexes)
        names << d.name;
    return names;
}

QStringList MemDataSet::indexFields(const QString &name) const
{
    for (const IndexDef &d : m_indexes) {
        if (d.name.compare(name, Qt::CaseInsensitive) == 0) {
            QStringList names;
            for (int f : d.fields)
                names << m_fields[size_t(f)]->fieldName();
            return names;
        }
    }
    throw Error(QStringLiteral("Index '%1' not found").arg(name));
}

bool MemDataSet::findKey(const QVariantList &values)
{
    checkBrowseMode();
    if (values.size() > qsizetype(m_activeFields.size()) || values.isEmpty())
        throw Error(QStringLiteral("Key lookup needs one to %1 values for index '%2'")
                        .arg(m_activeFields.size())
                        .arg(m_indexName));
    std::vector<QVariant> probe;
    for (qsizetype i = 0; i < values.size(); ++i)
        probe.push_back(m_fields[size_t(m_activeFields[size_t(i)])]->convert(values[i]));
    for (auto it = m_order->lower_bound(KeyProbe{&probe}); it != m_order->end(); ++it) {
        if (comparePrefix(m_activeFields, (*it)->values, probe) != 0)
            break;
        if (visible(*it)) {
            m_cursor = it;
            m_bof = m_eof = false;
            notify(Notification::Scrolled);
            return true;
        }
    }
    return false;
}

void MemDataSet::setFilter(const QString &text)
{
    std::unique_ptr<FilterExpression> expr;
    if (!text.trimmed().isEmpty()) {
        expr = std::make_unique<FilterExpression>(text, [this](const QString &name) {
            FilterExpression::FieldInfo info;
            if (const Field *f = findField(name)) {
                info.index = int(m_fieldIndex.value(name.toUpper()));
                info.type = f->dataType();
            }
            return info;
        });
    }
    if (m_active)
        checkBrowseMode();
    m_filterText = text;
    m_filterExpr = std::move(expr);
    if (m_filtered && m_active) {
        recountVisible();
        first();
        notify(Notification::DataChanged);
    }
}

void MemDataSet::setFiltered(bool on)
{
    if (m_active)
        checkBrowseMode();
    m_filtered = on;
    if (!m_active)
        return;
    recountVisible();
    m_cursor = firstVisibleFrom(m_order->begin());
    m_bof = true;
    m_eof = m_cursor == m_order->end();
    notify(Notification::DataChanged);
}

std::vector<int> MemDataSet::parseFieldList(const QString &fields) const
{
    std::vector<int> result;
    for (const QString &part : fields.split(QLatin1Char(';'))) {
        const QString name = part.trimmed();
        if (name.isEmpty())
            continue;
        const auto it = m_fieldIndex.constFind(name.toUpper());
        if (it == m_fieldIndex.cend())
            throw Error(QStringLiteral("Field '%1' not found").arg(name));
        result.push_back(*it);
    }
    return result;
}

MemDataSet::HashIndex &MemDataSet::hashIndex(const std::vector<int> &fields)
{
    auto &slot = m_hashIndexes[fields];
    if (!slot) {
        slot = std::make_unique<HashIndex>();
        slot->fields = fields;
        slot->map.reserve(m_records.size());
        for (auto &[id, record] : m_records)
            slot->insert(record.get());
    }
    return *slot;
}

bool MemDataSet::locate(const QString &fields, const QVariantList &values)
{
    checkBrowseMode();
    // A reader locates with one field list for every row: it is parsed once.
    if (m_locateFieldsText.isEmpty() || fields != m_locateFieldsText) {
        m_locateFields = parseFieldList(fields);
        m_locateFieldsText = fields;
    }
    const std::vector<int> &keyFields = m_locateFields;
    if (keyFields.empty() || keyFields.size() > 3 || qsizetype(keyFields.size()) != values.size())
        throw Error(QStringLiteral("Locate on \"%1\" needs one to three fields and one value "
                                   "for each")
                        .arg(fields));
    std::vector<QVariant> probe;
    for (size_t i = 0; i < keyFields.size(); ++i)
        probe.push_back(m_fields[size_t(keyFields[i])]->convert(values[qsizetype(i)]));

    Order::iterator found = m_order->end();
    const bool indexFits = keyFields.size() <= m_activeFields.size() &&
                           std::equal(keyFields.begin(), keyFields.end(), m_activeFields.begin());
    if (indexFits) {
        for (auto it = m_order->lower_bound(KeyProbe{&probe}); it != m_order->end(); ++it) {
            if (comparePrefix(m_activeFields, (*it)->values, probe) != 0)
                break;
            if (visible(*it)) {
                found = it;
                break;
            }
        }
    } else {
        HashIndex &index = hashIndex(keyFields);
        Record *best = nullptr;
        const Less less{&m_activeFields};
        const size_t hash = index.hashOf(probe);
        auto [first, last] = index.map.equal_range(hash);
        for (auto it = first; it != last; ++it) {
            Record *r = it->second;
            bool same = true;
            for (size_t i = 0; i < keyFields.size() && same; ++i)
                same = sameKeyValue(PlainValue(r->values.get(keyFields[i])), probe[i]);
            if (same && visible(r) && (!best || less(r, best)))
                best = r;
        }
        if (best)
            found = m_order->find(best);
    }
    if (found == m_order->end())
        return false;
    m_cursor = found;
    m_bof = m_eof = false;
    notify(Notification::Scrolled);
    return true;
}

MemDataSet::Bookmark MemDataSet::bookmark() const
{
    const Record *r = current();
    return r ? r->id : 0;
}

bool MemDataSet::bookmarkValid(Bookmark bookmark) const
{
    const auto it = m_records.find(bookmark);
    return it != m_records.end() && visible(it->second.get());
}

void MemDataSet::gotoBookmark(Bookmark bookmark)
{
    checkBrowseMode();
    if (!bookmarkValid(bookmark))
        throw Error(QStringLiteral("Record not found"));
    m_cursor = m_order->find(m_records.at(bookmark).get());
    m_bof = m_eof = false;
    notify(Notification::Scrolled);
}

std::vector<DataSet::RecordKey> MemDataSet::recordKeys() const
{
    std::vector<RecordKey> keys;
    if (!m_active)
        return keys;
    keys.reserve(size_t(m_visibleCount));
    for (const Record *r : *m_order)
        if (visible(r))
            keys.push_back(r->id);
    return keys;
}

std::optional<DataSet::RecordKey> MemDataSet::currentKey() const
{
    const Record *r = m_active ? current() : nullptr;
    return r ? std::optional<RecordKey>(r->id) : std::nullopt;
}

void MemDataSet::beginRead(RecordKey key)
{
    const auto it = m_records.find(key);
    m_readRecord = it == m_records.end() ? nullptr : it->second.get();
    m_reading = true;
}

void MemDataSet::endRead()
{
    m_reading = false;
    m_readRecord = nullptr;
}

int MemDataSet::changeCount() const
{
    int count = int(m_deletedLog.size());
    for (const auto &[id, record] : m_records)
        count += (record->original || record->loggedInsert) ? 1 : 0;
    return count;
}

void MemDataSet::mergeChangeLog()
{
    checkBrowseMode();
    for (auto &[id, record] : m_records) {
        record->original.reset();
        record->loggedInsert = false;
    }
    m_deletedLog.clear();
}

void MemDataSet::cancelUpdates()
{
    checkActive();
    cancel();
    Record *cur = current();
    std::vector<Bookmark> inserted;
    for (auto &[id, record] : m_records) {
        if (record->loggedInsert) {
            inserted.push_back(id);
        } else if (record->original) {
            removeRecord(record.get());
            record->values = std::move(*record->original);
            record->original.reset();
            insertRecord(record.get());
        }
    }
    for (Bookmark id : inserted) {
        Record *r = m_records.at(id).get();
        if (r == cur)
            cur = nullptr;
        removeRecord(r);
        m_records.erase(id);
    }
    for (auto &record : m_deletedLog) {
        Record *r = record.get();
        m_records.emplace(r->id, std::move(record));
        insertRecord(r);
    }
    m_deletedLog.clear();
    auto it = cur ? m_order->find(cur) : m_order->end();
    if (it == m_order->end() || !visible(*it))
        it = firstVisibleFrom(m_order->begin());
    m_cursor = it;
    m_bof = m_eof = m_cursor == m_order->end();
    notify(Notification::DataChanged);
}

int MemDataSet::addObserver(Observer observer)
{
    const int id = m_nextObserver++;
    m_observers.emplace(id, std::move(observer));
    return id;
}

void MemDataSet::removeObserver(int id)
{
    m_observers.erase(id);
}

void MemDataSet::enableControls()
{
    if (m_disableCount == 0 || --m_disableCount > 0)
        return;
    const bool data = m_dataPending;
    const bool scroll = m_scrollPending;
    m_dataPending = m_scrollPending = false;
    if (data)
        notify(Notification::DataChanged);
    else if (scroll)
        notify(Notification::Scrolled);
}

void MemDataSet::notify(Notification notification)
{
    if (m_disableCount > 0) {
        if (notification == Notification::Scrolled)
            m_scrollPending = true;
        else
            m_dataPending = true;
        return;
    }
    if (m_observers.empty())
        return;
    const auto observers = m_observers;
    for (const auto &[id, observer] : observers)
        observer(notification);
}

QVariant MemDataSet::currentValue(int index) const
{
    return PlainValue(storedValue(index));
}

bool MemDataSet::readsBuffer() const
{
    if (!editing())
        return false;
    if (!m_reading)
        return true;
    return m_state == DataSetState::Edit && m_readRecord == m_editRecord;
}

const MemDataSet::Record *MemDataSet::readRecord() const
{
    return m_reading ? m_readRecord : current();
}

QVariant MemDataSet::storedValue(int index) const
{
    if (readsBuffer())
        return m_buffer[size_t(index)];
    const Record *r = readRecord();
    return r ? r->values.get(index) : QVariant();
}

void MemDataSet::appendAsString(int index, QString &out) const
{
    const Record *r = readsBuffer() ? nullptr : readRecord();
    if (r && r->values.appendText(index, out))
        return;
    out += m_fields[size_t(index)]->asString();
}

void MemDataSet::setCurrentDeferred(int index, DeferredText text)
{
    if (!editing())
        throw notEditing();
    if (m_fields[size_t(index)]->dataType() != FieldType::Memo)
        throw Error(QStringLiteral("Field '%1' holds no deferred text")
                        .arg(m_fields[size_t(index)]->fieldName()));
    m_buffer[size_t(index)] = QVariant::fromValue(std::move(text));
    m_changed[size_t(index)] = true;
    m_modified = true;
    notify(Notification::RecordChanged);
}

void MemDataSet::setCurrentValue(int index, const QVariant &value)
{
    if (!editing())
        throw notEditing();
    m_buffer[size_t(index)] = m_fields[size_t(index)]->convert(value);
    m_changed[size_t(index)] = true;
    m_modified = true;
    notify(Notification::RecordChanged);
}

} // namespace tev
