#include "core/db/embeddedusemarker.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tev {

namespace {

constexpr char OpenText[] = "open\n";

// A lock on the whole marker, held by the open file description: it is dropped when the process
// ends, and a lock taken over another of the same description changes it at once.
bool Lock(int fd, short type, bool wait)
{
    struct flock lock
    {
    };
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    for (;;) {
        if (::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

void WriteOpen(int fd)
{
    struct stat st
    {
    };
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        return;
    if (::pwrite(fd, OpenText, sizeof OpenText - 1, 0) == ssize_t(sizeof OpenText - 1))
        ::fdatasync(fd);
}

} // namespace

QString EmbeddedUseMarker::markerFile(const QString &databaseFile)
{
    return databaseFile + QStringLiteral(".open");
}

EmbeddedUseMarker::EmbeddedUseMarker(const QString &databaseFile)
{
    m_fd = ::open(QFile::encodeName(markerFile(databaseFile)).constData(),
                  O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0)
        return;
    if (Lock(m_fd, F_WRLCK, false)) {
        struct stat st
        {
        };
        m_uncleanEnd = ::fstat(m_fd, &st) == 0 && st.st_size > 0;
        return;
    }
    // Another process of ours has the file open, or mends it: wait until it shares it.
    if (!Lock(m_fd, F_RDLCK, true)) {
        ::close(m_fd);
        m_fd = -1;
    }
}

EmbeddedUseMarker::~EmbeddedUseMarker()
{
    if (m_fd < 0)
        return;
    // The last one out empties the marker; while others hold it shared it stays "open".
    if (Lock(m_fd, F_WRLCK, false) && ::ftruncate(m_fd, 0) == 0)
        ::fdatasync(m_fd);
    ::close(m_fd);
}

void EmbeddedUseMarker::markOpen()
{
    if (m_fd < 0)
        return;
    WriteOpen(m_fd);
    m_uncleanEnd = false;
    Lock(m_fd, F_RDLCK, false);
}

} // namespace tev
