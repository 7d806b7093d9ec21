#include "ui/models/datasetmodel.h"

#include "platform/error.h"

#include <QCollator>
#include <QLocale>
#include <QLoggingCategory>
#include <QScopedValueRollback>
#include <algorithm>
#include <numeric>

namespace tev {

namespace {

Q_LOGGING_CATEGORY(lcModel, "tevora.ui.model")

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
    case MemDataSet::Notification::Scrolled:
        setCurrentRow(findCurrentRow());
        break;
    case MemDataSet::Notification::StateChanged:
        if (m_dataSet->editing())
            refreshCurrentRow();
        else
            rebuild(); // a cancel: the record shows its stored values again
        break;
    }
}

DataSetModel::Columns DataSetModel::readColumns() const
{
    Columns columns;
    if (!m_dataSet || !m_dataSet->active())
        return columns;
    const int count = m_dataSet->fieldCount();
    for (int i = 0; i < count; ++i) {
        const Field &field = m_dataSet->field(i);
        columns.fieldNames.push_back(field.fieldName());
        columns.labels.push_back(field.displayLabel().isEmpty() ? field.fieldName()
                                                                : field.displayLabel());
        columns.alignments.push_back(field.alignment());
        columns.visible.push_back(field.visible());
        columns.displayWidths.push_back(field.displayWidth());
    }
    return columns;
}

std::vector<DataSet::RecordKey> DataSetModel::readKeys() const
{
    if (!m_dataSet || !m_dataSet->active())
        return {};
    std::vector<RecordKey> keys = m_dataSet->recordKeys();
    sortKeys(keys);
    return keys;
}

int DataSetModel::findCurrentRow() const
{
    if (!m_dataSet || !m_dataSet->active())
        return -1;
    const std::optional<RecordKey> key = m_dataSet->currentKey();
    if (!key)
        return -1;
    // A step of the cursor lands next to the row it left: look there first.
    for (const int step : {0, 1, -1}) {
        const int row = m_currentRow + step;
        if (row >= 0 && row < int(m_keys.size()) && m_keys[size_t(row)] == *key)
            return row;
    }
    const auto it = std::find(m_keys.begin(), m_keys.end(), *key);
    return it == m_keys.end() ? -1 : int(it - m_keys.begin());
}

void DataSetModel::rebuild()
{
    if (m_dataSet && m_dataSet->editing()) {
        refreshCurrentRow();
        return;
    }
    Columns columns = readColumns();
    std::vector<RecordKey> keys = readKeys();
    if (!m_insertRow && columns.fieldNames == m_columns.fieldNames &&
        columns.labels == m_columns.labels && columns.visible == m_columns.visible &&
        keys == m_keys) {
        // Only values changed: the views keep their editors, selection and scroll position.
        const int previous = m_currentRow;
        m_currentRow = findCurrentRow();
        if (!m_keys.empty())
            Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        if (m_currentRow != previous)
            Q_EMIT currentRowChanged(m_currentRow);
        return;
    }
    beginResetModel();
    m_columns = std::move(columns);
    m_keys = std::move(keys);
    m_insertRow = false;
    m_currentRow = -1;
    m_currentRow = findCurrentRow();
    endResetModel();
    Q_EMIT currentRowChanged(m_currentRow);
}

void DataSetModel::refreshCurrentRow()
{
    if (!m_dataSet || !m_dataSet->active())
        return;
    if (m_dataSet->state() == DataSetState::Insert) {
        if (!m_insertRow) {
            const int last = int(m_keys.size());
            beginInsertRows(QModelIndex(), last, last);
            m_insertRow = true;
            endInsertRows();
        }
        setCurrentRow(int(m_keys.size()));
    }
    if (m_currentRow < 0 || m_currentRow >= rowCount())
        return;
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
    if (!m_dataSet || row < 0 || row >= rowCount())
        return false;
    if (isInsertRow(row))
        return true; // the record being inserted is current already
    {
        const QScopedValueRollback busy(m_busy, true);
        m_dataSet->gotoKey(m_keys[size_t(row)]);
    }
    setCurrentRow(row);
    return true;
}

