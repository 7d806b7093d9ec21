#pragma once

// One running instance per machine. The program holds an exclusive, non-blocking flock on a lock
// file named after its instance name for its whole life; the kernel drops the lock when the
// process ends, however it ends, so a crash never leaves a stale lock behind. The lock file
// itself stays: its presence means nothing, only the lock does.
//
// The folder is machine-wide so that two users' sessions see the same lock: TEVORA_LOCK_DIR when
// set (tests move it), else /run/lock, else the temporary folder.

#include <QString>

namespace tev {

inline constexpr char kLockFolderVariable[] = "TEVORA_LOCK_DIR";

// The folder the lock file goes into when no other folder is given.
QString DefaultInstanceLockFolder();

class SingleInstanceLock
{
public:
    // Tries to take the lock on "<folder>/<name>.lock", creating the file when it is missing.
    // Throws tev::Error naming the file and the system's reason when the file can neither be
    // opened nor created, or the lock cannot be asked for; another instance holding the lock is
    // not an error (AlreadyRunning()).
    explicit SingleInstanceLock(const QString &name,
                                const QString &folder = DefaultInstanceLockFolder());
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock &) = delete;
    SingleInstanceLock &operator=(const SingleInstanceLock &) = delete;

    bool AlreadyRunning() const { return m_alreadyRunning; }
    QString FileName() const { return m_fileName; }

private:
    QString m_fileName;
    int m_fd = -1;
    bool m_alreadyRunning = false;
};

} // namespace tev
