#include "platform/dataset/dataset.h"

#include "platform/error.h"

namespace tev {

DataSet::~DataSet() = default;

Field *DataSet::findField(const QString &name) const
{
    for (int i = 0; i < fieldCount(); ++i) {
        Field &f = field(i);
        if (f.fieldName().compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

Field &DataSet::fieldByName(const QString &name) const
{
    if (Field *f = findField(name))
        return *f;
    throw Error(QStringLiteral("Field '%1' not found").arg(name));
}

} // namespace tev
