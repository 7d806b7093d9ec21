#include "core/shell/shellexec.h"
#include "desktopfixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

#include <unistd.h>

namespace tev {
namespace {

// The started program runs detached; wait for its trace.
QString WaitForFile(const QString &path)
{
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QString text = QString::fromUtf8(file.readAll()).trimmed();
            if (!text.isEmpty())
                return text;
        }
        QThread::msleep(20);
    }
    return QString();
}

QString MakeScript(const test::TempFolder &folder, const QString &name)
{
    // Writes its working folder and its arguments next to itself.
    const QString path = folder.file(name);
    test::DesktopFixture::Write(path, "#!/bin/sh\necho \"$(pwd) $*\" > \"$0.out\"\n");
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    return path;
}

TEST(ShellExec, RunsProgramWithParametersInFolder)
{
    test::TempFolder dir;
    const QString script = MakeScript(dir, "prog.sh");
    QDir().mkpath(dir.file("work"));
    const QString work = QDir(dir.file("work")).canonicalPath();
    const int result = ShellExec(0, "open", script, "one \"two three\"", work, 1);
    EXPECT_GT(result, 32);
    EXPECT_EQ(WaitForFile(script + ".out").toStdString(), (work + " one two three").toStdString());
}

TEST(ShellExec, FindsRelativeProgramInDirectory)
{
    test::TempFolder dir;
    const QString script = MakeScript(dir, "rel.sh");
    EXPECT_GT(ShellExec(0, "", "rel.sh", "x", dir.path(), 1), 32);
    EXPECT_TRUE(WaitForFile(script + ".out").endsWith(" x"));
}

TEST(ShellExec, OpensDocumentWithDefaultApplication)
{
    test::DesktopFixture desktop;
    desktop.AddApplication("tevtext", {"text/plain"});
    const QString document = desktop.Folder().file("note.txt");
    desktop.Write(document, "hello\n");
    EXPECT_GT(ShellExec(0, "OPEN", document, "", "", 1), 32);
    EXPECT_EQ(WaitForFile(desktop.RanMarker()).toStdString(), document.toStdString());
}

TEST(ShellExec, ErrorsKeepShellNumbers)
{
    test::DesktopFixture desktop;
    desktop.AddApplication("tevtext", {"text/plain"});
    const test::TempFolder &dir = desktop.Folder();
    desktop.Write(dir.file("doc.txt"), "hello\n");
    desktop.Write(dir.file("doc.tevoraunknownext"), QByteArray("\x01\x02\x03\x04", 4));
    // Programs the system cannot start: an interpreter that is missing, an ELF file cut short.
    desktop.Write(dir.file("nointerpreter"), "#!/tevora/no/such/interpreter\n");
    desktop.Write(dir.file("brokenelf"), QByteArray::fromHex("7f454c460201")); // "\x7F" "ELF" ...
    for (const char *name : {"nointerpreter", "brokenelf"})
        QFile::setPermissions(dir.file(name),
                              QFile::permissions(dir.file(name)) | QFileDevice::ExeOwner);
    struct Case
    {
        const char *name;
        QString verb, file, directory;
        int expected;
    };
    const Case cases[] = {
        {"empty file name", "open", "", "", kShellErrFileNotFound},
        {"missing file", "open", dir.file("missing.txt"), "", kShellErrFileNotFound},
        {"missing folder", "open", dir.file("nofolder/missing.txt"), "", kShellErrPathNotFound},
        {"missing working folder", "open", dir.file("doc.txt"), dir.file("nofolder"),
         kShellErrPathNotFound},
        {"missing bare program", "open", "tevora-no-such-program", "", kShellErrFileNotFound},
        {"script whose interpreter is missing", "open", dir.file("nointerpreter"), "",
         kShellErrBadFormat},
        {"ELF file the system cannot load", "open", dir.file("brokenelf"), "", kShellErrBadFormat},
        {"other verb on a program", "edit", dir.file("nointerpreter"), "", kShellErrNoAssociation},
        {"document without association", "open", dir.file("doc.tevoraunknownext"), "",
         kShellErrNoAssociation},
        {"verb Linux does not know", "print", dir.file("doc.txt"), "", kShellErrNoAssociation},
        {"explore on a document", "explore", dir.file("doc.txt"), "", kShellErrNoAssociation},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ShellExec(0, c.verb, c.file, "", c.directory, 1), c.expected);
    }
    EXPECT_FALSE(QFile::exists(desktop.RanMarker()));
}

// Files on Windows shares and removable drives commonly all carry the executable bit: a file
// runs as a program only when it is one, everything else opens through its association.
TEST(ShellExec, DocumentsWithTheExecutableBitOpenThroughTheirAssociation)
{
    test::DesktopFixture desktop;
    desktop.AddApplication("tevviewer", {"text/plain", "application/pdf"});
    const test::TempFolder &dir = desktop.Folder();
    struct Case
    {
        const char *name;
        QByteArray content;
        const char *verb;
    };
    const Case cases[] = {
        {"notes.txt", "hello\n", "open"},
        {"notes.txt", "hello\n", "edit"},
        {"report.pdf", "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<<>>\nendobj\n", "open"},
        {"measurements", "plain text without a name that says so\n", "open"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.verb);
        const QString document = dir.file(c.name);
        desktop.Write(document, c.content);
        QFile::setPermissions(document, QFile::permissions(document) | QFileDevice::ExeOwner |
                                            QFileDevice::ExeGroup | QFileDevice::ExeOther);
        QFile::remove(desktop.RanMarker());
        EXPECT_EQ(ShellExec(0, c.verb, document, "", "", 1), kShellExecStarted);
        EXPECT_EQ(WaitForFile(desktop.RanMarker()).toStdString(), document.toStdString());
    }
}

// A real program still runs: an ELF binary (a copy of touch) and a "#!" script, whatever their
// names say.
TEST(ShellExec, ProgramsWithTheExecutableBitStillRun)
{
    test::DesktopFixture desktop;
    desktop.AddApplication("tevviewer", {"text/plain"});
    const test::TempFolder &dir = desktop.Folder();
    const QString touch = QStandardPaths::findExecutable("touch");
    ASSERT_FALSE(touch.isEmpty());
    ASSERT_TRUE(QFile::copy(touch, dir.file("tool")));
    EXPECT_EQ(ShellExec(0, "open", dir.file("tool"), "made-by-tool", dir.path(), 1),
              kShellExecStarted);
    const QString script = MakeScript(dir, "script.txt");
    EXPECT_EQ(ShellExec(0, "open", script, "ran", dir.path(), 1), kShellExecStarted);
    EXPECT_TRUE(WaitForFile(script + ".out").endsWith(" ran"));
    QDeadlineTimer deadline(10000);
    while (!QFile::exists(dir.file("made-by-tool")) && !deadline.hasExpired())
        QThread::msleep(20);
    EXPECT_TRUE(QFile::exists(dir.file("made-by-tool")));
    EXPECT_FALSE(QFile::exists(desktop.RanMarker())) << "no program went to the viewer";
}

TEST(ShellExec, UnreadableDocumentIsAccessDenied)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    test::DesktopFixture desktop;
    desktop.AddApplication("tevtext", {"text/plain"});
    const QString document = desktop.Folder().file("secret.txt");
    desktop.Write(document, "hidden\n");
    QFile::setPermissions(document, QFileDevice::WriteOwner);
    EXPECT_EQ(ShellExec(0, "open", document, "", "", 1), kShellErrAccessDenied);
}

} // namespace
} // namespace tev
