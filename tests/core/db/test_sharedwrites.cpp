// Writes that meet another client's transaction on the same database: a conflict is reported and
// changes nothing, a lock wait is bounded, two new projects saved at the same moment both get
// stored, and a propagation is all or nothing. Each runs on the embedded file and on the server.

#include "core/db/databaseerror.h"
#include "core/db/dbtransaction.h"
#include "core/project/projectdatasets.h"
#include "platform/error.h"
#include "projectfixture.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QThread>
#include <future>
#include <gtest/gtest.h>
#include <thread>

using namespace tev;
using namespace tev::test;

namespace {

const QString File = QStringLiteral("work/p.seq");

class SharedWrites : public ProjectFixture
{
protected:
    // A connection of its own to the same database, as another installation has.
    std::unique_ptr<TTevConnection> otherConnection(const QString &name) const
    {
        auto c = std::make_unique<TTevConnection>(name);
        c->setParams(m_data.Database()->params());
        c->open();
        return c;
    }

    // The project with five characteristics of one nominal, every record marked unknown (8).
    void fill(const QString &params, double nominal)
    {
        setHeader("P", File, params);
        m_chars.emptyDataSet();
        for (int i = 1; i <= 5; ++i)
            addChar(i, QString("L%1").arg(i), QString(), nominal);
        markRecords(8);
    }
    void markRecords(int state)
    {
        for (m_chars.first(); !m_chars.eof(); m_chars.next()) {
            m_chars.edit();
            m_chars.fieldByName("STATE").setAsInteger(state);
            m_chars.post();
        }
    }
    // "nominal/state" of every record, and the header's PARAMS.
    QStringList records()
    {
        QStringList result{m_header.fieldByName("PARAMS").asString()};
        for (m_chars.first(); !m_chars.eof(); m_chars.next())
            result << m_chars.fieldByName("LABEL").asString() + "=" +
                          m_chars.fieldByName("NOMINAL").asString() + "/" +
                          m_chars.fieldByName("STATE").asString();
        return result;
    }
    QStringList stored() const
    {
        return column("select p.PARAMS || ':' || c.LABEL || '=' || cast(c.NOMINAL as integer) "
                      "from PROJECTS p join CHARACTERISTICS c on c.PROJECTID = p.PROJECTID "
                      "order by c.LABEL");
    }
    void save() { m_data.WriteProject(File, m_header, m_chars, TTevDBUpdateMode::dbumSaveAll); }
    // Another user's transaction that holds every project row until it is rolled back; the
    // module waits for it at most a second.
    std::unique_ptr<TTevConnection> holdProjects()
    {
        m_data.Database()->setLockWaitSeconds(1);
        auto holder = otherConnection("Holder");
        QSqlDatabase held = holder->database();
        EXPECT_TRUE(held.transaction());
        QSqlQuery hold(held);
        EXPECT_TRUE(hold.exec("update PROJECTS set PARAMS = 'held'"));
        return holder;
    }

    // Saves and returns the failure the save met.
    DatabaseError failedSave()
    {
        try {
            save();
        } catch (const DatabaseError &e) {
            return e;
        }
        ADD_FAILURE() << "the save did not fail";
        return DatabaseError(DatabaseFailure::Other, QString());
    }
};

} // namespace

TEVORA_INSTANTIATE_BACKENDS(SharedWrites);

TEST_P(SharedWrites, AConflictWithAnotherUsersSaveStoresNothingAndKeepsTheRecords)
{
    fill("mine", 1);
    save();
    fill("mine again", 2);
    const QStringList mine = records();
    auto other = otherConnection("Other");
    {
        // Our save runs in a transaction that began before the other user's save was committed.
        DbTransaction ours(*m_data.Database());
        QSqlQuery theirs(other->database());
        ASSERT_TRUE(theirs.exec("update PROJECTS set PARAMS = 'theirs'"));
        const DatabaseError e = failedSave();
        EXPECT_EQ(e.failure(), DatabaseFailure::Conflict);
        EXPECT_TRUE(e.message().startsWith("Another user changed the same data at the same time. "
                                           "Nothing of this write was stored."))
            << e.message().toStdString();
    }
    EXPECT_EQ(records(), mine);
    EXPECT_EQ(stored(), QStringList({"theirs:L1=1", "theirs:L2=1", "theirs:L3=1", "theirs:L4=1",
                                     "theirs:L5=1"}));
    // The user saves again what is still in memory.
    save();
    EXPECT_EQ(stored(), QStringList({"mine again:L1=2", "mine again:L2=2", "mine again:L3=2",
                                     "mine again:L4=2", "mine again:L5=2"}));
}

TEST_P(SharedWrites, ALockWaitEndsAfterTheLimitWithAClearError)
{
    fill("mine", 1);
    save();
    auto holder = holdProjects();
    QSqlDatabase held = holder->database();

    fill("mine again", 2);
    const QStringList mine = records();
    QElapsedTimer timer;
    timer.start();
    const DatabaseError e = failedSave();
    // The engine alone would wait until the holder ends, here never.
    EXPECT_LT(timer.elapsed(), 60000);
    EXPECT_EQ(e.failure(), DatabaseFailure::LockTimeout);
    EXPECT_TRUE(e.message().startsWith("The database waited more than 1 seconds for data that "
                                       "another user's change holds"))
        << e.message().toStdString();
    EXPECT_EQ(records(), mine);
    EXPECT_TRUE(m_data.Connected());

    ASSERT_TRUE(held.rollback());
    save();
    EXPECT_EQ(stored().first(), "mine again:L1=2");
}

