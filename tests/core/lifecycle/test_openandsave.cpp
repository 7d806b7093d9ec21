#include "core/lib/qstringprinter.h"
#include "core/project/changestate.h"
#include "lifecyclefixture.h"
#include "platform/dataset/memdataset.h"
#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace tev;
using namespace tev::test;

namespace {

using OpenAndSave = LifecycleTest;

QByteArray fixtureBytes(const QString &relative)
{
    QFile f(SequenceTree::sourceFolder() + "/" + relative);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QStringList kHousing{"Bore/H1", "Bore/H2", "Bore/H3", "Face/H4", "Face/H5", "Face/H6"};
const QStringList kShaft{"Diameter/S1", "Diameter/S2", "Runout/S3", "Runout/S4"};

} // namespace

// Creating the fixture's work sequences from their masters writes exactly the fixture's files.
TEST_F(OpenAndSave, NewFromMastersAndSaveWritesTheFileAndTheRows)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    EXPECT_EQ(readBytes(m_tree.file(SequenceTree::Line1)), fixtureBytes(SequenceTree::Line1));
    EXPECT_EQ(m_project.ChangeState(), 0u);
    EXPECT_TRUE(m_project.ExistsInDatabase());
    EXPECT_EQ(m_project.ProjectId(), 1);

    createWork(SequenceTree::Line2, "Line 2", {SequenceTree::Housing, SequenceTree::Shaft});
    EXPECT_EQ(readBytes(m_tree.file(SequenceTree::Line2)), fixtureBytes(SequenceTree::Line2));
    EXPECT_EQ(m_project.ProjectId(), 2);

    EXPECT_EQ(column("select PROJECTID || ' ' || FILENAME || ' ' || PROJECTNAME from PROJECTS "
                     "order by PROJECTID"),
              QStringList({"1 Work/Line1.seq Line 1", "2 Work/Cell 2/Line2.seq Line 2"}));
    EXPECT_EQ(column("select PROJECTID || ' ' || SUBID || ' ' || REF_FILENAME || ' ' || "
                     "REF_PROJECTNAME from REFPROJECTS order by PROJECTID, SUBID"),
              QStringList({QString::fromUtf8("1 1 Masters/Housing.seq Gehäuse 4711"),
                           QString::fromUtf8("2 1 Masters/Housing.seq Gehäuse 4711"),
                           "2 2 Masters/Shaft.seq Shaft 12"}));
    EXPECT_EQ(storedRows(SequenceTree::Line2),
              QStringList({"1:H1:Masters/Housing.seq", "2:H2:Masters/Housing.seq",
                           "3:H3:Masters/Housing.seq", "4:H4:Masters/Housing.seq",
                           "5:H5:Masters/Housing.seq", "6:H6:Masters/Housing.seq",
                           "7:S1:Masters/Shaft.seq", "8:S2:Masters/Shaft.seq",
                           "9:S3:Masters/Shaft.seq", "10:S4:Masters/Shaft.seq"}));
    EXPECT_EQ(count("select count(*) from REFPROJECTS where PROJECTID <= 0"), 0);
}

// Stored rows from a master match the rows read from the work file, which carry the file's own
// name: opening again and again appends nothing.
TEST_F(OpenAndSave, ReopeningKeepsTheRowCounts)
{
    createWork(SequenceTree::Line2, "Line 2", {SequenceTree::Housing, SequenceTree::Shaft});
    const QStringList stored = storedRows(SequenceTree::Line2);
    for (int i = 0; i < 3; ++i) {
        m_project.OpenFile(m_tree.file(SequenceTree::Line2));
        EXPECT_TRUE(m_project.ExistsInDatabase());
        EXPECT_EQ(routine(), kHousing + kShaft) << i;
        EXPECT_EQ(storedRows(SequenceTree::Line2), stored) << i;
        EXPECT_EQ(m_project.DataSetChars().recordCount(), 10);
        // No characteristic is new or unknown, and the header is the stored one.
        EXPECT_EQ(m_project.ChangeState(), 0u);
    }
    m_project.DataSetChars().locate("LABEL", {"S3"});
    EXPECT_EQ(m_project.DataSetChars().fieldByName("REF_FILENAME").asString(), "Masters/Shaft.seq");
    EXPECT_EQ(count("select count(*) from PROJECTS"), 1);
}

