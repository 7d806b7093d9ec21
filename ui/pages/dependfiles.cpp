#include "ui/pages/dependfiles.h"

#include "core/project/dependencyfiles.h"
#include "platform/file/regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tev {

namespace {

bool SameContents(const QString &a, const QString &b)
{
    // Only regular files are compared: a FIFO would stall the reader.
    QFile fa;
    QFile fb;
    if (!OpenRegularFile(fa, a).isEmpty() || !OpenRegularFile(fb, b).isEmpty())
        return false;
    if (fa.size() != fb.size())
        return false;
    while (!fa.atEnd()) {
        if (fa.read(1 << 16) != fb.read(1 << 16))
            return false;
    }
    return true;
}

} // namespace

QString InvalidFileNameMessage()
{
    return QStringLiteral("Invalid file name.\r\rFilename must comply with DOS 8.3 convention.");
}

TProjectFile TakeIntoProjectFolder(const QString &Picked, const QString &ProjectDir,
                                   const QString &Root)
{
    TProjectFile result;
    const QFileInfo picked(Picked);
    result.BareName = picked.fileName();
    if (ProjectDir.isEmpty() || !QFileInfo(ProjectDir).isDir()) {
        result.Message =
            QStringLiteral("The project has no folder to take \"%1\" into.").arg(result.BareName);
        return result;
    }
    const QString target = QDir(ProjectDir).filePath(result.BareName);
    const QFileInfo targetInfo(target);
    if (targetInfo.exists()) {
        if (targetInfo.canonicalFilePath() == picked.canonicalFilePath() ||
            SameContents(Picked, target)) {
            result.Ok = true;
            return result;
        }
        result.Message = QStringLiteral("The project folder already holds a different file "
                                        "named \"%1\".\r\rRename the file you picked, or pick "
                                        "the one in the project folder.")
                             .arg(result.BareName);
        return result;
    }
    if (const QString reason = CopyFileSafely(Picked, target, Root); !reason.isEmpty()) {
        result.Message = QStringLiteral("\"%1\" could not be copied into the project folder: %2.")
                             .arg(result.BareName, reason);
        return result;
    }
    result.Ok = true;
    return result;
}

bool IsBareFileName(const QString &Name)
{
    return !Name.isEmpty() && !Name.contains(QLatin1Char('/')) &&
           !Name.contains(QLatin1Char('\\')) && Name != QLatin1String(".") &&
           Name != QLatin1String("..");
}

} // namespace tev
