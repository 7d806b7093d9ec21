#include "scripting/host/tfddataset.h"

#include "platform/dataset/dataset.h"
#include "platform/error.h"
#include "scripting/host/tfdfield.h"

#include <memory>

namespace tev {

TFDDataSet::TFDDataSet(DataSet &ADataSet, QObject *AOwner)
    : QObject(AOwner)
    , FBorrowed(&ADataSet)
{}

TFDDataSet::TFDDataSet(QObject *AOwner)
    : QObject(AOwner)
{}

TFDDataSet::~TFDDataSet() = default;

DataSet &TFDDataSet::Checked() const
{
    DataSet *ds = CurrentDataSet();
    if (!ds || !ds->active())
        throw Error(QStringLiteral("%1: Cannot perform this operation on a closed dataset")
                        .arg(objectName().isEmpty() ? QString::fromLatin1(metaObject()->className())
                                                          .section(QStringLiteral("::"), -1)
                                                    : objectName()));
    return *ds;
}

bool TFDDataSet::Active() const
{
    const DataSet *ds = CurrentDataSet();
    return ds && ds->active();
}

void TFDDataSet::SetActive(bool Value)
{
    if (Value == Active())
        return;
    if (Value)
        Open();
    else
        Close();
}

bool TFDDataSet::Eof() const
{
    return Checked().eof();
}

bool TFDDataSet::Bof() const
{
    return Checked().bof();
}

int TFDDataSet::RecordCount() const
{
    const DataSet *ds = CurrentDataSet();
    return ds && ds->active() ? ds->recordCount() : 0;
}

int TFDDataSet::FieldCount() const
{
    const DataSet *ds = CurrentDataSet();
    return ds ? ds->fieldCount() : 0;
}

void TFDDataSet::Open()
{
    DoOpen();
}

void TFDDataSet::Close()
{
    DoClose();
}

void TFDDataSet::DoOpen()
{
    if (!Active())
        throw Error(QStringLiteral("The dataset %1 is opened by the program").arg(objectName()));
}

void TFDDataSet::DoClose()
{
    throw Error(QStringLiteral("The dataset %1 is closed by the program").arg(objectName()));
}

void TFDDataSet::First()
{
    Checked().first();
}

void TFDDataSet::Next()
{
    Checked().next();
}

void TFDDataSet::Prior()
{
    Checked().prior();
}

void TFDDataSet::Last()
{
    Checked().last();
}

void TFDDataSet::Edit()
{
    Checked().edit();
}

void TFDDataSet::Append()
{
    Checked().append();
}

void TFDDataSet::Post()
{
    Checked().post();
}

void TFDDataSet::Cancel()
{
    Checked().cancel();
}

void TFDDataSet::Delete()
{
    Checked().deleteRecord();
}

QObject *TFDDataSet::FieldByName(const QString &FieldName)
{
    if (QObject *f = FindField(FieldName))
        return f;
    throw Error(QStringLiteral("Field '%1' not found").arg(FieldName));
}

QObject *TFDDataSet::FindField(const QString &FieldName)
{
    DataSet *ds = CurrentDataSet();
    if (!ds)
        return nullptr;
    const QString key = FieldName.toUpper();
    if (TField *known = FFields.value(key))
        return known;
    Field *field = ds->findField(FieldName);
    if (!field)
        return nullptr;
    auto *view = new TField(*field, this); // a child: it goes with the dataset at the latest
    FFields.insert(key, view);
    return view;
}

void TFDDataSet::ResetFields()
{
    for (const QPointer<TField> &f : std::as_const(FFields))
        if (f)
            std::unique_ptr<TField> doomed(f.data());
    FFields.clear();
}

} // namespace tev