TEST_F(OpenAndSave, EditSaveAndReopen)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    m_project.OpenFile(m_tree.file(SequenceTree::Line1));
    MemDataSet &chars = m_project.DataSetChars();
    ASSERT_TRUE(chars.locate("LABEL", {"H2"}));
    chars.edit();
    chars.fieldByName("NOMINAL").setAsFloat(42.5);
    chars.post();
    m_project.SetShortDesc("Second shift");
    EXPECT_EQ(m_project.ChangeState(), ChangeStateBits::HeaderChange);
    m_project.SetClock([] { return QDateTime(QDate(2024, 6, 1), QTime(7, 30, 0)); });
    m_project.Save();
    EXPECT_EQ(m_project.ChangeState(), 0u);

    const QString text = QString::fromLatin1(readBytes(m_tree.file(SequenceTree::Line1)));
    EXPECT_TRUE(text.contains("$DATE 06/01/2024@07:30:00\r\n"));
    EXPECT_TRUE(text.contains("$SHORTDESC Second shift\r\n"));
    EXPECT_TRUE(text.contains("\t42.500\t")) << text.toStdString();
    EXPECT_EQ(column("select NOMINAL from CHARACTERISTICS where LABEL = 'H2'"),
              QStringList({"42.5"}));

    m_project.OpenFile(m_tree.file(SequenceTree::Line1));
    ASSERT_TRUE(chars.locate("LABEL", {"H2"}));
    EXPECT_DOUBLE_EQ(chars.fieldByName("NOMINAL").asFloat(), 42.5);
    EXPECT_EQ(m_project.ShortDesc(), "Second shift");
    EXPECT_EQ(storedRows(SequenceTree::Line1).size(), 6);
    EXPECT_EQ(routine(), kHousing);
}

TEST_F(OpenAndSave, OpeningAMissingFileChangesNothing)
{
    m_project.OpenFile(m_tree.file(SequenceTree::Housing));
    QSignalSpy changes(&m_project, &TTevProject::OnChange);
    QSignalSpy states(&m_project, &TTevProject::OnStateChanged);
    m_project.OpenFile(m_tree.file("Masters/Missing.seq"));
    m_project.OpenFile(m_tree.file("Masters"));
    EXPECT_EQ(m_project.RelativeFileName(), SequenceTree::Housing);
    EXPECT_EQ(m_project.DataSetChars().recordCount(), 6);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(states.count(), 0);
}

TEST_F(OpenAndSave, OpenFiresStateChangedThenChange)
{
    QStringList events;
    QObject::connect(&m_project, &TTevProject::OnStateChanged, &m_project,
                     [&] { events << "state"; });
    QObject::connect(&m_project, &TTevProject::OnChange, &m_project, [&] { events << "change"; });
    m_project.OpenFile(m_tree.file(SequenceTree::Room));
    EXPECT_EQ(events, QStringList({"state", "change"}));
    EXPECT_EQ(m_project.FileContextName(), "Sentavo Sequence (*.mseq)");
    EXPECT_FALSE(m_project.IsUpdating());
}

// The main window's handler leaves DoCreate false: the file is shown and nothing is written.
TEST_F(OpenAndSave, WorkSequenceWithoutRowIsShownAndImportedOnlyWhenAsked)
{
    QStringList asked;
    bool create = false;
    QObject::connect(
        &m_project, &TTevProject::OnUnknownFile, &m_project,
        [&](const QString &file, const QString &generator, TTevFileType type, bool *doCreate) {
            asked << QString("%1 %2 %3").arg(file, generator).arg(int(type));
            *doCreate = create;
        });
    m_project.OpenFile(m_tree.file(SequenceTree::Line1));
    EXPECT_EQ(asked, QStringList({m_tree.file(SequenceTree::Line1) + " Tevora 1"}));
    EXPECT_FALSE(m_project.ExistsInDatabase());
    EXPECT_EQ(routine(), kHousing);
    EXPECT_EQ(count("select count(*) from PROJECTS"), 0);

    create = true;
    m_project.OpenFile(m_tree.file(SequenceTree::Line1));
    EXPECT_TRUE(m_project.ExistsInDatabase());
    EXPECT_EQ(m_project.ProjectId(), 1);
    EXPECT_EQ(count("select count(*) from CHARACTERISTICS where PROJECTID = 1"), 6);
    // The rows come from the file itself, which becomes its own reference.
    EXPECT_EQ(column("select PROJECTID || ' ' || REF_FILENAME from REFPROJECTS"),
              QStringList({"1 Work/Line1.seq"}));
}

// Saving a work sequence that has no row creates it and learns its id: references never name
// project 0.
TEST_F(OpenAndSave, SavingWithoutRowCarriesTheNewIdIntoTheRecord)
{
    exec("insert into PROJECTS (PROJECTID, FILENAME) values (7, 'Other.seq')");
    m_project.OpenFile(m_tree.file(SequenceTree::Line1));
    ASSERT_FALSE(m_project.ExistsInDatabase());
    EXPECT_EQ(m_project.ProjectId(), 0);
    m_project.Save();
    EXPECT_EQ(m_project.ProjectId(), 8);
    EXPECT_FALSE(m_project.ExistsInDatabase());
    EXPECT_EQ(column("select PROJECTID || ' ' || REF_FILENAME from REFPROJECTS"),
              QStringList({"8 Work/Line1.seq"}));
    EXPECT_EQ(count("select count(*) from CHARACTERISTICS where PROJECTID = 8"), 6);
    EXPECT_EQ(count("select count(*) from CHARACTERISTICS where PROJECTID <= 0"), 0);
    m_project.DataSetChars().first();
    EXPECT_EQ(m_project.DataSetChars().fieldByName("PROJECTID").asInteger(), 8);
}

