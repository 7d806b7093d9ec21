#include "core/lib/qstringprinter.h"
#include "lifecyclefixture.h"
#include "platform/error.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <memory>

using namespace tev;
using namespace tev::test;

namespace {

class Export : public LifecycleTest
{
protected:
    // A folder for "Send to Sensor", on another file system (a tmpfs) when the machine has one,
    // as a removable drive is.
    Export()
        : m_target(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                       ? std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/tevora-XXXXXX"))
                       : std::make_unique<QTemporaryDir>())
    {
        EXPECT_TRUE(m_target->isValid());
    }
    QString target(const QString &name = {}) const
    {
        return name.isEmpty() ? m_target->path() : m_target->filePath(name);
    }
    QStringList targetFiles() const
    {
        QStringList files;
        QDirIterator it(m_target->path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(m_target->path()).relativeFilePath(it.next());
        files.sort();
        return files;
    }

    std::unique_ptr<QTemporaryDir> m_target;
};

} // namespace

TEST_F(Export, SendToSensorCopiesTheSequenceAndItsDependencies)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    const TFileReport report = m_project.ExportAll(target());
    EXPECT_EQ(report.Copied, QStringList({"Line1.seq", "HOUSING.FMT", "HOUSING.uif", "bore.png",
                                          "face.kelb", "GAP.TEM"}));
    EXPECT_TRUE(report.Ok()) << report.Summary().toStdString();
    EXPECT_TRUE(report.Skipped.isEmpty());
    EXPECT_EQ(targetFiles(), QStringList({"GAP.TEM", "HOUSING.FMT", "HOUSING.uif", "Line1.seq",
                                          "bore.png", "face.kelb"}));
    for (const QString &name : report.Copied) {
        EXPECT_EQ(readBytes(target(name)), readBytes(m_tree.file("Work/" + name)))
            << name.toStdString();
        EXPECT_EQ(QFileInfo(target(name)).lastModified(),
                  QFileInfo(m_tree.file("Work/" + name)).lastModified())
            << name.toStdString();
    }
    if (QStorageInfo(target()).device() != QStorageInfo(m_tree.root()).device())
        SUCCEED() << "copied across file systems";
}

// The sequence is copied as it is on disk: the open project is not saved first.
TEST_F(Export, TheFileOnDiskIsCopiedAsItIs)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    m_project.SetShortDesc("not saved");
    m_project.ExportAll(target());
    EXPECT_EQ(readBytes(target("Line1.seq")), readBytes(m_tree.file(SequenceTree::Line1)));
}

TEST_F(Export, FilesThatExistThereStayUntouched)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    writeBytes(target("Line1.seq"), "older sequence");
    // On the gauge's file system this is the same file as "bore.png".
    writeBytes(target("BORE.PNG"), "older picture");
    const TFileReport report = m_project.ExportAll(target());
    EXPECT_EQ(report.Skipped, QStringList({"Line1.seq: already there", "bore.png: already there"}));
    EXPECT_EQ(report.Copied, QStringList({"HOUSING.FMT", "HOUSING.uif", "face.kelb", "GAP.TEM"}));
    EXPECT_EQ(readBytes(target("Line1.seq")), "older sequence");
    EXPECT_EQ(readBytes(target("BORE.PNG")), "older picture");
    EXPECT_FALSE(QFile::exists(target("bore.png")));
}

TEST_F(Export, FailuresAreReportedAndNothingIsWrittenOutsideTheTarget)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    ASSERT_TRUE(QFile::remove(m_tree.file("Work/GAP.TEM")));
    ASSERT_TRUE(QDir().mkdir(target("face.kelb")));
    writeBytes(m_tree.file("secret.txt"), "secret");
    m_project.SetDepends("HOUSING.FMT  face.kelb GAP.TEM ../secret.txt Cell 2/RUN.TEM . .. "
                         "/etc/passwd");
    const TFileReport report = m_project.ExportAll(target());
    EXPECT_EQ(report.Copied, QStringList({"Line1.seq", "HOUSING.FMT"}));
    QStringList failed;
    for (const QString &entry : report.Failed)
        failed << entry.left(entry.indexOf(": "));
    EXPECT_EQ(failed, QStringList({"face.kelb", "GAP.TEM", "../secret.txt", "Cell", "2/RUN.TEM",
                                   ".", "..", "/etc/passwd"}));
    EXPECT_EQ(targetFiles(), QStringList({"HOUSING.FMT", "Line1.seq", "face.kelb"}));
    EXPECT_FALSE(QFile::exists(QFileInfo(target()).dir().filePath("secret.txt")));
    EXPECT_EQ(m_project.LastFileReport().Failed, report.Failed);
}

// A picture in the project folder that is a link to a file elsewhere on the machine is not sent
// to the gauge: it is reported, and nothing of that file reaches the target.
TEST_F(Export, ALinkOutOfTheSequenceFolderIsReportedAndNotCopied)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    const QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    writeBytes(elsewhere.filePath("secret.png"), "not the project's");
    ASSERT_TRUE(QFile::link(elsewhere.filePath("secret.png"), m_tree.file("Work/link.png")));
    m_project.SetDepends("HOUSING.FMT link.png");
    const TFileReport report = m_project.ExportAll(target());
    EXPECT_EQ(report.Copied, QStringList({"Line1.seq", "HOUSING.FMT"}));
    EXPECT_EQ(report.Failed,
              QStringList({"link.png: it is a link to a file outside the sequence folder"}));
    EXPECT_EQ(m_project.LastFileReport().Failed, report.Failed);
    EXPECT_EQ(targetFiles(), QStringList({"HOUSING.FMT", "Line1.seq"}));
}

TEST_F(Export, AMissingTargetFolderIsAnError)
{
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    EXPECT_THROW(m_project.ExportAll(target("missing")), Error);
    EXPECT_TRUE(m_project.ExportAll(target()).Ok());
    m_project.Close();
    EXPECT_TRUE(m_project.ExportAll(target()).Copied.isEmpty());
}

// Files that the database has and the disk lacks are written again, only those of the folder.
TEST_F(Export, RecoverDirectoryWritesTheMissingFilesOfTheFolder)
{
    createWork(SequenceTree::Line2, "Line 2", {SequenceTree::Housing, SequenceTree::Shaft});
    ASSERT_TRUE(QDir().mkpath(m_tree.file("Work/Cell 2/Deep")));
    createWork("Work/Cell 2/Deep/B.seq", "B", {SequenceTree::Shaft});
    createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing});
    const QByteArray line2 = readBytes(m_tree.file(SequenceTree::Line2));
    ASSERT_TRUE(QFile::remove(m_tree.file(SequenceTree::Line2)));
    ASSERT_TRUE(QFile::remove(m_tree.file("Work/Cell 2/Deep/B.seq")));

    // Nothing to write: the open project stays.
    m_project.OpenFile(m_tree.file(SequenceTree::Housing));
    m_project.RecoverDirectory(m_tree.file("Work"));
    EXPECT_EQ(m_project.RelativeFileName(), SequenceTree::Housing);

    m_project.RecoverDirectory(m_tree.file("Work/Cell 2"));
    EXPECT_EQ(readBytes(m_tree.file(SequenceTree::Line2)), line2);
    EXPECT_FALSE(QFile::exists(m_tree.file("Work/Cell 2/Deep/B.seq")));
    EXPECT_TRUE(m_project.Empty());
    EXPECT_EQ(m_project.LastFileReport().Copied, QStringList({SequenceTree::Line2}));
}
