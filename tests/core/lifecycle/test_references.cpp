#include "core/lib/qstringprinter.h"
#include "core/project/changestate.h"
#include "lifecyclefixture.h"
#include "platform/dataset/memdataset.h"
#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <functional>

using namespace tev;
using namespace tev::test;

namespace {

class References : public LifecycleTest
{
protected:
    // Rewrites a master file through a project of its own, as the gauge maker's program would.
    void editMaster(const QString &relative, const std::function<void(MemDataSet &)> &edit)
    {
        TTevProject master(nullptr, nullptr);
        master.SetRootDir(m_tree.root());
        master.ReadSequenceFile(m_tree.file(relative));
        edit(master.DataSetChars());
        master.WriteFile(master.FileName());
    }
    // The Housing master: H2's nominal changed, H3 gone, H7 new in group Face.
    void changeHousing()
    {
        editMaster(SequenceTree::Housing, [](MemDataSet &chars) {
            ASSERT_TRUE(chars.locate("LABEL", {"H2"}));
            chars.edit();
            chars.fieldByName("NOMINAL").setAsFloat(42.1);
            chars.post();
            ASSERT_TRUE(chars.locate("LABEL", {"H3"}));
            chars.deleteRecord();
            chars.append();
            chars.fieldByName("GROUPID").setAsInteger(2);
            chars.fieldByName("CHARID").setAsInteger(7);
            chars.fieldByName("GROUPNAME").setAsString("Face");
            chars.fieldByName("LABEL").setAsString("H7");
            chars.fieldByName("FEATURE").setAsString("F4");
            chars.fieldByName("CHARTYPE").setAsString("FLAT");
            chars.fieldByName("NOMINAL").setAsFloat(1.5);
            chars.fieldByName("DECIMALS").setAsInteger(2);
            chars.fieldByName("ACTIVE").setAsInteger(1);
            chars.fieldByName("IMAGEX").setAsInteger(-1);
            chars.fieldByName("IMAGEY").setAsInteger(-1);
            chars.post();
        });
    }
    QString nominals(const QString &label) const
    {
        QSqlQuery q(db());
        EXPECT_TRUE(q.exec(QString("select p.FILENAME, c.NOMINAL from CHARACTERISTICS c join "
                                   "PROJECTS p on p.PROJECTID = c.PROJECTID where c.LABEL = '%1' "
                                   "order by p.PROJECTID")
                               .arg(label)));
        QStringList result;
        while (q.next())
            result << q.value(0).toString() + "=" + QString::number(q.value(1).toDouble());
        return result.join(", ");
    }
};

} // namespace

// Adding a master again updates what came from it, keeps the groups the user gave, appends its
// new characteristics and records no second reference.
TEST_F(References, AddingAMasterAgainUpdatesAndAppends)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    m_project.RenameGroup("Bore", "Bohrung");
    m_project.Save();
    changeHousing();
    m_project.AddMasterProject(SequenceTree::Housing);
    MemDataSet &chars = m_project.DataSetChars();
    ASSERT_TRUE(chars.locate("LABEL", {"H2"}));
    EXPECT_DOUBLE_EQ(chars.fieldByName("NOMINAL").asFloat(), 42.1);
    EXPECT_EQ(chars.fieldByName("GROUPNAME").asString(), "Bohrung");
    ASSERT_TRUE(chars.locate("LABEL", {"H7"}));
    EXPECT_EQ(chars.fieldByName("STATE").asInteger(), 8);
    EXPECT_EQ(chars.fieldByName("REF_FILENAME").asString(), SequenceTree::Housing);
    EXPECT_EQ(chars.fieldByName("REF_PROJECTNAME").asString(), QString::fromUtf8("Gehäuse 4711"));
    EXPECT_EQ(count("select count(*) from REFPROJECTS"), 1);
    // Only the database knows: the file is behind.
    EXPECT_TRUE(m_project.ChangeState() & ChangeStateBits::CharacteristicsChanged);
    EXPECT_EQ(count("select count(*) from CHARACTERISTICS where LABEL = 'H7'"), 0);
}

