// What the database holds of the open project against what this client last read or wrote:
// edits written at once are taken back by RevertStored (the user's "No" to saving), never over
// another user's later save; a write that finds another user's save asks, and the answer decides.

#include "core/project/storedstamp.h"
#include "lifecyclefixture.h"

#include <QFile>

using namespace tev;
using namespace tev::test;

namespace {

const QString Work = QStringLiteral("Work/W1.seq");

class StoredState : public LifecycleTest
{
protected:
    StoredState()
    {
        createWork(Work, "W1", {SequenceTree::Housing});
        m_project.Close();
        m_project.OpenFile(m_tree.file(Work));
        EXPECT_TRUE(m_project.ExistsInDatabase());
        m_params = params();
        m_rows = storedRows(Work);
        m_file = readBytes(m_tree.file(Work));
        QObject::connect(&m_project, &TTevProject::OnStaleWrite, [this](TStaleAnswer *answer) {
            ++m_asked;
            *answer = m_answer;
        });
    }

    QString params() const
    {
        return column("select PARAMS from PROJECTS where FILENAME = '" + Work + "'").value(0);
    }
    // A header edit and a move, both written at once.
    void editAndMove()
    {
        m_project.SetVersion("3.0");
        m_project.DataSetChars().first();
        m_project.MoveCharacteristic(false);
        ASSERT_TRUE(params().contains("$VERSION=3.0"));
        ASSERT_NE(storedRows(Work), m_rows);
    }
    // Another user saves the project: their write renews its stamp.
    void anotherUserSaves()
    {
        exec("update PROJECTS set PROJECTNAME = 'theirs' where FILENAME = '" + Work + "'");
    }

    QString m_params;
    QStringList m_rows;
    QByteArray m_file;
    TStaleAnswer m_answer = TStaleAnswer::NotAsked;
    int m_asked = 0;
};

} // namespace

TEST_F(StoredState, RevertWritesBackTheHeaderAndRowsOfTheLastOpen)
{
    ASSERT_FALSE(m_project.WrittenSinceSaved());
    editAndMove();
    EXPECT_TRUE(m_project.WrittenSinceSaved());
    EXPECT_TRUE(m_project.RevertStored());
    EXPECT_EQ(params(), m_params);
    EXPECT_EQ(storedRows(Work), m_rows);
    EXPECT_EQ(readBytes(m_tree.file(Work)), m_file);
    EXPECT_FALSE(m_project.WrittenSinceSaved());
    // The records in memory keep the edits; a later edit is written and taken back again.
    EXPECT_EQ(m_project.Version(), "3.0");
    m_project.SetProjectName("later");
    ASSERT_EQ(column("select PROJECTNAME from PROJECTS"), QStringList({"later"}));
    EXPECT_TRUE(m_project.RevertStored());
    EXPECT_EQ(column("select PROJECTNAME from PROJECTS"), QStringList({"W1"}));
    EXPECT_EQ(params(), m_params);
}

TEST_F(StoredState, RevertGoesBackToTheLastSave)
{
    m_project.SetVersion("2.5");
    m_project.Save();
    const QString saved = params();
    const QStringList rows = storedRows(Work);
    editAndMove();
    EXPECT_TRUE(m_project.RevertStored());
    EXPECT_EQ(params(), saved);
    EXPECT_EQ(storedRows(Work), rows);
}

TEST_F(StoredState, RevertWithoutAnyWriteWritesNothing)
{
    m_project.DataSetChars().first();
    m_project.DataSetChars().edit();
    m_project.DataSetChars().fieldByName("NOMINAL").setAsFloat(99);
    m_project.DataSetChars().post();
    EXPECT_FALSE(m_project.WrittenSinceSaved());
    EXPECT_FALSE(m_project.RevertStored());
    EXPECT_EQ(params(), m_params);
}

TEST_F(StoredState, RevertNeverOverwritesAnotherUsersLaterSave)
{
    editAndMove();
    anotherUserSaves();
    const QString theirs = params();
    const QStringList theirRows = storedRows(Work);
    EXPECT_FALSE(m_project.RevertStored());
    EXPECT_EQ(params(), theirs);
    EXPECT_EQ(storedRows(Work), theirRows);
    EXPECT_EQ(m_asked, 0);
}

TEST_F(StoredState, KeepingAnotherUsersSaveStoresNothingUntilTheNextSave)
{
    anotherUserSaves();
    m_answer = TStaleAnswer::Keep;
    m_project.SetVersion("3.0");
    EXPECT_EQ(m_asked, 1);
    EXPECT_FALSE(params().contains("$VERSION=3.0"));
    // Further edits are not written and ask no more; the save asks again.
    m_project.SetProjectName("more");
    EXPECT_EQ(m_asked, 1);
    try {
        m_project.Save();
        ADD_FAILURE() << "the save went through";
    } catch (const StaleWriteError &e) {
        EXPECT_TRUE(e.declined());
    }
    EXPECT_EQ(m_asked, 2);
    EXPECT_EQ(column("select PROJECTNAME from PROJECTS"), QStringList({"theirs"}));
    EXPECT_EQ(readBytes(m_tree.file(Work)), m_file);
    // Overwrite: the save writes what the client holds.
    m_answer = TStaleAnswer::Overwrite;
    m_project.Save();
    EXPECT_EQ(m_asked, 3);
    EXPECT_EQ(column("select PROJECTNAME from PROJECTS"), QStringList({"more"}));
    EXPECT_TRUE(params().contains("$VERSION=3.0"));
}

TEST_F(StoredState, AMoveAfterAnotherUsersSaveAsksToo)
{
    anotherUserSaves();
    m_answer = TStaleAnswer::Overwrite;
    m_project.DataSetChars().first();
    m_project.MoveCharacteristic(false);
    EXPECT_EQ(m_asked, 1);
    EXPECT_NE(storedRows(Work), m_rows);
    // After an overwrite the next write is the client's own again.
    m_project.MoveCharacteristic(true);
    EXPECT_EQ(m_asked, 1);
}
