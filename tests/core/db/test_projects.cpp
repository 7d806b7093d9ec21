#include "core/db/tevrowset.h"
#include "core/project/projectdatasets.h"
#include "platform/error.h"
#include "projectfixture.h"

#include <gtest/gtest.h>

using namespace tev;
using namespace tev::test;

namespace {

class Projects : public ProjectFixture
{
};

} // namespace

TEVORA_INSTANTIATE_BACKENDS(Projects);

TEST_P(Projects, IdsAreTheLargestPlusOne)
{
    EXPECT_EQ(m_data.CreateProject("a.seq", "A", 1, "P=1"), 1);
    EXPECT_EQ(m_data.CreateProject("a.seq", "Other", 2, ""), -1);
    EXPECT_EQ(m_data.CreateProject("b.seq", "B", 1, ""), 2);
    EXPECT_EQ(m_data.CreateProject("c.seq", "C", 1, ""), 3);
    EXPECT_EQ(column("select PROJECTNAME || ':' || FILETYPE || ':' || coalesce(PARAMS, '') || ':' "
                     "|| STATE || ':' || REF_STATE from PROJECTS where PROJECTID = 1"),
              QStringList({"A:1:P=1:0:0"}));
    m_data.DeleteProject("c.seq");
    EXPECT_EQ(m_data.CreateProject("d.seq", "D", 1, ""), 3);
    m_data.DeleteProject("b.seq");
    EXPECT_EQ(m_data.CreateProject("e.seq", "E", 1, ""), 4);
}

TEST_P(Projects, ExistsFileNameAndFind)
{
    m_data.CreateProject("a.seq", "A", 1, "");
    m_data.CreateProject("sub/b.seq", "B", 1, "");
    m_data.CreateProject("c.mseq", "C", 2, "");
    QString name = "unchanged";
    EXPECT_FALSE(m_data.ProjectExists("x.seq", name));
    EXPECT_EQ(name, "unchanged");
    EXPECT_TRUE(m_data.ProjectExists("sub/b.seq", name));
    EXPECT_EQ(name, "B");
    EXPECT_EQ(m_data.GetProjectFileName(1), "a.seq");
    EXPECT_EQ(m_data.GetProjectFileName(99), "");

    auto found = m_data.FindProjects("*.seq");
    ASSERT_TRUE(found);
    QStringList names;
    for (found->first(); !found->eof(); found->next())
        names << found->fieldByName("FILENAME").asString();
    names.sort();
    EXPECT_EQ(names, QStringList({"a.seq", "sub/b.seq"}));

    m_data.Database()->close();
    EXPECT_EQ(m_data.FindProjects("*"), nullptr);
}

TEST_P(Projects, RoundTripOfAProjectWithItsCharacteristics)
{
    setHeader("Shaft", "work/shaft.seq", "$A=1\r\n$B=\u00e4\u00df");
    addChar(1, "D1", "", 1234.5678);
    addChar(2, "D2", "masters/m.seq", NoValue);
    addChar(3, "D3", "masters/m.seq", -0.000125, 0);
    gotoChar("D1");
    m_chars.edit();
    m_chars.fieldByName("STATE").setAsInteger(8 | 128);
    m_chars.fieldByName("PARAMS").setAsString(QString(3000, 'p'));
    m_chars.post();

    m_data.WriteProject("work/shaft.seq", m_header, m_chars, TTevDBUpdateMode::dbumSaveHeader);

    EXPECT_EQ(column("select PROJECTID || ':' || PROJECTNAME || ':' || STATE from PROJECTS"),
              QStringList({"1:Shaft:0"}));
    EXPECT_EQ(column("select CHARID || ':' || LABEL || ':' || coalesce(REF_FILENAME, '-') || ':' "
                     "|| coalesce(TEMPSTATE, -1) from CHARACTERISTICS order by CHARID"),
              QStringList({"1:D1:-:-1", "2:D2:masters/m.seq:-1", "3:D3:masters/m.seq:-1"}));
    // The written records lose bit 8 and get the project's id.
    gotoChar("D1");
    EXPECT_EQ(m_chars.fieldByName("STATE").asInteger(), 128);
    EXPECT_EQ(m_chars.fieldByName("PROJECTID").asInteger(), 1);

    MemDataSet header, chars;
    CreateProjectDataSet(header);
    CreateCharDataSet(chars);
    ASSERT_TRUE(m_data.ReadProject("work/shaft.seq", header, chars));
    EXPECT_EQ(header.fieldByName("PROJECTNAME").asString(), "Shaft");
    EXPECT_EQ(header.fieldByName("PARAMS").asString(), "$A=1\r\n$B=\u00e4\u00df");
    // Appended: the header differs (2) and two active characteristics are new (4).
    EXPECT_EQ(header.fieldByName("STATE").asInteger(), 2 | 4);
    ASSERT_EQ(chars.recordCount(), 3);
    EXPECT_EQ(chars.indexName(), "IDX_GROUPID_CHARID");
    ASSERT_TRUE(chars.locate("LABEL", {"D1"}));
    EXPECT_EQ(chars.fieldByName("NOMINAL").asFloat(), 1234.5678); // no 32-bit rounding
    EXPECT_EQ(chars.fieldByName("PARAMS").asString(), QString(3000, 'p'));
    EXPECT_EQ(chars.fieldByName("STATE").asInteger(), 4);
    ASSERT_TRUE(chars.locate("LABEL", {"D2"}));
    EXPECT_TRUE(chars.fieldByName("NOMINAL").isNull());
    ASSERT_TRUE(chars.locate("LABEL", {"D3"}));
    EXPECT_EQ(chars.fieldByName("NOMINAL").asFloat(), -0.000125);
    EXPECT_TRUE(chars.fieldByName("STATE").isNull()); // inactive: not marked new
}