TEST_F(References, AddingAMissingMasterDoesNothing)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    m_project.AddMasterProject("Masters/None.seq");
    EXPECT_EQ(m_project.ChangeState(), 0u);
    EXPECT_EQ(count("select count(*) from REFPROJECTS"), 1);
}

TEST_F(References, RemovingAMasterDropsItsRowsAndRewritesTheFile)
{
    createWork(SequenceTree::Line2, "Line 2", {SequenceTree::Housing, SequenceTree::Shaft});
    m_project.RemoveMasterProject(SequenceTree::Shaft);
    EXPECT_EQ(m_project.RelativeFileName(), SequenceTree::Line2);
    EXPECT_TRUE(m_project.ExistsInDatabase());
    EXPECT_EQ(routine(),
              QStringList({"Bore/H1", "Bore/H2", "Bore/H3", "Face/H4", "Face/H5", "Face/H6"}));
    EXPECT_EQ(column("select REF_FILENAME from REFPROJECTS"), QStringList({SequenceTree::Housing}));
    EXPECT_EQ(count("select count(*) from CHARACTERISTICS where REF_FILENAME = "
                    "'Masters/Shaft.seq'"),
              0);
    const QString text = QString::fromLatin1(readBytes(m_tree.file(SequenceTree::Line2)));
    EXPECT_FALSE(text.contains("\nS1\t"));
    EXPECT_TRUE(text.contains("\nH6\t"));
    EXPECT_TRUE(text.contains("$DEPENDS HOUSING.FMT HOUSING.uif bore.png face.kelb GAP.TEM\r\n"));
}

// A master change reaches every work sequence's rows and files.
TEST_F(References, AMasterChangeReachesEveryWorkSequence)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    createWork(SequenceTree::Line2, "Line 2", {SequenceTree::Housing, SequenceTree::Shaft});
    changeHousing();
    m_project.OpenFile(m_tree.file(SequenceTree::Housing));
    QStringList progress;
    m_project.UpdateReferences([&](const QString &caption, int bar) {
        progress << QString("%1 %2").arg(caption).arg(bar);
        return false; // a cancel does not stop the update
    });
    EXPECT_EQ(progress, QStringList({m_tree.file(SequenceTree::Line1) + " -1",
                                     m_tree.file(SequenceTree::Line2) + " -1"}));
    EXPECT_EQ(m_project.RelativeFileName(), SequenceTree::Housing);
    EXPECT_EQ(m_project.FileContextName(), "Master Sequence (*.seq)");

    EXPECT_EQ(nominals("H2"), "Work/Line1.seq=42.1, Work/Cell 2/Line2.seq=42.1");
    EXPECT_EQ(nominals("H7"), "Work/Line1.seq=1.5, Work/Cell 2/Line2.seq=1.5");
    EXPECT_EQ(nominals("H3"), "");
    EXPECT_EQ(column("select REF_STATE from PROJECTS order by PROJECTID"),
              QStringList({"256", "256"}));
    EXPECT_EQ(count("select count(*) from CHARACTERISTICS where REF_FILENAME = "
                    "'Masters/Shaft.seq'"),
              4);
    EXPECT_EQ(count("select count(*) from CHARACTERISTICS where TEMPSTATE = 4"), 0);

    for (const QString &work : {SequenceTree::Line1, SequenceTree::Line2}) {
        const QString text = QString::fromLatin1(readBytes(m_tree.file(work)));
        EXPECT_TRUE(text.contains("\t42.100\t")) << work.toStdString();
        EXPECT_TRUE(text.contains("\r\nH7\t")) << work.toStdString();
        EXPECT_FALSE(text.contains("\r\nH3\t")) << work.toStdString();
    }
    EXPECT_TRUE(
        QString::fromLatin1(readBytes(m_tree.file(SequenceTree::Line2))).contains("\r\nS4\t"));
    m_project.OpenFile(m_tree.file(SequenceTree::Line1));
    EXPECT_EQ(m_project.DataSetChars().recordCount(), 6);
}

