#include "core/project/dependencyfiles.h"
#include "support/fifoguard.h"
#include "support/tempfolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace tev {
namespace {

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

TEST(CopyFileSafely, CopiesTheBytesAndTheModificationTime)
{
    test::TempFolder dir;
    QByteArray picture(3 << 20, '\0'); // more than one piece of the copy
    for (qsizetype i = 0; i < picture.size(); ++i)
        picture[i] = char(i * 7);
    WriteBytes(dir.file("cover.kelb"), picture);
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1700000000);
    {
        QFile source(dir.file("cover.kelb"));
        ASSERT_TRUE(source.open(QIODevice::ReadWrite));
        ASSERT_TRUE(source.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    WriteBytes(dir.file("old.kelb"), "old");
    EXPECT_EQ(CopyFileSafely(dir.file("cover.kelb"), dir.file("old.kelb"), dir.path()), "");
    EXPECT_EQ(ReadBytes(dir.file("old.kelb")), picture);
    EXPECT_EQ(QFileInfo(dir.file("old.kelb")).lastModified(), stamp);
}

// A source that is no regular file, or none at all, gives the reason and leaves the target as
// it was: a FIFO would stall the copy for ever and a device such as /dev/zero never end it.
TEST(CopyFileSafely, OnlyARegularFileIsCopied)
{
    test::TempFolder dir;
    test::FifoGuard fifo(dir.file("pipe.fmt"));
    ASSERT_TRUE(fifo.made());
    ASSERT_TRUE(QDir().mkpath(dir.file("folder.fmt")));
    ASSERT_TRUE(QDir().mkpath(dir.file("target")));
    struct Case
    {
        QString source;
        const char *reason;
    };
    const Case cases[] = {
        {dir.file("pipe.fmt"), "it is a pipe (FIFO), not a regular file"},
        {"/dev/zero", "it is a device, not a regular file"},
        {dir.file("folder.fmt"), "it is a folder"},
        {dir.file("missing.fmt"), "No such file or directory"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.source.toStdString());
        const QString target = dir.file("target/F.FMT");
        WriteBytes(target, "kept");
        EXPECT_EQ(CopyFileSafely(c.source, target, "/").toStdString(), c.reason);
        EXPECT_EQ(ReadBytes(target), "kept");
        EXPECT_EQ(QDir(dir.file("target")).entryList(QDir::Files | QDir::Hidden),
                  QStringList({"F.FMT"}))
            << "no temporary file is left";
    }
}

// A link in a sequence folder is followed only to a file below the sequence root; a link that
// leads out of it, also through another link, is refused and nothing of its file is copied.
TEST(CopyFileSafely, ALinkIsFollowedOnlyToAFileBelowTheRoot)
{
    test::TempFolder dir;
    const QString root = dir.file("SEQ");
    ASSERT_TRUE(QDir().mkpath(root + "/Work"));
    ASSERT_TRUE(QDir().mkpath(root + "/Pictures"));
    ASSERT_TRUE(QDir().mkpath(dir.file("target")));
    WriteBytes(root + "/Pictures/bore.png", "picture of the root");
    WriteBytes(dir.file("secret.txt"), "outside the root");
    ASSERT_TRUE(QFile::link("../Pictures/bore.png", root + "/Work/inside.png"));
    ASSERT_TRUE(QFile::link("../../secret.txt", root + "/Work/link.png"));
    ASSERT_TRUE(QFile::link(dir.file("secret.txt"), root + "/Pictures/hop.png"));
    ASSERT_TRUE(QFile::link("../Pictures/hop.png", root + "/Work/twice.png"));
    ASSERT_TRUE(QFile::link("/etc/passwd", root + "/Work/system.png"));
    ASSERT_TRUE(QFile::link("gone.png", root + "/Work/dangling.png"));
    struct Case
    {
        const char *source;
        const char *reason;
    };
    const Case cases[] = {
        {"inside.png", ""},
        {"link.png", "it is a link to a file outside the sequence folder"},
        {"twice.png", "it is a link to a file outside the sequence folder"},
        {"system.png", "it is a link to a file outside the sequence folder"},
        {"dangling.png", "it is a link to a file that does not exist"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.source);
        const QString target = dir.file("target/F.PNG");
        WriteBytes(target, "kept");
        EXPECT_EQ(CopyFileSafely(root + "/Work/" + c.source, target, root).toStdString(), c.reason);
        EXPECT_EQ(ReadBytes(target), *c.reason ? QByteArray("kept") : "picture of the root");
        EXPECT_FALSE(QFileInfo(target).isSymLink());
        EXPECT_EQ(QDir(dir.file("target")).entryList(QDir::Files | QDir::Hidden),
                  QStringList({"F.PNG"}));
    }
}

} // namespace
} // namespace tev
