#include "core/shell/shellexec.h"

#include "core/shell/desktopassociations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace tev {

namespace {

bool IsUrl(const QString &name)
{
    // A scheme of two or more characters: "http://...", "mailto:...", "file:///...".
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(name).hasMatch();
}

// Starts xdg-open on `target` without waiting for the application it runs.
int OpenWithDesktop(const QString &target)
{
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty() || !QProcess::startDetached(xdgOpen, {target}))
        return kShellErrNoAssociation;
    return kShellExecStarted;
}

// The file FileName names, or the empty text when there is none.
QString ResolveFile(const QString &fileName, const QString &directory)
{
    const QFileInfo given(fileName);
    if (given.isAbsolute())
        return given.exists() ? given.absoluteFilePath() : QString();
    if (!directory.isEmpty()) {
        const QFileInfo inDirectory(QDir(directory), fileName);
        if (inDirectory.exists())
            return inDirectory.absoluteFilePath();
    }
    if (given.exists())
        return given.absoluteFilePath();
    if (!fileName.contains(QLatin1Char('/')))
        return QStandardPaths::findExecutable(fileName);
    return QString();
}

// A missing file whose folder exists is "file not found", otherwise "path not found".
int NotFoundResult(const QString &fileName, const QString &directory)
{
    const QFileInfo given(fileName);
    const QDir base(directory.isEmpty() ? QDir::currentPath() : directory);
    const QString folder = given.isAbsolute() ? given.path() : base.filePath(given.path());
    return QFileInfo(folder).isDir() ? kShellErrFileNotFound : kShellErrPathNotFound;
}

// A file runs as a program only when it is one: an ELF binary or a script with a "#!" line.
// Anything else opens through the desktop's association even with the executable bit, which
// every file carries on many Windows shares and removable drives.
bool IsProgram(const QFileInfo &info)
{
    if (!info.isFile() || !info.isExecutable())
        return false;
    QFile file(info.absoluteFilePath());
    // A program that may be run but not read is left to the system to start.
    if (!file.open(QIODevice::ReadOnly))
        return true;
    constexpr char elfMagic[] = {0x7F, 'E', 'L', 'F'};
    const QByteArray head = file.read(sizeof elfMagic);
    return head.startsWith(QByteArrayView(elfMagic, sizeof elfMagic)) || head.startsWith("#!");
}

int RunProgram(const QString &program, const QString &parameters, const QString &directory)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(QProcess::splitCommand(parameters));
    if (!directory.isEmpty())
        process.setWorkingDirectory(directory);
    return process.startDetached() ? kShellExecStarted : kShellErrBadFormat;
}

int OpenDocument(const QString &path)
{
    if (!QFileInfo(path).isReadable())
        return kShellErrAccessDenied;
    // The type by content and by name, as xdg-open sees it; the first with a default
    // application decides that there is an association at all.
    QStringList types{QMimeDatabase().mimeTypeForFile(path).name()};
    types << MimeTypesForFileName(QFileInfo(path).fileName());
    types.removeDuplicates();
    if (AssociatedProgramForMimeTypes(types).isEmpty())
        return kShellErrNoAssociation;
    return OpenWithDesktop(path);
}

} // namespace

int ShellExec(qintptr HWnd, const QString &Operation, const QString &FileName,
              const QString &Parameters, const QString &Directory, int ShowCmd)
{
    Q_UNUSED(HWnd)
    Q_UNUSED(ShowCmd)
    const QString verb = Operation.isEmpty() ? QStringLiteral("open") : Operation.toLower();
    if (FileName.isEmpty())
        return kShellErrFileNotFound;
    if (!Directory.isEmpty() && !QFileInfo(Directory).isDir())
        return kShellErrPathNotFound;
    if (IsUrl(FileName))
        return verb == QLatin1String("open") ? OpenWithDesktop(FileName) : kShellErrNoAssociation;

    const QString path = ResolveFile(FileName, Directory);
    if (path.isEmpty())
        return NotFoundResult(FileName, Directory);

    const QFileInfo info(path);
    if (info.isDir())
        return verb == QLatin1String("open") || verb == QLatin1String("explore")
                   ? OpenWithDesktop(path)
                   : kShellErrNoAssociation;
    if (IsProgram(info))
        return verb == QLatin1String("open") ? RunProgram(path, Parameters, Directory)
                                             : kShellErrNoAssociation;
    if (verb == QLatin1String("open") || verb == QLatin1String("edit"))
        return OpenDocument(path);
    return kShellErrNoAssociation;
}

} // namespace tev
