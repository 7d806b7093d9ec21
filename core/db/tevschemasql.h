#pragma once

#include <QString>
#include <QStringList>

namespace tev {

// The statement texts of the schema, per database driver. "FB" is Firebird; every other driver
// name gets the SQL Server forms of the types and the trigger. Only "FB" and "MSSQL" have
// catalogue statements: asking for them with another driver throws tev::Error.
//
// The floating-point columns are "double precision" on Firebird, whose "float" has 32 bits and
// would round the stored limits; SQL Server's "float" has 64 bits.
//
// PROJECTS.WRITESTAMP changes with every insert and update of a row, by whatever client: on
// Firebird a trigger takes the next value of a sequence, on SQL Server it is a rowversion. Read
// through WriteStampValue it is an integer.
class TTevSchemaSql
{
public:
    // WriteStamp: integer on Firebird, rowversion on SQL Server.
    enum class ColumnKind { Integer, Float, Date, String, WriteStamp };

    // A catalogue check: its text and the names of its text parameters, in order.
    struct CatalogueQuery
    {
        QString sql;
        QStringList params;
    };

    explicit TTevSchemaSql(const QString &driverId);

    bool isFirebird() const { return m_firebird; }

    QString VarcharTypeName(int size) const;
    QString MemoTypeName() const;
    QString FloatTypeName() const;

    QString CreateTableDB() const;
    QString CreateTableProjects() const;
    QString CreateTableRefProjects() const;
    QString CreateTableCharacteristics() const;
    QString CreateTableConfiguration() const;
    QString CreateTriggerDelProjects() const;
    // Firebird only: the sequence and the trigger that stamp every write of a PROJECTS row.
    QString CreateWriteStampSequence() const;
    QString CreateTriggerStampProjects() const;
    // The stamp of a PROJECTS row as an integer expression, named WRITESTAMP.
    QString WriteStampValue() const;

    CatalogueQuery TableExists() const;
    CatalogueQuery TriggerExists() const;
    CatalogueQuery ColumnExists() const;
    // Firebird only: whether a sequence (generator) exists.
    CatalogueQuery SequenceExists() const;
    // Firebird only: whether a column has the 32-bit float type, which the upgrade widens.
    CatalogueQuery ColumnIsSingleFloat() const;

    QString AddColumn(const QString &table, const QString &column, ColumnKind kind, int size,
                      bool notNull, const QString &defaultText) const;
    QString WidenFloatColumn(const QString &table, const QString &column) const;

    static QString WriteDBVersion();

private:
    void RequireCatalogue() const;

    QString m_driverId;
    bool m_firebird;
    bool m_sqlServer;
};

} // namespace tev
