#include "catalogue.h"
#include "core/db/tevdatamodule.h"
#include "support/app/databasebackend.h"
#include "support/app/firebirdtestenv.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace tev;
using namespace tev::test;

namespace {

const TProductVersion AnyVersion{3, 2, 1, 0};

class SchemaTest : public ::testing::TestWithParam<DatabaseBackend>
{
protected:
    QSqlDatabase db() const { return m_data.Database()->database(); }
    void exec(const QString &sql)
    {
        QSqlQuery q(db());
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
    }
    QStringList dbRows() const
    {
        return Column(db(), "select ID || ':' || VER_MAJOR || '.' || VER_MINOR || '.' || "
                            "VER_RELEASE || '.' || VER_BUILD from DB");
    }

    TempAppRoot m_root;
    BackendConnectionFile m_backend{m_root};
    TTevDataModule m_data{m_root.path()};
};

const QStringList CharacteristicsColumns{
    "PROJECTID integer not null",
    "CHARID integer not null",
    "REF_FILENAME varchar(250) UTF8",
    "PROJECTNAME varchar(100) UTF8",
    "GROUPID integer",
    "GROUPNAME varchar(100) UTF8",
    "FEATURE varchar(100) UTF8",
    "LABEL varchar(100) UTF8 not null", // a key column
    "CHARTYPE varchar(10) UTF8",
    "DECIMALS integer",
    "NOMINAL double precision",
    "LSL double precision",
    "USL double precision",
    "LREAS double precision",
    "UREAS double precision",
    "IMAGE varchar(500) UTF8",
    "IMAGEX integer",
    "IMAGEY integer",
    "REF_GROUPNAME varchar(100) UTF8",
    "ACTIVE integer",
    "PARAMS blob text UTF8",
    "SEQNAME varchar(100) UTF8",
    "TEMPSTATE integer",
};

} // namespace

TEVORA_INSTANTIATE_BACKENDS(SchemaTest);

TEST_P(SchemaTest, EmptyDatabaseGetsTheWholeSchema)
{
    ASSERT_TRUE(m_data.Connected());
    m_data.UpgradeDatabase(AnyVersion);
    EXPECT_EQ(FirebirdTables(db()),
              QStringList({"CHARACTERISTICS", "CONFIGURATION", "DB", "PROJECTS", "REFPROJECTS"}));
    EXPECT_EQ(FirebirdColumns(db(), "DB"),
              QStringList({"VER_MAJOR smallint default 0", "VER_MINOR smallint default 0",
                           "VER_RELEASE smallint default 0", "VER_BUILD smallint default 0",
                           "ID integer not null default 0"}));
    EXPECT_EQ(FirebirdColumns(db(), "PROJECTS"),
              QStringList({"PROJECTID integer not null", "PROJECTNAME varchar(100) UTF8",
                           "FILENAME varchar(250) UTF8", "FILETYPE integer default 0",
                           "PARAMS blob text UTF8", "STATE integer default 0",
                           "REF_STATE integer default 0", "WRITESTAMP integer",
                           "IMAGE varchar(500) UTF8"}));
    EXPECT_EQ(FirebirdColumns(db(), "REFPROJECTS"),
              QStringList({"PROJECTID integer not null", "SUBID integer not null",
                           "REF_PROJECTNAME varchar(100) UTF8", "REF_FILENAME varchar(250) UTF8"}));
    EXPECT_EQ(FirebirdColumns(db(), "CHARACTERISTICS"), CharacteristicsColumns);
    EXPECT_EQ(FirebirdColumns(db(), "CONFIGURATION"),
              QStringList({"SECTION varchar(100) UTF8 not null", "NAME varchar(100) UTF8 not null",
                           "STRVALUE varchar(100) UTF8"}));
    EXPECT_EQ(FirebirdPrimaryKey(db(), "DB"), "PK_DB(ID)");
    EXPECT_EQ(FirebirdPrimaryKey(db(), "PROJECTS"), "PK_PROJECTS(PROJECTID)");
    EXPECT_EQ(FirebirdPrimaryKey(db(), "REFPROJECTS"), "PK_REFPROJECTS(PROJECTID, SUBID)");
    EXPECT_EQ(FirebirdPrimaryKey(db(), "CHARACTERISTICS"),
              "PK_CHARACTERISTICS(PROJECTID, CHARID, LABEL)");
    EXPECT_EQ(FirebirdPrimaryKey(db(), "CONFIGURATION"), "PK_CONFIGURATION(SECTION, NAME)");
    EXPECT_EQ(FirebirdTriggers(db()),
              QStringList({"DEL_PROJECTS on PROJECTS", "STAMP_PROJECTS on PROJECTS"}));
    EXPECT_EQ(dbRows(), QStringList({"0:1.0.0.0"}));
}

TEST_P(SchemaTest, SecondRunRunsNoDdl)
{
    m_data.UpgradeDatabase(AnyVersion);
    QStringList statements;
    m_data.SetSqlTrace([&](const QString &sql) { statements << sql; });
    m_data.UpgradeDatabase(AnyVersion);
    ASSERT_FALSE(statements.isEmpty());
    const QRegularExpression ddl("^(create|alter|drop|delete|insert)",
                                 QRegularExpression::CaseInsensitiveOption);
    for (const QString &sql : statements)
        EXPECT_FALSE(ddl.match(sql).hasMatch()) << sql.toStdString();
    EXPECT_EQ(statements.filter(QRegularExpression("^update DB")).size(), 3);
    EXPECT_EQ(dbRows(), QStringList({"0:1.0.0.0"}));
}

