#include "core/shell/systemnames.h"

#include <QSysInfo>
#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

namespace tev {
namespace {

TEST(SystemNames, ComputerNameIsTheHostNameCut)
{
    const QString name = GetComputerName();
    EXPECT_FALSE(name.isEmpty());
    EXPECT_LE(name.size(), kMaxComputerNameLength);
    EXPECT_TRUE(QSysInfo::machineHostName().startsWith(name));
}

TEST(SystemNames, UserNameIsTheEffectiveUser)
{
    const passwd *entry = ::getpwuid(::geteuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(GetWindowsUserName(), QString::fromLocal8Bit(entry->pw_name));
}

} // namespace
} // namespace tev
