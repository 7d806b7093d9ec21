#include "projectfixture.h"

#include <gtest/gtest.h>

using namespace tev;
using namespace tev::test;

namespace {

class References : public ProjectFixture
{
protected:
    // Two work projects built on master m.seq, each with rows A and B from it, and an own row.
    void makeDependingProjects()
    {
        for (int p : {1, 2}) {
            exec(QString("insert into PROJECTS (PROJECTID, FILENAME) values (%1, 'w%1.seq')")
                     .arg(p));
            m_data.AddRefProject(p, "m.seq", "Master");
            exec(
                QString("insert into CHARACTERISTICS (PROJECTID, CHARID, LABEL, REF_FILENAME, "
                        "NOMINAL, GROUPNAME, DECIMALS) values (%1, 1, 'A', 'm.seq', 1.0, 'own', 4)")
                    .arg(p));
            exec(QString("insert into CHARACTERISTICS (PROJECTID, CHARID, LABEL, REF_FILENAME, "
                         "NOMINAL, DECIMALS) values (%1, 2, 'B', 'm.seq', 2.0, 4)")
                     .arg(p));
            exec(QString("insert into CHARACTERISTICS (PROJECTID, CHARID, LABEL, NOMINAL) values "
                         "(%1, 3, 'OWN', 3.0)")
                     .arg(p));
        }
    }
    // The master now has A (changed) and C (new); B is gone.
    void makeMaster()
    {
        addChar(1, "A", "", 1.5);
        gotoChar("A");
        m_chars.edit();
        m_chars.fieldByName("GROUPNAME").setAsString("master group");
        m_chars.post();
        addChar(2, "C", "", 7.0);
    }
    QStringList rows() const
    {
        return column("select PROJECTID || ':' || CHARID || ':' || LABEL || ':' || NOMINAL || ':' "
                      "|| coalesce(GROUPNAME, '-') || ':' || coalesce(TEMPSTATE, -1) from "
                      "CHARACTERISTICS order by PROJECTID, CHARID");
    }
};

} // namespace

TEVORA_INSTANTIATE_BACKENDS(References);

TEST_P(References, SubIdsAreTheLargestPlusOne)
{
    EXPECT_EQ(m_data.AddReference(1, "a.seq", "A"), 1);
    EXPECT_EQ(m_data.AddReference(1, "a.seq", "A again"), 1);
    EXPECT_EQ(m_data.AddReference(1, "b.seq", "B"), 2);
    EXPECT_EQ(m_data.AddReference(1, "c.seq", "C"), 3);
    EXPECT_EQ(m_data.AddReference(2, "a.seq", "A"), 1);
    m_data.RemoveRefProject(1, "b.seq");
    EXPECT_EQ(m_data.AddReference(1, "d.seq", "D"), 4);
    m_data.RemoveRefProject(1, "d.seq");
    EXPECT_EQ(m_data.AddReference(1, "e.seq", "E"), 4);
    QStringList list{"stale"};
    m_data.GetRefProjects(1, list);
    EXPECT_EQ(list, QStringList({"a.seq", "c.seq", "e.seq"}));
    m_data.GetDependingProjects("a.seq", list);
    list.sort();
    EXPECT_EQ(list, QStringList({"1", "2"}));
    EXPECT_TRUE(m_data.ExistsReference(1, "c.seq"));
    EXPECT_FALSE(m_data.ExistsReference(2, "c.seq"));
}

TEST_P(References, RemovingAMasterRemovesItsRowsOnly)
{
    makeDependingProjects();
    m_data.RemoveRefProject(1, "m.seq");
    EXPECT_EQ(column("select PROJECTID || ':' || LABEL from CHARACTERISTICS order by 1"),
              QStringList({"1:OWN", "2:A", "2:B", "2:OWN"}));
    EXPECT_FALSE(m_data.ExistsReference(1, "m.seq"));
}

TEST_P(References, PropagationChangesAddsAndRemovesRows)
{
    makeDependingProjects();
    makeMaster();
    m_chars.setFilter("LABEL = 'C'");
    m_chars.setFiltered(true);

    m_data.UpdateDependingProjects("m.seq", m_chars, false);

    // A keeps the project's own group name; C gets the next free CHARID as 2 is taken once.
    EXPECT_EQ(rows(),
              QStringList({"1:1:A:1.500000000000000:own:0", "1:3:OWN:3.000000000000000:-:-1",
                           "1:4:C:7.000000000000000:-:0", "2:1:A:1.500000000000000:own:0",
                           "2:3:OWN:3.000000000000000:-:-1", "2:4:C:7.000000000000000:-:0"}));
    EXPECT_EQ(column("select REF_STATE from PROJECTS order by PROJECTID"),
              QStringList({"256", "256"}));
    EXPECT_EQ(m_chars.filter(), "LABEL = 'C'");
    EXPECT_TRUE(m_chars.filtered());
    EXPECT_EQ(m_chars.indexName(), "IDX_GROUPID_CHARID");
    EXPECT_EQ(m_chars.fieldByName("LABEL").asString(), "C");
}

