#include "core/lib/qstringprinter.h"
#include "core/project/changestate.h"
#include "lifecyclefixture.h"
#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace tev;
using namespace tev::test;

namespace {

using NewProject = LifecycleTest;

QDateTime modified(const QString &fileName)
{
    return QFileInfo(fileName).lastModified();
}

} // namespace

TEST_F(NewProject, TemplatesAndImagesAreCopiedAndTheReferenceHasTheRealId)
{
    exec("insert into PROJECTS (PROJECTID, FILENAME) values (4, 'Other.seq')");
    ASSERT_TRUE(QDir().mkpath(m_tree.file("Sub")));
    m_project.Defaults().FormatPerProject = true;
    ASSERT_TRUE(m_project.New("Sub/W1.seq", "Work 1", TTevFileType::pftSEQ, SequenceTree::Housing,
                              "Masters/HOUSING.FMT", m_tree.file("Masters/HOUSING.uif")));
    EXPECT_EQ(m_project.ProjectId(), 5);
    EXPECT_TRUE(m_project.ExistsInDatabase());
    EXPECT_EQ(m_project.ChangeState(), ChangeStateBits::HeaderChange);
    EXPECT_EQ(m_project.FileType(), TTevFileType::pftSEQ);
    EXPECT_EQ(m_project.Format(), "W1.FMT");
    EXPECT_EQ(m_project.Picklist(), "HOUSING.uif");
    EXPECT_EQ(m_project.GetHeaderValue("$PROJECTNAME"), "Work 1");
    EXPECT_EQ(m_project.GetHeaderValue("$DATE"), "03/05/2024@14:07:09");
    EXPECT_EQ(m_project.Depends(), "W1.FMT HOUSING.uif bore.png face.kelb GAP.TEM");
    EXPECT_EQ(m_project.DataSetChars().recordCount(), 6);
    EXPECT_EQ(column("select PROJECTID || ' ' || REF_FILENAME from REFPROJECTS"),
              QStringList({"5 Masters/Housing.seq"}));

    for (const auto &[copy, source] : {std::pair{"Sub/W1.FMT", "Masters/HOUSING.FMT"},
                                       {"Sub/HOUSING.uif", "Masters/HOUSING.uif"},
                                       {"Sub/bore.png", "Masters/bore.png"},
                                       {"Sub/face.kelb", "Masters/face.kelb"},
                                       {"Sub/GAP.TEM", "Masters/GAP.TEM"}}) {
        EXPECT_EQ(readBytes(m_tree.file(copy)), readBytes(m_tree.file(source))) << copy;
        EXPECT_EQ(modified(m_tree.file(copy)), modified(m_tree.file(source))) << copy;
    }
    // Adding the master brought its own format file along before the template was copied.
    EXPECT_EQ(QDir(m_tree.file("Sub")).entryList(QDir::Files).size(), 6);
    EXPECT_TRUE(QFile::exists(m_tree.file("Sub/HOUSING.FMT")));
    EXPECT_TRUE(m_project.LastFileReport().Failed.isEmpty())
        << m_project.LastFileReport().Summary().toStdString();

    m_project.Save();
    EXPECT_TRUE(QFile::exists(m_tree.file("Sub/W1.seq")));
    EXPECT_EQ(count("select count(*) from CHARACTERISTICS where PROJECTID = 5"), 6);
}

// Without templates the master's own format file comes along; the file names it in upper case
// while it is stored in mixed case.
TEST_F(NewProject, WithoutTemplatesTheMastersFilesComeAlong)
{
    ASSERT_TRUE(QDir().mkpath(m_tree.file("Sub")));
    ASSERT_TRUE(
        m_project.New("Sub/S.seq", "S", TTevFileType::pftSEQ, SequenceTree::Shaft, {}, "Masters/"));
    EXPECT_EQ(m_project.Format(), "SHAFT.FMT");
    EXPECT_EQ(readBytes(m_tree.file("Sub/SHAFT.FMT")), readBytes(m_tree.file("Masters/SHAFT.fmt")));
    EXPECT_TRUE(QFile::exists(m_tree.file("Sub/RUN.TEM")));
    EXPECT_TRUE(QFile::exists(m_tree.file("Sub/shaft.png")));
    EXPECT_TRUE(m_project.LastFileReport().Failed.isEmpty())
        << m_project.LastFileReport().Summary().toStdString();
}

