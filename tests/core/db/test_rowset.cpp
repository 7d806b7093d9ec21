#include "core/db/tevconnection.h"
#include "core/db/tevrowset.h"
#include "platform/error.h"
#include "support/app/databasebackend.h"
#include "support/app/firebirdserver.h"
#include "support/app/firebirdtestenv.h"

#include <QSqlQuery>
#include <cmath>
#include <gtest/gtest.h>

using namespace tev;

namespace {

// A Firebird file of its own with one table T (key K1, K2), embedded or on the server.
class RowSetTest : public ::testing::TestWithParam<test::DatabaseBackend>
{
protected:
    void SetUp() override
    {
        m_connection.setParams(
            TStringList(QStringList{"DriverId=FB", "Database=" + m_dir.file("rows.fdb"),
                                    "User_Name=SYSDBA", "OpenMode=OpenOrCreate"}));
        if (GetParam() == test::DatabaseBackend::Server) {
            m_connection.setParam("Server", test::FirebirdServer::shared().host());
            m_connection.setParam("Password", test::FirebirdServer::password());
        }
        m_connection.open();
        exec("create table T (K1 integer not null, K2 varchar(20) character set UTF8 not null, "
             "N integer default 7, D double precision, S varchar(5) character set UTF8, "
             "M blob sub_type 1 character set UTF8, constraint PK_T primary key (K1, K2))");
        exec("insert into T (K1, K2, N, D, S, M) values (1, 'a', 10, 1.5, 'x', 'memo one')");
        exec("insert into T (K1, K2, N, D, S, M) values (2, 'b', null, null, null, null)");
    }
    void exec(const QString &sql)
    {
        QSqlQuery q(m_connection.database());
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
    }
    QVariant scalar(const QString &sql)
    {
        QSqlQuery q(m_connection.database());
        EXPECT_TRUE(q.exec(sql));
        return q.next() ? q.value(0) : QVariant();
    }
    std::unique_ptr<TTevRowSet> open(const QString &sql = "select * from T order by K1")
    {
        auto rows =
            std::make_unique<TTevRowSet>(m_connection.database(), "T", QStringList{"K1", "K2"},
                                         [this](const QString &s) { m_trace << s; });
        rows->open(sql);
        return rows;
    }

    test::TempFolder m_dir;
    TTevConnection m_connection{"RowSet"};
    QStringList m_trace;
};

} // namespace

TEVORA_INSTANTIATE_BACKENDS(RowSetTest);

TEST_P(RowSetTest, FetchesEveryRowWithTypedFields)
{
    auto rows = open();
    ASSERT_EQ(rows->recordCount(), 2);
    EXPECT_EQ(rows->fieldByName("n").dataType(), FieldType::Integer);
    EXPECT_EQ(rows->fieldByName("D").dataType(), FieldType::Double);
    EXPECT_EQ(rows->fieldByName("S").dataType(), FieldType::String);
    EXPECT_EQ(rows->fieldByName("M").dataType(), FieldType::Memo);
    EXPECT_TRUE(rows->bof());
    EXPECT_EQ(rows->fieldByName("M").asString(), "memo one");
    rows->next();
    EXPECT_TRUE(rows->fieldByName("N").isNull());
    EXPECT_TRUE(rows->fieldByName("M").isNull());
    rows->next();
    EXPECT_TRUE(rows->eof());
}

TEST_P(RowSetTest, PostOfAnEditUpdatesOnlyChangedColumnsByTheOriginalKey)
{
    auto rows = open();
    rows->edit();
    rows->fieldByName("K2").setAsString("a2"); // a key column changes too
    rows->fieldByName("D").setAsFloat(1234.5678);
    rows->fieldByName("S").setAsString("x"); // same value: not written
    rows->post();
    EXPECT_EQ(m_trace.last(), "update T\nset K2 = ?, D = ?\nwhere K1 = ? and K2 = ?");
    EXPECT_EQ(scalar("select K2 from T where K1 = 1").toString(), "a2");
    EXPECT_EQ(scalar("select D from T where K1 = 1").toDouble(), 1234.5678);
    // An edit without changes writes nothing.
    const qsizetype statements = m_trace.size();
    rows->edit();
    rows->post();
    EXPECT_EQ(m_trace.size(), statements);
}

TEST_P(RowSetTest, PostOfAnAppendInsertsGivenColumnsAndLeavesDefaults)
{
    auto rows = open();
    rows->append();
    rows->fieldByName("K1").setAsInteger(3);
    rows->fieldByName("K2").setAsString("c");
    rows->fieldByName("M").setAsString(QString(5000, QChar(0x00e4)));
    rows->post();
    EXPECT_EQ(rows->recordCount(), 3);
    EXPECT_EQ(scalar("select N from T where K1 = 3").toInt(), 7);
    auto again = open();
    again->last();
    EXPECT_EQ(again->fieldByName("M").asString(), QString(5000, QChar(0x00e4)));
}

TEST_P(RowSetTest, FailedPostStaysEditingAndChangesNothing)
{
    auto rows = open();
    rows->edit();
    rows->fieldByName("S").setAsString("too long");
    EXPECT_THROW(rows->post(), Error);
    EXPECT_EQ(rows->state(), DataSetState::Edit);
    EXPECT_EQ(rows->fieldByName("S").asString(), "too long");
    rows->cancel();
    EXPECT_EQ(rows->fieldByName("S").asString(), "x");
    EXPECT_EQ(scalar("select S from T where K1 = 1").toString(), "x");

    rows->append();
    rows->fieldByName("K1").setAsInteger(1);
    rows->fieldByName("K2").setAsString("a");
    EXPECT_THROW(rows->post(), Error); // duplicate key
    EXPECT_EQ(scalar("select count(*) from T").toInt(), 2);
}

TEST_P(RowSetTest, StatementsAreReusedAcrossRowsOutsideATransaction)
{
    auto rows = open();
    for (int i = 10; i < 20; ++i) {
        rows->append();
        rows->fieldByName("K1").setAsInteger(i);
        rows->fieldByName("K2").setAsString("k");
        rows->post();
    }
    for (rows->first(); !rows->eof(); rows->next()) {
        rows->edit();
        rows->fieldByName("N").setAsInteger(rows->fieldByName("K1").asInteger() * 2);
        rows->post();
    }
    EXPECT_EQ(scalar("select sum(N) from T").toInt(), 2 * (1 + 2 + 145));
}

TEST_P(RowSetTest, DeleteAndLocate)
{
    auto rows = open();
    EXPECT_TRUE(rows->locate("K2", "b"));
    EXPECT_EQ(rows->fieldByName("K1").asInteger(), 2);
    EXPECT_FALSE(rows->locate("K2", "zz"));
    EXPECT_EQ(rows->fieldByName("K1").asInteger(), 2);
    rows->deleteRecord();
    EXPECT_EQ(rows->recordCount(), 1);
    EXPECT_EQ(scalar("select count(*) from T").toInt(), 1);
}

TEST_P(RowSetTest, ReadOnlyWithoutATable)
{
    TTevRowSet rows(m_connection.database());
    rows.open("select K1 from T");
    EXPECT_THROW(rows.edit(), Error);
    EXPECT_THROW(rows.open("select nothing from nowhere"), Error);
    EXPECT_FALSE(rows.active());
}
