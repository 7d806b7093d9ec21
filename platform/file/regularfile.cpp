#include "platform/file/regularfile.h"

#include "platform/error.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tev {

namespace {

Error ReadError(const QString &fileName, const QString &reason)
{
    return Error(QStringLiteral("Cannot read file \"%1\": %2").arg(fileName, reason));
}

QString KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a pipe (FIFO), not a regular file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device, not a regular file");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket, not a regular file");
    return QStringLiteral("it is not a regular file");
}

} // namespace

QByteArray ReadRegularFile(const QString &fileName)
{
    // Opened without blocking, so that a FIFO without a writer cannot stall the open itself; the
    // kind is then taken from the open file, not from its name, which could change meanwhile.
    const int fd =
        ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw ReadError(fileName, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st
    {
    };
    const bool statFailed = ::fstat(fd, &st) != 0;
    if (statFailed || !S_ISREG(st.st_mode)) {
        const QString reason =
            statFailed ? QString::fromLocal8Bit(std::strerror(errno)) : KindOf(st.st_mode);
        ::close(fd);
        throw ReadError(fileName, reason);
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw ReadError(fileName, file.errorString());
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ReadError(fileName, file.errorString());
    return bytes;
}

} // namespace tev
