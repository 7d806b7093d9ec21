#include <QDir>
#include <gtest/gtest.h>

#include "core/lib/knownfolders.h"
#include "platform/error.h"
#include "support/tempfolder.h"

using namespace tev;
using tev::test::TempFolder;

namespace {

// Sets an environment variable for one scope and restores the previous state.
class EnvironmentGuard
{
public:
    EnvironmentGuard(const char *name, const QByteArray &value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_saved(qgetenv(name))
    {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~EnvironmentGuard() { m_had ? qputenv(m_name, m_saved) : qunsetenv(m_name); }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_saved;
};

} // namespace

TEST(KnownFolders, MachineWideFoldersHaveADefaultAndAnOverride)
{
    TempFolder temp;
    struct Case
    {
        QString (*routine)();
        const char *variable;
        const char *fallback;
    };
    const Case cases[] = {{GetPublicDir, kCommonAppDataVariable, "/var/lib"},
                          {GetCommonDocumentsDir, kCommonDocumentsVariable, "/srv"}};
    for (const Case &c : cases) {
        {
            EnvironmentGuard env(c.variable, QByteArray());
            EXPECT_EQ(c.routine(), c.fallback);
        }
        {
            EnvironmentGuard env(c.variable, QFile::encodeName(temp.path() + "//"));
            EXPECT_EQ(c.routine(), temp.path()) << "no trailing delimiter";
        }
    }
}

TEST(KnownFolders, TemporaryFolderEndsWithADelimiter)
{
    TempFolder temp;
    {
        EnvironmentGuard env("TMPDIR", QFile::encodeName(temp.path()));
        EXPECT_EQ(GetUserTempDir(), temp.path() + "/");
    }
    EnvironmentGuard env("TMPDIR", QFile::encodeName(temp.file("missing")));
    EXPECT_THROW(GetUserTempDir(), tev::Error);
}

TEST(KnownFolders, PerUserFoldersComeFromTheXdgLocations)
{
    // Test mode keeps the configuration folder away from the real one.
    EXPECT_TRUE(GetUserAppDataDir().contains(".qttest")) << GetUserAppDataDir().toStdString();
    EXPECT_FALSE(GetUserAppDataDir().endsWith('/'));
    EXPECT_FALSE(GetDocumentsDir().isEmpty());
    EXPECT_FALSE(GetDocumentsDir().endsWith('/'));
}
