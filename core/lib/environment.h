#pragma once

#include <QByteArray>

namespace tev {

// Whether the machine has a network connection: the state that Qt's network-information
// backend reports (online, or connected to a local network) when a backend loads and knows the
// state; otherwise whether the kernel has a default route (/proc/net/route, /proc/net/ipv6_route).
bool IsInternetConnected();

// Whether the routing tables in the text form of /proc/net/route and /proc/net/ipv6_route hold
// a default route that is up and does not go through the loopback device.
bool HasDefaultRoute(const QByteArray &Ipv4Routes, const QByteArray &Ipv6Routes);

} // namespace tev
