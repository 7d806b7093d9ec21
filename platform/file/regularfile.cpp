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

QString OpenRegularFile(QFile &file, const QString &fileName, FinalLink link)
{
    // Opened without blocking, so that a FIFO without a writer cannot stall the open itself; the
    // kind is then taken from the open file, not from its name, which could change meanwhile.
    const int flags =
        O_RDONLY | O_NONBLOCK | O_CLOEXEC | (link == FinalLink::Refuse ? O_NOFOLLOW : 0);
    const int fd = ::open(QFile::encodeName(fileName).constData(), flags);
    if (fd < 0) {
        if (errno == ELOOP && link == FinalLink::Refuse)
            return QStringLiteral("it is a symbolic link");
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return reason;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return KindOf(st.st_mode);
    }
    file.close();
    file.setFileName(fileName);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
    return {};
}

QByteArray ReadRegularFile(const QString &fileName)
{
    QFile file;
    if (const QString reason = OpenRegularFile(file, fileName); !reason.isEmpty())
        throw ReadError(fileName, reason);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ReadError(fileName, file.errorString());
    return bytes;
}

} // namespace tev
