#include "platform/instance/singleinstancelock.h"

#include "platform/error.h"
#include "support/tempfolder.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tev {
namespace {

const QString kName = QStringLiteral("{3958C55C-5A6E-4533-875D-1348D804A036}");

TEST(SingleInstanceLock, TheFirstHolderRunsAndALaterStartSeesItUntilItEnds)
{
    test::TempFolder folder;
    {
        SingleInstanceLock first(kName, folder.path());
        EXPECT_FALSE(first.AlreadyRunning());
        EXPECT_TRUE(QFile::exists(folder.file(kName + QStringLiteral(".lock"))));
        SingleInstanceLock second(kName, folder.path());
        EXPECT_TRUE(second.AlreadyRunning());
    }
    SingleInstanceLock afterwards(kName, folder.path());
    EXPECT_FALSE(afterwards.AlreadyRunning());
}

TEST(SingleInstanceLock, AProcessThatEndsWithoutCleaningUpLeavesNoStaleLock)
{
    test::TempFolder folder;
    int toParent[2];
    int toChild[2];
    ASSERT_EQ(::pipe(toParent), 0);
    ASSERT_EQ(::pipe(toChild), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto *lock = new SingleInstanceLock(kName, folder.path()); // never freed: a crash
        const char taken = lock->AlreadyRunning() ? 'n' : 'y';
        (void)!::write(toParent[1], &taken, 1);
        char go;
        (void)!::read(toChild[0], &go, 1);
        ::_exit(0);
    }
    char taken = 0;
    ASSERT_EQ(::read(toParent[0], &taken, 1), 1);
    EXPECT_EQ(taken, 'y');
    EXPECT_TRUE(SingleInstanceLock(kName, folder.path()).AlreadyRunning());
    (void)!::write(toChild[1], "g", 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_FALSE(SingleInstanceLock(kName, folder.path()).AlreadyRunning());
    for (int fd : {toParent[0], toParent[1], toChild[0], toChild[1]})
        ::close(fd);
}

TEST(SingleInstanceLock, AnExistingReadOnlyLockFileStillServes)
{
    test::TempFolder folder;
    const QString path = folder.file(kName + QStringLiteral(".lock"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(file.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    SingleInstanceLock lock(kName, folder.path());
    EXPECT_FALSE(lock.AlreadyRunning());
}

struct Unusable
{
    const char *what;
    void (*prepare)(const test::TempFolder &folder);
    const char *folderName;
};

class SingleInstanceLockError : public ::testing::TestWithParam<Unusable>
{
};

TEST_P(SingleInstanceLockError, IsReportedWithTheFileAndTheReason)
{
    test::TempFolder folder;
    GetParam().prepare(folder);
    const QString lockFolder = folder.file(QString::fromLatin1(GetParam().folderName));
    try {
        SingleInstanceLock lock(kName, lockFolder);
        FAIL() << "no error for " << GetParam().what;
    } catch (const Error &error) {
        EXPECT_TRUE(error.message().contains(kName + QStringLiteral(".lock")))
            << error.message().toStdString();
        EXPECT_TRUE(error.message().contains(QLatin1String(": "))) << error.message().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SingleInstanceLockError,
    ::testing::Values(
        Unusable{"a missing folder", [](const test::TempFolder &) {}, "missing"},
        // A link planted at the lock's place is never followed: it could point anywhere.
        Unusable{"a symbolic link in place of the file",
                 [](const test::TempFolder &folder) {
                     QFile::link(folder.file(QStringLiteral("elsewhere")),
                                 folder.file(kName + QStringLiteral(".lock")));
                 },
                 "."}),
    [](const ::testing::TestParamInfo<Unusable> &info) {
        return info.index == 0 ? std::string("MissingFolder") : std::string("SymbolicLink");
    });

TEST(SingleInstanceLock, TheFolderCanBeMovedThroughTheEnvironment)
{
    test::TempFolder folder;
    qputenv(kLockFolderVariable, QFile::encodeName(folder.path()));
    EXPECT_EQ(DefaultInstanceLockFolder(), folder.path());
    qunsetenv(kLockFolderVariable);
    EXPECT_NE(DefaultInstanceLockFolder(), folder.path());
}

} // namespace
} // namespace tev
