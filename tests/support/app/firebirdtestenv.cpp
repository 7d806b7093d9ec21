#include "support/app/firebirdtestenv.h"

#include "core/db/firebirdembedded.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tev::test {

namespace {

// Sets the lock and sort folders before any test runs, so before the first Firebird call.
class FirebirdEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("FIREBIRD_LOCK", QFile::encodeName(m_dir.filePath(QStringLiteral("lock"))));
        qputenv("FIREBIRD_TMP", QFile::encodeName(m_dir.filePath(QStringLiteral("tmp"))));
        PrepareFirebirdEnvironment(BuildFirebirdFolder());
    }

    QString lockFolder() const { return m_dir.filePath(QStringLiteral("lock")); }

private:
    QTemporaryDir m_dir;
};

FirebirdEnvironment *g_environment = static_cast<FirebirdEnvironment *>(
    ::testing::AddGlobalTestEnvironment(new FirebirdEnvironment));

} // namespace

QString BuildFirebirdFolder()
{
    return QStringLiteral(TEVORA_BINARY_DIR "/FB");
}

QString ProcessLockFolder()
{
    return g_environment->lockFolder();
}

TempAppRoot::TempAppRoot()
{
    QDir root(m_folder.path());
    EXPECT_TRUE(root.mkdir(QStringLiteral("Config")));
    EXPECT_TRUE(QFile::link(BuildFirebirdFolder(), root.filePath(QStringLiteral("FB"))));
}

} // namespace tev::test