TEST_P(References, FullReferenceTakesTheMastersGroupNameAndAChangeDoesNotMark)
{
    makeDependingProjects();
    exec("delete from CHARACTERISTICS where LABEL = 'B'");
    addChar(1, "A", "", 1.0);
    gotoChar("A");
    m_chars.edit();
    m_chars.fieldByName("GROUPNAME").setAsString("master group");
    m_chars.post();

    m_data.UpdateDependingProjects("m.seq", m_chars, true);
    EXPECT_EQ(column("select GROUPNAME from CHARACTERISTICS where LABEL = 'A'"),
              QStringList({"master group", "master group"}));
    EXPECT_EQ(column("select REF_STATE from PROJECTS order by PROJECTID"), QStringList({"0", "0"}));
}

// A new row keeps the master's CHARID unless exactly one row of the project has it; then it
// takes the project's largest plus one, counting the rows this propagation inserted before.
TEST_P(References, NewRowsTakeAFreeCharId)
{
    struct Case
    {
        const char *name;
        QStringList existing; // CHARID:LABEL rows of the project, none from the master
        QStringList expected; // CHARIDs of the master's rows N1, N2 afterwards
    };
    const Case cases[] = {
        {"project without rows", {}, {"7", "8"}},
        {"free ids", {"1:X"}, {"7", "8"}},
        {"id used once", {"7:X", "12:Y"}, {"13", "8"}},
        {"id used twice", {"7:X", "7:Y", "12:Z"}, {"7", "8"}},
        {"both used once", {"7:X", "8:Y"}, {"9", "10"}},
    };
    addChar(7, "N1", "", 1.0);
    addChar(8, "N2", "", 2.0);
    int project = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ++project;
        exec(QString("insert into PROJECTS (PROJECTID, FILENAME) values (%1, 'w%1.seq')")
                 .arg(project));
        m_data.AddRefProject(project, "m.seq", "Master");
        for (const QString &row : c.existing)
            exec(QString("insert into CHARACTERISTICS (PROJECTID, CHARID, LABEL) values (%1, %2, "
                         "'%3')")
                     .arg(project)
                     .arg(row.section(':', 0, 0), row.section(':', 1)));
    }

    m_data.UpdateDependingProjects("m.seq", m_chars, false);

    project = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ++project;
        EXPECT_EQ(column(QString("select CHARID from CHARACTERISTICS where PROJECTID = %1 and "
                                 "LABEL in ('N1', 'N2') order by LABEL")
                             .arg(project)),
                  c.expected);
    }
}

// Two masters may share labels. Where the master's CHARID with the row's label is another
// source's key in the project, the row keeps a CHARID of its own instead of failing the whole
// propagation.
TEST_P(References, ARowKeepsItsCharIdWhereAnotherMasterHoldsTheMastersWithItsLabel)
{
    exec("insert into PROJECTS (PROJECTID, FILENAME) values (1, 'w1.seq')");
    m_data.AddRefProject(1, "o.seq", "Other");
    m_data.AddRefProject(1, "m.seq", "Master");
    for (const char *row : {"1, 'A', 'o.seq'", "5, 'A', 'm.seq'", "6, 'B', 'm.seq'",
                            "7, 'C', 'o.seq'", "7, 'X', 'o.seq'"})
        exec(QString("insert into CHARACTERISTICS (PROJECTID, CHARID, LABEL, REF_FILENAME) values "
                     "(1, %1)")
                 .arg(row));
    addChar(1, "A", "m.seq", 1.0); // (1, A) is the other master's: keeps 5
    addChar(3, "B", "m.seq", 2.0); // free: takes 3
    addChar(7, "C", "m.seq", 3.0); // new; two rows hold 7, one of them with C: the largest plus one

    m_data.UpdateDependingProjects("m.seq", m_chars, false);

    EXPECT_EQ(column("select CHARID || ':' || LABEL || ':' || REF_FILENAME from CHARACTERISTICS "
                     "order by CHARID, LABEL"),
              QStringList(
                  {"1:A:o.seq", "3:B:m.seq", "5:A:m.seq", "7:C:o.seq", "7:X:o.seq", "8:C:m.seq"}));
    EXPECT_EQ(column("select NOMINAL from CHARACTERISTICS where REF_FILENAME = 'm.seq' order by "
                     "LABEL"),
              QStringList({"1", "2", "3"}));
}

// Rows of the master in a project that no longer names it are not the master's any more.
TEST_P(References, RowsOfAProjectThatNoLongerNamesTheMasterGo)
{
    makeDependingProjects();
    exec("delete from REFPROJECTS where PROJECTID = 2");
    makeMaster();

    m_data.UpdateDependingProjects("m.seq", m_chars, false);

    EXPECT_EQ(column("select PROJECTID || ':' || LABEL from CHARACTERISTICS order by 1"),
              QStringList({"1:A", "1:C", "1:OWN", "2:OWN"}));
    EXPECT_EQ(column("select REF_STATE from PROJECTS order by PROJECTID"),
              QStringList({"256", "256"}));
}
