#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "core/lib/paths.h"
#include "support/tempfolder.h"

using namespace tev;
using tev::test::TempFolder;

namespace {

void touch(const QString &fileName)
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << fileName.toStdString();
}

} // namespace

TEST(Paths, DelimitersAndParents)
{
    struct Case
    {
        QString (*routine)(const QString &);
        const char *name, *input, *expected;
    };
    const Case cases[] = {
        {AddBackSlash, "AddBackSlash", "/data", "/data/"},
        {AddBackSlash, "AddBackSlash", "/data/", "/data/"},
        {AddBackSlash, "AddBackSlash", "/data//", "/data//"},
        {AddBackSlash, "AddBackSlash", "", ""},
        {AddSlash, "AddSlash", "a/b//", "a/b/"},
        {AddSlash, "AddSlash", "a/b", "a/b/"},
        {AddSlash, "AddSlash", "/", "/"},
        {AddSlash, "AddSlash", "", ""},
        {ParentDir, "ParentDir", "/opt/App/bin/", "/opt/App"},
        {ParentDir, "ParentDir", "/opt/App/bin/tevora", "/opt/App"},
        {ParentDir, "ParentDir", "/a/bin/tevora", "/a"},
        {ParentDir, "ParentDir", "/App/x.txt", "/App"},
        {ParentDir, "ParentDir", "/x.txt", "/"},
        {ParentDir, "ParentDir", "App/bin/x", "App"},
        {ParentDir, "ParentDir", "x.txt", ""},
        {StrToFileName, "StrToFileName", "a:b*c?.seq", "abc.seq"},
        {StrToFileName, "StrToFileName", "\"*/:<>?\\|", ""},
        {StrToFileName, "StrToFileName",
         "Pr\xC3\xBC"
         "fplan #1 (v2).seq",
         "Pr\xC3\xBC"
         "fplan #1 (v2).seq"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.routine(QString::fromUtf8(c.input)), QString::fromUtf8(c.expected))
            << c.name << "(" << c.input << ")";
}

TEST(Paths, RelativeNames)
{
    struct Case
    {
        const char *root, *file, *expected;
    };
    const Case cases[] = {
        {"/data/Seq", "/DATA/seq/Work/A.seq", "Work/A.seq"},
        {"/data/Seq/", "/data/Seq/Work/A.seq", "Work/A.seq"},
        {"/data/Seq", "/other/A.seq", "/other/A.seq"},
        {"/data/Seq", "/x/data/Seq/y", "/xy"}, // the first occurrence, wherever it stands
        {"/data/Seq", "/data/Seq2/A.seq", "/data/Seq2/A.seq"},
        {"", "/data/Seq/A.seq", "/data/Seq/A.seq"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(GetRelativeFileName(c.root, c.file), QString::fromLatin1(c.expected))
            << c.root << " " << c.file;

    const std::pair<const char *, bool> relative[] = {
        {"Work/A.seq", true},   {"A.seq", true},       {"", true},          {"/A.seq", false},
        {"//server/x", false},  {"./A.seq", true},     {"C:/A.seq", false}, {"Work//A.seq", false},
        {"a\\\\srv\\x", false}, {"Work\\A.seq", true},
    };
    for (const auto &[path, expected] : relative)
        EXPECT_EQ(PathIsRelative(path), expected) << path;
}

TEST(Paths, FoldersOnDisk)
{
    TempFolder temp;
    const QString deep = temp.file("a/b/c");
    EXPECT_FALSE(PathExists(deep));
    EXPECT_TRUE(CheckDir(deep));
    EXPECT_TRUE(PathExists(deep));
    EXPECT_TRUE(CheckDir(deep));
    EXPECT_FALSE(CheckDir(""));
    EXPECT_FALSE(PathExists(""));

    touch(temp.file("file"));
    EXPECT_FALSE(PathExists(temp.file("file")));
    EXPECT_FALSE(CheckDir(temp.file("file/sub")));
    ASSERT_TRUE(QFile::link(temp.file("a"), temp.file("link")));
    EXPECT_TRUE(PathExists(temp.file("link")));

    EXPECT_TRUE(IsDirectoryWriteable(temp.path()));
    EXPECT_TRUE(IsDirectoryWriteable(temp.path() + "/"));
    EXPECT_FALSE(QFile::exists(temp.file("chk.tmp"))) << "the check file must not stay";
    EXPECT_FALSE(IsDirectoryWriteable(temp.file("missing")));
    touch(temp.file("a/chk.tmp"));
    EXPECT_FALSE(IsDirectoryWriteable(temp.file("a")));
    EXPECT_TRUE(QFile::exists(temp.file("a/chk.tmp"))) << "an existing file is left alone";
}

TEST(Paths, FileDate)
{
    TempFolder temp;
    EXPECT_EQ(GetFileDate(temp.file("missing")), 0);
    EXPECT_EQ(GetFileDate(""), 0);
    const QString name = temp.file("dated");
    touch(name);
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QDateTime when(QDate(2024, 3, 1), QTime(18, 0));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    file.close();
    // 1 March 2024 is day 45352 after 30 December 1899; 18:00 is 0.75 of a day.
    EXPECT_DOUBLE_EQ(GetFileDate(name), 45352.75);
}

TEST(Paths, ListsFilesByWildcard)
{
    TempFolder temp;
    for (const char *name : {"b.seq", "A.SEQ", "c.txt", "noext", "x.seq.bak"})
        touch(temp.file(name));
    QDir dir(temp.path());
    dir.mkdir("plain.seq");
    dir.mkdir(".hidden.seq");
    dir.mkdir("readonly.seq");
    QFile::setPermissions(temp.file("readonly.seq"),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool rootIgnoresPermissions = QFileInfo(temp.file("readonly.seq")).isWritable();

    struct Case
    {
        const char *filter, *expected;
    };
    const Case cases[] = {
        {"/*.seq", rootIgnoresPermissions ? ".hidden.seq\r\nA.SEQ\r\nb.seq"
                                          : ".hidden.seq\r\nA.SEQ\r\nb.seq\r\nreadonly.seq"},
        {"/?.seq", "A.SEQ\r\nb.seq"},
        {"/*.txt", "c.txt"},
        {"/noext", "noext"},
        {"/*.none", ""},
        {"/missing/*", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(GetFiles(temp.path() + c.filter), QString::fromLatin1(c.expected)) << c.filter;
    EXPECT_EQ(GetFiles(temp.path() + "/*.*").split("\r\n").size(), rootIgnoresPermissions ? 6 : 7);
    QFile::setPermissions(temp.file("readonly.seq"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(Paths, NetworkNames)
{
    TempFolder temp;
    EXPECT_TRUE(IsNetworkFile("//server/share/a.seq"));
    EXPECT_FALSE(IsNetworkFile(temp.file("a.seq")));
    EXPECT_FALSE(IsNetworkFile(temp.file("missing/deeper/a.seq")));
    EXPECT_FALSE(IsNetworkFile(""));
}
