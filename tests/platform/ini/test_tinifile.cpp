#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/error.h"
#include "platform/ini/tinifile.h"
#include "support/fifoguard.h"
#include "support/tempfolder.h"

using tev::TIniFile;
using tev::test::FifoGuard;
using tev::test::TempFolder;

namespace {

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << fileName.toStdString();
    return file.readAll();
}

void writeAll(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A hand-edited file: comments, odd case and spacing, CR LF endings, no ending on the last line.
const QByteArray kConfig = "; Tevora connection\r\n"
                           "[Database]\r\n"
                           "DriverId=FB\r\n"
                           "  server = localhost  \r\n"
                           "# kept as written\r\n"
                           "OpenMode=OpenOrCreate\r\n"
                           "\r\n"
                           "[WINDOW]\r\n"
                           "Left=$10\r\n"
                           "Title=\"  padded  \"";

// The user a child process writes as: ourselves, or "nobody" for the superuser, whom folder
// permissions would not bind.
constexpr uid_t kNobody = 65534;
uid_t writerUid()
{
    return geteuid() == 0 ? kNobody : geteuid();
}

// Runs in a child process: changes one key as the writer, with files limited to limitBytes (a
// disk that is full at that size), and exits with 0 when the write failed with an error, which it
// prints.
[[noreturn]] void writeWithinSizeLimit(const QString &path, rlim_t limitBytes)
{
    if (writerUid() != geteuid() &&
        (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
        std::fprintf(stderr, "cannot change the user\n");
        std::_Exit(2);
    }
    std::signal(SIGXFSZ, SIG_IGN); // a write beyond the limit then fails with EFBIG
    const rlimit limit{limitBytes, limitBytes};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        std::_Exit(3);
    try {
        TIniFile(path).WriteString("Database", "Key0", "changed");
    } catch (const tev::Error &e) {
        std::fprintf(stderr, "%s\n", e.what());
        std::_Exit(0);
    }
    std::fprintf(stderr, "the write succeeded\n");
    std::_Exit(1);
}

} // namespace

TEST(TIniFile, ReadsNamesWithoutRegardToCase)
{
    TempFolder temp;
    writeAll(temp.file("a.ini"), kConfig);
    TIniFile ini(temp.file("a.ini"));
    struct Case
    {
        const char *section, *ident, *expected;
    };
    const Case cases[] = {
        {"Database", "DriverId", "FB"},
        {"DATABASE", "driverid", "FB"},
        {"database", "Server", "localhost"},
        {"Window", "title", "  padded  "},
        {"Database", "Left", "default"},
        {"Missing", "DriverId", "default"},
        {"Database", "# kept as written", "default"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ini.ReadString(c.section, c.ident, "default"), QString::fromLatin1(c.expected))
            << c.section << "/" << c.ident;
    EXPECT_EQ(ini.ReadInteger("window", "left", 0), 16);
    EXPECT_EQ(ini.ReadInteger("Database", "DriverId", 7), 7);
    EXPECT_TRUE(ini.SectionExists("window"));
    EXPECT_FALSE(ini.SectionExists("Settings"));
    EXPECT_TRUE(ini.ValueExists("DATABASE", "OPENMODE"));
    EXPECT_EQ(ini.ReadSections(), QStringList({"Database", "WINDOW"}));
    EXPECT_EQ(ini.ReadSection("database"), QStringList({"DriverId", "server", "OpenMode"}));
    EXPECT_EQ(ini.ReadSectionValues("Window"), QStringList({"Left=$10", "Title=  padded  "}));
}

// Each write is on disk at once and changes only its own line; everything else stays byte for
// byte as it was.
TEST(TIniFile, WritesInPlaceAndKeepsEveryOtherLine)
{
    struct Case
    {
        const char *name;
        std::function<void(TIniFile &)> write;
        QByteArray expected;
    };
    const Case cases[] = {
        {"change a value, keeping the key's spelling and blanks",
         [](TIniFile &ini) { ini.WriteString("DATABASE", "Server", "db.local"); },
         "; Tevora connection\r\n[Database]\r\nDriverId=FB\r\n  server = db.local\r\n"
         "# kept as written\r\nOpenMode=OpenOrCreate\r\n\r\n[WINDOW]\r\nLeft=$10\r\n"
         "Title=\"  padded  \""},
        {"new key after the section's last key",
         [](TIniFile &ini) { ini.WriteString("database", "Password", "xyz"); },
         "; Tevora connection\r\n[Database]\r\nDriverId=FB\r\n  server = localhost  \r\n"
         "# kept as written\r\nOpenMode=OpenOrCreate\r\nPassword=xyz\r\n\r\n[WINDOW]\r\n"
         "Left=$10\r\nTitle=\"  padded  \""},
        {"new key in the last section, which has no line ending",
         [](TIniFile &ini) { ini.WriteInteger("Window", "Top", -5); },
         "; Tevora connection\r\n[Database]\r\nDriverId=FB\r\n  server = localhost  \r\n"
         "# kept as written\r\nOpenMode=OpenOrCreate\r\n\r\n[WINDOW]\r\nLeft=$10\r\n"
         "Title=\"  padded  \"\r\nTop=-5\r\n"},
        {"new section at the end",
         [](TIniFile &ini) { ini.WriteBool("Settings", "Visible", true); },
         kConfig + "\r\n\r\n[Settings]\r\nVisible=1\r\n"},
        {"delete a key", [](TIniFile &ini) { ini.DeleteKey("Database", "DRIVERID"); },
         "; Tevora connection\r\n[Database]\r\n  server = localhost  \r\n"
         "# kept as written\r\nOpenMode=OpenOrCreate\r\n\r\n[WINDOW]\r\nLeft=$10\r\n"
         "Title=\"  padded  \""},
        {"erase a section", [](TIniFile &ini) { ini.EraseSection("database"); },
         "; Tevora connection\r\n[WINDOW]\r\nLeft=$10\r\nTitle=\"  padded  \""},
        {"writing the same value changes nothing",
         [](TIniFile &ini) { ini.WriteString("Database", "DriverId", "FB"); }, kConfig},
    };
    for (const Case &c : cases) {
        TempFolder temp;
        const QString path = temp.file("Config.ini");
        writeAll(path, kConfig);
        TIniFile ini(path);
        c.write(ini);
        EXPECT_EQ(readAll(path), c.expected) << c.name;
    }
}

TEST(TIniFile, CreatesANewFileOnTheFirstWrite)
{
    TempFolder temp;
    const QString path = temp.file("new.ini");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("Database", "DriverId", "FB"), "FB");
    ini.DeleteKey("Database", "DriverId");
    ini.EraseSection("Database");
    EXPECT_FALSE(QFile::exists(path)) << "removing nothing must not create the file";
    ini.WriteString("Database", "DriverId", "FB");
    ini.WriteString("Database", "Server", "");
    ini.WriteString("Settings", "Language", "9");
    EXPECT_EQ(readAll(path),
              QByteArray("[Database]\nDriverId=FB\nServer=\n\n[Settings]\nLanguage=9\n"));
    EXPECT_TRUE(ini.ValueExists("Database", "Server"));
    EXPECT_EQ(ini.ReadString("Database", "Server", "x"), "");
}

TEST(TIniFile, SeesChangesThatAnotherWriterSaved)
{
    TempFolder temp;
    const QString path = temp.file("shared.ini");
    TIniFile first(path);
    TIniFile second(path);
    first.WriteString("Settings", "Language", "7");
    EXPECT_EQ(second.ReadInteger("Settings", "Language", 9), 7);
    second.WriteString("Settings", "Language", "16");
    first.WriteString("Settings", "Other", "x");
    EXPECT_EQ(readAll(path), QByteArray("[Settings]\nLanguage=16\nOther=x\n"));
}

TEST(TIniFile, KeepsTheFileEncoding)
{
    struct Case
    {
        const char *name;
        QByteArray before;
        QByteArray after;
    };
    const Case cases[] = {
        {"UTF-8 without mark", "[S]\nName=K\xC3\xB6ln\n",
         "[S]\nName=K\xC3\xB6ln\nNew=\xE2\x82\xAC\n"},
        {"UTF-8 with mark", "\xEF\xBB\xBF[S]\nName=x\n",
         "\xEF\xBB\xBF[S]\nName=x\nNew=\xE2\x82\xAC\n"},
        {"Windows-1252", "[S]\nName=K\xF6ln\x81\n", "[S]\nName=K\xF6ln\x81\nNew=\x80\n"},
        {"UTF-16 LE with mark", QByteArray("\xFF\xFE[\0S\0]\0\n\0", 10),
         QByteArray("\xFF\xFE[\0S\0]\0\n\0N\0e\0w\0=\0\xAC\x20\n\0", 22)},
    };
    for (const Case &c : cases) {
        TempFolder temp;
        const QString path = temp.file("enc.ini");
        writeAll(path, c.before);
        TIniFile ini(path);
        ini.WriteString("S", "New", QStringLiteral(u"\u20AC"));
        EXPECT_EQ(readAll(path), c.after) << c.name;
        EXPECT_EQ(ini.ReadString("S", "New", ""), QStringLiteral(u"\u20AC")) << c.name;
    }
    TempFolder temp;
    writeAll(temp.file("1252.ini"), "[S]\nName=K\xF6ln\n");
    EXPECT_EQ(TIniFile(temp.file("1252.ini")).ReadString("s", "name", ""),
              QStringLiteral(u"K\u00F6ln"));
}

TEST(TIniFile, RefusesWritesThatWouldBreakTheFile)
{
    TempFolder temp;
    const QString path = temp.file("a.ini");
    writeAll(path, kConfig);
    TIniFile ini(path);
    struct Case
    {
        const char *section, *ident, *value;
    };
    const Case cases[] = {
        {"", "Key", "v"},   {"A]B", "Key", "v"},        {"S\nX", "Key", "v"},
        {"S", "", "v"},     {"S", "A=B", "v"},          {"S", "[Key]", "v"},
        {"S", ";Key", "v"}, {"S", "Key", "two\nlines"}, {"S", "Key", "cr\r"},
    };
    for (const Case &c : cases)
        EXPECT_THROW(ini.WriteString(c.section, c.ident, c.value), tev::Error)
            << c.section << "/" << c.ident;
    EXPECT_EQ(readAll(path), kConfig);
}

TEST(TIniFile, AWriteThatCannotBeSavedRaisesAndChangesNothing)
{
    TempFolder temp;
    TIniFile missingFolder(temp.file("Config/Config.ini"));
    EXPECT_THROW(missingFolder.WriteString("Database", "DriverId", "FB"), tev::Error);
    EXPECT_FALSE(missingFolder.SectionExists("Database"));

    // A name that cannot be read is not overwritten by a write.
    QDir(temp.path()).mkdir("folder.ini");
    TIniFile folder(temp.file("folder.ini"));
    EXPECT_THROW(folder.WriteString("S", "A", "1"), tev::Error);
    EXPECT_TRUE(QFileInfo(temp.file("folder.ini")).isDir());

    if (geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind the superuser";
    const QString path = temp.file("locked.ini");
    writeAll(path, "[S]\nA=1\n");
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    QFile::setPermissions(temp.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    TIniFile ini(path);
    EXPECT_THROW(ini.WriteString("S", "A", "2"), tev::Error);
    EXPECT_EQ(ini.ReadString("S", "A", ""), "1");
    QFile::setPermissions(temp.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// A failed write leaves the old file whole, also where its folder takes no temporary file (a
// folder the user may not write, the file itself writable), and the error names the cause.
TEST(TIniFile, AFailedWriteNeverCutsTheOldFile)
{
    GTEST_FLAG_SET(death_test_style, "fast");
    QByteArray original = "[Database]\n";
    for (int i = 0; i < 5000; ++i)
        original += "Key" + QByteArray::number(i) + "=value " + QByteArray::number(i) + "\n";
    const rlim_t limit = 65536;
    ASSERT_GT(original.size(), qsizetype(limit));
    struct Case
    {
        const char *name;
        bool folderWritable;
        const char *reason;
    };
    const Case cases[] = {
        {"folder without room for a temporary file", false,
         "no temporary file can be created in its folder .*Config.* \\(Permission denied\\)"},
        {"full disk", true, "Config.ini\": File too large"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        const QString folder = temp.file("Config");
        const QString path = temp.file("Config/Config.ini");
        ASSERT_TRUE(QDir().mkpath(folder));
        writeAll(path, original);
        ASSERT_EQ(chmod(QFile::encodeName(temp.path()).constData(), 0755), 0);
        ASSERT_EQ(chown(QFile::encodeName(path).constData(), writerUid(), gid_t(-1)), 0);
        if (c.folderWritable)
            ASSERT_EQ(chown(QFile::encodeName(folder).constData(), writerUid(), gid_t(-1)), 0);
        else
            ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), geteuid() == 0 ? 0755 : 0555),
                      0);

        EXPECT_EXIT(writeWithinSizeLimit(path, limit), ::testing::ExitedWithCode(0), c.reason);

        ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0755), 0);
        EXPECT_EQ(readAll(path), original);
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System),
                  QStringList({"Config.ini"}))
            << "no temporary file is left behind";
    }
}

