#include "core/lib/fieldroutines.h"

#include "core/lib/numbers.h"
#include "platform/dataset/dataset.h"

namespace tev {

void SetFieldDouble(Field *Field, double X)
{
    if (!Field)
        return;
    if (IsDoubleOK(X))
        Field->setAsFloat(X);
    else
        Field->clear();
}

double GetFieldDouble(const Field *Field, int Decimals)
{
    if (!Field || Field->isNull())
        return NaN;
    return Rnd(Field->asFloat(), Decimals);
}

QString FieldToDoubleStr(const Field &Field, int Decimals, QChar Separator)
{
    if (Field.isNull())
        return {};
    return DoubleToStr(Field.asFloat(), Decimals, Separator);
}

void EnsureEditState(DataSet &DataSet)
{
    if (!DataSet.editing())
        DataSet.edit();
}

void PostIfEditing(DataSet &DataSet)
{
    if (DataSet.editing())
        DataSet.post();
}

void CopyFieldValues(const DataSet &Source, DataSet &Dest)
{
    if (!Source.active() || !Dest.active() || !Dest.editing())
        return;
    for (int i = 0; i < Dest.fieldCount(); ++i) {
        Field &dest = Dest.field(i);
        if (const Field *source = Source.findField(dest.fieldName()))
            dest.setValue(source->value());
    }
}

} // namespace tev
