#include "ui/models/datasetmodel.h"

#include "platform/error.h"

#include <QCollator>
#include <QLocale>
#include <QScopedValueRollback>
#include <algorithm>

namespace tev {

namespace {

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

bool isDateOrTime(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDate:
    case QMetaType::QTime:
    case QMetaType::QDateTime:
        return true;
    default:
        return false;
    }
}

// Compares two non-null values: numbers as numbers, dates and times as such, everything else as
// text in the order of the user's language (the collator's), not by code unit.
int compareValues(const QVariant &a, const QVariant &b, const QCollator &collator)
{
    if (isNumber(a) && isNumber(b)) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    if (a.typeId() == b.typeId() && isDateOrTime(a)) {
        const QPartialOrdering order = QVariant::compare(a, b);
        return order == QPartialOrdering::Less ? -1 : (order == QPartialOrdering::Greater ? 1 : 0);
    }
    return collator.compare(a.toString(), b.toString());
}

} // namespace

DataSetModel::DataSetModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

DataSetModel::DataSetModel(DataSet *dataSet, QObject *parent)
    : QAbstractTableModel(parent)
{
    setDataSet(dataSet);
}

DataSetModel::~DataSetModel()
{
    detach();
}

void DataSetModel::setDataSet(DataSet *dataSet)
{
    detach();
    m_dataSet = dataSet;
    m_memDataSet = dynamic_cast<MemDataSet *>(dataSet);
    m_sortable = m_memDataSet == nullptr;
    m_indexes.clear();
    m_indexName.clear();
    attach();
    rebuild();
}

void DataSetModel::attach()
{
    if (m_memDataSet)
        m_observerId = m_memDataSet->addObserver(
            [this](MemDataSet::Notification notification) { onNotification(notification); });
}

void DataSetModel::detach()
{
    if (m_memDataSet && m_observerId)
        m_memDataSet->removeObserver(m_observerId);
    m_observerId = 0;
}

void DataSetModel::refresh()
{
    rebuild();
}

void DataSetModel::onNotification(MemDataSet::Notification notification)
{
    if (m_busy)
        return;
    switch (notification) {
    case MemDataSet::Notification::DataChanged:
        if (m_dataSet->editing())
            refreshCurrentRow();
        else
            rebuild();
        break;
    case MemDataSet::Notification::RecordChanged:
        refreshCurrentRow();
        break;
    case MemDataSet::Notification::Scrolled: {
        const MemDataSet::Bookmark bookmark = m_memDataSet->bookmark();
        const auto it = std::find_if(m_rows.begin(), m_rows.end(), [bookmark](const Row &row) {
            return row.bookmark == bookmark;
        });
        setCurrentRow(it == m_rows.end() ? -1 : int(it - m_rows.begin()));
        break;
    }
    case MemDataSet::Notification::StateChanged:
        if (m_dataSet->editing())
            refreshCurrentRow();
        else
            rebuild(); // a cancel: the record shows its stored values again
        break;
    }
}

DataSetModel::Row DataSetModel::readCurrentRecord(int position) const
{
    Row row;
    const int count = m_dataSet->fieldCount();
    row.values.reserve(size_t(count));
    row.texts.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const Field &field = m_dataSet->field(i);
        row.values.push_back(field.value());
        row.texts.push_back(field.displayText());
    }
    row.position = position;
    if (m_memDataSet && position >= 0)
        row.bookmark = m_memDataSet->bookmark();
    return row;
}

// The position of the current record in the dataset's order, found by stepping back to the first
// record (the data layer sets Bof only when a step back finds no record).
int DataSetModel::cursorPosition()
{
    int position = 0;
    for (;;) {
        m_dataSet->prior();
        if (m_dataSet->bof())
            break;
        ++position;
    }
    return position;
}

DataSetModel::Snapshot DataSetModel::readSnapshot()
{
    Snapshot snapshot;
    if (!m_dataSet || !m_dataSet->active())
        return snapshot;
    const int count = m_dataSet->fieldCount();
    for (int i = 0; i < count; ++i) {
        const Field &field = m_dataSet->field(i);
        snapshot.fieldNames.push_back(field.fieldName());
        snapshot.labels.push_back(field.displayLabel().isEmpty() ? field.fieldName()
                                                                 : field.displayLabel());
        snapshot.alignments.push_back(field.alignment());
        snapshot.visible.push_back(field.visible());
        snapshot.displayWidths.push_back(field.displayWidth());
    }
    if (m_dataSet->isEmpty())
        return snapshot;

    const QScopedValueRollback busy(m_busy, true);
    const DisableControlsGuard quiet(*m_dataSet);
    if (m_memDataSet)
        snapshot.currentBookmark = m_memDataSet->bookmark();
    else
        snapshot.currentPosition = cursorPosition();

    snapshot.rows.reserve(size_t(m_dataSet->recordCount()));
    int position = 0;
    for (m_dataSet->first(); !m_dataSet->eof(); m_dataSet->next())
        snapshot.rows.push_back(readCurrentRecord(position++));

    if (m_memDataSet) {
        if (snapshot.currentBookmark && m_memDataSet->bookmarkValid(snapshot.currentBookmark)) {
            try {
                m_memDataSet->gotoBookmark(snapshot.currentBookmark);
            } catch (const Error &) {
                m_memDataSet->first(); // the record is hidden by the filter
                snapshot.currentBookmark = m_memDataSet->bookmark();
            }
        } else {
            m_memDataSet->first();
            snapshot.currentBookmark = m_memDataSet->bookmark();
        }
    } else {
        m_dataSet->first();
        for (int i = 0; i < snapshot.currentPosition; ++i)
            m_dataSet->next();
    }
    return snapshot;
}

