#pragma once

// The column collection of TvyxDBGrid and the model the grid's view shows.
//
// A data grid's columns are its own: each names a field and carries a title, a width and a
// visibility, and their order is the collection's order. TDBGridColumns holds them and is, at the
// same time, the table model of the grid's view: grid column n shows the field of column n, read
// from the DataSetModel below it. While the collection has never been changed it is in its
// default state and follows the dataset: one column per visible field, rebuilt whenever the
// dataset's fields are read again. Adding, clearing or reordering columns leaves that state.
//
// Changes of order or membership reset the model (the grid restores its current cell); width and
// visibility changes only ask the grid to lay out its header again. Between BeginUpdate and
// EndUpdate all of it is gathered into one reset.
//
// A stored collection (read by LoadColumns from a database table) is JSON text, so that a
// layout stays readable and a damaged one is recognised instead of half applied.

#include "ui/models/datasetmodel.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <memory>
#include <vector>

namespace tev {

class TDBGridColumns;

class TColumn
{
public:
    // The width of a column not yet laid out: the grid gives it the field's display width.
    static constexpr int DefaultWidth = -1;

    QString FieldName() const { return FFieldName; }
    void SetFieldName(const QString &Value);
    // The title caption; empty shows the field's display label.
    QString Title() const { return FTitle; }
    void SetTitle(const QString &Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // The position in the collection; setting it moves the column.
    int Index() const;
    void SetIndex(int Value);

private:
    friend class TDBGridColumns;
    friend class TvyxDBGrid; // takes the widths the user drags without a new layout pass
    explicit TColumn(TDBGridColumns *Owner)
        : FOwner(Owner)
    {}

    TDBGridColumns *FOwner;
    QString FFieldName;
    QString FTitle;
    int FWidth = DefaultWidth;
    bool FVisible = true;
};

class TDBGridColumns : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TDBGridColumns(QObject *parent = nullptr);
    ~TDBGridColumns() override;

    DataSetModel *sourceModel() const { return m_source; }
    void setSourceModel(DataSetModel *source);

    int Count() const { return int(FItems.size()); }
    TColumn *Items(int Index) const;
    TColumn *Add();
    void Clear();
    // Whether the columns follow the dataset's fields (no column was added, moved or cleared).
    bool DefaultState() const { return FDefaultState; }
    // Back to one column per visible field.
    void RestoreDefaults();
    void BeginUpdate();
    void EndUpdate();
    // Adds the columns of a stored collection: a JSON array of objects with "FieldName" (text),
    // "Title" (text), "Width" (integer, pixels) and "Visible" (Boolean); a missing member keeps
    // the column's default. Returns false, adding nothing, when the data is not such an array.
    bool LoadFromStream(const QByteArray &Data);

    // The source model's column of a grid column, or -1 when its field is missing.
    int sourceColumn(int column) const;
    // The display width in characters of a column's field (0 when unknown).
    int fieldDisplayWidth(int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

Q_SIGNALS:
    // Widths or visibility changed: the grid lays out its header again.
    void columnLayoutChanged();

private:
    friend class TColumn;
    void structureChanging();
    void structureChanged();
    void layoutChanged();
    void buildDefaultColumns();
    void moveColumn(int from, int to);

    QPointer<DataSetModel> m_source;
    std::vector<QMetaObject::Connection> m_connections;
    std::vector<std::unique_ptr<TColumn>> FItems;
    bool FDefaultState = true;
    int FUpdateCount = 0;
};

} // namespace tev
