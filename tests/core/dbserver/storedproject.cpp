#include "storedproject.h"

#include "core/db/tevdatamodule.h"
#include "core/project/projectdatasets.h"
#include "platform/dataset/memdataset.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <gtest/gtest.h>

namespace tev::test {

namespace {

StoredProject Read(QSqlQuery &query, bool withProjectRow)
{
    StoredProject result;
    QSet<QString> labels;
    while (query.next()) {
        result.exists = true;
        if (withProjectRow) {
            const QString params = QString::fromUtf8(query.value(0).toByteArray());
            if (params.startsWith(QLatin1String("MARKER=")))
                result.markers.insert(params.mid(7).toInt());
        }
        if (query.value(1).isNull())
            continue;
        ++result.rows;
        labels.insert(query.value(1).toString());
        result.markers.insert(qRound(query.value(2).toDouble()));
    }
    result.distinctLabels = int(labels.size());
    return result;
}

} // namespace

StoredProject ReadStoredProject(const QSqlDatabase &db, const QString &fileName)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare("select p.PARAMS, c.LABEL, c.NOMINAL from PROJECTS p "
                  "left join CHARACTERISTICS c on c.PROJECTID = p.PROJECTID "
                  "where p.FILENAME = :FILENAME");
    query.bindValue(":FILENAME", fileName);
    EXPECT_TRUE(query.exec()) << query.lastError().text().toStdString();
    return Read(query, true);
}

StoredProject ReadMasterRows(const QSqlDatabase &db, const QString &fileName,
                             const QString &masterFileName)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare("select p.PARAMS, c.LABEL, c.NOMINAL from PROJECTS p "
                  "left join CHARACTERISTICS c on c.PROJECTID = p.PROJECTID "
                  " and c.REF_FILENAME = :REF_FILENAME "
                  "where p.FILENAME = :FILENAME");
    query.bindValue(":REF_FILENAME", masterFileName);
    query.bindValue(":FILENAME", fileName);
    EXPECT_TRUE(query.exec()) << query.lastError().text().toStdString();
    return Read(query, false);
}

void StoreWorkOfMaster(TTevDataModule &data, const QString &fileName, const QString &masterFileName,
                       int rows)
{
    MemDataSet header;
    MemDataSet chars;
    CreateProjectDataSet(header);
    CreateCharDataSet(chars);
    header.append();
    header.fieldByName("PROJECTNAME").setAsString(fileName);
    header.fieldByName("FILENAME").setAsString(fileName);
    header.post();
    for (int i = 1; i <= rows; ++i) {
        chars.append();
        chars.fieldByName("CHARID").setAsInteger(i);
        chars.fieldByName("LABEL").setAsString(QString("L%1").arg(i, 5, 10, QChar('0')));
        chars.fieldByName("FEATURE").setAsString("F");
        chars.fieldByName("REF_FILENAME").setAsString(masterFileName);
        chars.fieldByName("NOMINAL").setAsFloat(1);
        chars.fieldByName("DECIMALS").setAsInteger(3);
        chars.fieldByName("ACTIVE").setAsInteger(1);
        chars.post();
    }
    data.WriteProject(fileName, header, chars, TTevDBUpdateMode::dbumSaveAll);
    QSqlQuery id(data.Database()->database());
    id.prepare("select PROJECTID from PROJECTS where FILENAME = ?");
    id.addBindValue(fileName);
    ASSERT_TRUE(id.exec() && id.next());
    data.AddRefProject(id.value(0).toInt(), masterFileName, "M");
}

} // namespace tev::test
