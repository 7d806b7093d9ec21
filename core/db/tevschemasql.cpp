#include "core/db/tevschemasql.h"

#include "platform/error.h"

#include <QStringList>

namespace tev {

namespace {

QString Lines(std::initializer_list<QString> lines)
{
    return QStringList(lines).join(QLatin1Char('\n'));
}

} // namespace

TTevSchemaSql::TTevSchemaSql(const QString &driverId)
    : m_driverId(driverId)
    , m_firebird(driverId == QLatin1String("FB"))
    , m_sqlServer(driverId == QLatin1String("MSSQL"))
{}

QString TTevSchemaSql::VarcharTypeName(int size) const
{
    return m_firebird ? QStringLiteral("varchar(%1) character set UTF8").arg(size)
                      : QStringLiteral("nvarchar(%1)").arg(size);
}

QString TTevSchemaSql::MemoTypeName() const
{
    return m_firebird ? QStringLiteral("blob sub_type 1 character set UTF8")
                      : QStringLiteral("ntext");
}

QString TTevSchemaSql::FloatTypeName() const
{
    return m_firebird ? QStringLiteral("double precision") : QStringLiteral("float");
}

QString TTevSchemaSql::CreateTableDB() const
{
    return Lines({"create table DB (", "  VER_MAJOR smallint default 0,",
                  "  VER_MINOR smallint default 0,", "  VER_RELEASE smallint default 0,",
                  "  VER_BUILD smallint default 0", ")"});
}

QString TTevSchemaSql::CreateTableProjects() const
{
    return Lines({"create table PROJECTS (", "  PROJECTID integer not null,",
                  "  PROJECTNAME " + VarcharTypeName(100) + ",",
                  "  FILENAME " + VarcharTypeName(250) + ",", "  FILETYPE integer default 0,",
                  "  PARAMS " + MemoTypeName() + ",",
                  "  constraint PK_PROJECTS primary key (PROJECTID)", ")"});
}

QString TTevSchemaSql::CreateTableRefProjects() const
{
    return Lines({"create table REFPROJECTS (", "  PROJECTID integer not null,",
                  "  SUBID integer not null,", "  REF_PROJECTNAME " + VarcharTypeName(100) + ",",
                  "  REF_FILENAME " + VarcharTypeName(250) + ",",
                  "  constraint PK_REFPROJECTS primary key (PROJECTID, SUBID)", ")"});
}

QString TTevSchemaSql::CreateTableCharacteristics() const
{
    const QString f = FloatTypeName();
    return Lines({"create table CHARACTERISTICS (",
                  "  PROJECTID integer not null,",
                  "  CHARID integer not null,",
                  "  REF_FILENAME " + VarcharTypeName(250) + ",",
                  "  PROJECTNAME " + VarcharTypeName(100) + ",",
                  "  GROUPID integer,",
                  "  GROUPNAME " + VarcharTypeName(100) + ",",
                  "  FEATURE " + VarcharTypeName(100) + ",",
                  "  LABEL " + VarcharTypeName(100) + ",",
                  "  CHARTYPE " + VarcharTypeName(10) + ",",
                  "  DECIMALS integer,",
                  "  NOMINAL " + f + ",",
                  "  LSL " + f + ",",
                  "  USL " + f + ",",
                  "  LREAS " + f + ",",
                  "  UREAS " + f + ",",
                  "  IMAGE " + VarcharTypeName(500) + ",",
                  "  IMAGEX integer,",
                  "  IMAGEY integer,",
                  "  REF_GROUPNAME " + VarcharTypeName(100) + ",",
                  "  ACTIVE integer,",
                  "  PARAMS " + MemoTypeName() + ",",
                  "  SEQNAME " + VarcharTypeName(100) + ",",
                  "  constraint PK_CHARACTERISTICS primary key (PROJECTID, CHARID, LABEL)",
                  ")"});
}

QString TTevSchemaSql::CreateTableConfiguration() const
{
    return Lines({"create table CONFIGURATION (",
                  "  SECTION " + VarcharTypeName(100) + " not null,",
                  "  NAME " + VarcharTypeName(100) + " not null,",
                  "  STRVALUE " + VarcharTypeName(100) + ",",
                  "  constraint PK_CONFIGURATION primary key (SECTION, NAME)", ")"});
}

QString TTevSchemaSql::CreateTriggerDelProjects() const
{
    if (m_firebird)
        return Lines({"create trigger DEL_PROJECTS", "for PROJECTS", "after delete", "as", "begin",
                      "  delete from CHARACTERISTICS where PROJECTID = OLD.PROJECTID;",
                      "  delete from REFPROJECTS where PROJECTID = OLD.PROJECTID;", "end"});
    return Lines(
        {"create trigger DEL_PROJECTS", "on PROJECTS", "after delete", "as", "begin",
         "  delete from CHARACTERISTICS where PROJECTID in (select PROJECTID from Deleted)",
         "  delete from REFPROJECTS where PROJECTID in (select PROJECTID from Deleted)", "end"});
}

QString TTevSchemaSql::CreateWriteStampSequence() const
{
    return QStringLiteral("create sequence GEN_WRITESTAMP");
}

QString TTevSchemaSql::CreateTriggerStampProjects() const
{
    // The column is an integer, as the program reads integers; the sequence goes on beyond it.
    return Lines({"create trigger STAMP_PROJECTS", "for PROJECTS", "before insert or update", "as",
                  "begin", "  new.WRITESTAMP = mod(gen_id(GEN_WRITESTAMP, 1), 2147483647);",
                  "end"});
}

QString TTevSchemaSql::WriteStampValue() const
{
    if (m_firebird)
        return QStringLiteral("WRITESTAMP");
    return QStringLiteral("cast(cast(WRITESTAMP as bigint) % 2147483647 as integer) as WRITESTAMP");
}

void TTevSchemaSql::RequireCatalogue() const
{
    if (!m_firebird && !m_sqlServer)
        throw Error(QStringLiteral("The database driver \"%1\" is not supported.").arg(m_driverId));
}

TTevSchemaSql::CatalogueQuery TTevSchemaSql::TableExists() const
{
    RequireCatalogue();
    if (m_firebird)
        return {Lines({"select 1 from RDB$RELATIONS", "where RDB$RELATION_NAME = :RELATION_NAME"}),
                {"RELATION_NAME"}};
    return {Lines({"select 1 from sys.tables", "where name = :NAME"}), {"NAME"}};
}

TTevSchemaSql::CatalogueQuery TTevSchemaSql::TriggerExists() const
{
    RequireCatalogue();
    if (m_firebird)
        return {Lines({"select 1 from RDB$TRIGGERS", "where RDB$TRIGGER_NAME = :TRIGGERNAME"}),
                {"TRIGGERNAME"}};
    return {Lines({"select 1 from sys.triggers", "where Name = :TRIGGERNAME"}), {"TRIGGERNAME"}};
}

TTevSchemaSql::CatalogueQuery TTevSchemaSql::ColumnExists() const
{
    RequireCatalogue();
    if (m_firebird)
        return {
            Lines({"select 1 from RDB$RELATION_FIELDS", "where RDB$RELATION_NAME = :RELATION_NAME",
                   " and RDB$FIELD_NAME = :FIELD_NAME"}),
            {"RELATION_NAME", "FIELD_NAME"}};
    return {Lines({"select 1 from INFORMATION_SCHEMA.COLUMNS", "where table_name = :TABLENAME",
                   " and column_name = :COLUMNNAME"}),
            {"TABLENAME", "COLUMNNAME"}};
}

TTevSchemaSql::CatalogueQuery TTevSchemaSql::SequenceExists() const
{
    if (!m_firebird)
        throw Error(QStringLiteral("Only Firebird keeps write stamps in a sequence."));
    return {Lines({"select 1 from RDB$GENERATORS", "where RDB$GENERATOR_NAME = :GENERATORNAME"}),
            {"GENERATORNAME"}};
}

TTevSchemaSql::CatalogueQuery TTevSchemaSql::ColumnIsSingleFloat() const
{
    if (!m_firebird)
        throw Error(QStringLiteral("Only Firebird columns are widened."));
    // Field type 10 is FLOAT in Firebird's catalogue; 27 is DOUBLE PRECISION.
    return {Lines({"select 1 from RDB$RELATION_FIELDS RF",
                   "join RDB$FIELDS F on F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE",
                   "where RF.RDB$RELATION_NAME = :RELATION_NAME",
                   " and RF.RDB$FIELD_NAME = :FIELD_NAME", " and F.RDB$FIELD_TYPE = 10"}),
            {"RELATION_NAME", "FIELD_NAME"}};
}

QString TTevSchemaSql::AddColumn(const QString &table, const QString &column, ColumnKind kind,
                                 int size, bool notNull, const QString &defaultText) const
{
    QStringList lines{"alter table " + table, "add " + column};
    switch (kind) {
    case ColumnKind::Integer:
        lines << QStringLiteral(" integer");
        break;
    case ColumnKind::Float:
        lines << " " + FloatTypeName();
        break;
    case ColumnKind::Date:
        lines << QStringLiteral(" date");
        break;
    case ColumnKind::String:
        lines << " " + VarcharTypeName(size);
        break;
    case ColumnKind::WriteStamp:
        lines << (m_firebird ? QStringLiteral(" integer") : QStringLiteral(" rowversion"));
        break;
    }
    if (!defaultText.isEmpty())
        lines << " default " + defaultText;
    if (notNull)
        lines << QStringLiteral(" not null");
    return lines.join(QLatin1Char('\n'));
}

QString TTevSchemaSql::WidenFloatColumn(const QString &table, const QString &column) const
{
    return Lines({"alter table " + table, "alter column " + column + " type double precision"});
}

QString TTevSchemaSql::WriteDBVersion()
{
    return Lines({"update DB set VER_MAJOR = :VER_MAJOR,", "  VER_MINOR = :VER_MINOR,",
                  "  VER_RELEASE = :VER_RELEASE,", "  VER_BUILD = :VER_BUILD"});
}

} // namespace tev
