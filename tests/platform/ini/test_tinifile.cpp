#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/ini/tinifile.h"
#include "support/tempfolder.h"

using tev::TIniFile;
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
