#pragma once

// DataSetModel: a Qt table model over a DataSet (the record and field interface), so that the
// in-memory dataset and the database row sets show in item views.
//
// Design. The model reads the dataset on demand: it keeps the key of each row's record (eight
// bytes a row) and answers data() by reading that record through the fields (ReadRecordScope),
// so values and display texts (the fields' get-text handlers) come from the dataset when a view
// asks for them, and a sequence of 100,000 characteristics costs a vector of keys, not a copy.
// The keys are read anew when the data changes; when they are the same keys in the same order
// (an edit that did not move its record) only dataChanged is emitted, so that views keep their
// editors and selection; otherwise the model resets. For a MemDataSet the model follows the
// dataset's notifications, which a disabled-controls scope holds back until it ends; another
// DataSet has no notifications, and its owner calls refresh() after changing it.
//
// While the dataset edits or inserts, the model shows the edit buffer in the current row (an
// inserted record as an extra last row) until the post or cancel, and reads no keys, since the
// data layer posts a pending edit on navigation.
//
// Sorting. The model can order its rows by named indexes of its own (a field list and
// TFDSortOptions), which grids select by name. The order is the model's, not the cursor's: the
// dataset's next() still follows the dataset's own index. Sorting is on by default for every
// dataset except MemDataSet, the client dataset of the program's own records, whose grids keep
// the order of the data. Text is ordered by the collation of the default locale (QLocale()), so
// case and accents sort as the user's language expects; soNoCase ignores case. A sort reads the
// index's fields of every record once and keeps only the new order of the keys.
//
// The trade-off: every data change costs a walk of the keys (O(n), no values), and a data()
// call costs a lookup of its record by key.

#include "platform/dataset/memdataset.h"
#include "ui/models/sortoptions.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

namespace tev {

class DataSetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // headerData(section, Qt::Horizontal, FieldNameRole) is the field name of a column.
    static constexpr int FieldNameRole = Qt::UserRole + 1;
    // The field's visibility (bool) and display width in characters (int).
    static constexpr int FieldVisibleRole = Qt::UserRole + 2;
    static constexpr int FieldDisplayWidthRole = Qt::UserRole + 3;

    struct SortIndex
    {
        QString name;
        QStringList fields;
        TFDSortOptions options;
    };

    explicit DataSetModel(QObject *parent = nullptr);
    // The dataset must outlive the model or be replaced by setDataSet(nullptr) first.
    explicit DataSetModel(DataSet *dataSet, QObject *parent = nullptr);
    ~DataSetModel() override;

    DataSet *dataSet() const { return m_dataSet; }
    // Attaches a dataset and reads it; the model's named indexes are dropped.
    void setDataSet(DataSet *dataSet);
    // Reads the dataset again (for datasets that send no notifications).
    void refresh();

    // The column of a field (compared without regard to case), or -1.
    int fieldColumn(const QString &fieldName) const;
    QString fieldName(int column) const;
    // The row of the dataset's current record, or -1 (no record, or an inactive dataset).
    int currentRow() const { return m_currentRow; }
    // Makes the record of a row the dataset's current record (a pending edit is posted by the
    // dataset first). Returns false for a row out of range.
    bool moveTo(int row);

    // Named indexes of the model.
    bool sortable() const { return m_sortable; }
    void setSortable(bool on) { m_sortable = on; }
    const SortIndex *findIndex(const QString &name) const;
    // Adds an index (fields separated by ";"); an index of that name is replaced.
    void addIndex(const QString &name, const QString &fields, TFDSortOptions options);
    QString indexName() const { return m_indexName; }
    // Selects an index as the rows' order; the empty name or an unknown one is the dataset's order.
    void setIndexName(const QString &name);
    // Changes an index's options; the rows are sorted again when it is the selected one.
    void setIndexOptions(const QString &name, TFDSortOptions options);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Edits the record of the row: the text goes through the field's set-text handler and the
    // record is posted at once. On an error the edit is cancelled, errorOccurred is emitted and
    // false returned.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

Q_SIGNALS:
    void currentRowChanged(int row);
    void errorOccurred(const QString &message);

private:
    using RecordKey = DataSet::RecordKey;
    struct Columns
    {
        std::vector<QString> fieldNames;
        std::vector<QString> labels;
        std::vector<Qt::Alignment> alignments;
        std::vector<bool> visible;
        std::vector<int> displayWidths;
    };

    void attach();
    void detach();
    void onNotification(MemDataSet::Notification notification);
    void rebuild();
    Columns readColumns() const;
    // The keys of the records in the model's order.
    std::vector<RecordKey> readKeys() const;
    void sortKeys(std::vector<RecordKey> &keys) const;
    void resort();
    // The row of the dataset's current record, or -1.
    int findCurrentRow() const;
    void refreshCurrentRow();
    void setCurrentRow(int row);
    bool isInsertRow(int row) const { return m_insertRow && row == int(m_keys.size()); }
    QVariant fieldData(const Field &field, int role) const;

    DataSet *m_dataSet = nullptr;
    MemDataSet *m_memDataSet = nullptr;
    int m_observerId = 0;
    bool m_busy = false; // walking the cursor or editing: notifications are ours

    Columns m_columns;
    std::vector<RecordKey> m_keys;
    int m_currentRow = -1;
    bool m_insertRow = false;

    bool m_sortable = true;
    std::vector<SortIndex> m_indexes;
    QString m_indexName;
};

} // namespace tev