TEST_F(NewProject, BadInputIsRefusedAndChangesNothing)
{
    m_project.OpenFile(m_tree.file(SequenceTree::Housing));
    struct Case
    {
        QString file, master;
    };
    const Case cases[] = {
        {"Work/.seq", {}},        {"Work/", {}},
        {"Work/W.txt", {}},       {"Work/W.SEQ", {}},
        {"Work/W", {}},           {"Work/W.seq", "Masters/None.seq"},
        {"/elsewhere/W.seq", {}}, {"Work/../../W.seq", {}},
    };
    for (const Case &c : cases) {
        EXPECT_THROW(m_project.New(c.file, "W", TTevFileType::pftSEQ, c.master, {}, {}), Error)
            << c.file.toStdString();
    }
    EXPECT_EQ(count("select count(*) from PROJECTS"), 0);
    EXPECT_EQ(m_project.RelativeFileName(), SequenceTree::Housing);
    EXPECT_EQ(m_project.DataSetChars().recordCount(), 6);
    EXPECT_FALSE(m_project.IsUpdating());

    // A monitor sequence may be created too.
    EXPECT_TRUE(m_project.New("Monitor/M.mseq", "M", TTevFileType::pftMSEQ, {}, {}, {}));
    EXPECT_EQ(m_project.FileType(), TTevFileType::pftMSEQ);
}

TEST_F(NewProject, AFileNameTheDatabaseHasGivesFalseAndTheOpenProjectStays)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    m_project.OpenFile(m_tree.file(SequenceTree::Shaft));
    EXPECT_FALSE(m_project.New(SequenceTree::Line1, "again", TTevFileType::pftSEQ,
                               SequenceTree::Housing, {}, {}));
    EXPECT_EQ(m_project.RelativeFileName(), SequenceTree::Shaft);
    EXPECT_EQ(count("select count(*) from PROJECTS"), 1);
    EXPECT_EQ(column("select PROJECTNAME from PROJECTS"), QStringList({"Line 1"}));
}

// A template that is already the project's file is not copied onto itself (which would empty it),
// and a template that cannot be copied leaves the file it would have replaced alone.
TEST_F(NewProject, CopiesNeverDestroyTheirSourceOrTheirTarget)
{
    const QByteArray format = readBytes(m_tree.file("Masters/HOUSING.FMT"));
    ASSERT_TRUE(m_project.New("Masters/W.seq", "W", TTevFileType::pftSEQ, SequenceTree::Housing,
                              "Masters/HOUSING.FMT", {}));
    EXPECT_EQ(readBytes(m_tree.file("Masters/HOUSING.FMT")), format);
    EXPECT_TRUE(
        m_project.LastFileReport().Skipped.contains("HOUSING.FMT: already the project's file"));

    writeBytes(m_tree.file("Work/NOPE.FMT"), "keep me");
    ASSERT_TRUE(m_project.New("Work/W2.seq", "W2", TTevFileType::pftSEQ, SequenceTree::Housing,
                              "Masters/NOPE.FMT", {}));
    EXPECT_EQ(readBytes(m_tree.file("Work/NOPE.FMT")), "keep me");
    ASSERT_EQ(m_project.LastFileReport().Failed.size(), 1);
    EXPECT_TRUE(m_project.LastFileReport().Failed[0].startsWith("NOPE.FMT: "));
}

// Adding the master and creating the project both bring the master's files along; each file is
// copied, and reported, once.
TEST_F(NewProject, EachFileIsCopiedAndReportedOnce)
{
    ASSERT_TRUE(QFile::remove(m_tree.file("Masters/GAP.TEM")));
    ASSERT_TRUE(QDir().mkpath(m_tree.file("Sub")));
    ASSERT_TRUE(
        m_project.New("Sub/W1.seq", "W1", TTevFileType::pftSEQ, SequenceTree::Housing, {}, {}));
    const TFileReport first = m_project.LastFileReport();
    EXPECT_EQ(first.Copied, QStringList({"HOUSING.FMT", "HOUSING.uif", "bore.png", "face.kelb"}));
    EXPECT_EQ(first.Skipped, QStringList());
    EXPECT_EQ(
        first.Failed,
        QStringList({QStringLiteral("GAP.TEM: not found in \"%1/\"").arg(m_tree.file("Masters"))}));
    EXPECT_EQ(first.Summary(), "Not copied: " + first.Failed.value(0));

    // With templates, and beside the files of the first project.
    m_project.Defaults().FormatPerProject = true;
    ASSERT_TRUE(m_project.New("Sub/W2.seq", "W2", TTevFileType::pftSEQ, SequenceTree::Housing,
                              "Masters/HOUSING.FMT", "Masters/HOUSING.uif"));
    const TFileReport second = m_project.LastFileReport();
    EXPECT_EQ(second.Copied, QStringList({"W2.FMT", "HOUSING.uif"}));
    EXPECT_EQ(second.Skipped, QStringList({"HOUSING.FMT: already there", "bore.png: already there",
                                           "face.kelb: already there"}));
    EXPECT_EQ(second.Failed, first.Failed);
}
