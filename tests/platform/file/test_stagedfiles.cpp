#include "platform/error.h"
#include "platform/file/regularfile.h"
#include "platform/file/savefilewhole.h"
#include "platform/file/stagedfiles.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <optional>

using namespace tev;
using namespace tev::test;

namespace {

QStringList Entries(const TempFolder &folder)
{
    return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

// Staged content reaches its file only when put in place, and keeps the file's permissions.
TEST(StagedFiles, ContentReplacesItsFileOnlyWhenPutInPlace)
{
    TempFolder folder;
    const QString a = folder.file("a.seq");
    const QString b = folder.file("b.seq");
    SaveFileWhole(a, "old a");
    ASSERT_TRUE(QFile::setPermissions(a, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    const QFileDevice::Permissions permissions = QFileInfo(a).permissions();
    StagedFiles staged;
    const QString stagedA = staged.Stage(a);
    const QString stagedB = staged.Stage(b);
    EXPECT_EQ(QFileInfo(stagedA).absolutePath(), QFileInfo(a).absolutePath());
    SaveFileWhole(stagedA, "new a");
    SaveFileWhole(stagedB, "new b");
    EXPECT_EQ(ReadRegularFile(a), "old a");
    EXPECT_FALSE(QFileInfo::exists(b));

    staged.PutInPlace(a);
    staged.PutInPlace(b);

    EXPECT_EQ(ReadRegularFile(a), "new a");
    EXPECT_EQ(ReadRegularFile(b), "new b");
    EXPECT_EQ(QFileInfo(a).permissions(), permissions);
    EXPECT_EQ(Entries(folder), QStringList({"a.seq", "b.seq"}));
}

// Work that fails before its files are put in place leaves them, and no staged file, behind.
TEST(StagedFiles, ContentNotPutInPlaceIsRemoved)
{
    TempFolder folder;
    const QString a = folder.file("a.seq");
    SaveFileWhole(a, "old a");
    {
        StagedFiles staged;
        SaveFileWhole(staged.Stage(a), "new a");
        staged.Stage(folder.file("never written.seq"));
    }
    EXPECT_EQ(ReadRegularFile(a), "old a");
    EXPECT_EQ(Entries(folder), QStringList({"a.seq"}));
}

// A link is followed, as every save follows it: its target takes the content, the link stays.
TEST(StagedFiles, ALinkIsFollowed)
{
    TempFolder folder;
    TempFolder elsewhere;
    const QString target = elsewhere.file("target.seq");
    const QString link = folder.file("link.seq");
    SaveFileWhole(target, "old");
    ASSERT_TRUE(QFile::link(target, link));
    StagedFiles staged;
    SaveFileWhole(staged.Stage(link), "new");

    staged.PutInPlace(link);

    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadRegularFile(target), "new");
    EXPECT_EQ(Entries(folder), QStringList({"link.seq"}));
}

TEST(StagedFiles, PuttingInPlaceWhatWasNotWrittenFails)
{
    TempFolder folder;
    const QString a = folder.file("a.seq");
    SaveFileWhole(a, "old a");
    StagedFiles staged;
    EXPECT_THROW(staged.PutInPlace(a), Error);
    staged.Stage(a); // nothing written under the staged name
    try {
        staged.PutInPlace(a);
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().startsWith(QString("Cannot write file \"%1\": ").arg(a)))
            << e.message().toStdString();
    }
    EXPECT_EQ(ReadRegularFile(a), "old a");
}