TEST_P(Projects, ReadProjectMergesStoredValuesIntoTheFilesRecords)
{
    setHeader("P", "p.seq", "A=1");
    addChar(1, "L1", "", 1.2346);
    addChar(2, "L2", "", 5.0);
    m_data.WriteProject("p.seq", m_header, m_chars, TTevDBUpdateMode::dbumSaveAll);

    // The file says otherwise: 1.23456 equals 1.2346 at 4 decimals, a missing NOMINAL does not.
    setHeader("P", "p.seq", "A=2");
    gotoChar("L1");
    m_chars.edit();
    m_chars.fieldByName("NOMINAL").setAsFloat(1.23456);
    m_chars.fieldByName("STATE").setAsInteger(16);
    m_chars.post();
    gotoChar("L2");
    m_chars.edit();
    m_chars.fieldByName("NOMINAL").clear();
    m_chars.post();
    m_chars.setFilter("ACTIVE = 1");
    m_chars.setFiltered(true);

    ASSERT_TRUE(m_data.ReadProject("p.seq", m_header, m_chars));
    EXPECT_EQ(m_header.fieldByName("PARAMS").asString(), "A=1");
    EXPECT_EQ(m_header.fieldByName("STATE").asInteger(), 2);
    EXPECT_EQ(m_chars.filter(), "ACTIVE = 1");
    EXPECT_TRUE(m_chars.filtered());
    EXPECT_EQ(m_chars.recordCount(), 2);
    gotoChar("L1");
    EXPECT_EQ(m_chars.fieldByName("NOMINAL").asFloat(), 1.23456);
    EXPECT_EQ(m_chars.fieldByName("STATE").asInteger(), 0);
    gotoChar("L2");
    EXPECT_EQ(m_chars.fieldByName("NOMINAL").asFloat(), 5.0);
}

TEST_P(Projects, ReadProjectOfAnUnknownFileTouchesNothing)
{
    setHeader("P", "p.seq");
    addChar(1, "B", "", 1);
    addChar(2, "A", "", 1);
    m_chars.setIndexName("IDX_LABEL");
    EXPECT_FALSE(m_data.ReadProject("p.seq", m_header, m_chars));
    EXPECT_EQ(m_chars.indexName(), "IDX_GROUPID_CHARID");
    EXPECT_EQ(m_chars.fieldByName("LABEL").asString(), "B");
    EXPECT_TRUE(m_header.fieldByName("STATE").isNull());
}

TEST_P(Projects, TwoMastersSharingALabelStayTwoRecords)
{
    setHeader("W", "w.seq");
    addChar(1, "DIA", "m1.seq", 10.0);
    addChar(2, "DIA", "m2.seq", 20.0);
    m_data.WriteProject("w.seq", m_header, m_chars, TTevDBUpdateMode::dbumSaveAll);
    exec("update CHARACTERISTICS set NOMINAL = 11 where REF_FILENAME = 'm1.seq'");
    exec("update CHARACTERISTICS set NOMINAL = 22 where REF_FILENAME = 'm2.seq'");

    ASSERT_TRUE(m_data.ReadProject("w.seq", m_header, m_chars));
    EXPECT_EQ(m_chars.recordCount(), 2);
    gotoChar("DIA", "m1.seq");
    EXPECT_EQ(m_chars.fieldByName("NOMINAL").asFloat(), 11.0);
    gotoChar("DIA", "m2.seq");
    EXPECT_EQ(m_chars.fieldByName("NOMINAL").asFloat(), 22.0);

    m_data.WriteProject("w.seq", m_header, m_chars, TTevDBUpdateMode::dbumSaveAll);
    EXPECT_EQ(column("select REF_FILENAME || ':' || NOMINAL from CHARACTERISTICS order by CHARID"),
              QStringList({"m1.seq:11.00000000000000", "m2.seq:22.00000000000000"}));
}