TEST_F(OpenAndSave, AFailedReadClosesTheProjectAndPassesTheError)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    m_project.OpenFile(m_tree.file(SequenceTree::Line1));
    // A row with more fields than the column line stops the reader.
    QByteArray bytes = readBytes(m_tree.file(SequenceTree::Line1));
    bytes += QByteArray("H9") + QByteArray(70, '\t') + "\r\n";
    writeBytes(m_tree.file("Work/Broken.seq"), bytes);
    QSignalSpy changes(&m_project, &TTevProject::OnChange);
    QSignalSpy states(&m_project, &TTevProject::OnStateChanged);
    EXPECT_THROW(m_project.OpenFile(m_tree.file("Work/Broken.seq")), Error);
    EXPECT_TRUE(m_project.Empty());
    EXPECT_EQ(m_project.RelativeFileName(), "");
    EXPECT_FALSE(m_project.ExistsInDatabase());
    EXPECT_FALSE(m_project.IsUpdating());
    EXPECT_GE(changes.count(), 1);
    EXPECT_GE(states.count(), 1);
    EXPECT_EQ(m_project.DataSetChars().recordCount(), 0);

    // Header edits reach the database again once a project is open.
    m_project.OpenFile(m_tree.file(SequenceTree::Line1));
    m_project.SetProjectName("Line one");
    EXPECT_EQ(column("select PROJECTNAME from PROJECTS"), QStringList({"Line one"}));
}

TEST_F(OpenAndSave, ADatabaseErrorWhileOpeningClosesTheProject)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    m_data.Database()->database().close();
    EXPECT_THROW(m_project.OpenFile(m_tree.file(SequenceTree::Line1)), Error);
    EXPECT_TRUE(m_project.Empty());
    EXPECT_FALSE(m_project.IsUpdating());
    // A master needs no database.
    m_project.OpenFile(m_tree.file(SequenceTree::Housing));
    EXPECT_EQ(m_project.DataSetChars().recordCount(), 6);
}

TEST_F(OpenAndSave, SaveActsOnlyOnWorkSequences)
{
    const QByteArray before = readBytes(m_tree.file(SequenceTree::Housing));
    m_project.OpenFile(m_tree.file(SequenceTree::Housing));
    m_project.SetShortDesc("changed");
    m_project.Save();
    m_project.SaveHeader();
    EXPECT_EQ(readBytes(m_tree.file(SequenceTree::Housing)), before);
    EXPECT_EQ(count("select count(*) from PROJECTS"), 0);
    EXPECT_EQ(m_project.FileContextName(), "Master Sequence (*.seq)");
    EXPECT_EQ(m_project.ChangeState(), ChangeStateBits::HeaderChange);
}

TEST_F(OpenAndSave, SaveHeaderClearsOnlyTheHeaderBit)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    m_project.SetChangeState(6);
    m_project.SetVersion("3.0");
    m_project.SaveHeader();
    EXPECT_EQ(m_project.ChangeState(), 4u);
    EXPECT_TRUE(QString::fromLatin1(readBytes(m_tree.file(SequenceTree::Line1)))
                    .contains("$VERSION 3.0\r\n"));
    EXPECT_TRUE(column("select PARAMS from PROJECTS").value(0).contains("$VERSION=3.0"));
}

TEST_F(OpenAndSave, DeleteRemovesTheRowsAndWhenAskedTheFile)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    TFileReport report = m_project.Delete(false);
    EXPECT_TRUE(report.Ok());
    EXPECT_TRUE(m_project.Empty());
    EXPECT_TRUE(QFile::exists(m_tree.file(SequenceTree::Line1)));
    EXPECT_EQ(count("select count(*) from PROJECTS"), 0);
    EXPECT_EQ(count("select count(*) from CHARACTERISTICS"), 0);
    EXPECT_EQ(count("select count(*) from REFPROJECTS"), 0);

    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    report = m_project.Delete(true);
    EXPECT_EQ(report.Copied, QStringList({"Line1.seq"}));
    EXPECT_FALSE(QFile::exists(m_tree.file(SequenceTree::Line1)));
    EXPECT_TRUE(m_project.Empty());
    EXPECT_EQ(count("select count(*) from PROJECTS"), 0);
}

