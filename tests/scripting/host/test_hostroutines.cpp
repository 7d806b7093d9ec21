// The script host's seven global routines, called from scripts.
#include "scripting/host/hostroutines.h"
#include "scripting/host/tvyxscripter.h"

#include "support/tempfolder.h"

#include "platform/text/qstringprinter.h"
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <gtest/gtest.h>

using namespace tev;
using tev::test::TempFolder;

namespace {

struct Host
{
    QObject owner;
    TvyxScripter *scripter = new TvyxScripter(&owner);
    QString output;
    Host()
    {
        scripter->OnOutput = [this](const QString &t) { output += t; };
    }
    QString run(const QString &body)
    {
        output.clear();
        scripter->SetSourceText(QStringLiteral("begin\n") + body + QStringLiteral("\nend.\n"));
        scripter->Execute();
        return output;
    }
};

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(HostRoutines, StringReplaceReplacesWholePatterns)
{
    const struct
    {
        const char *s, *from, *to;
        int flags;
        const char *expected;
    } cases[] = {
        {"a-b-c", "-", "+", 1, "a+b+c"}, {"a-b-c", "-", "+", 0, "a+b-c"},
        {"abc", "bc", "x", 1, "ax"},     {"aBcbc", "bc", "x", 2, "axbc"},
        {"aBcbc", "bc", "x", 3, "axx"},  {"aBcbc", "bc", "x", 1, "aBcx"},
        {"abc", "", "x", 1, "abc"},      {"abc", "z", "x", 1, "abc"},
        {"aaa", "a", "aa", 1, "aaaaaa"}, {"abcabc", "abc", "", 5, "abc"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(scripting::HostStringReplace(QLatin1String(c.s), QLatin1String(c.from),
                                               QLatin1String(c.to), c.flags),
                  QLatin1String(c.expected))
            << c.s << " " << c.from << " " << c.flags;
    Host h;
    EXPECT_EQ(h.run(QStringLiteral(
                  "WriteLn(StringReplace('a-b-c', '-', '+', 1), ' ',\n"
                  "  StringReplace('a-b-c', '-', '+', 0), ' ',\n"
                  "  StringReplace('abc', 'bc', 'x', 1), ' ',\n"
                  "  StringReplace('A-a', 'a', 'o', [rfReplaceAll, rfIgnoreCase]), ' ',\n"
                  "  SysUtils.StringReplace('a-b-c', '-', '+', [rfReplaceAll]));")),
              QStringLiteral("a+b+c a+b-c ax o-o a+b+c\n"));
}

// An integer pattern is the one character whose code is the value's low 8 bits; a text pattern
// stays a text, digits too.
TEST(HostRoutines, StringReplaceTakesAnIntegerPatternAsTheCharacterOfItsLow8Bits)
{
    const struct
    {
        const char *call, *expected;
    } cases[] = {
        {"StringReplace('a-b-c', 45, '+', 1)", "a+b+c"},
        {"StringReplace('a-b-c', 45, 43, 0)", "a+b-c"},
        {"StringReplace('a-b-c', 301, '+', 1)", "a+b+c"},
        {"StringReplace('a-b-c', -211, '+', 1)", "a+b+c"},
        {"StringReplace('AaA', 65, 66, 3)", "BBB"},
        {"StringReplace('x45y-', 45, '', 1)", "x45y"},
        {"StringReplace('x45y-', '45', '', 1)", "xy-"},
        {"StringReplace('x45y-', 45.0, '', 1)", "xy-"},
        {"Length(StringReplace('a,b', 44, 256, 1)) * 1000 + Ord(StringReplace('a,b', 44, 256, "
         "1)[2])",
         "3000"},
    };
    Host h;
    for (const auto &c : cases)
        EXPECT_EQ(h.run(QStringLiteral("WriteLn(%1);").arg(QLatin1String(c.call))),
                  QString::fromLatin1(c.expected) + QLatin1Char('\n'))
            << c.call;
}

TEST(HostRoutines, RenameFileNeverReplacesAnExistingFile)
{
    TempFolder dir;
    const QString a = dir.file(QStringLiteral("a.txt")), b = dir.file(QStringLiteral("b.txt"));
    write(a, "first");
    write(b, "second");
    Host h;
    h.scripter->AddConstant(QStringLiteral("Dir"), script::Value(dir.path() + QLatin1Char('/')));
    EXPECT_EQ(h.run(QStringLiteral("WriteLn(RenameFile(Dir + 'a.txt', Dir + 'b.txt'));")),
              QStringLiteral("FALSE\n"));
    EXPECT_EQ(read(a), QByteArray("first"));
    EXPECT_EQ(read(b), QByteArray("second"));
    EXPECT_EQ(h.run(QStringLiteral("WriteLn(RenameFile(Dir + 'a.txt', Dir + "
                                   "'sub/c.txt'), ' ', RenameFile(Dir + 'a.txt', "
                                   "Dir + 'c.txt'));")),
              QStringLiteral("FALSE TRUE\n"));
    EXPECT_EQ(read(dir.file(QStringLiteral("c.txt"))), QByteArray("first"));
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_FALSE(scripting::RenameFileNoReplace(a, dir.file(QStringLiteral("d.txt"))));
}

TEST(HostRoutines, FileExistsFollowsLinksAndDeleteFileReportsNothing)
{
    TempFolder dir;
    const QString file = dir.file(QStringLiteral("f.txt"));
    write(file, "x");
    QFile::link(file, dir.file(QStringLiteral("link.txt")));
    QFile::link(dir.file(QStringLiteral("gone.txt")), dir.file(QStringLiteral("dangling.txt")));
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    Host h;
    h.scripter->AddConstant(QStringLiteral("Dir"), script::Value(dir.path() + QLatin1Char('/')));
    EXPECT_EQ(h.run(QStringLiteral(
                  "WriteLn(FileExists(Dir + 'f.txt'), ' ', FileExists(Dir + 'link.txt'),"
                  " ' ', FileExists(Dir + 'dangling.txt'), ' ', FileExists(Dir + 'sub'));\n"
                  "DeleteFile(Dir + 'f.txt');\nDeleteFile(Dir + 'never.txt');\n"
                  "WriteLn(FileExists(Dir + 'f.txt'));")),
              QStringLiteral("TRUE TRUE FALSE FALSE\nFALSE\n"));
}

TEST(HostRoutines, FinalizeLeavesTheVariableAlone)
{
    Host h;
    h.scripter->SetSourceText(QStringLiteral("var S: string;\nbegin\n  S := 'kept';\n"
                                             "  Finalize(S);\n  WriteLn(S);\nend.\n"));
    h.scripter->Execute();
    EXPECT_EQ(h.output, QStringLiteral("kept\n"));
}

TEST(HostRoutines, FindComponentSearchesTheOwnersComponents)
{
    Host h;
    auto *menu = new QObject(&h.owner);
    menu->setObjectName(QStringLiteral("MITools"));
    auto *item = new QObject(menu);
    item->setObjectName(QStringLiteral("MIScript1"));
    EXPECT_EQ(h.run(QStringLiteral("WriteLn(TComponent(FindComponent('miscript1')).Name, ' ',"
                                   " FindComponent('Nothing') = nil);")),
              QStringLiteral("MIScript1 TRUE\n"));
}

TEST(HostRoutines, CopyToClipboardPutsPlainText)
{
    Host h;
    h.run(QStringLiteral("CopyToClipboard('Prüfbericht 7');"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Prüfbericht 7"));
}

} // namespace
