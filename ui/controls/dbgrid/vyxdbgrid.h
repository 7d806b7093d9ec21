#pragma once

// TvyxDBGrid: the program's data grid, a table view over a DataSetModel with a column collection
// of its own (TDBGridColumns), sorting by a click on a column title, an editor permission event,
// a top-left-changed event, thumb tracking, and the column layout saved to and restored from the
// per-user registry or loaded from a database table.
//
// Cells and columns. The titles are the horizontal header, the indicator column is the vertical
// header, so a grid column of the view is always the data column of the same number. A user who
// drags a title to another place moves the column in the collection; the header itself always
// shows the collection's order.
//
// Sorting goes through the named indexes of the data source: a title click selects (and first
// adds) the index named after the column's field and flips its direction on a second click. A
// data source that is not sortable (the client dataset of the program's records) ignores it, and
// a column without a field neither sorts nor shows an arrow. When the data is replaced (another
// dataset, another data source) the sort is applied to the new rows, or, when they cannot be
// sorted by it, dropped with its arrow: the arrow never stands over rows in another order.
//
// Title clicks follow the grid's own rule, not the header's: the click counts only when the
// button is released over the cell where it was pressed and no title was resized or moved in
// between.

#include "ui/controls/dbgrid/dbgridcolumns.h"
#include "ui/models/sortoptions.h"

#include <QPointer>
#include <QTableView>
#include <functional>

namespace tev {

class TvyxGridColumnsDBStorage;

// A grid cell: X the data column, Y the row with the title row as 0 and the records from 1.
struct TGridCoord
{
    int X = -1;
    int Y = -1;
    bool operator==(const TGridCoord &) const = default;
};

enum TDBGridOption {
    dgEditing = 0x01,
    dgTitles = 0x02,
    dgIndicator = 0x04,
    dgColumnResize = 0x08,
    dgTitleClick = 0x10,
};
Q_DECLARE_FLAGS(TDBGridOptions, TDBGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TDBGridOptions)

using TvyxDBGridCanEditShowEvent = std::function<void(TColumn *Column, bool &CanEdit)>;
using TNotifyEvent = std::function<void(QObject *Sender)>;
using TDBGridClickEvent = std::function<void(TColumn *Column)>;

class TvyxDBGrid : public QTableView
{
    Q_OBJECT

public:
    static constexpr int DefaultRowHeightValue = 24;
    static constexpr TDBGridOptions DefaultOptions{dgEditing | dgTitles | dgIndicator |
                                                   dgColumnResize | dgTitleClick};
    static constexpr TFDSortOptions DefaultSortOptions{soNullFirst | soDescNullLast};

    explicit TvyxDBGrid(QWidget *aOwner = nullptr);
    ~TvyxDBGrid() override;

    // The data source is not owned; the grid lets go of it when it is destroyed.
    DataSetModel *DataSource() const { return FDataSource; }
    void SetDataSource(DataSetModel *Value);
    TDBGridColumns *Columns() const { return FColumns; }
    TvyxGridColumnsDBStorage *ColumnsDBStorage() const { return FColumnsDBStorage; }

    TDBGridOptions Options() const { return FOptions; }
    void SetOptions(TDBGridOptions Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    int DefaultRowHeight() const;
    void SetDefaultRowHeight(int Value);
    bool ThumbTracking() const { return FThumbTracking; }
    void SetThumbTracking(bool Value);

    QString SortFieldNames() const { return FSortFieldNames; }
    void SetSortFieldNames(const QString &Value);
    TFDSortOptions SortOptions() const { return FSortOptions; }
    void SetSortOptions(TFDSortOptions Value);
    void ToggleSortingOrder();

    // The first column, in column order, whose field name equals AFieldName exactly.
    TColumn *ColumnByFieldName(const QString &AFieldName) const;
    // The data column of the current cell, or -1.
    int SelectedIndex() const;
    // The arrow a column's title shows: "˄" ascending, "˅" descending, or empty.
    QString TitleArrow(int DataColumn) const;
    TGridCoord MouseDownCell() const { return FMouseDownCell; }

    // Loads the column collection from the database table of ColumnsDBStorage when it is
    // active; every error is swallowed (the collection may then be left empty).
    void LoadColumns();
    // The column layout below a registry key ("Software\Vyx\Tevora\..."); store errors throw
    // tev::Error.
    void LoadFromRegistry(const QString &ARegistryKey);
    void SaveToRegistry(const QString &ARegistryKey);

    void SetOnCanEditShow(TvyxDBGridCanEditShowEvent Value) { FOnCanEditShow = std::move(Value); }
    void SetOnTopLeftChanged(TNotifyEvent Value) { FOnTopLeftChanged = std::move(Value); }
    void SetOnTitleClick(TDBGridClickEvent Value) { FOnTitleClick = std::move(Value); }

    using QTableView::edit;

protected:
    virtual bool CanEditShow();
    // Draws over a title cell after its default drawing; Cell holds the cell's pixels, so the
    // arrow strip takes the title's own background.
    virtual void DrawCell(int ACol, int ARow, QImage &Cell);
    virtual void TitleClick(TColumn *Column);
    virtual void TopLeftChanged();

    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    class TitleHeader;

    bool SortableDataSource() const;
    // After the data source's rows were read anew: applies the sort to them or drops it.
    void FollowNewData();
    void DropSort();
    TGridCoord TitleCellAt(const QPoint &pos) const;
    void ApplyColumnLayout();
    void FollowDataSetRow(int row);
    void CheckTopLeft();
    void OnSectionMoved(int logicalIndex, int oldVisualIndex, int newVisualIndex);
    void OnSectionResized(int logicalIndex, int oldSize, int newSize);

    QPointer<DataSetModel> FDataSource;
    QMetaObject::Connection FRowConnection;
    QMetaObject::Connection FResetConnection;
    TDBGridColumns *FColumns;
    TvyxGridColumnsDBStorage *FColumnsDBStorage;
    TitleHeader *FTitleHeader;

    TDBGridOptions FOptions = DefaultOptions;
    bool FReadOnly = false;
    bool FThumbTracking = false;
    QString FSortFieldNames;
    TFDSortOptions FSortOptions = DefaultSortOptions;
    TGridCoord FMouseDownCell;
    TGridCoord FTopLeft;
    bool FHeaderGesture = false; // a title was resized or moved since the last press
    bool FApplyingLayout = false;
    bool FFollowing = false;
    bool FChangingSort = false; // the grid itself is changing the data source's order
    int FLastColumn = 0;

    TvyxDBGridCanEditShowEvent FOnCanEditShow;
    TNotifyEvent FOnTopLeftChanged;
    TDBGridClickEvent FOnTitleClick;
};

} // namespace tev
