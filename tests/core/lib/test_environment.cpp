#include <gtest/gtest.h>

#include "core/lib/environment.h"

using tev::HasDefaultRoute;

TEST(Environment, FindsADefaultRouteInTheKernelTables)
{
    const QByteArray header = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t"
                              "\tMTU\tWindow\tIRTT\n";
    const QByteArray v4Default = "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n";
    const QByteArray v4Local = "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n";
    const QByteArray v4Down = "eth0\t00000000\t010200C0\t0002\t0\t0\t0\t00000000\t0\t0\t0\n";
    const QByteArray v6Default = "00000000000000000000000000000000 00 "
                                 "00000000000000000000000000000000 00 "
                                 "fd000000000000000000000000000001 00000400 00000002 00000000 "
                                 "00000003     eth0\n";
    const QByteArray v6Loopback = "00000000000000000000000000000000 00 "
                                  "00000000000000000000000000000000 00 "
                                  "00000000000000000000000000000000 ffffffff 00000001 00000000 "
                                  "00200001       lo\n";
    struct Case
    {
        const char *what;
        QByteArray v4, v6;
        bool expected;
    };
    const Case cases[] = {
        {"IPv4 default route", header + v4Local + v4Default, "", true},
        {"local network only", header + v4Local, "", false},
        {"default route down", header + v4Down, "", false},
        {"IPv6 default route", header, v6Default, true},
        {"IPv6 loopback only", header, v6Loopback, false},
        {"no tables", "", "", false},
        {"a header alone is no route", v4Default, "", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(HasDefaultRoute(c.v4, c.v6), c.expected) << c.what;
}

TEST(Environment, ConnectionStateCanBeAsked)
{
    // The answer depends on the machine; asking twice must give the same one.
    EXPECT_EQ(tev::IsInternetConnected(), tev::IsInternetConnected());
}
