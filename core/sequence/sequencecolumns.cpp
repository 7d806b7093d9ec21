#include "core/sequence/sequencecolumns.h"

namespace tev {

QString SequenceColumnLine()
{
    QString line;
    for (const SequenceColumn &c : kSequenceColumns) {
        line += QLatin1String(c.name.data(), qsizetype(c.name.size()));
        line += QLatin1Char('\t');
    }
    return line;
}

} // namespace tev
