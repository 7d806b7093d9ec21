#include <gtest/gtest.h>

#include "core/constants/tevconst.h"

using tev::GetDirectoryChangeMode;
using tev::TDirectoryChangeMode;

TEST(GetDirectoryChangeMode, ClassifiesTheMoveOfTheSequenceFolder)
{
    struct Case
    {
        const char *oldDir, *newDir;
        TDirectoryChangeMode mode;
        const char *subDir; // "untouched" when SubDir must keep its value
    };
    const Case cases[] = {
        {"/data/Seq", "/data/Seq/Work", TDirectoryChangeMode::dcmSubDirAdded, "/Work"},
        {"/data/Seq/Work", "/data/Seq", TDirectoryChangeMode::dcmSubDirRemoved, "/Work"},
        {"/data/Seq", "/data/Seq/a/b", TDirectoryChangeMode::dcmSubDirAdded, "/a/b"},
        {"/data/Seq/", "/data/Seq/Work", TDirectoryChangeMode::dcmSubDirAdded, "Work"},
        {"/data/Seq", "/data/Seq", TDirectoryChangeMode::dcmNoChange, "untouched"},
        {"/data/Seq", "/data/seq", TDirectoryChangeMode::dcmOther, "untouched"},
        // A folder that only shares a prefix with another is not inside it.
        {"/x/Seq", "/x/Seq2", TDirectoryChangeMode::dcmOther, "untouched"},
        {"/x/Seq2", "/x/Seq", TDirectoryChangeMode::dcmOther, "untouched"},
        {"/a", "/b", TDirectoryChangeMode::dcmOther, "untouched"},
        {"/data/Seq", "", TDirectoryChangeMode::dcmOther, "untouched"},
        {"", "/data/Seq", TDirectoryChangeMode::dcmOther, "untouched"},
        {"", "", TDirectoryChangeMode::dcmNoChange, "untouched"},
    };
    for (const Case &c : cases) {
        QString subDir = QStringLiteral("untouched");
        EXPECT_EQ(GetDirectoryChangeMode(c.oldDir, c.newDir, subDir), c.mode)
            << c.oldDir << " -> " << c.newDir;
        EXPECT_EQ(subDir, QString::fromLatin1(c.subDir)) << c.oldDir << " -> " << c.newDir;
    }
}

TEST(TevConst, OrdinalsAreTheStoredValues)
{
    EXPECT_EQ(int(tev::TTevDBType::dbtEmbedded), 0);
    EXPECT_EQ(int(tev::TTevDBType::dbtClientServer), 1);
    EXPECT_EQ(int(TDirectoryChangeMode::dcmTopDirChanged), 3);
    EXPECT_EQ(int(TDirectoryChangeMode::dcmOther), 4);
}

TEST(ColumnChangeFlag, MapsColumnCodesToChangeBits)
{
    const int expected[] = {0, 0, 128, 128, 128, 128, 128, 16, 16, 16, 16, 16, 64, 0, 0, 16, 32};
    for (int code = 0; code < 17; ++code)
        EXPECT_EQ(tev::ColumnChangeFlag(code), expected[code]) << code;
    EXPECT_EQ(tev::ColumnChangeFlag(-1), 0);
    EXPECT_EQ(tev::ColumnChangeFlag(17), 0);
}
