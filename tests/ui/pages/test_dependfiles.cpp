#include "support/fifoguard.h"
#include "support/tempfolder.h"
#include "ui/pages/dependfiles.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace tev {
namespace {

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Folders
{
    test::TempFolder temp;
    QString root = temp.file("SEQ");
    QString project = temp.file("SEQ/project");
    QString elsewhere = temp.file("elsewhere");
    Folders()
    {
        EXPECT_TRUE(QDir().mkpath(project));
        EXPECT_TRUE(QDir().mkpath(elsewhere));
    }
};

TEST(TakeIntoProjectFolder, CopiesTakesOrRefusesByContents)
{
    Folders f;
    WriteBytes(f.elsewhere + "/cover.png", "picture");
    TProjectFile taken = TakeIntoProjectFolder(f.elsewhere + "/cover.png", f.project, f.root);
    EXPECT_TRUE(taken.Ok) << taken.Message.toStdString();
    EXPECT_EQ(taken.BareName, "cover.png");
    EXPECT_EQ(ReadBytes(f.project + "/cover.png"), "picture");

    // The same contents again: taken without a copy; other contents: refused, nothing changed.
    EXPECT_TRUE(TakeIntoProjectFolder(f.elsewhere + "/cover.png", f.project, f.root).Ok);
    WriteBytes(f.elsewhere + "/cover.png", "another picture");
    const TProjectFile refused =
        TakeIntoProjectFolder(f.elsewhere + "/cover.png", f.project, f.root);
    EXPECT_FALSE(refused.Ok);
    EXPECT_TRUE(refused.Message.contains("already holds a different file"));
    EXPECT_EQ(ReadBytes(f.project + "/cover.png"), "picture");
}

// A FIFO picked or lying in the project folder is neither read nor copied, which would stall
// the program for ever; the message says why.
TEST(TakeIntoProjectFolder, AFifoIsNeverRead)
{
    Folders f;
    test::FifoGuard picked(f.elsewhere + "/pipe.png");
    ASSERT_TRUE(picked.made());
    const TProjectFile copied = TakeIntoProjectFolder(f.elsewhere + "/pipe.png", f.project, f.root);
    EXPECT_FALSE(copied.Ok);
    EXPECT_TRUE(copied.Message.contains("it is a pipe (FIFO), not a regular file"))
        << copied.Message.toStdString();
    EXPECT_EQ(QDir(f.project).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList());

    test::FifoGuard inProject(f.project + "/cover.png");
    ASSERT_TRUE(inProject.made());
    WriteBytes(f.elsewhere + "/cover.png", "");
    const TProjectFile compared =
        TakeIntoProjectFolder(f.elsewhere + "/cover.png", f.project, f.root);
    EXPECT_FALSE(compared.Ok) << "an empty file is not the same as a FIFO";
    EXPECT_TRUE(compared.Message.contains("already holds a different file"));
}

// A picked file is copied from wherever it lies; a picked link only when it leads to a file below
// the sequence root.
TEST(TakeIntoProjectFolder, APickedLinkOutOfTheRootIsRefused)
{
    Folders f;
    WriteBytes(f.elsewhere + "/secret.png", "not the project's");
    ASSERT_TRUE(QFile::link(f.elsewhere + "/secret.png", f.elsewhere + "/cover.png"));
    const TProjectFile refused =
        TakeIntoProjectFolder(f.elsewhere + "/cover.png", f.project, f.root);
    EXPECT_FALSE(refused.Ok);
    EXPECT_TRUE(refused.Message.contains("it is a link to a file outside the sequence folder"))
        << refused.Message.toStdString();
    EXPECT_EQ(QDir(f.project).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList());

    WriteBytes(f.root + "/bore.png", "picture of the root");
    ASSERT_TRUE(QFile::link(f.root + "/bore.png", f.elsewhere + "/bore.png"));
    EXPECT_TRUE(TakeIntoProjectFolder(f.elsewhere + "/bore.png", f.project, f.root).Ok);
    EXPECT_EQ(ReadBytes(f.project + "/bore.png"), "picture of the root");
}

} // namespace
} // namespace tev
