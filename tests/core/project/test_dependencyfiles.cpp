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
    EXPECT_EQ(CopyFileSafely(dir.file("cover.kelb"), dir.file("old.kelb")), "");
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
    ASSERT_TRUE(QFile::link("/dev/zero", dir.file("zero.fmt")));
    ASSERT_TRUE(QDir().mkpath(dir.file("folder.fmt")));
    ASSERT_TRUE(QDir().mkpath(dir.file("target")));
    struct Case
    {
        const char *source;
        const char *reason;
    };
    const Case cases[] = {
        {"pipe.fmt", "it is a pipe (FIFO), not a regular file"},
        {"zero.fmt", "it is a device, not a regular file"},
        {"folder.fmt", "it is a folder"},
        {"missing.fmt", "No such file or directory"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.source);
        const QString target = dir.file("target/F.FMT");
        WriteBytes(target, "kept");
        EXPECT_EQ(CopyFileSafely(dir.file(c.source), target).toStdString(), c.reason);
        EXPECT_EQ(ReadBytes(target), "kept");
        EXPECT_EQ(QDir(dir.file("target")).entryList(QDir::Files | QDir::Hidden),
                  QStringList({"F.FMT"}))
            << "no temporary file is left";
    }
}

} // namespace
} // namespace tev
