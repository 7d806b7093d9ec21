#pragma once

// TFDMemTable: an in-memory table for scripts, on the program's in-memory dataset. A script
// describes its fields (FieldDefs.Add(Name, DataType, Size, Required) with the field type
// constants ftString, ftInteger, ftFloat, ftMemo and their kin), calls CreateDataSet (or Open),
// then appends, edits and walks records as with any TFDDataSet. EmptyDataSet deletes the
// records; Close keeps the field definitions, and Open creates the table again, empty.

#include "scripting/host/tfddataset.h"

#include <QString>
#include <memory>
#include <vector>

namespace tev {

class MemDataSet;

// The field types, with the numbers the dialect's DB unit gives them.
enum class TFieldType {
    ftUnknown = 0,
    ftString = 1,
    ftSmallint = 2,
    ftInteger = 3,
    ftWord = 4,
    ftBoolean = 5,
    ftFloat = 6,
    ftCurrency = 7,
    ftBCD = 8,
    ftAutoInc = 14,
    ftMemo = 16,
    ftFmtMemo = 18,
    ftFixedChar = 23,
    ftWideString = 24,
    ftLargeint = 25,
    ftFMTBcd = 37,
    ftFixedWideChar = 38,
    ftWideMemo = 39
};

class TFDFieldDefs : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Count READ Count)

public:
    explicit TFDFieldDefs(QObject *AOwner);

    struct Def
    {
        QString name;
        TFieldType type;
        int size;
        bool required;
    };

    int Count() const { return int(FDefs.size()); }
    const std::vector<Def> &Defs() const { return FDefs; }
    // A type the table cannot hold, or a name given twice, throws tev::Error.
    Q_INVOKABLE void Add(const QString &Name, int DataType, int Size = 0, bool Required = false);
    Q_INVOKABLE void Clear() { FDefs.clear(); }

private:
    std::vector<Def> FDefs;
};

class TFDMemTable : public TFDDataSet
{
    Q_OBJECT
    Q_PROPERTY(QObject *FieldDefs READ FieldDefsObject)

public:
    Q_INVOKABLE explicit TFDMemTable(QObject *AOwner = nullptr);
    ~TFDMemTable() override;

    TFDFieldDefs &FieldDefs() { return *FFieldDefs; }
    QObject *FieldDefsObject() { return FFieldDefs; }

    // A new, empty, open table with the fields of FieldDefs; the records of an earlier one go.
    Q_INVOKABLE void CreateDataSet();
    Q_INVOKABLE void EmptyDataSet();

protected:
    DataSet *CurrentDataSet() const override;
    void DoOpen() override;
    void DoClose() override;

private:
    TFDFieldDefs *FFieldDefs; // a child
    std::unique_ptr<MemDataSet> FTable;
};

} // namespace tev
