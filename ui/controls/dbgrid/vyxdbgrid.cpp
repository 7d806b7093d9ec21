#include "ui/controls/dbgrid/vyxdbgrid.h"

#include "platform/error.h"
#include "ui/controls/dbgrid/vyxgridcolumnsdbstorage.h"

#include <QHeaderView>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>

namespace tev {

namespace {

const QString ArrowUp = QStringLiteral("\u02C4");
const QString ArrowDown = QStringLiteral("\u02C5");

} // namespace

// The title row: paints each section through the grid's DrawCell, on an image of the cell so
// that the grid can read the title's own background.
class TvyxDBGrid::TitleHeader : public QHeaderView
{
public:
    explicit TitleHeader(TvyxDBGrid *grid)
        : QHeaderView(Qt::Horizontal, grid)
        , m_grid(grid)
    {}

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        if (!rect.isValid())
            return;
        const qreal ratio = painter->device()->devicePixelRatioF();
        QImage cell(rect.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        cell.setDevicePixelRatio(ratio);
        cell.fill(palette().color(QPalette::Button));
        {
            QPainter cellPainter(&cell);
            cellPainter.setFont(painter->font());
            QHeaderView::paintSection(&cellPainter, QRect(QPoint(0, 0), rect.size()), logicalIndex);
        }
        m_grid->DrawCell(logicalIndex, 0, cell);
        painter->drawImage(rect.topLeft(), cell);
    }

private:
    TvyxDBGrid *m_grid;
};

TvyxDBGrid::TvyxDBGrid(QWidget *aOwner)
    : QTableView(aOwner)
    , FColumns(new TDBGridColumns(this))
    , FColumnsDBStorage(new TvyxGridColumnsDBStorage(this))
    , FTitleHeader(new TitleHeader(this))
{
    setHorizontalHeader(FTitleHeader);
    FTitleHeader->setSectionsClickable(false);
    FTitleHeader->setHighlightSections(false);
    FTitleHeader->viewport()->installEventFilter(this);
    setModel(FColumns);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    SetDefaultRowHeight(DefaultRowHeightValue);
    SetOptions(DefaultOptions);
    SetThumbTracking(false);

    connect(FColumns, &TDBGridColumns::columnLayoutChanged, this, &TvyxDBGrid::ApplyColumnLayout);
    connect(FColumns, &QAbstractItemModel::modelReset, this, [this] {
        ApplyColumnLayout();
        if (FDataSource)
            FollowDataSetRow(FDataSource->currentRow());
        CheckTopLeft();
    });
    connect(FTitleHeader, &QHeaderView::sectionMoved, this, &TvyxDBGrid::OnSectionMoved);
    connect(FTitleHeader, &QHeaderView::sectionResized, this, &TvyxDBGrid::OnSectionResized);
}

TvyxDBGrid::~TvyxDBGrid()
{
    disconnect(FRowConnection);
    disconnect(FResetConnection);
}

void TvyxDBGrid::SetDataSource(DataSetModel *Value)
{
    if (FDataSource == Value)
        return;
    disconnect(FRowConnection);
    disconnect(FResetConnection);
    FDataSource = Value;
    FColumns->setSourceModel(Value);
    if (Value) {
        FRowConnection =
            connect(Value, &DataSetModel::currentRowChanged, this, &TvyxDBGrid::FollowDataSetRow);
        FResetConnection =
            connect(Value, &QAbstractItemModel::modelReset, this, &TvyxDBGrid::FollowNewData);
        FollowDataSetRow(Value->currentRow());
    }
    FollowNewData();
}

void TvyxDBGrid::SetOptions(TDBGridOptions Value)
{
    FOptions = Value;
    FTitleHeader->setVisible(Value.testFlag(dgTitles));
    verticalHeader()->setVisible(Value.testFlag(dgIndicator));
    const bool sizing = Value.testFlag(dgColumnResize);
    FTitleHeader->setSectionsMovable(sizing);
    FTitleHeader->setSectionResizeMode(sizing ? QHeaderView::Interactive : QHeaderView::Fixed);
    setEditTriggers(Value.testFlag(dgEditing)
                        ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed
                        : QAbstractItemView::NoEditTriggers);
}

int TvyxDBGrid::DefaultRowHeight() const
{
    return verticalHeader()->defaultSectionSize();
}

void TvyxDBGrid::SetDefaultRowHeight(int Value)
{
    verticalHeader()->setDefaultSectionSize(Value);
}

void TvyxDBGrid::SetThumbTracking(bool Value)
{
    FThumbTracking = Value;
    // Without tracking the rows move only when the thumb is released.
    verticalScrollBar()->setTracking(Value);
}

bool TvyxDBGrid::SortableDataSource() const
{
    return FDataSource && FDataSource->dataSet() && FDataSource->dataSet()->active() &&
           FDataSource->sortable();
}

void TvyxDBGrid::SetSortFieldNames(const QString &Value)
{
    if (!SortableDataSource())
        return;
    const QScopedValueRollback changing(FChangingSort, true);
    if (!FDataSource->findIndex(Value)) {
        FDataSource->addIndex(Value, Value, FSortOptions);
        FDataSource->setIndexName(Value);
    }
    if (Value != FSortFieldNames) {
        FDataSource->setIndexName(Value);
        FDataSource->setIndexOptions(Value, FDataSource->findIndex(Value)->options & ~soDescending);
        // The arrow shows what the rows do: a new sort starts ascending.
        FSortOptions &= ~soDescending;
    } else {
        ToggleSortingOrder();
    }
    FSortFieldNames = Value;
    FTitleHeader->viewport()->update();
}

void TvyxDBGrid::FollowNewData()
{
    if (FChangingSort || FSortFieldNames.isEmpty())
        return;
    // A closed query, or one taken away before the next is attached (as the SQL page runs a
    // statement), shows no rows: the sort waits for the next rows.
    if (FDataSource && (!FDataSource->dataSet() || !FDataSource->dataSet()->active()))
        return;
    bool fieldsPresent = FDataSource != nullptr;
    for (const QString &field : FSortFieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        fieldsPresent = fieldsPresent && FDataSource->fieldColumn(field.trimmed()) >= 0;
    if (!fieldsPresent || !FDataSource->sortable()) {
        DropSort();
        return;
    }
    // New data behind the same model keeps the model's index; a new dataset or model lacks it.
    if (FDataSource->findIndex(FSortFieldNames) &&
        FDataSource->indexName().compare(FSortFieldNames, Qt::CaseInsensitive) == 0)
        return;
    const QScopedValueRollback changing(FChangingSort, true);
    FDataSource->addIndex(FSortFieldNames, FSortFieldNames, FSortOptions);
    FDataSource->setIndexName(FSortFieldNames);
}

void TvyxDBGrid::DropSort()
{
    if (FDataSource &&
        FDataSource->indexName().compare(FSortFieldNames, Qt::CaseInsensitive) == 0) {
        const QScopedValueRollback changing(FChangingSort, true);
        FDataSource->setIndexName(QString());
    }
    FSortFieldNames.clear();
    FSortOptions = DefaultSortOptions;
    FTitleHeader->viewport()->update();
}

void TvyxDBGrid::SetSortOptions(TFDSortOptions Value)
{
    if (!SortableDataSource())
        return;
    const QScopedValueRollback changing(FChangingSort, true);
    const QString indexName = FDataSource->indexName();
    if (FDataSource->findIndex(indexName))
        FDataSource->setIndexOptions(indexName, Value);
    FSortOptions = Value;
    FTitleHeader->viewport()->update();
}

void TvyxDBGrid::ToggleSortingOrder()
{
    SetSortOptions(FSortOptions ^ soDescending);
}

TColumn *TvyxDBGrid::ColumnByFieldName(const QString &AFieldName) const
{
    for (int i = 0; i < FColumns->Count(); ++i)
        if (FColumns->Items(i)->FieldName() == AFieldName)
            return FColumns->Items(i);
    return nullptr;
}

int TvyxDBGrid::SelectedIndex() const
{
    return currentIndex().isValid() ? currentIndex().column() : -1;
}

QString TvyxDBGrid::TitleArrow(int DataColumn) const
{
    const TColumn *column = FColumns->Items(DataColumn);
    // A column without a field (a computed one) is never the sorted column, also while nothing
    // is sorted and the sort field is empty too.
    if (!column || column->FieldName().isEmpty() || column->FieldName() != FSortFieldNames)
        return QString();
    return FSortOptions.testFlag(soDescending) ? ArrowDown : ArrowUp;
}

void TvyxDBGrid::DrawCell(int ACol, int ARow, QImage &Cell)
{
    if (ARow != 0)
        return;
    const QString arrow = TitleArrow(ACol);
    if (arrow.isEmpty())
        return;
    QPainter canvas(&Cell);
    canvas.setFont(FTitleHeader->font());
    const int half = canvas.fontMetrics().horizontalAdvance(ArrowDown) / 2;
    const QRect cell(QPoint(0, 0), Cell.deviceIndependentSize().toSize());
    const QRect strip(cell.right() + 1 - 4 * half, cell.top(), 4 * half, cell.height());
    canvas.fillRect(strip, Cell.pixelColor(1, 1));
    canvas.setPen(FTitleHeader->palette().color(QPalette::ButtonText));
    canvas.drawText(QRect(strip.left() + half, cell.top() + 2, strip.width(), cell.height()),
                    Qt::AlignLeft | Qt::AlignTop, arrow);
}

bool TvyxDBGrid::CanEditShow()
{
    const QModelIndex current = currentIndex();
    bool CanEdit = FOptions.testFlag(dgEditing) && !FReadOnly && current.isValid() &&
                   current.flags().testFlag(Qt::ItemIsEditable);
    if (FOnCanEditShow)
        FOnCanEditShow(FColumns->Items(SelectedIndex()), CanEdit);
    return CanEdit;
}

bool TvyxDBGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool opens = state() != EditingState && index.isValid() &&
                       (trigger == AllEditTriggers || editTriggers().testFlag(trigger));
    if (opens) {
        if (index != currentIndex())
            setCurrentIndex(index);
        if (!CanEditShow())
            return false;
    }
    return QTableView::edit(index, trigger, event);
}

TGridCoord TvyxDBGrid::TitleCellAt(const QPoint &pos) const
{
    const int column = FTitleHeader->logicalIndexAt(pos);
    return column < 0 ? TGridCoord() : TGridCoord{column, 0};
}

bool TvyxDBGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FTitleHeader->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            FHeaderGesture = false;
            FMouseDownCell = TitleCellAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const TGridCoord cell = TitleCellAt(mouse->position().toPoint());
            // A press and release in different cells (or a drag of a column) is no click.
            if (mouse->button() == Qt::LeftButton && !FHeaderGesture && cell.X >= 0 &&
                cell == FMouseDownCell)
                TitleClick(FColumns->Items(cell.X));
        }
    }
    return QTableView::eventFilter(watched, event);
}