// Two masters may share labels: a work sequence built on both holds each label twice, and a
// change to either master still reaches every work sequence built on it.
TEST_F(References, MastersSharingLabelsReachEveryWorkSequence)
{
    const QString housing2 = "Masters/Housing2.seq";
    QByteArray copy = readBytes(m_tree.file(SequenceTree::Housing));
    ASSERT_TRUE(copy.contains("use 4711\r\n"));
    writeBytes(m_tree.file(housing2), copy.replace("use 4711\r\n", "use 4712\r\n"));
    createWork("Work/Dup.seq", "Dup", {SequenceTree::Housing, housing2});
    createWork("Work/Solo.seq", "Solo", {housing2});
    const QStringList housingRows = {"1:H1:Masters/Housing.seq", "2:H2:Masters/Housing.seq",
                                     "3:H3:Masters/Housing.seq", "4:H4:Masters/Housing.seq",
                                     "5:H5:Masters/Housing.seq", "6:H6:Masters/Housing.seq"};
    const QStringList dupRows =
        housingRows + QStringList{"7:H1:" + housing2,  "8:H2:" + housing2,  "9:H3:" + housing2,
                                  "10:H4:" + housing2, "11:H5:" + housing2, "12:H6:" + housing2};
    ASSERT_EQ(storedRows("Work/Dup.seq"), dupRows);
    editMaster(housing2, [](MemDataSet &chars) {
        ASSERT_TRUE(chars.locate("LABEL", {"H2"}));
        chars.edit();
        chars.fieldByName("NOMINAL").setAsFloat(42.1);
        chars.post();
    });

    m_project.OpenFile(m_tree.file(housing2));
    QStringList progress;
    m_project.UpdateReferences([&](const QString &caption, int) {
        progress << caption;
        return true;
    });

    EXPECT_EQ(progress, QStringList({m_tree.file("Work/Dup.seq"), m_tree.file("Work/Solo.seq")}));
    // Loaded again, the rows are numbered in group order, the shared group names joined.
    EXPECT_EQ(storedRows("Work/Dup.seq"),
              QStringList({"1:H1:Masters/Housing.seq", "2:H2:Masters/Housing.seq",
                           "3:H3:Masters/Housing.seq", "4:H1:" + housing2, "5:H2:" + housing2,
                           "6:H3:" + housing2, "7:H4:Masters/Housing.seq",
                           "8:H5:Masters/Housing.seq", "9:H6:Masters/Housing.seq",
                           "10:H4:" + housing2, "11:H5:" + housing2, "12:H6:" + housing2}));
    // Each H2 row keeps its own master's nominal.
    QStringList h2;
    for (const QString &row :
         column("select p.FILENAME || ':' || c.CHARID || ':' || c.NOMINAL from CHARACTERISTICS c "
                "join PROJECTS p on p.PROJECTID = c.PROJECTID where c.LABEL = 'H2' order by "
                "p.PROJECTID, c.CHARID"))
        h2 << row.section(':', 0, 1) + ":" + QString::number(row.section(':', 2).toDouble());
    EXPECT_EQ(h2,
              QStringList({"Work/Dup.seq:2:42", "Work/Dup.seq:5:42.1", "Work/Solo.seq:2:42.1"}));
    EXPECT_EQ(count("select count(*) from CHARACTERISTICS where TEMPSTATE = 4"), 0);
    for (const QString &work : {QString("Work/Dup.seq"), QString("Work/Solo.seq")}) {
        const QString text = QString::fromLatin1(readBytes(m_tree.file(work)));
        EXPECT_EQ(text.count("\t42.100\t"), 1) << work.toStdString();
        EXPECT_EQ(text.count("\r\nH2\t"), work == "Work/Dup.seq" ? 2 : 1) << work.toStdString();
    }
}

