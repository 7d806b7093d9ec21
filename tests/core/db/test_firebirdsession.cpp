#include "core/db/databaseerror.h"
#include "core/db/dbtransaction.h"
#include "core/db/firebirdsession.h"
#include "core/db/tevconnection.h"
#include "core/db/tevrowset.h"
#include "platform/error.h"
#include "projectfixture.h"
#include "support/app/databasebackend.h"
#include "support/app/firebirdserver.h"
#include "support/app/firebirdtestenv.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace tev;

namespace {

// A Firebird file of its own with a table of every column type the program stores, embedded or
// on the server. The same statements run through Qt's driver and through the client's own
// transaction must read and write the same values.
class FirebirdSessionTest : public ::testing::TestWithParam<test::DatabaseBackend>
{
protected:
    void SetUp() override
    {
        m_connection.setParams(
            TStringList(QStringList{"DriverId=FB", "Database=" + m_dir.file("session.fdb"),
                                    "User_Name=SYSDBA", "OpenMode=OpenOrCreate"}));
        if (GetParam() == test::DatabaseBackend::Server) {
            m_connection.setParam("Server", test::FirebirdServer::shared().host());
            m_connection.setParam("Password", test::FirebirdServer::password());
        }
        m_connection.open();
        exec("create table T (K integer not null, S varchar(5) character set UTF8, "
             "V varchar(100) character set UTF8, N integer, H smallint, D double precision, "
             "F float, M blob sub_type 1 character set UTF8, C char(3) character set UTF8, "
             "constraint PK_T primary key (K))");
    }
    void exec(const QString &sql)
    {
        QSqlQuery q(m_connection.database());
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
    }
    int count(const QString &sql)
    {
        QSqlQuery q(m_connection.database());
        EXPECT_TRUE(q.exec(sql));
        return q.next() ? q.value(0).toInt() : -1;
    }
    // Every field and value of a row set, as text, with the field types and sizes.
    static std::string Dump(TTevRowSet &rows)
    {
        QStringList out;
        for (int i = 0; i < rows.fieldCount(); ++i)
            out << QString("%1:%2:%3")
                       .arg(rows.field(i).fieldName())
                       .arg(int(rows.field(i).dataType()))
                       .arg(rows.field(i).size());
        for (rows.first(); !rows.eof(); rows.next())
            for (int i = 0; i < rows.fieldCount(); ++i) {
                const QVariant v = rows.field(i).value();
                out << (v.isValid() ? QString("%1 %2").arg(v.typeName(), v.toString()) : "null");
            }
        return out.join('\n').toStdString();
    }

    test::TempFolder m_dir;
    TTevConnection m_connection{"Session"};
};

const QString LongMemo = QString("Zeile ä€😀\r\n").repeated(9000); // beyond one BLOB segment

} // namespace

TEVORA_INSTANTIATE_BACKENDS(FirebirdSessionTest);

TEST_P(FirebirdSessionTest, ResultsReadAsThroughQtsDriver)
{
    exec("insert into T (K, S, V, N, H, D, F, M) values (1, 'äöü€', 'x', 2147483647, -3, "
         "0.30000000000000004, 1.5, "
         "'memo')");
    exec("insert into T (K) values (2)");
    exec("insert into T (K, S, V, M, C) values (3, '', '😀 Ünïcode', '', 'ä')");
    {
        QSqlQuery insert(m_connection.database());
        ASSERT_TRUE(insert.prepare("insert into T (K, M) values (4, ?)"));
        insert.bindValue(0, LongMemo);
        ASSERT_TRUE(insert.exec());
    }
    const QString sql = "select * from T order by K";
    TTevRowSet driver(m_connection.database());
    driver.open(sql);
    auto session = FirebirdSession::begin(m_connection);
    ASSERT_TRUE(session);
    TTevRowSet client(*session);
    client.open(sql);
    EXPECT_EQ(client.recordCount(), 4);
    EXPECT_EQ(Dump(client), Dump(driver));
}

TEST_P(FirebirdSessionTest, RowsWrittenAreTheRowsQtsDriverWrites)
{
    struct Row
    {
        int k;
        QVariant s, v, n, h, d, f, m;
    };
    const Row rows[] = {
        {1, "äöü€", "x", 2147483647, -3, 0.30000000000000004, 1.5, "memo"},
        {2, {}, {}, {}, {}, {}, {}, {}},
        {3, "", "😀 Ünïcode", 0, 0, -1e-300, 0.0, ""},
        {4, "a", QString("v").repeated(100), -2147483647 - 1, 32767, 1e300, -2.25, LongMemo},
    };
    auto write = [&](TTevRowSet &set, int offset) {
        set.open("select * from T where K < 0");
        for (const Row &r : rows) {
            set.append();
            set.fieldByName("K").setValue(r.k + offset);
            const QVariant values[] = {r.s, r.v, r.n, r.h, r.d, r.f, r.m};
            const char *names[] = {"S", "V", "N", "H", "D", "F", "M"};
            for (int i = 0; i < 7; ++i)
                set.fieldByName(names[i]).setValue(values[i]);
            set.post();
        }
    };
    {
        DbTransaction transaction(m_connection);
        TTevRowSet driver(m_connection.database(), "T", {"K"});
        write(driver, 0);
        transaction.commit();
    }
    {
        auto session = FirebirdSession::begin(m_connection);
        ASSERT_TRUE(session);
        TTevRowSet client(*session, "T", {"K"});
        write(client, 100);
        session->commit();
    }
    TTevRowSet byDriver(m_connection.database());
    byDriver.open("select K, S, V, N, H, D, F, M from T where K < 100 order by K");
    TTevRowSet byClient(m_connection.database());
    byClient.open("select K - 100 as K, S, V, N, H, D, F, M from T where K > 100 order by K");
    EXPECT_EQ(byDriver.recordCount(), 4);
    EXPECT_EQ(Dump(byClient), Dump(byDriver));
    // The BLOBs themselves compare equal in the engine, byte for byte.
    EXPECT_EQ(count("select count(*) from T a join T b on b.K = a.K + 100 "
                    "where a.M is not distinct from b.M"),
              4);
}

