#include "core/shell/systemnames.h"

#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace tev {

QString GetComputerName()
{
    return QSysInfo::machineHostName().left(kMaxComputerNameLength);
}

QString GetWindowsUserName()
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0)
        size = 16384;
    std::vector<char> buffer(static_cast<size_t>(size));
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name)
        return QString::fromLocal8Bit(found->pw_name);
    // A user without a passwd entry (some containers) still has the login shell's name.
    for (const char *variable : {"USER", "LOGNAME"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return name;
    }
    return QString();
}

} // namespace tev
