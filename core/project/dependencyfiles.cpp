#include "core/project/dependencyfiles.h"

#include "core/lib/paths.h"
#include "platform/file/regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

namespace tev {

namespace {

// Copies are read and written in pieces of this size, so a large picture costs no more memory.
constexpr qint64 CopyChunk = 1 << 20;

// The rename of a finished copy is on disk only once its folder is: the target is often a
// removable drive that is pulled right after the copy.
void SyncFolder(const QString &Folder)
{
    const int fd = ::open(QFile::encodeName(Folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The path of the file an open descriptor reads, as the system names it; empty when unknown.
QString PathOfDescriptor(int fd)
{
    char path[4096];
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t n = ::readlink(link.constData(), path, sizeof path);
    if (n <= 0 || size_t(n) >= sizeof path)
        return {};
    return QFile::decodeName(QByteArray(path, n));
}

// Opens Source as CopyFileSafely describes; the empty text when it is open, else the reason.
QString OpenCopySource(QFile &Source, const QString &SourceName, const QString &Root)
{
    const QFileInfo info(SourceName);
    if (!info.isSymLink())
        return OpenRegularFile(Source, SourceName, FinalLink::Refuse);
    const QString outside = QStringLiteral("it is a link to a file outside the sequence folder");
    const QString target = info.canonicalFilePath();
    const QString root = QFileInfo(Root).canonicalFilePath();
    if (target.isEmpty())
        return QStringLiteral("it is a link to a file that does not exist");
    if (root.isEmpty() || !target.startsWith(AddBackSlash(root)))
        return outside;
    if (const QString reason = OpenRegularFile(Source, target, FinalLink::Refuse);
        !reason.isEmpty())
        return reason;
    // A folder on the way may have been swapped for a link since the target was resolved.
    if (PathOfDescriptor(Source.handle()) != target) {
        Source.close();
        return outside;
    }
    return {};
}

} // namespace

bool IsPlainFileName(const QString &Name)
{
    return !Name.isEmpty() && Name != QLatin1String(".") && Name != QLatin1String("..") &&
           !Name.contains(QLatin1Char('/')) && !Name.contains(QLatin1Char('\\'));
}

bool IsNameBelowRoot(const QString &RelativeName)
{
    if (RelativeName.isEmpty() || RelativeName.startsWith(QLatin1Char('/')) ||
        RelativeName.contains(QLatin1Char('\\')))
        return false;
    for (const QString &part : RelativeName.split(QLatin1Char('/'))) {
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    }
    return true;
}

QString FindFileInFolder(const QString &Folder, const QString &Name)
{
    if (!IsPlainFileName(Name))
        return {};
    const QDir dir(Folder);
    const QString exact = dir.filePath(Name);
    if (QFileInfo(exact).isFile())
        return exact;
    QString found;
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (entry.compare(Name, Qt::CaseInsensitive) != 0)
            continue;
        if (!found.isEmpty())
            return {};
        found = dir.filePath(entry);
    }
    return found;
}

bool IsSameFile(const QString &A, const QString &B)
{
    const QString a = QFileInfo(A).canonicalFilePath();
    return !a.isEmpty() && a == QFileInfo(B).canonicalFilePath();
}

QString CopyFileSafely(const QString &Source, const QString &Target, const QString &Root)
{
    // Only a regular file: a FIFO would stall the copy and a device never end it.
    QFile source;
    if (const QString reason = OpenCopySource(source, Source, Root); !reason.isEmpty())
        return reason;
    const QDateTime modified = source.fileTime(QFileDevice::FileModificationTime);
    QSaveFile target(Target);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return target.errorString();
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(CopyChunk);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            return source.errorString();
        for (qsizetype done = 0; done < chunk.size();) {
            const qint64 n = target.write(chunk.constData() + done, chunk.size() - done);
            if (n <= 0)
                return target.errorString();
            done += n;
        }
    }
    if (modified.isValid())
        target.setFileTime(modified, QFileDevice::FileModificationTime);
    if (::fsync(target.handle()) != 0)
        return QStringLiteral("the copy could not be flushed to disk");
    if (!target.commit())
        return target.errorString();
    SyncFolder(QFileInfo(Target).absolutePath());
    return {};
}

bool IsShortFileName(const QString &Name)
{
    if (Name.count(QLatin1Char('.')) > 1)
        return false;
    for (const QChar c : Name) {
        if (c == QLatin1Char(' ') || QStringLiteral("+,;=[]").contains(c))
            return false;
    }
    const qsizetype dot = Name.indexOf(QLatin1Char('.'));
    const qsizetype base = dot < 0 ? Name.size() : dot;
    const qsizetype ext = dot < 0 ? 0 : Name.size() - dot - 1;
    return base >= 1 && base <= 8 && ext <= 3;
}

} // namespace tev