TEST_F(OpenAndSave, DeleteReportsAFileItCannotRemove)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    // The name now stands for a folder, which a file removal cannot take away.
    ASSERT_TRUE(QFile::remove(m_tree.file(SequenceTree::Line1)));
    ASSERT_TRUE(QDir().mkpath(m_tree.file(SequenceTree::Line1 + "/inside")));
    const TFileReport report = m_project.Delete(true);
    ASSERT_EQ(report.Failed.size(), 1);
    EXPECT_TRUE(report.Failed[0].startsWith("Line1.seq: ")) << report.Failed[0].toStdString();
    EXPECT_EQ(m_project.LastFileReport().Failed, report.Failed);
    EXPECT_FALSE(report.Summary().isEmpty());
    EXPECT_TRUE(m_project.Empty());
}

TEST_F(OpenAndSave, NamesOutsideTheSequenceFolderAreRefused)
{
    QTemporaryDir elsewhere;
    QFile::copy(m_tree.file(SequenceTree::Housing), elsewhere.filePath("Outside.seq"));
    EXPECT_THROW(m_project.OpenFile(elsewhere.filePath("Outside.seq")), Error);
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    EXPECT_THROW(m_project.AddMasterProject("../Outside.seq"), Error);
    EXPECT_THROW(m_project.New("../Work/W.seq", "W", TTevFileType::pftSEQ, {}, {}, {}), Error);
    EXPECT_EQ(count("select count(*) from PROJECTS"), 1);
}

// The database keeps the header exactly as the file holds it, so opening what was just saved finds
// nothing changed: with and without a master's cover label, after edits and a later clock.
TEST_F(OpenAndSave, OpeningWhatWasJustSavedShowsNoChange)
{
    for (const auto &[relative, name, masters] :
         {std::tuple{SequenceTree::Line1, QString("Line 1"), QStringList{SequenceTree::Housing}},
          std::tuple{SequenceTree::Line2, QString("Line 2"),
                     QStringList{SequenceTree::Housing, SequenceTree::Shaft}}}) {
        SCOPED_TRACE(relative.toStdString());
        createWork(relative, name, masters);
        m_project.OpenFile(m_tree.file(relative));
        EXPECT_EQ(m_project.ChangeState(), 0u);
        EXPECT_EQ(
            column(QString("select PARAMS from PROJECTS where FILENAME = '%1'").arg(relative)),
            QStringList({m_project.Header()}));

        m_project.SetShortDesc("Second shift");
        m_project.DataSetChars().first();
        m_project.DataSetChars().edit();
        m_project.DataSetChars().fieldByName("IMAGE").setAsString("H.png");
        m_project.DataSetChars().post();
        m_project.SetClock([] { return QDateTime(QDate(2024, 6, 1), QTime(7, 30, 0)); });
        m_project.Save();
        m_project.OpenFile(m_tree.file(relative));
        EXPECT_EQ(m_project.ChangeState(), 0u);
        EXPECT_EQ(m_project.ShortDesc(), "Second shift");
        EXPECT_EQ(
            column(QString("select PARAMS from PROJECTS where FILENAME = '%1'").arg(relative)),
            QStringList({m_project.Header()}));
        m_project.SetClock([] { return SequenceTree::SavedAt(); });
    }
}

// A new name reaches the header of the file and of the database row, not only its own column.
TEST_F(OpenAndSave, ARenamedProjectKeepsItsHeaderInStep)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    m_project.SetProjectName("Line one");
    m_project.Save();
    const QString params = column("select PARAMS from PROJECTS").value(0);
    EXPECT_TRUE(params.contains("$PROJECTNAME=Line one")) << params.toStdString();
    EXPECT_FALSE(params.contains("Line 1")) << params.toStdString();
    EXPECT_EQ(column("select PROJECTNAME from PROJECTS"), QStringList({"Line one"}));
    const QString text = QString::fromLatin1(readBytes(m_tree.file(SequenceTree::Line1)));
    EXPECT_TRUE(text.contains("$PROJECTNAME Line one\r\n")) << text.toStdString();

    m_project.OpenFile(m_tree.file(SequenceTree::Line1));
    EXPECT_EQ(m_project.ProjectName(), "Line one");
    EXPECT_EQ(m_project.ChangeState(), 0u);

    // Saving the header alone keeps them in step too.
    m_project.SetProjectName("Line uno");
    m_project.SaveHeader();
    EXPECT_TRUE(column("select PARAMS from PROJECTS").value(0).contains("$PROJECTNAME=Line uno"));
    m_project.OpenFile(m_tree.file(SequenceTree::Line1));
    EXPECT_EQ(m_project.ProjectName(), "Line uno");
    EXPECT_EQ(m_project.ChangeState(), 0u);
}