TEST_P(SharedWrites, AFailureSaysOnlyWhatIsTrueOfWhatWasStored)
{
    fill("mine", 1);
    save();
    auto holder = holdProjects();
    QSqlDatabase held = holder->database();

    // A save is one transaction: nothing of it is stored.
    fill("mine again", 2);
    const DatabaseError save = failedSave();
    EXPECT_EQ(save.failure(), DatabaseFailure::LockTimeout);
    EXPECT_TRUE(save.message().contains("Nothing of this write was stored; try again."))
        << save.message().toStdString();
    // A statement on its own stores nothing itself; what ran before it stays stored.
    try {
        m_data.DeleteProject(File);
        ADD_FAILURE() << "the delete did not wait";
    } catch (const DatabaseError &e) {
        EXPECT_EQ(e.failure(), DatabaseFailure::LockTimeout);
        EXPECT_TRUE(e.message().contains("This step stored nothing; the steps before it stay "
                                         "stored; try again."))
            << e.message().toStdString();
        EXPECT_FALSE(e.message().contains("Nothing of this")) << e.message().toStdString();
    }
    ASSERT_TRUE(held.rollback());
    EXPECT_EQ(stored().first(), "mine:L1=1");
}

TEST_P(SharedWrites, TwoNewProjectsSavedAtTheSameMomentAreBothStored)
{
    // Another client inserts the project with the next id and commits a moment later, while our
    // save of a new project takes the same id and waits for it.
    std::promise<void> inserted;
    std::thread racer([&, params = m_data.Database()->params()] {
        TTevConnection c("Racer");
        c.setParams(params);
        c.open();
        QSqlDatabase db = c.database();
        db.transaction();
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec("insert into PROJECTS (PROJECTID, PROJECTNAME, FILENAME) "
                           "values (1, 'Theirs', 'work/theirs.seq')"))
            << q.lastError().text().toStdString();
        inserted.set_value();
        QThread::msleep(500);
        EXPECT_TRUE(db.commit());
    });
    inserted.get_future().wait();
    fill("mine", 1);
    save();
    racer.join();
    EXPECT_EQ(column("select PROJECTID || ' ' || FILENAME from PROJECTS order by PROJECTID"),
              QStringList({"1 work/theirs.seq", "2 work/p.seq"}));
    EXPECT_EQ(column("select distinct PROJECTID from CHARACTERISTICS"), QStringList{"2"});
}

TEST_P(SharedWrites, APropagationThatFailsChangesNothing)
{
    // P holds a row of master M and two rows of its own with CHARID 7. M's new characteristic X
    // has the feature of P's own row X, which a unique index of this database refuses: the
    // insert collides.
    setHeader("P", File);
    addChar(1, "A", "m.seq", 1);
    addChar(7, "X", QString(), 1);
    addChar(7, "Y", QString(), 1);
    save();
    m_data.AddRefProject(1, "m.seq", "M");
    exec("create unique index TEST_FEATURE on CHARACTERISTICS (PROJECTID, FEATURE)");
    const QStringList before =
        column("select LABEL || ' ' || cast(NOMINAL as integer) || ' ' || coalesce(TEMPSTATE, '-') "
               "from CHARACTERISTICS order by LABEL");
    const QStringList projectBefore = column("select coalesce(REF_STATE, '-') from PROJECTS");

    MemDataSet master;
    CreateCharDataSet(master);
    for (const auto &[charId, label] : {std::pair{1, "A"}, std::pair{7, "X"}}) {
        // A comes before X, so P's row A is changed before the insert fails.
        master.append();
        master.fieldByName("GROUPID").setAsInteger(1);
        master.fieldByName("CHARID").setAsInteger(charId);
        master.fieldByName("LABEL").setAsString(label);
        master.fieldByName("FEATURE").setAsString(QString("F") + label);
        master.fieldByName("REF_FILENAME").setAsString("m.seq");
        master.fieldByName("NOMINAL").setAsFloat(2);
        master.fieldByName("DECIMALS").setAsInteger(4);
        master.fieldByName("ACTIVE").setAsInteger(1);
        master.post();
    }
    try {
        m_data.UpdateDependingProjects("m.seq", master, false);
        FAIL() << "no error";
    } catch (const DatabaseError &e) {
        EXPECT_EQ(e.failure(), DatabaseFailure::DuplicateKey) << e.message().toStdString();
    }
    EXPECT_EQ(
        column("select LABEL || ' ' || cast(NOMINAL as integer) || ' ' || coalesce(TEMPSTATE, '-') "
               "from CHARACTERISTICS order by LABEL"),
        before);
    EXPECT_EQ(column("select coalesce(REF_STATE, '-') from PROJECTS"), projectBefore);
}