// A file without a byte-order mark is UTF-8 only when it is valid to its very end: one that
// ends inside a multi-byte sequence is Windows-1252, and a write keeps its bytes.
TEST(TIniFile, AFileCutInAMultiByteSequenceIsNotUtf8)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        QString value;
    };
    const Case cases[] = {
        {"lead byte of two at the end", "[Database]\nUser_Name=Andr\xE9", u"Andr\u00E9"_qs},
        {"two of three bytes at the end", "[Database]\nUser_Name=Andr\xE2\x82",
         u"Andr\u00E2\u201A"_qs},
        {"whole sequence at the end", "[Database]\nUser_Name=Andr\xC3\xA9", u"Andr\u00E9"_qs},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        const QString path = temp.file("Config.ini");
        writeAll(path, c.bytes);
        TIniFile ini(path);
        EXPECT_EQ(ini.ReadString("Database", "User_Name", ""), c.value);
        ini.WriteString("Database", "Server", "db");
        EXPECT_EQ(readAll(path), c.bytes + "\nServer=db\n");
    }
}

// Reading a FIFO would wait for a writer for ever: a name that is not a regular file reads as
// empty and is not written.
TEST(TIniFile, ANonRegularFileReadsAsEmptyAndIsNotWritten)
{
    TempFolder temp;
    const QString path = temp.file("fifo.ini");
    FifoGuard fifo(path);
    ASSERT_TRUE(fifo.made());
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "A", "default"), "default");
    EXPECT_FALSE(ini.SectionExists("S"));
    EXPECT_THROW(ini.WriteString("S", "A", "1"), tev::Error);
    const QFileInfo info(path);
    EXPECT_TRUE(info.exists() && !info.isFile()) << "the FIFO stays";
}

