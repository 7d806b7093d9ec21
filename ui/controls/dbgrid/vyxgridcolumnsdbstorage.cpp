#include "ui/controls/dbgrid/vyxgridcolumnsdbstorage.h"

#include <QStringList>

namespace tev {

QString TvyxGridColumnsDBStorage::SelectStatement() const
{
    return QStringList{QStringLiteral("select ") + FValueFieldName,
                       QStringLiteral("from ") + FTableName,
                       QStringLiteral("where ") + FIdFieldName + QStringLiteral(" = :IDFIELD")}
        .join(QLatin1Char('\n'));
}

} // namespace tev
