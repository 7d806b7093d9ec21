#include "scripting/host/tfdmemtable.h"

#include "platform/dataset/memdataset.h"
#include "platform/error.h"

namespace tev {

namespace {

// The data layer's kind for a field type; false for a type the table cannot hold.
bool StorageOf(TFieldType Type, FieldType &Storage)
{
    switch (Type) {
    case TFieldType::ftString:
    case TFieldType::ftFixedChar:
    case TFieldType::ftWideString:
    case TFieldType::ftFixedWideChar:
        Storage = FieldType::String;
        return true;
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftWord:
    case TFieldType::ftBoolean:
    case TFieldType::ftAutoInc:
    case TFieldType::ftLargeint:
        Storage = FieldType::Integer;
        return true;
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
    case TFieldType::ftFMTBcd:
        Storage = FieldType::Double;
        return true;
    case TFieldType::ftMemo:
    case TFieldType::ftFmtMemo:
    case TFieldType::ftWideMemo:
        Storage = FieldType::Memo;
        return true;
    case TFieldType::ftUnknown:
        break;
    }
    return false;
}

} // namespace

TFDFieldDefs::TFDFieldDefs(QObject *AOwner)
    : QObject(AOwner)
{
    setObjectName(QStringLiteral("FieldDefs"));
}

void TFDFieldDefs::Add(const QString &Name, int DataType, int Size, bool Required)
{
    FieldType storage;
    if (!StorageOf(static_cast<TFieldType>(DataType), storage))
        throw Error(QStringLiteral("Field '%1': the field type %2 is not supported")
                        .arg(Name)
                        .arg(DataType));
    if (Name.trimmed().isEmpty())
        throw Error(QStringLiteral("A field needs a name"));
    for (const Def &d : FDefs)
        if (d.name.compare(Name, Qt::CaseInsensitive) == 0)
            throw Error(QStringLiteral("Duplicate field name '%1'").arg(Name));
    if (storage == FieldType::String && Size <= 0)
        Size = 20; // the data layer's default length of a text field
    FDefs.push_back({Name, static_cast<TFieldType>(DataType), Size, Required});
}

TFDMemTable::TFDMemTable(QObject *AOwner)
    : TFDDataSet(AOwner)
    , FFieldDefs(new TFDFieldDefs(this))
{}

TFDMemTable::~TFDMemTable()
{
    ResetFields();
}

DataSet *TFDMemTable::CurrentDataSet() const
{
    return FTable.get();
}

void TFDMemTable::CreateDataSet()
{
    if (FFieldDefs->Defs().empty())
        throw Error(QStringLiteral("The table has no field definitions"));
    auto table = std::make_unique<MemDataSet>();
    for (const TFDFieldDefs::Def &d : FFieldDefs->Defs()) {
        FieldType storage = FieldType::String;
        StorageOf(d.type, storage);
        table->addField(d.name, storage, storage == FieldType::String ? d.size : 0, d.required);
    }
    table->createDataSet();
    ResetFields();
    FTable = std::move(table);
}

void TFDMemTable::EmptyDataSet()
{
    Checked();
    FTable->emptyDataSet();
}

void TFDMemTable::DoOpen()
{
    if (!Active())
        CreateDataSet();
}

void TFDMemTable::DoClose()
{
    ResetFields();
    FTable.reset();
}

} // namespace tev
