#include <gtest/gtest.h>

#include "core/lib/qstringprinter.h"
#include "core/picture/kelpicture.h"
#include "core/project/tevproject.h"
#include "support/app/sequencetree.h"

#include <QFile>
#include <QImage>

using namespace tev;
using tev::test::SequenceTree;

namespace {

QByteArray readBytes(const QString &fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList labels(MemDataSet &chars)
{
    QStringList result;
    for (chars.first(); !chars.eof(); chars.next())
        result << chars.fieldByName("GROUPNAME").asString() + "/" +
                      chars.fieldByName("LABEL").asString();
    return result;
}

} // namespace

TEST(SequenceTree, CopiesTheWholeTreeIntoATemporaryFolder)
{
    SequenceTree tree;
    for (const QString &name :
         {SequenceTree::Housing, SequenceTree::Shaft, SequenceTree::Line1, SequenceTree::Line2,
          SequenceTree::Room, QString("Masters/SHAFT.fmt"), QString("Masters/Bore detail.png"),
          QString("Work/Cell 2/shaft.png")})
        EXPECT_TRUE(QFile::exists(tree.file(name))) << name.toStdString();
    EXPECT_FALSE(QFile::exists(tree.file("make_fixtures.py")));
    EXPECT_NE(tree.root(), SequenceTree::sourceFolder());
    // The copies are the test's own.
    QFile line1(tree.file(SequenceTree::Line1));
    EXPECT_TRUE(line1.open(QIODevice::Append));
}

TEST(SequenceTree, PicturesLoad)
{
    SequenceTree tree;
    EXPECT_FALSE(QImage(tree.file("Masters/bore.png")).isNull());
    TKelPicture kelb;
    ASSERT_TRUE(kelb.LoadKELBFromFile(tree.file("Masters/face.kelb")));
    EXPECT_EQ(kelb.Width(), 8);
    EXPECT_EQ(kelb.Height(), 4);
}

TEST(SequenceTree, FilesReadAsTheirKind)
{
    SequenceTree tree;
    TTevProject project(nullptr, nullptr);
    project.SetRootDir(tree.root());
    struct Case
    {
        QString file, context, name;
        QStringList chars;
    };
    const QStringList housing{"Bore/H1", "Bore/H2", "Bore/H3", "Face/H4", "Face/H5", "Face/H6"};
    const QStringList shaft{"Diameter/S1", "Diameter/S2", "Runout/S3", "Runout/S4"};
    const Case cases[] = {
        {SequenceTree::Housing, "Master Sequence (*.seq)", QString::fromUtf8("Gehäuse 4711"),
         housing},
        {SequenceTree::Shaft, "Master Sequence (*.seq)", "Shaft 12", shaft},
        {SequenceTree::Line1, "Work Sequence (*.seq)", "Line 1", housing},
        {SequenceTree::Line2, "Work Sequence (*.seq)", "Line 2", housing + shaft},
        {SequenceTree::Room,
         "Sentavo Sequence (*.mseq)",
         "Room",
         {"Temperature/T1", "Temperature/T2"}},
    };
    for (const Case &c : cases) {
        project.ReadSequenceFile(tree.file(c.file));
        EXPECT_EQ(project.FileContextName(), c.context) << c.file.toStdString();
        EXPECT_EQ(project.ProjectName(), c.name) << c.file.toStdString();
        EXPECT_EQ(labels(project.DataSetChars()), c.chars) << c.file.toStdString();
    }
    project.ReadSequenceFile(tree.file(SequenceTree::Shaft));
    EXPECT_EQ(project.Format(), "SHAFT.FMT");
    EXPECT_EQ(project.GetDependsList().split("\r\n"),
              QStringList({"SHAFT.FMT", "RUN.TEM", "shaft.png"}));
}

// The work files are exactly what the writer makes of them.
TEST(SequenceTree, WorkFilesAreWhatTheWriterWrites)
{
    SequenceTree tree;
    TTevProject project(nullptr, nullptr);
    project.SetRootDir(tree.root());
    for (const QString &name : {SequenceTree::Line1, SequenceTree::Line2}) {
        const QByteArray before = readBytes(tree.file(name));
        project.ReadSequenceFile(tree.file(name));
        project.WriteFile(project.FileName());
        EXPECT_EQ(readBytes(tree.file(name)), before) << name.toStdString();
    }
}