TEST_P(SchemaTest, OlderSchemaIsBroughtForwardWithNothingLost)
{
    exec("create table DB (VER_MAJOR smallint default 0, VER_MINOR smallint default 0, "
         "VER_RELEASE smallint default 0, VER_BUILD smallint default 0)");
    exec("insert into DB values (0, 0, 9, 0)");
    exec("insert into DB values (0, 0, 9, 1)");
    exec("create table PROJECTS (PROJECTID integer not null, PROJECTNAME varchar(100) "
         "character set UTF8, FILENAME varchar(250) character set UTF8, FILETYPE integer "
         "default 0, PARAMS blob sub_type 1 character set UTF8, constraint PK_PROJECTS primary "
         "key (PROJECTID))");
    exec("insert into PROJECTS (PROJECTID, PROJECTNAME, FILENAME, PARAMS) values "
         "(1, 'Old', 'old.seq', 'A=1')");
    QString chars = "create table CHARACTERISTICS (PROJECTID integer not null, CHARID integer not "
                    "null, LABEL varchar(100) character set UTF8 not null, NOMINAL float, LSL "
                    "float, USL float, LREAS float, UREAS float, constraint PK_CHARACTERISTICS "
                    "primary key (PROJECTID, CHARID, LABEL))";
    exec(chars);
    exec("insert into CHARACTERISTICS (PROJECTID, CHARID, LABEL, NOMINAL, USL) values "
         "(1, 1, 'L1', 1234.5, 0.25)");

    m_data.UpgradeDatabase(AnyVersion);

    EXPECT_EQ(dbRows(), QStringList({"0:1.0.0.0"}));
    const QStringList projects = FirebirdColumns(db(), "PROJECTS");
    EXPECT_TRUE(projects.contains("STATE integer default 0"));
    EXPECT_TRUE(projects.contains("REF_STATE integer default 0"));
    EXPECT_TRUE(projects.contains("IMAGE varchar(500) UTF8"));
    EXPECT_EQ(Column(db(), "select PROJECTNAME || ':' || FILENAME || ':' || PARAMS from PROJECTS"),
              QStringList({"Old:old.seq:A=1"}));
    const QStringList columns = FirebirdColumns(db(), "CHARACTERISTICS");
    for (const char *c : {"NOMINAL", "LSL", "USL", "LREAS", "UREAS"})
        EXPECT_TRUE(columns.contains(QString(c) + " double precision")) << c;
    EXPECT_TRUE(columns.contains("TEMPSTATE integer"));
    EXPECT_EQ(Column(db(), "select NOMINAL || ':' || USL from CHARACTERISTICS"),
              QStringList({"1234.500000000000:0.2500000000000000"}));
    // Stored values keep full precision from now on.
    exec("update CHARACTERISTICS set NOMINAL = 1234.5678");
    QSqlQuery q(db());
    ASSERT_TRUE(q.exec("select NOMINAL from CHARACTERISTICS"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toDouble(), 1234.5678);
    EXPECT_TRUE(FirebirdTables(db()).contains("CONFIGURATION"));
    EXPECT_EQ(FirebirdTriggers(db()),
              QStringList({"DEL_PROJECTS on PROJECTS", "STAMP_PROJECTS on PROJECTS"}));
    // A row stored before has no write stamp until it is next written, by whatever program.
    EXPECT_TRUE(projects.contains("WRITESTAMP integer"));
    EXPECT_EQ(Column(db(), "select coalesce(WRITESTAMP, -1) from PROJECTS"), QStringList({"-1"}));
    exec("update PROJECTS set PROJECTNAME = 'Older program'");
    EXPECT_NE(Column(db(), "select coalesce(WRITESTAMP, -1) from PROJECTS"), QStringList({"-1"}));
}

TEST_P(SchemaTest, TriggerRemovesTheProjectsRowsOnly)
{
    m_data.UpgradeDatabase(AnyVersion);
    exec("insert into PROJECTS (PROJECTID, FILENAME) values (1, 'a.seq')");
    exec("insert into PROJECTS (PROJECTID, FILENAME) values (2, 'b.seq')");
    for (int p : {1, 2}) {
        exec(QString("insert into CHARACTERISTICS (PROJECTID, CHARID, LABEL) values (%1, 1, 'L')")
                 .arg(p));
        exec(QString(
                 "insert into REFPROJECTS (PROJECTID, SUBID, REF_FILENAME) values (%1, 1, 'a.seq')")
                 .arg(p));
    }
    exec("delete from PROJECTS where PROJECTID = 1");
    EXPECT_EQ(Column(db(), "select PROJECTID from CHARACTERISTICS"), QStringList({"2"}));
    // A reference of another project naming the deleted file stays.
    EXPECT_EQ(Column(db(), "select PROJECTID || ':' || REF_FILENAME from REFPROJECTS"),
              QStringList({"2:a.seq"}));
}

TEST(Schema, NothingHappensWhileDisconnected)
{
    TempAppRoot root;
    TTevDataModule data(root.path());
    data.Database()->close();
    QStringList statements;
    data.SetSqlTrace([&](const QString &sql) { statements << sql; });
    data.UpgradeDatabase(AnyVersion);
    EXPECT_TRUE(statements.isEmpty());
}
