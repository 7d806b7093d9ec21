#include "core/shell/pingtcpport.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tev {
namespace {

TEST(PingTCPPort, TrueForListeningPort)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    EXPECT_TRUE(PingTCPPort("127.0.0.1", server.serverPort()));
}

TEST(PingTCPPort, FalseForClosedPort)
{
    quint16 port = 0;
    {
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        port = server.serverPort();
    }
    EXPECT_FALSE(PingTCPPort("127.0.0.1", port));
}

TEST(PingTCPPort, FalseForAnythingButDottedIPv4)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    for (const char *address : {"localhost", "", "127.0.0", "127.0.0.1.1", "256.0.0.1", "::1",
                                " 127.0.0.1", "127.0.0.1 "}) {
        SCOPED_TRACE(address);
        EXPECT_FALSE(PingTCPPort(address, server.serverPort()));
    }
}

// A listening socket whose accept queue is full drops further connection requests, so a connect
// to it waits for an answer that never comes: the call must give up after its timeout.
TEST(PingTCPPort, GivesUpOnAPortThatDoesNotAnswer)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    const quint16 port = ntohs(address.sin_port);

    // Fill the accept queue; nothing is ever accepted.
    int filled = 0;
    while (filled < 8 && PingTCPPort("127.0.0.1", port))
        ++filled;
    ASSERT_LT(filled, 8) << "the accept queue never filled";

    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(PingTCPPort("127.0.0.1", port));
    EXPECT_LT(timer.elapsed(), kPingTcpTimeout.count() + 5000);
    ::close(listener);
}

} // namespace
} // namespace tev
