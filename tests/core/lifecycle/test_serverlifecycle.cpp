// The project's own operations on a database that a real Firebird server holds, with the server
// gone at the moment of the operation: the user hears that the connection was lost, nothing the
// project holds in memory changes, neither the stored rows nor the files change, and once the
// server is back the same operation, tried again, stores everything.

#include "core/db/databaseerror.h"
#include "core/db/tevconnection.h"
#include "lifecyclefixture.h"
#include "platform/dataset/memdataset.h"
#include "support/app/firebirdserver.h"

#include <QSqlQuery>

using namespace tev;
using namespace tev::test;

namespace {

// The server is a base so that it is up before the fixture's module connects and stops after
// the module has gone.
struct OwnServer
{
    OwnServer() { m_server.start(); }
    FirebirdServer m_server;
};

class ServerLifecycle : private OwnServer, public LifecycleTest
{
protected:
    ServerLifecycle()
        : LifecycleTest(m_server)
    {}

    FirebirdServer &server() { return m_server; }

    // A stored value read on a connection of its own: the module's connection may be the one
    // that was lost.
    QStringList stored(const QString &sql) const
    {
        TTevConnection look(QStringLiteral("Look"));
        look.setParams(m_data.Database()->params());
        look.open();
        QSqlQuery q(look.database());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        QStringList result;
        while (q.next())
            result << q.value(0).toString();
        return result;
    }
    QStringList storedNominal(const QString &label) const
    {
        return stored(QString("select p.FILENAME || '=' || cast(c.NOMINAL as numeric(9, 3)) from "
                              "CHARACTERISTICS c join PROJECTS p on p.PROJECTID = c.PROJECTID "
                              "where c.LABEL = '%1' order by p.PROJECTID")
                          .arg(label));
    }
    double nominal(const QString &label)
    {
        MemDataSet &chars = m_project.DataSetChars();
        EXPECT_TRUE(chars.locate("LABEL", {label})) << label.toStdString();
        return chars.fieldByName("NOMINAL").asFloat();
    }
    void setNominal(const QString &label, double value)
    {
        MemDataSet &chars = m_project.DataSetChars();
        ASSERT_TRUE(chars.locate("LABEL", {label}));
        chars.edit();
        chars.fieldByName("NOMINAL").setAsFloat(value);
        chars.post();
    }

    // Runs the operation and returns the database failure it reported.
    template <typename Operation> DatabaseError failure(Operation operation)
    {
        try {
            operation();
        } catch (const DatabaseError &e) {
            return e;
        }
        ADD_FAILURE() << "the operation did not fail";
        return DatabaseError(DatabaseFailure::Other, {});
    }
};

void ExpectLost(const DatabaseError &e)
{
    EXPECT_EQ(e.failure(), DatabaseFailure::ConnectionLost);
    EXPECT_TRUE(e.message().startsWith("The connection to the database was lost"))
        << e.message().toStdString();
}

} // namespace

TEST_F(ServerLifecycle, ASaveWhileTheServerIsGoneKeepsTheWorkAndTheNextSaveStoresIt)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    m_project.OpenFile(m_tree.file(SequenceTree::Line1));
    const double before = nominal("H2");
    // A header change is written at once while the server is there.
    m_project.SetShortDesc("Second shift");
    setNominal("H2", 42.5);
    const QByteArray file = readBytes(m_tree.file(SequenceTree::Line1));
    const quint32 state = m_project.ChangeState();
    ASSERT_NE(state, 0u);

    server().kill();
    ExpectLost(failure([&] { m_project.Save(); }));
    EXPECT_EQ(nominal("H2"), 42.5);
    EXPECT_EQ(m_project.ShortDesc(), "Second shift");
    EXPECT_EQ(m_project.ChangeState(), state) << "the project must still ask to be saved";
    EXPECT_EQ(m_project.RelativeFileName(), SequenceTree::Line1);
    EXPECT_EQ(readBytes(m_tree.file(SequenceTree::Line1)), file);

    server().start();
    EXPECT_EQ(storedNominal("H2"),
              QStringList{"Work/Line1.seq=" + QString::number(before, 'f', 3)});
    m_project.Save();
    EXPECT_EQ(m_project.ChangeState(), 0u);
    EXPECT_EQ(storedNominal("H2"), QStringList{"Work/Line1.seq=42.500"});
    EXPECT_TRUE(
        QString::fromLatin1(readBytes(m_tree.file(SequenceTree::Line1))).contains("\t42.500\t"));
    m_project.OpenFile(m_tree.file(SequenceTree::Line1));
    EXPECT_EQ(nominal("H2"), 42.5);
    EXPECT_EQ(m_project.ShortDesc(), "Second shift");
}

