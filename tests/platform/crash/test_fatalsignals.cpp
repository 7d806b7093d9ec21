#include "platform/crash/fatalsignals.h"

#include "support/tempfolder.h"

#include <QFile>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>

namespace tev {
namespace {

[[gnu::noinline]] void crashInTheImageDecoder()
{
    std::raise(SIGSEGV);
    asm volatile("" ::: "memory"); // keeps this frame on the stack (no tail call)
}

TEST(FatalSignals, ASegmentationFaultWritesTheReportBeforeTheProcessEnds)
{
    // Forked, so that the child writes into this test's folder.
    GTEST_FLAG_SET(death_test_style, "fast");
    test::TempFolder folder;
    EXPECT_EXIT(
        {
            const QString path = installFatalSignalHandler(folder.path());
            if (path.isEmpty())
                std::exit(3);
            crashInTheImageDecoder();
        },
        ::testing::KilledBySignal(SIGSEGV), "");
    const QStringList files =
        QDir(folder.path()).entryList({QStringLiteral("tevora-crash-*.txt")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    QFile file(folder.file(files.first()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QLatin1String("Tevora " TEVORA_VERSION)));
    EXPECT_TRUE(text.contains(QLatin1String("SIGSEGV")));
    EXPECT_TRUE(text.contains(QLatin1String("return addresses:\n0x")));
    EXPECT_TRUE(text.contains(QLatin1String("crashInTheImageDecoder"))) << text.toStdString();
}

// A corrupted heap makes the allocator abort while it holds its own lock, so the handler's
// best effort at naming the frames cannot allocate: the process must still end by its signal, with
// the safe part of the report on disk.
TEST(FatalSignals, AnAbortInsideTheAllocatorStillEndsTheProcessWithItsReport)
{
    GTEST_FLAG_SET(death_test_style, "fast");
    test::TempFolder folder;
    EXPECT_EXIT(
        {
            if (installFatalSignalHandler(folder.path()).isEmpty())
                std::exit(3);
            // Larger than the per-thread cache, so the second free takes the arena's lock.
            void *volatile block = std::malloc(4096);
            void *volatile fence = std::malloc(16);
            std::free(block);
            std::free(block);
            std::free(fence);
            std::exit(4);
        },
        ::testing::KilledBySignal(SIGABRT), "");
    const QStringList files =
        QDir(folder.path()).entryList({QStringLiteral("tevora-crash-*.txt")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    QFile file(folder.file(files.first()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QLatin1String("SIGABRT")));
    EXPECT_TRUE(text.contains(QLatin1String("return addresses:\n0x")));
}

TEST(FatalSignals, AMissingFolderInstallsNothing)
{
    test::TempFolder folder;
    EXPECT_TRUE(installFatalSignalHandler(folder.file(QStringLiteral("missing"))).isEmpty());
}

} // namespace
} // namespace tev
