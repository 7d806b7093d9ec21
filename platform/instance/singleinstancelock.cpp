#include "platform/instance/singleinstancelock.h"

#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tev {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Opens an existing lock file first: in a sticky, world-writable folder the kernel may refuse
// O_CREAT on a file another user made (protected_regular), although opening it is allowed. Read
// access is enough for flock, so a file another user made with mode 0644 still serves.
int openLockFile(const QByteArray &path, int &error)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd >= 0 || errno != ENOENT) {
            error = errno;
            return fd;
        }
        fd = ::open(path.constData(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd >= 0 || errno != EEXIST) {
            error = errno;
            if (fd >= 0)
                ::fchmod(fd, 0644); // the umask must not keep other users from the lock
            return fd;
        }
        // Another start created it between the two calls: open it as it is.
    }
    error = EEXIST;
    return -1;
}

} // namespace

QString DefaultInstanceLockFolder()
{
    const QString overridden = qEnvironmentVariable(kLockFolderVariable);
    if (!overridden.isEmpty())
        return overridden;
    const QFileInfo runLock(QStringLiteral("/run/lock"));
    if (runLock.isDir() && runLock.isWritable())
        return runLock.filePath();
    return QDir::tempPath();
}

SingleInstanceLock::SingleInstanceLock(const QString &name, const QString &folder)
    : m_fileName(QDir(folder).filePath(name + QStringLiteral(".lock")))
{
    int error = 0;
    m_fd = openLockFile(QFile::encodeName(m_fileName), error);
    if (m_fd < 0)
        throw Error(QStringLiteral("Cannot open the lock file \"%1\" that keeps Tevora to one "
                                   "instance: %2.")
                        .arg(QDir::toNativeSeparators(m_fileName), systemReason(error)));
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
        return;
    error = errno;
    if (error == EWOULDBLOCK) {
        m_alreadyRunning = true;
        return;
    }
    ::close(m_fd);
    m_fd = -1;
    throw Error(QStringLiteral("Cannot lock the file \"%1\" that keeps Tevora to one instance: %2.")
                    .arg(QDir::toNativeSeparators(m_fileName), systemReason(error)));
}

SingleInstanceLock::~SingleInstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // closing the last descriptor releases the lock
}

} // namespace tev
