#include "core/shell/shellexec.h"
#include "desktopfixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
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
    desktop.Write(dir.file("notelf"), "not a program");
    QFile::setPermissions(dir.file("notelf"),
                          QFile::permissions(dir.file("notelf")) | QFileDevice::ExeOwner);
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
        {"executable of no known format", "open", dir.file("notelf"), "", kShellErrBadFormat},
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
