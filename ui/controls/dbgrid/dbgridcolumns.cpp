#include "ui/controls/dbgrid/dbgridcolumns.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace tev {

void TColumn::SetFieldName(const QString &Value)
{
    if (FFieldName == Value)
        return;
    FOwner->structureChanging();
    FFieldName = Value;
    FOwner->structureChanged();
}

void TColumn::SetTitle(const QString &Value)
{
    if (FTitle == Value)
        return;
    FOwner->structureChanging();
    FTitle = Value;
    FOwner->structureChanged();
}

void TColumn::SetWidth(int Value)
{
    if (FWidth == Value)
        return;
    FWidth = Value;
    FOwner->layoutChanged();
}

void TColumn::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    FOwner->layoutChanged();
}

int TColumn::Index() const
{
    const auto &items = FOwner->FItems;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].get() == this)
            return int(i);
    return -1;
}

void TColumn::SetIndex(int Value)
{
    FOwner->moveColumn(Index(), Value);
}

TDBGridColumns::TDBGridColumns(QObject *parent)
    : QAbstractTableModel(parent)
{}

TDBGridColumns::~TDBGridColumns()
{
    for (const auto &connection : m_connections)
        disconnect(connection);
}

void TDBGridColumns::setSourceModel(DataSetModel *source)
{
    beginResetModel();
    for (const auto &connection : m_connections)
        disconnect(connection);
    m_connections.clear();
    m_source = source;
    if (source) {
        m_connections = {
            // Inside BeginUpdate a reset is open already; it covers the source's changes.
            connect(source, &QAbstractItemModel::modelAboutToBeReset, this,
                    [this] { structureChanging(); }),
            connect(source, &QAbstractItemModel::modelReset, this,
                    [this] {
                        if (FDefaultState)
                            buildDefaultColumns();
                        structureChanged();
                    }),
            connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this,
                    [this](const QModelIndex &, int first, int last) {
                        if (FUpdateCount == 0)
                            beginInsertRows(QModelIndex(), first, last);
                    }),
            connect(source, &QAbstractItemModel::rowsInserted, this,
                    [this] {
                        if (FUpdateCount == 0)
                            endInsertRows();
                    }),
            // A source destroyed before the grid leaves the grid empty, not dangling.
            connect(source, &QObject::destroyed, this,
                    [this] {
                        beginResetModel();
                        if (FDefaultState)
                            FItems.clear();
                        m_connections.clear();
                        endResetModel();
                        Q_EMIT columnLayoutChanged();
                    }),
            connect(source, &QAbstractItemModel::dataChanged, this,
                    [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                        if (Count() > 0)
                            Q_EMIT dataChanged(index(topLeft.row(), 0),
                                               index(bottomRight.row(), Count() - 1));
                    }),
        };
    }
    if (FDefaultState)
        buildDefaultColumns();
    endResetModel();
    Q_EMIT columnLayoutChanged();
}

TColumn *TDBGridColumns::Items(int Index) const
{
    return Index >= 0 && Index < Count() ? FItems[size_t(Index)].get() : nullptr;
}

TColumn *TDBGridColumns::Add()
{
    structureChanging();
    FDefaultState = false;
    FItems.push_back(std::unique_ptr<TColumn>(new TColumn(this)));
    TColumn *column = FItems.back().get();
    structureChanged();
    return column;
}

void TDBGridColumns::Clear()
{
    structureChanging();
    FDefaultState = false;
    FItems.clear();
    structureChanged();
}

void TDBGridColumns::RestoreDefaults()
{
    structureChanging();
    FDefaultState = true;
    buildDefaultColumns();
    structureChanged();
}

void TDBGridColumns::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        beginResetModel();
}

void TDBGridColumns::EndUpdate()
{
    if (FUpdateCount == 0 || --FUpdateCount > 0)
        return;
    endResetModel();
    Q_EMIT columnLayoutChanged();
}

