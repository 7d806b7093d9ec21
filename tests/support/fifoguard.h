#pragma once

#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tev::test {

// A FIFO for a test of code that must not read one. A reader that opens it anyway would wait for
// a writer for ever; while the guard lives, a thread plays that writer and closes at once, so
// that such a reader sees an empty file and the test fails instead of hanging.
class FifoGuard
{
public:
    explicit FifoGuard(const QString &path)
        : m_path(QFile::encodeName(path))
    {
        m_made = ::mkfifo(m_path.constData(), 0600) == 0;
        if (m_made)
            m_writer = std::thread([this] { run(); });
    }
    ~FifoGuard()
    {
        m_stop = true;
        if (m_writer.joinable())
            m_writer.join();
    }
    FifoGuard(const FifoGuard &) = delete;
    FifoGuard &operator=(const FifoGuard &) = delete;

    bool made() const { return m_made; }

private:
    void run()
    {
        while (!m_stop) {
            // Opening the write end without blocking succeeds only while a reader waits.
            const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    QByteArray m_path;
    bool m_made = false;
    std::atomic<bool> m_stop{false};
    std::thread m_writer;
};

} // namespace tev::test