// Each work sequence's rows are read once: the file is written from the rows the propagation
// wrote, not from a second read of the database.
TEST_F(References, APropagationReadsEachWorkSequenceOnce)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    createWork(SequenceTree::Line2, "Line 2", {SequenceTree::Housing, SequenceTree::Shaft});
    editMaster(SequenceTree::Housing, [](MemDataSet &chars) {
        ASSERT_TRUE(chars.locate("LABEL", {"H2"}));
        chars.edit();
        chars.fieldByName("NOMINAL").setAsFloat(42.1);
        chars.post();
    });
    m_project.OpenFile(m_tree.file(SequenceTree::Housing));
    QStringList reads;
    m_data.SetSqlTrace([&](const QString &sql) {
        if (sql.startsWith("select") && sql.contains("from CHARACTERISTICS"))
            reads << sql.section('\n', 2);
    });

    m_project.UpdateReferences();
    m_data.SetSqlTrace({});

    // One read of each project's rows, and the search for rows of projects that left the master.
    EXPECT_EQ(reads, QStringList({"where PROJECTID = :PROJECTID\norder by CHARID",
                                  "where PROJECTID = :PROJECTID\norder by CHARID",
                                  "where REF_FILENAME = :REF_FILENAME"}));
    for (const QString &work : {SequenceTree::Line1, SequenceTree::Line2})
        EXPECT_TRUE(QString::fromLatin1(readBytes(m_tree.file(work))).contains("\t42.100\t"))
            << work.toStdString();
}

// A propagation that fails at a later work sequence leaves the earlier ones as they were, their
// rows and their files, and leaves no file of its own behind.
TEST_F(References, APropagationThatFailsLeavesEveryFileAsItWas)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    createWork(SequenceTree::Line2, "Line 2", {SequenceTree::Housing, SequenceTree::Shaft});
    // Line 2 holds a label H7 of its own, which this database keeps unique within a project:
    // the master's new H7 cannot be added there.
    exec(QString("insert into CHARACTERISTICS (PROJECTID, CHARID, LABEL) values (%1, 99, 'H7')")
             .arg(projectId(SequenceTree::Line2)));
    exec("create unique index TEST_LABELS on CHARACTERISTICS (PROJECTID, LABEL)");
    const QStringList rows1 = storedRows(SequenceTree::Line1);
    const QStringList rows2 = storedRows(SequenceTree::Line2);
    const QByteArray file1 = readBytes(m_tree.file(SequenceTree::Line1));
    const QByteArray file2 = readBytes(m_tree.file(SequenceTree::Line2));
    changeHousing();
    m_project.OpenFile(m_tree.file(SequenceTree::Housing));
    int steps = 0;

    EXPECT_THROW(m_project.UpdateReferences([&](const QString &, int) { return ++steps > 0; }),
                 Error);

    EXPECT_EQ(steps, 0);
    EXPECT_EQ(m_project.RelativeFileName(), SequenceTree::Housing);
    EXPECT_EQ(storedRows(SequenceTree::Line1), rows1);
    EXPECT_EQ(storedRows(SequenceTree::Line2), rows2);
    EXPECT_EQ(nominals("H2"), "Work/Line1.seq=42, Work/Cell 2/Line2.seq=42");
    EXPECT_EQ(readBytes(m_tree.file(SequenceTree::Line1)), file1);
    EXPECT_EQ(readBytes(m_tree.file(SequenceTree::Line2)), file2);
    EXPECT_EQ(QDir(m_tree.file("Work")).entryList({"*.new"}, QDir::Files | QDir::Hidden),
              QStringList());
}