TEST_P(Projects, AFailedSaveLeavesTheOldRowsAndTheRecords)
{
    setHeader("Old name", "p.seq");
    addChar(1, "A", "", 1.0);
    addChar(2, "B", "", 2.0);
    m_data.WriteProject("p.seq", m_header, m_chars, TTevDBUpdateMode::dbumSaveAll);

    // A new project name, a changed value, and then a duplicate key halfway through the rows.
    setHeader("New name", "p.seq");
    gotoChar("A");
    m_chars.edit();
    m_chars.fieldByName("NOMINAL").setAsFloat(100.0);
    m_chars.fieldByName("STATE").setAsInteger(8);
    m_chars.fieldByName("PROJECTID").clear();
    m_chars.post();
    addChar(2, "B", "", 3.0);

    EXPECT_THROW(m_data.WriteProject("p.seq", m_header, m_chars, TTevDBUpdateMode::dbumSaveAll),
                 Error);
    EXPECT_EQ(column("select PROJECTNAME from PROJECTS"), QStringList({"Old name"}));
    EXPECT_EQ(column("select LABEL || ':' || NOMINAL from CHARACTERISTICS order by CHARID"),
              QStringList({"A:1.000000000000000", "B:2.000000000000000"}));
    gotoChar("A");
    EXPECT_EQ(m_chars.fieldByName("STATE").asInteger(), 8);
    EXPECT_TRUE(m_chars.fieldByName("PROJECTID").isNull());
    EXPECT_EQ(m_chars.state(), DataSetState::Browse);

    // The same through WriteProjectChars.
    EXPECT_THROW(m_data.WriteProjectChars(1, m_chars), Error);
    EXPECT_EQ(column("select count(*) from CHARACTERISTICS"), QStringList({"2"}));
}

TEST_P(Projects, UpdateCharWritesTheCurrentRecord)
{
    setHeader("P", "p.seq");
    addChar(1, "A", "", 1.0);
    addChar(2, "B", "", 2.0);
    m_data.WriteProject("p.seq", m_header, m_chars, TTevDBUpdateMode::dbumSaveAll);
    gotoChar("B");
    m_chars.edit();
    m_chars.fieldByName("NOMINAL").setAsFloat(2.5);
    m_chars.fieldByName("STATE").setAsInteger(128);
    m_chars.post();
    m_data.UpdateChar(1, m_chars);
    EXPECT_EQ(
        column(
            "select LABEL || ':' || NOMINAL || ':' || coalesce(TEMPSTATE, -1) from CHARACTERISTICS "
            "order by CHARID"),
        QStringList({"A:1.000000000000000:-1", "B:2.500000000000000:128"}));
    EXPECT_EQ(m_chars.fieldByName("STATE").asInteger(), 128);
}

TEST_P(Projects, CharImagesOnePerLine)
{
    setHeader("P", "p.seq");
    for (int i = 1; i <= 4; ++i)
        addChar(i, QString("L%1").arg(i), "", 1.0);
    m_data.WriteProject("p.seq", m_header, m_chars, TTevDBUpdateMode::dbumSaveAll);
    exec("update CHARACTERISTICS set IMAGE = 'a.png' where CHARID in (1, 2)");
    exec("update CHARACTERISTICS set IMAGE = 'b.png' where CHARID = 3");
    QStringList lines = m_data.GetCharImages(1).split("\r\n");
    EXPECT_EQ(lines.takeLast(), "");
    lines.sort();
    EXPECT_EQ(lines, QStringList({"", "a.png", "b.png"}));
}

TEST_P(Projects, StoredFileNamesFollowAMovedRoot)
{
    struct Case
    {
        TDirectoryChangeMode mode;
        QString subDir;
        QStringList before;
        QStringList after;
    };
    const Case cases[] = {
        {TDirectoryChangeMode::dcmSubDirAdded,
         "/Sub/",
         {"Sub/A.seq", "Other/B.seq", "sub/C.seq"},
         {"A.seq", "Other/B.seq", "sub/C.seq"}},
        {TDirectoryChangeMode::dcmSubDirRemoved,
         "Old",
         {"A.seq", "x/B.seq", ""},
         {"Old/A.seq", "Old/x/B.seq", "Old/"}},
        {TDirectoryChangeMode::dcmOther, "Old", {"A.seq"}, {"A.seq"}},
        {TDirectoryChangeMode::dcmNoChange, "Old", {"A.seq"}, {"A.seq"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.subDir.toStdString());
        exec("delete from PROJECTS");
        exec("delete from CHARACTERISTICS");
        exec("delete from REFPROJECTS");
        for (int i = 0; i < c.before.size(); ++i) {
            const QString name = "'" + c.before[i] + "'";
            exec(QString("insert into PROJECTS (PROJECTID, FILENAME) values (%1, %2)")
                     .arg(i + 1)
                     .arg(name));
            exec(QString("insert into CHARACTERISTICS (PROJECTID, CHARID, LABEL, REF_FILENAME) "
                         "values (1, %1, 'L', %2)")
                     .arg(i + 1)
                     .arg(name));
            exec(QString(
                     "insert into REFPROJECTS (PROJECTID, SUBID, REF_FILENAME) values (1, %1, %2)")
                     .arg(i + 1)
                     .arg(name));
        }
        m_data.ChangeDirectories(c.mode, c.subDir);
        EXPECT_EQ(column("select FILENAME from PROJECTS order by PROJECTID"), c.after);
        EXPECT_EQ(column("select REF_FILENAME from CHARACTERISTICS order by CHARID"), c.after);
        EXPECT_EQ(column("select REF_FILENAME from REFPROJECTS order by SUBID"), c.after);
    }
}