void DataSetModel::rebuild()
{
    if (m_dataSet && m_dataSet->editing()) {
        refreshCurrentRow();
        return;
    }
    Snapshot snapshot = readSnapshot();
    sortRows(snapshot.rows);
    if (sameShape(snapshot)) {
        // Only values changed: the views keep their editors, selection and scroll position.
        m_rows = std::move(snapshot.rows);
        const int previous = m_currentRow;
        m_currentRow = -1;
        locateCurrentRow(snapshot);
        if (!m_rows.empty())
            Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        if (m_currentRow != previous)
            Q_EMIT currentRowChanged(m_currentRow);
        return;
    }
    beginResetModel();
    m_fieldNames = std::move(snapshot.fieldNames);
    m_labels = std::move(snapshot.labels);
    m_alignments = std::move(snapshot.alignments);
    m_visible = std::move(snapshot.visible);
    m_displayWidths = std::move(snapshot.displayWidths);
    m_rows = std::move(snapshot.rows);
    m_insertRow = false;
    m_currentRow = -1;
    locateCurrentRow(snapshot);
    endResetModel();
    Q_EMIT currentRowChanged(m_currentRow);
}

bool DataSetModel::sameShape(const Snapshot &snapshot) const
{
    if (m_insertRow || snapshot.fieldNames != m_fieldNames || snapshot.labels != m_labels ||
        snapshot.visible != m_visible || snapshot.rows.size() != m_rows.size())
        return false;
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (snapshot.rows[i].bookmark != m_rows[i].bookmark ||
            snapshot.rows[i].position != m_rows[i].position)
            return false;
    return true;
}

void DataSetModel::locateCurrentRow(const Snapshot &snapshot)
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const Row &row = m_rows[i];
        if (m_memDataSet ? row.bookmark == snapshot.currentBookmark
                         : row.position == snapshot.currentPosition) {
            m_currentRow = int(i);
            return;
        }
    }
}

void DataSetModel::refreshCurrentRow()
{
    if (!m_dataSet || !m_dataSet->active())
        return;
    if (m_dataSet->state() == DataSetState::Insert) {
        Row row = readCurrentRecord(-1);
        if (m_insertRow) {
            m_rows.back() = std::move(row);
        } else {
            const int last = int(m_rows.size());
            beginInsertRows(QModelIndex(), last, last);
            m_rows.push_back(std::move(row));
            m_insertRow = true;
            endInsertRows();
        }
        setCurrentRow(int(m_rows.size()) - 1);
        Q_EMIT dataChanged(index(m_currentRow, 0), index(m_currentRow, columnCount() - 1));
        return;
    }
    if (m_currentRow < 0 || m_currentRow >= int(m_rows.size()))
        return;
    Row &row = m_rows[size_t(m_currentRow)];
    Row fresh = readCurrentRecord(row.position);
    fresh.bookmark = row.bookmark;
    row = std::move(fresh);
    Q_EMIT dataChanged(index(m_currentRow, 0), index(m_currentRow, columnCount() - 1));
}

void DataSetModel::setCurrentRow(int row)
{
    if (row == m_currentRow)
        return;
    m_currentRow = row;
    Q_EMIT currentRowChanged(row);
}

bool DataSetModel::moveTo(int row)
{
    if (!m_dataSet || row < 0 || row >= int(m_rows.size()))
        return false;
    const Row &target = m_rows[size_t(row)];
    if (target.position < 0)
        return true; // the record being inserted is current already
    {
        const QScopedValueRollback busy(m_busy, true);
        if (m_memDataSet) {
            m_memDataSet->gotoBookmark(target.bookmark);
        } else {
            m_dataSet->first();
            for (int i = 0; i < target.position; ++i)
                m_dataSet->next();
        }
    }
    setCurrentRow(row);
    return true;
}

