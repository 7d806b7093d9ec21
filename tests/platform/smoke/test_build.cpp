#include <QCoreApplication>
#include <gtest/gtest.h>

#include "support/tempfolder.h"

TEST(Build, TestsRunInTheirOwnTemporaryFolder)
{
    tev::test::TempFolder dir;
    EXPECT_FALSE(dir.path().isEmpty());
    EXPECT_NE(QCoreApplication::instance(), nullptr);
}