void TvyxDBGrid::TitleClick(TColumn *Column)
{
    if (!Column)
        return;
    if (Column->FieldName().isEmpty()) {
        // Nothing to sort by; the title-click event still comes.
    } else if (Column->FieldName() != FSortFieldNames) {
        SetSortFieldNames(Column->FieldName());
        SetSortOptions(DefaultSortOptions);
    } else {
        ToggleSortingOrder();
    }
    if (FOptions.testFlag(dgTitleClick) && FOnTitleClick)
        FOnTitleClick(Column);
}

void TvyxDBGrid::mousePressEvent(QMouseEvent *event)
{
    QTableView::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    const int row = rowAt(pos.y());
    const int column = columnAt(pos.x());
    FMouseDownCell = row < 0 || column < 0 ? TGridCoord() : TGridCoord{column, row + 1};
}

void TvyxDBGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    CheckTopLeft();
}

void TvyxDBGrid::CheckTopLeft()
{
    const TGridCoord topLeft{std::max(0, columnAt(0)), std::max(0, rowAt(0)) + 1};
    if (topLeft == FTopLeft)
        return;
    const bool first = FTopLeft == TGridCoord();
    FTopLeft = topLeft;
    if (!first)
        TopLeftChanged();
}

void TvyxDBGrid::TopLeftChanged()
{
    if (FOnTopLeftChanged)
        FOnTopLeftChanged(this);
}

void TvyxDBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid())
        FLastColumn = current.column();
    if (FFollowing || !FDataSource || !current.isValid() || current.row() == previous.row() ||
        current.row() == FDataSource->currentRow())
        return;
    try {
        FDataSource->moveTo(current.row());
    } catch (const Error &error) {
        // A pending edit that cannot be posted keeps the record; the grid goes back to it.
        Q_EMIT FDataSource->errorOccurred(error.message());
        FollowDataSetRow(FDataSource->currentRow());
    }
}

void TvyxDBGrid::FollowDataSetRow(int row)
{
    const QScopedValueRollback following(FFollowing, true);
    if (row < 0 || row >= FColumns->rowCount() || FColumns->Count() == 0) {
        if (currentIndex().isValid() && row < 0)
            selectionModel()->clearCurrentIndex();
        return;
    }
    if (currentIndex().row() == row)
        return;
    const int column = std::clamp(FLastColumn, 0, FColumns->Count() - 1);
    selectionModel()->setCurrentIndex(FColumns->index(row, column),
                                      QItemSelectionModel::ClearAndSelect);
}

void TvyxDBGrid::ApplyColumnLayout()
{
    const QScopedValueRollback applying(FApplyingLayout, true);
    const int charWidth = fontMetrics().averageCharWidth();
    for (int i = 0; i < FColumns->Count(); ++i) {
        TColumn *column = FColumns->Items(i);
        if (column->Width() < 0) {
            const int characters = FColumns->fieldDisplayWidth(i);
            column->FWidth = characters > 0 ? characters * charWidth + 8 : 64;
        }
        FTitleHeader->resizeSection(i, column->Width());
        setColumnHidden(i, !column->Visible());
    }
    FTitleHeader->viewport()->update();
}

void TvyxDBGrid::OnSectionMoved(int logicalIndex, int oldVisualIndex, int newVisualIndex)
{
    FHeaderGesture = true;
    if (FApplyingLayout)
        return;
    {
        // The header keeps the collection's order; the collection takes the move.
        const QScopedValueRollback applying(FApplyingLayout, true);
        const QSignalBlocker blocker(FTitleHeader);
        FTitleHeader->moveSection(newVisualIndex, oldVisualIndex);
    }
    if (TColumn *column = FColumns->Items(logicalIndex))
        column->SetIndex(newVisualIndex);
}

void TvyxDBGrid::OnSectionResized(int logicalIndex, int, int newSize)
{
    if (FApplyingLayout)
        return;
    FHeaderGesture = true;
    if (TColumn *column = FColumns->Items(logicalIndex))
        if (newSize > 0)
            column->FWidth = newSize;
}

} // namespace tev
