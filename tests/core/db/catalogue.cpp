#include "catalogue.h"

#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace tev::test {

namespace {

QString TypeName(int type, int subType, int length)
{
    switch (type) {
    case 7:
        return "smallint";
    case 8:
        return "integer";
    case 10:
        return "float";
    case 27:
        return "double precision";
    case 37:
        return QString("varchar(%1)").arg(length);
    case 261:
        return subType == 1 ? "blob text" : "blob";
    default:
        return QString("type %1").arg(type);
    }
}

} // namespace

QStringList Column(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    EXPECT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
    QStringList result;
    while (q.next())
        result << q.value(0).toString().trimmed();
    return result;
}

QStringList FirebirdTables(const QSqlDatabase &db)
{
    return Column(db, "select RDB$RELATION_NAME from RDB$RELATIONS "
                      "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 order by 1");
}

QStringList FirebirdColumns(const QSqlDatabase &db, const QString &table)
{
    QSqlQuery q(db);
    q.prepare("select RF.RDB$FIELD_NAME, F.RDB$FIELD_TYPE, F.RDB$FIELD_SUB_TYPE, "
              "F.RDB$CHARACTER_LENGTH, RF.RDB$NULL_FLAG, CS.RDB$CHARACTER_SET_NAME, "
              "cast(RF.RDB$DEFAULT_SOURCE as varchar(100)) "
              "from RDB$RELATION_FIELDS RF "
              "join RDB$FIELDS F on F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
              "left join RDB$CHARACTER_SETS CS on CS.RDB$CHARACTER_SET_ID = F.RDB$CHARACTER_SET_ID "
              "where RF.RDB$RELATION_NAME = ? order by RF.RDB$FIELD_POSITION");
    q.addBindValue(table);
    EXPECT_TRUE(q.exec()) << q.lastError().text().toStdString();
    QStringList result;
    while (q.next()) {
        QString text = q.value(0).toString().trimmed() + ' ' +
                       TypeName(q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt());
        const QString charset = q.value(5).toString().trimmed();
        if (q.value(1).toInt() == 37 || q.value(1).toInt() == 261)
            text += ' ' + charset;
        if (q.value(4).toInt() == 1)
            text += " not null";
        const QString def = q.value(6).toString().trimmed();
        if (!def.isEmpty())
            text += ' ' + def;
        result << text;
    }
    return result;
}

QString FirebirdPrimaryKey(const QSqlDatabase &db, const QString &table)
{
    QSqlQuery q(db);
    q.prepare("select RC.RDB$CONSTRAINT_NAME, S.RDB$FIELD_NAME from RDB$RELATION_CONSTRAINTS RC "
              "join RDB$INDEX_SEGMENTS S on S.RDB$INDEX_NAME = RC.RDB$INDEX_NAME "
              "where RC.RDB$RELATION_NAME = ? and RC.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' "
              "order by S.RDB$FIELD_POSITION");
    q.addBindValue(table);
    EXPECT_TRUE(q.exec()) << q.lastError().text().toStdString();
    QString name;
    QStringList fields;
    while (q.next()) {
        name = q.value(0).toString().trimmed();
        fields << q.value(1).toString().trimmed();
    }
    return name.isEmpty() ? QString() : name + '(' + fields.join(", ") + ')';
}

QStringList FirebirdTriggers(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    EXPECT_TRUE(q.exec("select RDB$TRIGGER_NAME, RDB$RELATION_NAME from RDB$TRIGGERS "
                       "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 order by 1"));
    QStringList result;
    while (q.next())
        result << q.value(0).toString().trimmed() + " on " + q.value(1).toString().trimmed();
    return result;
}

} // namespace tev::test