// A file always reads back as written: where Windows-1252 cannot hold a new character, or where
// its bytes would pass for UTF-8 after the write, the file becomes UTF-8.
TEST(TIniFile, AWindows1252FileBecomesUtf8WhereItWouldNotReadBack)
{
    struct Case
    {
        const char *name;
        QByteArray before;
        std::function<void(TIniFile &)> write;
        QByteArray after;
    };
    const Case cases[] = {
        {"a character beyond Windows-1252", "[S]\nCity=K\xF6ln\n",
         [](TIniFile &ini) { ini.WriteString("S", "Name", u"\u0141ukasz"_qs); },
         "[S]\nCity=K\xC3\xB6ln\nName=\xC5\x81ukasz\n"},
        {"what is left would pass for UTF-8", "[S]\nA=\xC3\xA9\nB=\xE9\n",
         [](TIniFile &ini) { ini.DeleteKey("S", "B"); }, "[S]\nA=\xC3\x83\xC2\xA9\n"},
        {"Windows-1252 holds it", "[S]\nCity=K\xF6ln\n",
         [](TIniFile &ini) { ini.WriteString("S", "Sign", u"\u20AC"_qs); },
         "[S]\nCity=K\xF6ln\nSign=\x80\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        const QString path = temp.file("Config.ini");
        writeAll(path, c.before);
        TIniFile ini(path);
        const QStringList before = ini.ReadSectionValues("S");
        c.write(ini);
        EXPECT_EQ(readAll(path), c.after);
        const TIniFile fresh(path);
        EXPECT_EQ(fresh.ReadSectionValues("S"), ini.ReadSectionValues("S"));
        EXPECT_TRUE(fresh.ReadSectionValues("S").contains(before.first()));
    }
}

// Names given with blanks around them find the names of the file, which are read trimmed: a
// write does not add a second section or key that no read would reach.
TEST(TIniFile, NamesMatchWithoutTheBlanksAroundThem)
{
    TempFolder temp;
    const QString path = temp.file("a.ini");
    writeAll(path, "[Database]\nServer=old\nUser=x\n");
    TIniFile ini(path);
    ini.WriteString(" Database ", "\tServer ", "new");
    EXPECT_EQ(readAll(path), QByteArray("[Database]\nServer=new\nUser=x\n"));
    EXPECT_EQ(ini.ReadString(" database", "server ", ""), "new");
    EXPECT_TRUE(ini.ValueExists("Database ", " User"));
    ini.DeleteKey("Database", " User ");
    ini.EraseSection(" Other ");
    EXPECT_EQ(readAll(path), QByteArray("[Database]\nServer=new\n"));
    ini.EraseSection(" DATABASE ");
    EXPECT_EQ(readAll(path), QByteArray());
}

TEST(TIniFile, ReadsIntegerAndBooleanText)
{
    TempFolder temp;
    const QString path = temp.file("n.ini");
    writeAll(path, "[N]\na=42\nb= -7 \nc=$1F\nd=0x10\ne=x\nf=12abc\ng=2147483648\nh=\ni=0\n");
    TIniFile ini(path);
    struct Case
    {
        const char *ident;
        int expected;
    };
    const Case cases[] = {{"a", 42}, {"b", -7}, {"c", 31}, {"d", 16}, {"e", 99},
                          {"f", 99}, {"g", 99}, {"h", 99}, {"i", 0},  {"missing", 99}};
    for (const Case &c : cases)
        EXPECT_EQ(ini.ReadInteger("N", c.ident, 99), c.expected) << c.ident;
    EXPECT_TRUE(ini.ReadBool("N", "a", false));
    EXPECT_FALSE(ini.ReadBool("N", "i", true));
    EXPECT_TRUE(ini.ReadBool("N", "e", true));
}

TEST(TIniFile, SavingKeepsPermissionsAndLinks)
{
    TempFolder temp;
    const QString target = temp.file("real.ini");
    writeAll(target, "[S]\nA=1\n");
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ReadGroup);
    ASSERT_TRUE(QFile::link(target, temp.file("link.ini")));
    TIniFile ini(temp.file("link.ini"));
    ini.WriteString("S", "A", "2");
    EXPECT_TRUE(QFileInfo(temp.file("link.ini")).isSymLink());
    EXPECT_EQ(readAll(target), QByteArray("[S]\nA=2\n"));
    const auto ownerGroupOthers = QFileDevice::Permissions(0x7077);
    EXPECT_EQ(QFile::permissions(target) & ownerGroupOthers,
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
}

TEST(TIniFile, TheFirstSectionAndKeyOfANameWin)
{
    TempFolder temp;
    const QString path = temp.file("dup.ini");
    writeAll(path, "Orphan=1\n[S]\nA=first\na=second\nplain line\n[s]\nA=third\nB=4\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "A", ""), "first");
    EXPECT_FALSE(ini.ValueExists("S", "B")) << "only the first section of a name is read";
    EXPECT_FALSE(ini.ValueExists("", "Orphan")) << "keys before any section belong to none";
    EXPECT_EQ(ini.ReadSections(), QStringList({"S"}));
    EXPECT_EQ(ini.ReadSection("S"), QStringList({"A", "a"}));
    ini.DeleteKey("S", "A");
    EXPECT_EQ(readAll(path), QByteArray("Orphan=1\n[S]\nplain line\n[s]\nA=third\nB=4\n"));
    ini.EraseSection("s");
    EXPECT_EQ(readAll(path), QByteArray("Orphan=1\n"));
}
