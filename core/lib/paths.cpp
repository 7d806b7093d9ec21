#include "core/lib/paths.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>
#include <fcntl.h>
#include <unistd.h>

namespace tev {

namespace {

// The nine characters that a Windows file name may not hold.
constexpr QStringView kForbiddenFileNameChars = u"\"*/:<>?\\|";

// File systems whose files live on another machine.
bool isNetworkFileSystem(const QByteArray &type)
{
    static const QByteArrayList types = {
        "nfs",    "nfs4",  "cifs",        "smb3",       "smbfs",       "smb2",
        "ncpfs",  "afs",   "coda",        "ceph",       "glusterfs",   "fuse.glusterfs",
        "lustre", "davfs", "fuse.davfs2", "fuse.sshfs", "fuse.rclone", "fuse.s3fs"};
    return types.contains(type.toLower());
}

// An anchored, case-insensitive expression for a Windows wildcard ("*" any run, "?" any one
// character, everything else literal).
QRegularExpression wildcardExpression(QString pattern)
{
    if (pattern == u"*.*")
        pattern = QStringLiteral("*");
    QString expression;
    for (const QChar c : pattern) {
        if (c == u'*')
            expression += QStringLiteral(".*");
        else if (c == u'?')
            expression += u'.';
        else
            expression += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(expression),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::DotMatchesEverythingOption);
}

} // namespace

QString AddBackSlash(const QString &AFileName)
{
    if (AFileName.isEmpty() || AFileName.endsWith(PathDelim))
        return AFileName;
    return AFileName + PathDelim;
}

QString AddSlash(const QString &AFileName)
{
    if (AFileName.isEmpty())
        return AFileName;
    qsizetype end = AFileName.size();
    while (end > 0 && AFileName[end - 1] == PathDelim)
        --end;
    return AFileName.left(end) + PathDelim;
}

QString ParentDir(const QString &AFileName)
{
    QString folder = AFileName.left(AFileName.lastIndexOf(PathDelim) + 1);
    if (folder == PathDelim)
        return folder;
    if (folder.endsWith(PathDelim))
        folder.chop(1);
    const qsizetype i = folder.lastIndexOf(PathDelim);
    // A parent at position 0 would be the root: the first-level folder is kept instead, as the
    // drive is never the parent on Windows.
    if (i <= 0)
        return folder;
    return folder.left(i);
}

QString GetRelativeFileName(const QString &RootDir, const QString &FileName)
{
    if (RootDir.isEmpty())
        return FileName;
    const QString root = AddBackSlash(RootDir);
    const qsizetype at = FileName.indexOf(root, 0, Qt::CaseInsensitive);
    if (at < 0)
        return FileName;
    QString result = FileName;
    result.remove(at, root.size());
    return result;
}

bool PathIsRelative(const QString &APath)
{
    // A drive ("C:"), a share ("//server", "\\\\server") and a name from the root are not
    // relative: joined to a folder they would name somewhere else.
    return !APath.startsWith(PathDelim) && !APath.contains(QLatin1Char(':')) &&
           !APath.contains(QLatin1String("//")) && !APath.contains(QLatin1String("\\\\"));
}

bool IsNetworkFile(const QString &AFileName)
{
    if (AFileName.startsWith(QStringLiteral("//")))
        return true;
    if (AFileName.isEmpty())
        return false;
    QFileInfo info(QDir::current(), AFileName);
    QString path = info.absoluteFilePath();
    while (!QFileInfo::exists(path)) {
        const QString parent = QFileInfo(path).absolutePath();
        if (parent == path)
            return false;
        path = parent;
    }
    const QStorageInfo storage(path);
    return storage.isValid() && isNetworkFileSystem(storage.fileSystemType());
}

QString StrToFileName(const QString &S)
{
    QString result;
    result.reserve(S.size());
    for (const QChar c : S) {
        if (!kForbiddenFileNameChars.contains(c))
            result += c;
    }
    return result;
}

bool PathExists(const QString &Name)
{
    return !Name.isEmpty() && QFileInfo(Name).isDir();
}

bool CheckDir(const QString &ADir)
{
    if (ADir.isEmpty())
        return false;
    if (PathExists(ADir))
        return true;
    return QDir().mkpath(ADir);
}

bool IsDirectoryWriteable(const QString &ADir)
{
    const QString name =
        (ADir.isEmpty() ? QString(PathDelim) : AddBackSlash(ADir)) + QStringLiteral("chk.tmp");
    const QByteArray path = QFile::encodeName(name);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::unlink(path.constData());
    ::close(fd);
    return true;
}

double GetFileDate(const QString &AFileName)
{
    const QFileInfo info(AFileName);
    if (AFileName.isEmpty() || !info.exists())
        return 0;
    const QDateTime modified = info.lastModified().toLocalTime();
    return double(QDate(1899, 12, 30).daysTo(modified.date())) +
           modified.time().msecsSinceStartOfDay() / 86400000.0;
}

QString GetFiles(const QString &AFilter)
{
    const qsizetype slash = AFilter.lastIndexOf(PathDelim);
    const QString folder = slash < 0 ? QStringLiteral(".") : AFilter.left(slash + 1);
    const QRegularExpression match = wildcardExpression(AFilter.mid(slash + 1));
    const QDir dir(folder);
    QStringList names;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                          QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &entry : entries) {
        if (!match.match(entry.fileName()).hasMatch())
            continue;
        if (entry.isDir() && !entry.fileName().startsWith(u'.') && entry.isWritable())
            continue; // a folder without further attributes
        names.append(entry.fileName());
    }
    return names.join(QStringLiteral("\r\n"));
}

} // namespace tev
