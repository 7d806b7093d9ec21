#include "ui/appdialogs/folderpaths.h"

#include "ui/printers.h"
#include <gtest/gtest.h>

namespace tev {
namespace {

TEST(FolderPaths, LiesInAFolderOnlyAtADelimiter)
{
    EXPECT_TRUE(LiesInFolder("/x/Seq", "/x/Seq"));
    EXPECT_TRUE(LiesInFolder("/x/Seq/", "/x/Seq"));
    EXPECT_TRUE(LiesInFolder("/x/Seq/a/b.seq", "/x/Seq/"));
    EXPECT_FALSE(LiesInFolder("/x/Seq2", "/x/Seq"));
    EXPECT_FALSE(LiesInFolder("/x/seq/a", "/x/Seq"));
    EXPECT_FALSE(LiesInFolder("/x", "/x/Seq"));
    EXPECT_FALSE(LiesInFolder("/x/Seq", ""));
}

TEST(FolderPaths, RelativeAndResolved)
{
    EXPECT_EQ(RelativeToFolder("/x/Seq", "/x/Seq/Work/a.seq"), "Work/a.seq");
    EXPECT_EQ(RelativeToFolder("/x/Seq/", "/x/Seq"), "");
    EXPECT_EQ(RelativeToFolder("/x/Seq", "/x/Seq2/a.seq"), "/x/Seq2/a.seq");
    EXPECT_EQ(RelativeToFolder("/x/Seq", "Work/a.seq"), "Work/a.seq");
    EXPECT_EQ(ResolveInFolder("/x/Seq", "Work/a.seq"), "/x/Seq/Work/a.seq");
    EXPECT_EQ(ResolveInFolder("/x/Seq", "/y/a.seq"), "/y/a.seq");
    EXPECT_TRUE(ResolvesInFolder("Work/../a.seq", "/x/Seq"));
    EXPECT_FALSE(ResolvesInFolder("../Seq2/a.seq", "/x/Seq"));
    EXPECT_FALSE(ResolvesInFolder("/y/a.seq", "/x/Seq"));
}

TEST(FolderPaths, NameParts)
{
    EXPECT_EQ(FolderPart("Masters/m.seq"), "Masters/");
    EXPECT_EQ(FolderPart("m.seq"), "");
    EXPECT_EQ(NamePart("Work/"), "");
    EXPECT_EQ(FileExt("a.dir/name"), "");
    EXPECT_EQ(FileExt("x/A.FMT"), ".FMT");
    EXPECT_EQ(ChangeFileExt("abc", ".seq"), "abc.seq");
    EXPECT_EQ(ChangeFileExt("d.x/abc.txt", ".mseq"), "d.x/abc.mseq");
}

} // namespace
} // namespace tev
