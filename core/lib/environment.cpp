#include "core/lib/environment.h"

#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <QNetworkInformation>

namespace tev {

namespace {

constexpr unsigned kRouteUp = 0x1; // RTF_UP

QByteArray readProcFile(const char *name)
{
    QFile file(QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> fieldsOf(const QByteArray &line)
{
    QList<QByteArray> fields = line.simplified().split(' ');
    fields.removeAll(QByteArray());
    return fields;
}

} // namespace

bool HasDefaultRoute(const QByteArray &Ipv4Routes, const QByteArray &Ipv6Routes)
{
    // Iface Destination Gateway Flags RefCnt Use Metric Mask ...; the first line names them.
    const QList<QByteArray> ipv4 = Ipv4Routes.split('\n');
    for (qsizetype i = 1; i < ipv4.size(); ++i) {
        const QList<QByteArray> f = fieldsOf(ipv4[i]);
        if (f.size() >= 8 && f[0] != "lo" && f[1] == "00000000" && f[7] == "00000000" &&
            (f[3].toUInt(nullptr, 16) & kRouteUp))
            return true;
    }
    // Destination PrefixLength Source SourcePrefix NextHop Metric RefCnt Use Flags Iface.
    for (const QByteArray &line : Ipv6Routes.split('\n')) {
        const QList<QByteArray> f = fieldsOf(line);
        if (f.size() >= 10 && f[9] != "lo" && f[0] == QByteArray(32, '0') && f[1] == "00" &&
            (f[8].toUInt(nullptr, 16) & kRouteUp))
            return true;
    }
    return false;
}

bool IsInternetConnected()
{
    if (QCoreApplication::instance() &&
        (QNetworkInformation::instance() || QNetworkInformation::loadDefaultBackend())) {
        switch (QNetworkInformation::instance()->reachability()) {
        case QNetworkInformation::Reachability::Online:
        case QNetworkInformation::Reachability::Site:
            return true;
        case QNetworkInformation::Reachability::Disconnected:
        case QNetworkInformation::Reachability::Local:
            return false;
        case QNetworkInformation::Reachability::Unknown:
            break;
        }
    }
    return HasDefaultRoute(readProcFile("/proc/net/route"), readProcFile("/proc/net/ipv6_route"));
}

} // namespace tev
