#pragma once

#include <QString>

#include <chrono>

namespace tev {

// How long PingTCPPort waits for an answer. A connect to an address that does not answer would
// otherwise block for about two minutes, freezing the program and any script that calls it.
inline constexpr std::chrono::milliseconds kPingTcpTimeout{3000};

// Whether a TCP connection to IPAddress:Port can be made. IPAddress is a dotted IPv4 address;
// host names are not resolved and give false, as does every failure. The attempt is bounded by
// kPingTcpTimeout; the connection is closed again at once.
bool PingTCPPort(const QString &IPAddress, quint16 Port);

} // namespace tev
