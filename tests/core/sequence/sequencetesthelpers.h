#pragma once

#include "core/project/tevproject.h"
#include "platform/dataset/memdataset.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace tev::test {

inline QString fixture(const QString &name)
{
    return QStringLiteral(TEVORA_FIXTURES_DIR "/sequence/") + name;
}

inline QByteArray readBytes(const QString &fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeBytes(const QString &fileName, const QByteArray &bytes)
{
    QFile f(fileName);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The characteristic dataset in its current order as rows of the named fields joined by "|".
inline QStringList table(MemDataSet &ds, const QStringList &fields)
{
    QStringList rows;
    for (ds.first(); !ds.eof(); ds.next()) {
        QStringList values;
        for (const QString &f : fields)
            values << ds.fieldByName(f).asString();
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

inline const QStringList kCharFields = {
    "GROUPID",      "CHARID",  "LABEL",       "GROUPNAME", "FEATURE",
    "CHARTYPE",     "NOMINAL", "LSL",         "USL",       "IMAGE",
    "IMAGEX",       "IMAGEY",  "DECIMALS",    "ACTIVE",    "STATE",
    "REF_FILENAME", "SEQNAME", "PROJECTNAME", "PROJECTID", "REF_PROJECTNAME",
    "REF_GROUPNAME"};

} // namespace tev::test
