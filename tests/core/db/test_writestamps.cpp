// Write stamps: every write of a project row, by any client or statement, gives the row a new
// stamp; a write that expects the stamp it last read or wrote is refused, storing nothing, when
// the stored project changed since; the check costs the same few statements for any number of
// rows. An older database gets the stamps through the upgrade, and writes of older programs
// count as changes.

#include "core/project/projectdatasets.h"
#include "core/project/tevproject.h"
#include "platform/error.h"
#include "projectfixture.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <functional>

using namespace tev;
using namespace tev::test;

namespace {

const QString File = QStringLiteral("work/p.seq");

class WriteStamps : public ProjectFixture
{
protected:
    WriteStamps() { m_data.UpgradeDatabase(TProductVersion{1, 0, 0, 0}); }

    void fill(const QString &name, int rows, double nominal)
    {
        setHeader(name, File);
        m_chars.emptyDataSet();
        for (int i = 1; i <= rows; ++i)
            addChar(i, QString("L%1").arg(i), QString(), nominal);
    }
    int projectId() const { return column("select PROJECTID from PROJECTS").value(0).toInt(); }
    QString stamp() const
    {
        return column("select coalesce(WRITESTAMP, -1) from PROJECTS").value(0);
    }
    void SaveAProjectOfAnOlderDatabase(bool OlderProgramWrites);
    QStringList stored() const
    {
        return column("select p.PROJECTNAME || ':' || cast(c.NOMINAL as integer) from PROJECTS p "
                      "join CHARACTERISTICS c on c.PROJECTID = p.PROJECTID order by c.LABEL");
    }
};

struct Write
{
    const char *name;
    std::function<void()> run;
};

} // namespace

TEVORA_INSTANTIATE_BACKENDS(WriteStamps);

TEST_P(WriteStamps, EveryWriteOfTheProjectGivesItANewStamp)
{
    fill("P", 3, 1);
    m_data.WriteProject(File, m_header, m_chars, TTevDBUpdateMode::dbumSaveAll);
    const int id = projectId();
    m_data.AddRefProject(id, "m.seq", "M");
    TTevDataModule &d = m_data;
    MemDataSet &h = m_header;
    MemDataSet &c = m_chars;
    const Write writes[] = {
        {"WriteProject", [&] { d.WriteProject(File, h, c, TTevDBUpdateMode::dbumSaveAll); }},
        {"WriteProjectHeader",
         [&] {
             h.edit();
             h.fieldByName("PROJECTNAME").setAsString("renamed");
             h.post();
             d.WriteProjectHeader(File, h);
         }},
        {"WriteProjectChars", [&] { d.WriteProjectChars(id, c); }},
        {"UpdateChar",
         [&] {
             c.first();
             d.UpdateChar(id, c);
         }},
        {"a propagation of a master",
         [&] {
             MemDataSet master;
             CreateCharDataSet(master);
             master.append();
             master.fieldByName("CHARID").setAsInteger(1);
             master.fieldByName("LABEL").setAsString("M1");
             master.fieldByName("FEATURE").setAsString("F");
             master.fieldByName("REF_FILENAME").setAsString("m.seq");
             master.post();
             d.UpdateDependingProjects("m.seq", master, false);
         }},
        {"an older program's update",
         [this] { exec("update PROJECTS set PROJECTNAME = 'older'"); }},
    };
    QStringList seen{stamp()};
    for (const Write &w : writes) {
        w.run();
        EXPECT_FALSE(seen.contains(stamp())) << w.name;
        seen << stamp();
    }
}

TEST_P(WriteStamps, AStaleWriteStoresNothingAndKeepsTheRecords)
{
    fill("P", 3, 1);
    TStoredStamp mine = TStoredStamp::Missing();
    m_data.WriteProject(File, m_header, m_chars, TTevDBUpdateMode::dbumSaveAll, &mine);
    ASSERT_EQ(mine.kind(), TStoredStamp::Kind::Stored);
    EXPECT_EQ(QString::number(*mine.value()), stamp());
    exec("update PROJECTS set PROJECTNAME = 'theirs'");
    const QStringList theirs = stored();

    fill("mine", 3, 2);
    const TStoredStamp before = mine;
    using Stale = StaleWriteError;
    EXPECT_THROW(m_data.WriteProject(File, m_header, m_chars, TTevDBUpdateMode::dbumSaveAll, &mine),
                 Stale);
    EXPECT_THROW(m_data.WriteProjectHeader(File, m_header, &mine), Stale);
    EXPECT_THROW(m_data.WriteProjectChars(projectId(), m_chars, &mine), Stale);
    m_chars.first();
    EXPECT_THROW(m_data.UpdateChar(projectId(), m_chars, &mine), Stale);
    EXPECT_EQ(stored(), theirs);
    EXPECT_EQ(mine, before);
    for (m_chars.first(); !m_chars.eof(); m_chars.next())
        EXPECT_EQ(m_chars.fieldByName("NOMINAL").asFloat(), 2);

    // Read again, the project is the client's to write.
    MemDataSet header, chars;
    CreateProjectDataSet(header);
    CreateCharDataSet(chars);
    ASSERT_TRUE(m_data.ReadProject(File, header, chars, &mine));
    m_data.WriteProject(File, m_header, m_chars, TTevDBUpdateMode::dbumSaveAll, &mine);
    EXPECT_EQ(stored(), QStringList({"mine:2", "mine:2", "mine:2"}));
}