// A master read only in part would delete its missing characteristics everywhere.
TEST_F(References, AMasterNotReadCompletelyChangesNothing)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    const QStringList rows = storedRows(SequenceTree::Line1);
    const QByteArray work = readBytes(m_tree.file(SequenceTree::Line1));
    const QByteArray master = readBytes(m_tree.file(SequenceTree::Housing));
    const QByteArray header = master.left(master.indexOf("$ROUTINE"));
    struct Case
    {
        const char *what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"no routine", header},
        {"no column line", header + "$ROUTINE\r\n"},
        {"no LABEL column", header + "$ROUTINE\r\nA\tB\tC\tD\tE\t\r\n"},
    };
    for (const Case &c : cases) {
        writeBytes(m_tree.file(SequenceTree::Housing), c.bytes);
        m_project.OpenFile(m_tree.file(SequenceTree::Housing));
        EXPECT_FALSE(m_project.ReadComplete()) << c.what;
        EXPECT_THROW(m_project.UpdateReferences(), Error) << c.what;
        EXPECT_EQ(storedRows(SequenceTree::Line1), rows) << c.what;
        EXPECT_EQ(readBytes(m_tree.file(SequenceTree::Line1)), work) << c.what;
        EXPECT_FALSE(m_project.IsUpdating());
    }
    // A read that fails part-way leaves no project to propagate.
    writeBytes(m_tree.file(SequenceTree::Housing), master + "H9" + QByteArray(70, '\t') + "\r\n");
    EXPECT_THROW(m_project.OpenFile(m_tree.file(SequenceTree::Housing)), Error);
    m_project.UpdateReferences();
    EXPECT_EQ(storedRows(SequenceTree::Line1), rows);
}

TEST_F(References, AProjectThatCannotBeLoadedStillStepsTheProgress)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    // A reference whose project row is gone.
    exec("insert into REFPROJECTS (PROJECTID, SUBID, REF_FILENAME) values (9, 1, "
         "'Masters/Housing.seq')");
    m_project.OpenFile(m_tree.file(SequenceTree::Housing));
    int steps = 0;
    m_project.UpdateReferences([&](const QString &, int) { return ++steps > 0; });
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(m_project.RelativeFileName(), SequenceTree::Housing);
}

TEST_F(References, EmptyProjectDoesNothing)
{
    int steps = 0;
    m_project.UpdateReferences([&](const QString &, int) { return ++steps > 0; });
    EXPECT_EQ(steps, 0);
    EXPECT_TRUE(m_project.Empty());
}

// A work sequence saves, then takes its masters' current characteristics in memory only.
TEST_F(References, AWorkSequenceTakesItsMastersInMemory)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    changeHousing();
    m_project.OpenFile(m_tree.file(SequenceTree::Line1));
    m_project.SetShortDesc("saved first");
    m_project.UpdateReferences();
    EXPECT_TRUE(QString::fromLatin1(readBytes(m_tree.file(SequenceTree::Line1)))
                    .contains("$SHORTDESC saved first\r\n"));
    ASSERT_TRUE(m_project.DataSetChars().locate("LABEL", {"H7"}));
    ASSERT_TRUE(m_project.DataSetChars().locate("LABEL", {"H2"}));
    EXPECT_DOUBLE_EQ(m_project.DataSetChars().fieldByName("NOMINAL").asFloat(), 42.1);
    EXPECT_EQ(nominals("H2"), "Work/Line1.seq=42");
    EXPECT_TRUE(m_project.ChangeState() & ChangeStateBits::CharacteristicsChanged);
}

// Names stored in the database are others' input: one reaching outside the sequence folder is
// refused, never read.
TEST_F(References, StoredMasterNamesOutsideTheFolderAreRefused)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    exec("insert into REFPROJECTS (PROJECTID, SUBID, REF_FILENAME) values (1, 2, '../x.seq')");
    EXPECT_THROW(m_project.UpdateReferences(), Error);
    EXPECT_FALSE(m_project.IsUpdating());
}