bool TDBGridColumns::LoadFromStream(const QByteArray &Data)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(Data, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return false;
    const QJsonArray items = document.array();
    for (const QJsonValue &item : items)
        if (!item.isObject() || !item.toObject().value(QLatin1String("FieldName")).isString())
            return false;
    structureChanging();
    FDefaultState = false;
    for (const QJsonValue &item : items) {
        const QJsonObject object = item.toObject();
        auto column = std::unique_ptr<TColumn>(new TColumn(this));
        column->FFieldName = object.value(QLatin1String("FieldName")).toString();
        column->FTitle = object.value(QLatin1String("Title")).toString();
        column->FWidth = object.value(QLatin1String("Width")).toInt(TColumn::DefaultWidth);
        column->FVisible = object.value(QLatin1String("Visible")).toBool(true);
        FItems.push_back(std::move(column));
    }
    structureChanged();
    return true;
}

void TDBGridColumns::structureChanging()
{
    if (FUpdateCount == 0)
        beginResetModel();
}

void TDBGridColumns::structureChanged()
{
    if (FUpdateCount > 0)
        return;
    endResetModel();
    Q_EMIT columnLayoutChanged();
}

void TDBGridColumns::layoutChanged()
{
    if (FUpdateCount == 0)
        Q_EMIT columnLayoutChanged();
}

void TDBGridColumns::moveColumn(int from, int to)
{
    to = std::clamp(to, 0, std::max(0, Count() - 1));
    if (from < 0 || from >= Count() || from == to)
        return;
    structureChanging();
    FDefaultState = false;
    auto column = std::move(FItems[size_t(from)]);
    FItems.erase(FItems.begin() + from);
    FItems.insert(FItems.begin() + to, std::move(column));
    structureChanged();
}

// Columns of fields that are still there are kept, so that a reset of the data (a sort, a post)
// leaves the columns and their widths alone.
void TDBGridColumns::buildDefaultColumns()
{
    std::vector<std::unique_ptr<TColumn>> old = std::move(FItems);
    FItems.clear();
    if (!m_source)
        return;
    const int count = m_source->columnCount();
    for (int i = 0; i < count; ++i) {
        if (!m_source->headerData(i, Qt::Horizontal, DataSetModel::FieldVisibleRole).toBool())
            continue;
        const QString fieldName = m_source->fieldName(i);
        auto kept = std::find_if(old.begin(), old.end(), [&fieldName](const auto &column) {
            return column && column->FFieldName == fieldName;
        });
        if (kept != old.end()) {
            FItems.push_back(std::move(*kept));
            continue;
        }
        auto column = std::unique_ptr<TColumn>(new TColumn(this));
        column->FFieldName = fieldName;
        FItems.push_back(std::move(column));
    }
}

int TDBGridColumns::sourceColumn(int column) const
{
    const TColumn *item = Items(column);
    return item && m_source ? m_source->fieldColumn(item->FieldName()) : -1;
}

int TDBGridColumns::fieldDisplayWidth(int column) const
{
    const int source = sourceColumn(column);
    return source < 0
               ? 0
               : m_source->headerData(source, Qt::Horizontal, DataSetModel::FieldDisplayWidthRole)
                     .toInt();
}

int TDBGridColumns::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_source ? 0 : m_source->rowCount();
}

int TDBGridColumns::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Count();
}

QVariant TDBGridColumns::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= Count())
        return QVariant();
    const int source = sourceColumn(index.column());
    return source < 0 ? QVariant() : m_source->data(m_source->index(index.row(), source), role);
}

QVariant TDBGridColumns::headerData(int section, Qt::Orientation orientation, int role) const
{
    const TColumn *column = orientation == Qt::Horizontal ? Items(section) : nullptr;
    if (!column)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole: {
        if (!column->Title().isEmpty())
            return column->Title();
        const int source = sourceColumn(section);
        return source < 0 ? column->FieldName()
                          : m_source->headerData(source, Qt::Horizontal, Qt::DisplayRole);
    }
    case DataSetModel::FieldNameRole:
        return column->FieldName();
    default:
        return QVariant();
    }
}

Qt::ItemFlags TDBGridColumns::flags(const QModelIndex &index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return Qt::NoItemFlags;
    const int source = sourceColumn(index.column());
    // A column whose field is missing shows nothing and cannot be edited.
    return source < 0 ? Qt::ItemIsSelectable | Qt::ItemIsEnabled
                      : m_source->flags(m_source->index(index.row(), source));
}

bool TDBGridColumns::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    const int source = sourceColumn(index.column());
    return source >= 0 && m_source->setData(m_source->index(index.row(), source), value, role);
}

} // namespace tev