int DataSetModel::fieldColumn(const QString &fieldName) const
{
    for (size_t i = 0; i < m_fieldNames.size(); ++i)
        if (m_fieldNames[i].compare(fieldName, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QString DataSetModel::fieldName(int column) const
{
    return column >= 0 && column < int(m_fieldNames.size()) ? m_fieldNames[size_t(column)]
                                                            : QString();
}

const DataSetModel::SortIndex *DataSetModel::findIndex(const QString &name) const
{
    for (const SortIndex &index : m_indexes)
        if (index.name.compare(name, Qt::CaseInsensitive) == 0)
            return &index;
    return nullptr;
}

void DataSetModel::addIndex(const QString &name, const QString &fields, TFDSortOptions options)
{
    SortIndex index{name, {}, options};
    for (const QString &part : fields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        index.fields.push_back(part.trimmed());
    auto it = std::find_if(m_indexes.begin(), m_indexes.end(), [&name](const SortIndex &i) {
        return i.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (it != m_indexes.end())
        *it = std::move(index);
    else
        m_indexes.push_back(std::move(index));
    if (m_indexName.compare(name, Qt::CaseInsensitive) == 0)
        resort();
}

void DataSetModel::setIndexName(const QString &name)
{
    m_indexName = name;
    resort();
}

void DataSetModel::setIndexOptions(const QString &name, TFDSortOptions options)
{
    for (SortIndex &index : m_indexes)
        if (index.name.compare(name, Qt::CaseInsensitive) == 0)
            index.options = options;
    if (m_indexName.compare(name, Qt::CaseInsensitive) == 0)
        resort();
}

// A new order of the rows read already: no walk of the dataset. The rows of a selected index
// that names no field keep the dataset's order.
void DataSetModel::resort()
{
    if (m_insertRow)
        return; // the post or cancel of the new record reads the rows again
    std::vector<Row> rows = m_rows;
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row &a, const Row &b) { return a.position < b.position; });
    sortRows(rows);
    const bool same =
        std::equal(rows.begin(), rows.end(), m_rows.begin(), m_rows.end(),
                   [](const Row &a, const Row &b) { return a.position == b.position; });
    if (same)
        return;
    const int currentPosition = m_currentRow >= 0 ? m_rows[size_t(m_currentRow)].position : -1;
    beginResetModel();
    m_rows = std::move(rows);
    m_currentRow = -1;
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].position == currentPosition && currentPosition >= 0)
            m_currentRow = int(i);
    endResetModel();
    Q_EMIT currentRowChanged(m_currentRow);
}

void DataSetModel::sortRows(std::vector<Row> &rows) const
{
    const SortIndex *index = findIndex(m_indexName);
    if (!index || m_fieldNames.empty())
        return;
    std::vector<int> columns;
    for (const QString &field : index->fields) {
        const int column = fieldColumn(field);
        if (column >= 0)
            columns.push_back(column);
    }
    const bool descending = index->options.testFlag(soDescending);
    const bool nullsFirst = descending ? !index->options.testFlag(soDescNullLast)
                                       : index->options.testFlag(soNullFirst);
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(index->options.testFlag(soNoCase) ? Qt::CaseInsensitive
                                                                  : Qt::CaseSensitive);
    // The stable sort keeps the dataset's order among equal keys.
    std::stable_sort(rows.begin(), rows.end(), [&](const Row &a, const Row &b) {
        for (const int column : columns) {
            const QVariant &x = a.values[size_t(column)];
            const QVariant &y = b.values[size_t(column)];
            if (!x.isValid() || !y.isValid()) {
                if (x.isValid() == y.isValid())
                    continue;
                return x.isValid() != nullsFirst;
            }
            const int order = compareValues(x, y, collator);
            if (order != 0)
                return descending ? order > 0 : order < 0;
        }
        return false;
    });
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_fieldNames.size());
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    const Row &row = m_rows[size_t(index.row())];
    const size_t column = size_t(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return row.texts[column];
    case Qt::EditRole:
        return row.values[column].isValid() ? row.values[column].toString() : QString();
    case Qt::TextAlignmentRole:
        return m_alignments[column] ? QVariant(int(m_alignments[column] | Qt::AlignVCenter))
                                    : QVariant();
    default:
        return QVariant();
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(m_fieldNames.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return m_labels[size_t(section)];
    case FieldNameRole:
        return m_fieldNames[size_t(section)];
    case FieldVisibleRole:
        return bool(m_visible[size_t(section)]);
    case FieldDisplayWidthRole:
        return m_displayWidths[size_t(section)];
    default:
        return QVariant();
    }
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex &index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool DataSetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !m_dataSet ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    bool ok = true;
    {
        const QScopedValueRollback busy(m_busy, true);
        try {
            if (!moveTo(index.row()))
                return false;
            m_dataSet->edit();
            m_dataSet->field(index.column()).setText(value.toString());
            m_dataSet->post();
        } catch (const Error &error) {
            if (m_dataSet->editing())
                m_dataSet->cancel();
            ok = false;
            Q_EMIT errorOccurred(error.message());
        }
    }
    rebuild();
    return ok;
}

} // namespace tev
