#include "core/db/tevschemasql.h"
#include "platform/error.h"

#include <gtest/gtest.h>

using namespace tev;

// No SQL Server runs here: the SQL Server forms are checked as text.

TEST(SchemaSql, TypeTextsPerDriver)
{
    const TTevSchemaSql fb("FB"), ms("MSSQL"), other("ODBC");
    EXPECT_EQ(fb.VarcharTypeName(250), "varchar(250) character set UTF8");
    EXPECT_EQ(fb.MemoTypeName(), "blob sub_type 1 character set UTF8");
    EXPECT_EQ(ms.VarcharTypeName(100), "nvarchar(100)");
    EXPECT_EQ(ms.MemoTypeName(), "ntext");
    EXPECT_EQ(other.VarcharTypeName(10), "nvarchar(10)");
    EXPECT_EQ(fb.FloatTypeName(), "double precision");
    EXPECT_EQ(ms.FloatTypeName(), "float");
}

TEST(SchemaSql, SqlServerTablesUseNvarcharNtextAndFloat)
{
    const TTevSchemaSql ms("MSSQL");
    EXPECT_EQ(ms.CreateTableProjects(), "create table PROJECTS (\n"
                                        "  PROJECTID integer not null,\n"
                                        "  PROJECTNAME nvarchar(100),\n"
                                        "  FILENAME nvarchar(250),\n"
                                        "  FILETYPE integer default 0,\n"
                                        "  PARAMS ntext,\n"
                                        "  constraint PK_PROJECTS primary key (PROJECTID)\n"
                                        ")");
    const QString chars = ms.CreateTableCharacteristics();
    EXPECT_TRUE(chars.contains("\n  NOMINAL float,\n  LSL float,\n  USL float,\n  LREAS float,\n"
                               "  UREAS float,\n"));
    EXPECT_TRUE(chars.contains("\n  PARAMS ntext,\n  SEQNAME nvarchar(100),\n"));
    EXPECT_TRUE(chars.endsWith(
        "  constraint PK_CHARACTERISTICS primary key (PROJECTID, CHARID, LABEL)\n)"));
    EXPECT_EQ(ms.CreateTableConfiguration(),
              "create table CONFIGURATION (\n"
              "  SECTION nvarchar(100) not null,\n"
              "  NAME nvarchar(100) not null,\n"
              "  STRVALUE nvarchar(100),\n"
              "  constraint PK_CONFIGURATION primary key (SECTION, NAME)\n"
              ")");
}

TEST(SchemaSql, FirebirdFloatColumnsAreDoublePrecision)
{
    const QString chars = TTevSchemaSql("FB").CreateTableCharacteristics();
    EXPECT_TRUE(chars.contains("\n  NOMINAL double precision,\n  LSL double precision,\n"));
    EXPECT_FALSE(chars.contains(" float"));
}

TEST(SchemaSql, TriggerInBothForms)
{
    EXPECT_EQ(TTevSchemaSql("MSSQL").CreateTriggerDelProjects(),
              "create trigger DEL_PROJECTS\n"
              "on PROJECTS\n"
              "after delete\n"
              "as\n"
              "begin\n"
              "  delete from CHARACTERISTICS where PROJECTID in (select PROJECTID from Deleted)\n"
              "  delete from REFPROJECTS where PROJECTID in (select PROJECTID from Deleted)\n"
              "end");
    EXPECT_EQ(TTevSchemaSql("FB").CreateTriggerDelProjects(),
              "create trigger DEL_PROJECTS\n"
              "for PROJECTS\n"
              "after delete\n"
              "as\n"
              "begin\n"
              "  delete from CHARACTERISTICS where PROJECTID = OLD.PROJECTID;\n"
              "  delete from REFPROJECTS where PROJECTID = OLD.PROJECTID;\n"
              "end");
}

TEST(SchemaSql, CatalogueChecksPerDriver)
{
    struct Case
    {
        const char *driver;
        TTevSchemaSql::CatalogueQuery (TTevSchemaSql::*check)() const;
        const char *sql;
        QStringList params;
    };
    const Case cases[] = {
        {"MSSQL",
         &TTevSchemaSql::TableExists,
         "select 1 from sys.tables\nwhere name = :NAME",
         {"NAME"}},
        {"MSSQL",
         &TTevSchemaSql::TriggerExists,
         "select 1 from sys.triggers\nwhere Name = :TRIGGERNAME",
         {"TRIGGERNAME"}},
        {"MSSQL",
         &TTevSchemaSql::ColumnExists,
         "select 1 from INFORMATION_SCHEMA.COLUMNS\nwhere table_name = :TABLENAME\n"
         " and column_name = :COLUMNNAME",
         {"TABLENAME", "COLUMNNAME"}},
        {"FB",
         &TTevSchemaSql::TableExists,
         "select 1 from RDB$RELATIONS\nwhere RDB$RELATION_NAME = :RELATION_NAME",
         {"RELATION_NAME"}},
        {"FB",
         &TTevSchemaSql::TriggerExists,
         "select 1 from RDB$TRIGGERS\nwhere RDB$TRIGGER_NAME = :TRIGGERNAME",
         {"TRIGGERNAME"}},
        {"FB",
         &TTevSchemaSql::ColumnExists,
         "select 1 from RDB$RELATION_FIELDS\nwhere RDB$RELATION_NAME = :RELATION_NAME\n"
         " and RDB$FIELD_NAME = :FIELD_NAME",
         {"RELATION_NAME", "FIELD_NAME"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql);
        const auto query = (TTevSchemaSql(c.driver).*c.check)();
        EXPECT_EQ(query.sql, c.sql);
        EXPECT_EQ(query.params, c.params);
    }
}

TEST(SchemaSql, AnotherDriverHasNoCatalogue)
{
    EXPECT_THROW(TTevSchemaSql("ODBC").TableExists(), Error);
    EXPECT_THROW(TTevSchemaSql("").ColumnExists(), Error);
}

TEST(SchemaSql, AddColumnLines)
{
    const TTevSchemaSql ms("MSSQL"), fb("FB");
    using K = TTevSchemaSql::ColumnKind;
    EXPECT_EQ(ms.AddColumn("PROJECTS", "STATE", K::Integer, 0, false, "0"),
              "alter table PROJECTS\nadd STATE\n integer\n default 0");
    EXPECT_EQ(ms.AddColumn("DB", "ID", K::Integer, 0, true, "0"),
              "alter table DB\nadd ID\n integer\n default 0\n not null");
    EXPECT_EQ(ms.AddColumn("PROJECTS", "IMAGE", K::String, 500, false, ""),
              "alter table PROJECTS\nadd IMAGE\n nvarchar(500)");
    EXPECT_EQ(fb.AddColumn("PROJECTS", "IMAGE", K::String, 500, false, ""),
              "alter table PROJECTS\nadd IMAGE\n varchar(500) character set UTF8");
    EXPECT_EQ(fb.AddColumn("CHARACTERISTICS", "TEMPSTATE", K::Integer, 0, false, ""),
              "alter table CHARACTERISTICS\nadd TEMPSTATE\n integer");
}