TEST_P(FirebirdSessionTest, NamedParametersOutsideQuotedText)
{
    auto session = FirebirdSession::begin(m_connection);
    ASSERT_TRUE(session);
    const SqlRows rows = session->select("select cast(':X' as varchar(5)) as A, cast(:X as "
                                         "varchar(10)) as B, cast(:Y_2 as integer) as C, "
                                         "cast(:x as varchar(10)) as D from RDB$DATABASE",
                                         {{"X", "v"}, {"Y_2", 5}});
    ASSERT_EQ(rows.rows.size(), 1u);
    EXPECT_EQ(rows.rows[0][0].toString(), ":X");
    EXPECT_EQ(rows.rows[0][1].toString(), "v");
    EXPECT_EQ(rows.rows[0][2].toInt(), 5);
    EXPECT_EQ(rows.rows[0][3].toString(), "v"); // names compare without regard to case
}

TEST_P(FirebirdSessionTest, FailuresAreTheDriversErrorsAndNothingStaysWithoutACommit)
{
    exec("insert into T (K) values (1)");
    auto session = FirebirdSession::begin(m_connection);
    ASSERT_TRUE(session);
    session->run("insert into T (K) values (:K)", {{"K", 2}});
    try {
        session->run("insert into T (K) values (:K)", {{"K", 1}});
        ADD_FAILURE() << "a duplicate key was stored";
    } catch (const DatabaseError &e) {
        EXPECT_EQ(e.failure(), DatabaseFailure::DuplicateKey) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("(insert into T (K) values (:K))"))
            << e.message().toStdString();
    }
    try {
        session->run("insert into T (K, S) values (3, :S)", {{"S", "too long"}});
        ADD_FAILURE() << "a text longer than its column was stored";
    } catch (const DatabaseError &e) {
        EXPECT_EQ(e.failure(), DatabaseFailure::Other);
        EXPECT_TRUE(e.message().contains("truncation")) << e.message().toStdString();
    }
    EXPECT_THROW(session->run("insert into NOTHERE (K) values (1)"), DatabaseError);
    session.reset(); // rolled back
    EXPECT_EQ(count("select count(*) from T"), 1);

    session = FirebirdSession::begin(m_connection);
    session->run("insert into T (K) values (:K)", {{"K", 2}});
    session->commit();
    session.reset();
    EXPECT_EQ(count("select count(*) from T"), 2);
}

TEST_P(FirebirdSessionTest, NoSessionBesideATransactionOfOursOrOnAClosedConnection)
{
    {
        DbTransaction transaction(m_connection);
        EXPECT_FALSE(FirebirdSession::available(m_connection.database()));
        EXPECT_EQ(FirebirdSession::begin(m_connection), nullptr);
    }
    {
        // While a session runs, it is the connection's transaction: another waits for its end.
        auto session = FirebirdSession::begin(m_connection);
        ASSERT_TRUE(session);
        EXPECT_EQ(FirebirdSession::begin(m_connection), nullptr);
    }
    EXPECT_TRUE(FirebirdSession::available(m_connection.database()));
    m_connection.close();
    EXPECT_FALSE(FirebirdSession::available(m_connection.database()));
}

namespace {

class SaveInsideATransaction : public test::ProjectFixture
{
};

} // namespace

// A save inside a caller's transaction joins it: the caller's rollback takes it back.
TEST_F(SaveInsideATransaction, JoinsItAndARollbackTakesTheSaveBack)
{
    setHeader("P", "p.seq");
    addChar(1, "A", "p.seq", 1.0);
    addChar(2, "B", "p.seq", 2.0);
    {
        DbTransaction transaction(*m_data.Database());
        m_data.WriteProject("p.seq", m_header, m_chars, TTevDBUpdateMode::dbumSaveAll);
        EXPECT_EQ(column("select count(*) from CHARACTERISTICS"), QStringList{"2"});
    }
    EXPECT_EQ(column("select count(*) from PROJECTS"), QStringList{"0"});
    EXPECT_EQ(column("select count(*) from CHARACTERISTICS"), QStringList{"0"});
    m_data.WriteProject("p.seq", m_header, m_chars, TTevDBUpdateMode::dbumSaveAll);
    EXPECT_EQ(column("select LABEL || ':' || PROJECTID from CHARACTERISTICS order by CHARID"),
              QStringList({"A:1", "B:1"}));
}
