// Script files as the host reads them: refused when another user could change them, decoded as
// UTF-8 or Windows-1252, units found only in absolute folders of the search path.
#include "scripting/host/scriptfiles.h"
#include "scripting/host/tvyxscripter.h"

#include "platform/error.h"
#include "platform/script/scripterror.h"
#include "support/fifoguard.h"
#include "support/tempfolder.h"

#include "platform/text/qstringprinter.h"
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tev;
using tev::test::TempFolder;

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void chmodTo(const QString &path, mode_t mode)
{
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

// A folder of the script's own, not writable by others.
struct ScriptFolder
{
    TempFolder temp;
    QString dir = temp.file(QStringLiteral("script"));
    ScriptFolder()
    {
        QDir().mkpath(dir);
        chmodTo(temp.path(), 0700);
        chmodTo(dir, 0755);
    }
    QString file(const QString &name) const { return QDir(dir).filePath(name); }
};

TEST(ScriptFiles, AFileOrFolderOthersCanChangeIsRefused)
{
    ScriptFolder f;
    const QString script = f.file(QStringLiteral("TevMain.pas"));
    write(script, "begin end.");
    chmodTo(script, 0644);
    EXPECT_EQ(scripting::ScriptFileDistrust(script), QString());

    const struct
    {
        mode_t file, folder;
        bool refused;
    } cases[] = {
        {0664, 0755, true},   // group may write the file
        {0646, 0755, true},   // anyone may write the file
        {0644, 0775, true},   // group may replace the file
        {0644, 0777, true},   // anyone may replace the file
        {0644, 01777, false}, // a sticky folder: others cannot replace our file
        {0600, 0700, false},
    };
    for (const auto &c : cases) {
        chmodTo(script, c.file);
        chmodTo(f.dir, c.folder);
        EXPECT_EQ(!scripting::ScriptFileDistrust(script).isEmpty(), c.refused)
            << std::oct << c.file << " " << c.folder;
    }
    chmodTo(f.dir, 0755);
    chmodTo(script, 0664);
    QObject owner;
    TvyxScripter host(&owner);
    try {
        host.LoadScriptFile(script);
        FAIL() << "not refused";
    } catch (const Error &e) {
        EXPECT_NE(e.message().indexOf(QStringLiteral("TevMain.pas")), -1);
        EXPECT_NE(e.message().indexOf(QStringLiteral("can be changed by other users")), -1);
    }
    EXPECT_TRUE(host.SourceCode().isEmpty());
}

TEST(ScriptFiles, AFileOfAnotherUserIsRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file away needs root";
    ScriptFolder f;
    const QString script = f.file(QStringLiteral("TevMain.pas"));
    write(script, "begin end.");
    ASSERT_EQ(::chown(QFile::encodeName(script).constData(), 65534, 65534), 0);
    EXPECT_NE(scripting::ScriptFileDistrust(script).indexOf(QStringLiteral("another user")), -1);
}

// A FIFO in the script's place would stall the program for ever: it is refused, not waited on.
TEST(ScriptFiles, AFifoIsRefusedWithoutWaiting)
{
    ScriptFolder f;
    const QString script = f.file(QStringLiteral("TevMain.pas"));
    test::FifoGuard fifo(script);
    ASSERT_TRUE(fifo.made());
    QObject owner;
    TvyxScripter host(&owner);
    try {
        host.LoadScriptFile(script);
        FAIL() << "not refused";
    } catch (const Error &e) {
        EXPECT_NE(e.message().indexOf(QStringLiteral("it is a pipe (FIFO), not a regular file")),
                  -1)
            << e.message().toStdString();
    }
    EXPECT_TRUE(host.SourceCode().isEmpty());
}

TEST(ScriptFiles, TextIsUtf8WhenValidElseWindows1252)
{
    const struct
    {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {QByteArray("WriteLn('\xC3\xA4\xE2\x82\xAC');"), QStringLiteral("WriteLn('ä€');")},
        {QByteArray("\xEF\xBB\xBFWriteLn('\xC3\xA4');"), QStringLiteral("WriteLn('ä');")},
        {QByteArray("WriteLn('\xE4\x80');"), QStringLiteral("WriteLn('ä€');")},
        {QByteArray("\xFF\xFEW\0r\0", 6), QStringLiteral("Wr")},
        {QByteArray(), QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(scripting::DecodeScriptText(c.bytes), c.text) << c.bytes.toHex().constData();
}

TEST(ScriptFiles, TheScriptAndItsUnitsLoadFromTheSearchPath)
{
    ScriptFolder f;
    write(f.file(QStringLiteral("TevMain.pas")),
          "uses Helpers;\nprocedure FormCreate;\nbegin\n  WriteLn(Greeting('M\xFC"
          "ller'));\nend;\n");
    write(f.file(QStringLiteral("helpers.pas")),
          "unit Helpers;\ninterface\nfunction Greeting(S: string): string;\nimplementation\n"
          "function Greeting(S: string): string;\nbegin\n  Result := 'Hallo ' + S;\nend;\nend.\n");
    QObject owner;
    TvyxScripter host(&owner);
    QString output;
    host.OnOutput = [&](const QString &t) { output += t; };
    EXPECT_THROW(host.AddSearchPath(QStringLiteral("script")), Error);
    host.AddSearchPath(f.dir);
    host.LoadScriptFile(f.file(QStringLiteral("TevMain.pas")));
    EXPECT_EQ(host.ScriptFileName(), f.file(QStringLiteral("TevMain.pas")));
    host.ExecuteMethod(QStringLiteral("FormCreate"));
    EXPECT_EQ(output, QStringLiteral("Hallo Müller\n"));

    // A unit others can change is refused where the script uses it.
    chmodTo(f.file(QStringLiteral("helpers.pas")), 0666);
    QStringList reports;
    host.OnCompileError = [&](const script::CompileError &e) {
        reports << host.CompileErrorText(e);
    };
    host.LoadScriptFile(f.file(QStringLiteral("TevMain.pas")));
    EXPECT_THROW(host.ExistsScriptRoutine(QStringLiteral("FormCreate")), script::CompileError);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].startsWith(f.file(QStringLiteral("TevMain.pas")) +
                                      QStringLiteral("(1,6): The script helpers.pas is not run")))
        << reports[0].toStdString();
}

TEST(ScriptFiles, AUnitsCompileErrorNamesTheUnitsFile)
{
    ScriptFolder f;
    write(f.file(QStringLiteral("TevMain.pas")), "uses Broken;\nbegin\nend.\n");
    write(f.file(QStringLiteral("Broken.pas")),
          "unit Broken;\ninterface\nimplementation\nprocedure P;\nbegin\n  P(;\nend;\nend.\n");
    QObject owner;
    TvyxScripter host(&owner);
    host.AddSearchPath(f.dir);
    QStringList reports;
    host.OnCompileError = [&](const script::CompileError &e) {
        reports << host.CompileErrorText(e);
    };
    host.LoadScriptFile(f.file(QStringLiteral("TevMain.pas")));
    EXPECT_THROW(host.ExistsScriptRoutine(QStringLiteral("FormCreate")), script::CompileError);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].startsWith(f.file(QStringLiteral("Broken.pas")) + QStringLiteral("(6,")))
        << reports[0].toStdString();
}

} // namespace