// An edit of the project's record (as the project page posts it) is written to the database at
// once: with the server gone the edit stays in memory, the user hears why, and the next save
// stores it.
TEST_F(ServerLifecycle, AnEditPostedWhileTheServerIsGoneStaysInMemory)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    m_project.OpenFile(m_tree.file(SequenceTree::Line1));
    MemDataSet &header = m_project.DataSetProject();
    server().kill();
    header.edit();
    header.fieldByName("PROJECTNAME").setAsString("Line One");
    ExpectLost(failure([&] { header.post(); }));
    EXPECT_EQ(header.fieldByName("PROJECTNAME").asString(), "Line One");
    EXPECT_FALSE(header.editing());

    server().start();
    EXPECT_EQ(stored("select PROJECTNAME from PROJECTS"), QStringList{"Line 1"});
    m_project.Save();
    EXPECT_EQ(stored("select PROJECTNAME from PROJECTS"), QStringList{"Line One"});
}

// Carrying a master into its work sequences with the server gone changes no work sequence, the
// master stays open as it was, and the same update once the server is back reaches them all.
TEST_F(ServerLifecycle, APropagationWhileTheServerIsGoneChangesNothingAndRunsLater)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    createWork(SequenceTree::Line2, "Line 2", {SequenceTree::Housing, SequenceTree::Shaft});
    {
        // The gauge maker's program changes the master.
        TTevProject master(nullptr, nullptr);
        master.SetRootDir(m_tree.root());
        master.ReadSequenceFile(m_tree.file(SequenceTree::Housing));
        MemDataSet &chars = master.DataSetChars();
        ASSERT_TRUE(chars.locate("LABEL", {"H2"}));
        chars.edit();
        chars.fieldByName("NOMINAL").setAsFloat(42.1);
        chars.post();
        master.WriteFile(master.FileName());
    }
    const QStringList storedBefore = storedNominal("H2");
    const QByteArray line1 = readBytes(m_tree.file(SequenceTree::Line1));
    const QByteArray line2 = readBytes(m_tree.file(SequenceTree::Line2));
    m_project.OpenFile(m_tree.file(SequenceTree::Housing));

    server().kill();
    ExpectLost(failure([&] { m_project.UpdateReferences({}); }));
    EXPECT_EQ(m_project.RelativeFileName(), SequenceTree::Housing);
    EXPECT_EQ(m_project.DataSetChars().recordCount(), 6);
    EXPECT_EQ(nominal("H2"), 42.1);
    EXPECT_EQ(readBytes(m_tree.file(SequenceTree::Line1)), line1);
    EXPECT_EQ(readBytes(m_tree.file(SequenceTree::Line2)), line2);

    server().start();
    EXPECT_EQ(storedNominal("H2"), storedBefore);
    m_project.UpdateReferences({});
    EXPECT_EQ(storedNominal("H2"),
              QStringList({"Work/Line1.seq=42.100", "Work/Cell 2/Line2.seq=42.100"}));
    for (const QString &work : {SequenceTree::Line1, SequenceTree::Line2})
        EXPECT_TRUE(QString::fromLatin1(readBytes(m_tree.file(work))).contains("\t42.100\t"))
            << work.toStdString();
}
