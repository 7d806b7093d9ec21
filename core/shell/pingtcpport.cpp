#include "core/shell/pingtcpport.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tev {

namespace {

// Closes the socket however the attempt ends.
class SocketGuard
{
public:
    explicit SocketGuard(int fd)
        : m_fd(fd)
    {}
    ~SocketGuard()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SocketGuard(const SocketGuard &) = delete;
    SocketGuard &operator=(const SocketGuard &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Waits until the non-blocking connect on `fd` ends or the time is up; true when it connected.
bool AwaitConnect(int fd, std::chrono::milliseconds timeout)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd pfd{fd, POLLOUT, 0};
        const int ready = ::poll(&pfd, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            return false;
        return error == 0;
    }
}

} // namespace

bool PingTCPPort(const QString &IPAddress, quint16 Port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(Port);
    // inet_pton takes only the dotted form, so a host name is never resolved.
    if (::inet_pton(AF_INET, IPAddress.toLatin1().constData(), &address.sin_addr) != 1)
        return false;

    const SocketGuard socket(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (socket.get() < 0)
        return false;
    if (::connect(socket.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0)
        return true;
    if (errno != EINPROGRESS)
        return false;
    return AwaitConnect(socket.get(), kPingTcpTimeout);
}

} // namespace tev