int DataSetModel::fieldColumn(const QString &fieldName) const
{
    const std::vector<QString> &names = m_columns.fieldNames;
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i].compare(fieldName, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QString DataSetModel::fieldName(int column) const
{
    const std::vector<QString> &names = m_columns.fieldNames;
    return column >= 0 && column < int(names.size()) ? names[size_t(column)] : QString();
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

// A new order of the rows: the keys are read again and sorted; the current record stays current.
void DataSetModel::resort()
{
    if (m_insertRow)
        return; // the post or cancel of the new record reads the rows again
    std::vector<RecordKey> keys = readKeys();
    if (keys == m_keys)
        return;
    beginResetModel();
    m_keys = std::move(keys);
    m_currentRow = -1;
    m_currentRow = findCurrentRow();
    endResetModel();
    Q_EMIT currentRowChanged(m_currentRow);
}

// The selected index's fields of every record are read once; the keys take their order. An
// index that names no field of the dataset keeps the dataset's order.
void DataSetModel::sortKeys(std::vector<RecordKey> &keys) const
{
    const SortIndex *index = findIndex(m_indexName);
    if (!index || keys.empty())
        return;
    std::vector<const Field *> fields;
    for (const QString &name : index->fields)
        if (const Field *field = m_dataSet->findField(name))
            fields.push_back(field);
    if (fields.empty())
        return;
    const size_t width = fields.size();
    std::vector<QVariant> values;
    values.reserve(keys.size() * width);
    for (const RecordKey key : keys) {
        const ReadRecordScope read(*m_dataSet, key);
        for (const Field *field : fields)
            values.push_back(field->value());
    }
    const bool descending = index->options.testFlag(soDescending);
    const bool nullsFirst = descending ? !index->options.testFlag(soDescNullLast)
                                       : index->options.testFlag(soNullFirst);
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(index->options.testFlag(soNoCase) ? Qt::CaseInsensitive
                                                                  : Qt::CaseSensitive);
    std::vector<size_t> order(keys.size());
    std::iota(order.begin(), order.end(), size_t(0));
    // The stable sort keeps the dataset's order among equal keys.
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        for (size_t f = 0; f < width; ++f) {
            const QVariant &x = values[a * width + f];
            const QVariant &y = values[b * width + f];
            if (!x.isValid() || !y.isValid()) {
                if (x.isValid() == y.isValid())
                    continue;
                return x.isValid() != nullsFirst;
            }
            const int result = compareValues(x, y, collator);
            if (result != 0)
                return descending ? result > 0 : result < 0;
        }
        return false;
    });
    std::vector<RecordKey> sorted;
    sorted.reserve(keys.size());
    for (const size_t i : order)
        sorted.push_back(keys[i]);
    keys = std::move(sorted);
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_keys.size()) + (m_insertRow ? 1 : 0);
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.fieldNames.size());
}

QVariant DataSetModel::fieldData(const Field &field, int role) const
{
    if (role == Qt::DisplayRole)
        return field.displayText();
    const QVariant value = field.value();
    return value.isValid() ? value.toString() : QString();
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    const size_t column = size_t(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        break;
    case Qt::TextAlignmentRole:
        return m_columns.alignments[column]
                   ? QVariant(int(m_columns.alignments[column] | Qt::AlignVCenter))
                   : QVariant();
    default:
        return QVariant();
    }
    if (!m_dataSet || !m_dataSet->active() || index.column() >= m_dataSet->fieldCount())
        return QVariant();
    const Field &field = m_dataSet->field(index.column());
    try {
        if (isInsertRow(index.row()))
            return fieldData(field, role); // the edit buffer
        const ReadRecordScope read(*m_dataSet, m_keys[size_t(index.row())]);
        return fieldData(field, role);
    } catch (const Error &error) {
        // A view asks while it paints: the cell stays empty, the reason goes to the log.
        qCWarning(lcModel) << "Cannot show" << field.fieldName() << ":" << error.message();
        return QVariant();
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(m_columns.fieldNames.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return m_columns.labels[size_t(section)];
    case FieldNameRole:
        return m_columns.fieldNames[size_t(section)];
    case FieldVisibleRole:
        return bool(m_columns.visible[size_t(section)]);
    case FieldDisplayWidthRole:
        return m_columns.displayWidths[size_t(section)];
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