TEST_P(WriteStamps, ANewProjectIsStaleWhenAnotherClientCreatedItAndAnyOverwrites)
{
    fill("theirs", 2, 1);
    m_data.WriteProject(File, m_header, m_chars, TTevDBUpdateMode::dbumSaveAll);
    fill("mine", 2, 2);
    TStoredStamp none = TStoredStamp::Missing();
    EXPECT_THROW(m_data.WriteProject(File, m_header, m_chars, TTevDBUpdateMode::dbumSaveAll, &none),
                 StaleWriteError);
    EXPECT_EQ(stored(), QStringList({"theirs:1", "theirs:1"}));
    TStoredStamp any;
    m_data.WriteProject(File, m_header, m_chars, TTevDBUpdateMode::dbumSaveAll, &any);
    EXPECT_EQ(stored(), QStringList({"mine:2", "mine:2"}));
    EXPECT_EQ(QString::number(any.value().value_or(-2)), stamp());
}

TEST_P(WriteStamps, TheCheckCostsTheSameStatementsForAnyNumberOfRows)
{
    // The statements of a checked save beside an unchecked one: the same, and two more.
    auto extra = [this](int rows) {
        fill("P", rows, 1);
        m_data.WriteProject(File, m_header, m_chars, TTevDBUpdateMode::dbumSaveAll);
        QStringList plain, checked;
        m_data.SetSqlTrace([&](const QString &sql) { plain << sql; });
        m_data.WriteProject(File, m_header, m_chars, TTevDBUpdateMode::dbumSaveAll);
        m_data.SetSqlTrace({});
        TStoredStamp stamp;
        m_data.WriteProject(File, m_header, m_chars, TTevDBUpdateMode::dbumSaveAll, &stamp);
        m_data.SetSqlTrace([&](const QString &sql) { checked << sql; });
        m_data.WriteProject(File, m_header, m_chars, TTevDBUpdateMode::dbumSaveAll, &stamp);
        m_data.SetSqlTrace({});
        for (const QString &sql : plain)
            checked.removeOne(sql);
        return checked;
    };
    const QStringList few = extra(3);
    EXPECT_EQ(few.size(), 2) << few.join("\n---\n").toStdString();
    for (const QString &sql : few)
        EXPECT_TRUE(sql.startsWith("select WRITESTAMP\nfrom PROJECTS\nwhere "))
            << sql.toStdString();
    EXPECT_EQ(extra(400), few);
}

// An older database, made by an older program without write stamps, is upgraded; a client of
// this program opens a project stored before and saves it.
void WriteStamps::SaveAProjectOfAnOlderDatabase(bool OlderProgramWrites)
{
    exec("drop trigger STAMP_PROJECTS");
    exec("alter table PROJECTS drop WRITESTAMP");
    exec("drop sequence GEN_WRITESTAMP");
    setHeader("stored", File);
    addChar(1, "L1", QString(), 1);
    m_data.WriteProject(File, m_header, m_chars, TTevDBUpdateMode::dbumSaveAll);

    m_data.UpgradeDatabase(TProductVersion{1, 0, 0, 0});
    EXPECT_EQ(stamp(), "-1");
    TempFolder root;
    ASSERT_TRUE(QDir().mkpath(root.file("work")));
    TTevProject project(nullptr, &m_data);
    project.SetRootDir(root.path());
    ASSERT_TRUE(project.LoadFromDB(root.file(File)));
    if (OlderProgramWrites) {
        // What an older program sends when it saves the project.
        exec("update PROJECTS set PROJECTNAME = 'older program'");
        EXPECT_THROW(project.Save(), StaleWriteError);
        EXPECT_EQ(column("select PROJECTNAME from PROJECTS"), QStringList({"older program"}));
        EXPECT_FALSE(QFile::exists(root.file(File)));
    } else {
        project.Save();
        EXPECT_EQ(column("select PROJECTNAME from PROJECTS"), QStringList({"stored"}));
        EXPECT_TRUE(QFile::exists(root.file(File)));
    }
}

TEST_P(WriteStamps, AnOlderDatabasesRowCountsAsChangedOnceAnOlderProgramWritesIt)
{
    SaveAProjectOfAnOlderDatabase(true);
}

TEST_P(WriteStamps, AnOlderDatabasesRowThatNobodyWroteSavesAsBefore)
{
    SaveAProjectOfAnOlderDatabase(false);
}
