#include "support/app/databasebackend.h"

#include "core/db/passwordscrambler.h"
#include "support/app/firebirdserver.h"
#include "support/app/firebirdtestenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tev::test {

namespace {

const char *Name(DatabaseBackend backend)
{
    return backend == DatabaseBackend::Server ? "Server" : "Embedded";
}

} // namespace

std::string BackendName(const ::testing::TestParamInfo<DatabaseBackend> &info)
{
    return Name(info.param);
}

void PrintTo(DatabaseBackend backend, std::ostream *out)
{
    *out << Name(backend);
}

DatabaseBackend CurrentBackend()
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!test || !test->value_param())
        return DatabaseBackend::Embedded;
    return std::string(test->value_param()) == Name(DatabaseBackend::Server)
               ? DatabaseBackend::Server
               : DatabaseBackend::Embedded;
}

namespace {

void WriteFile(const TempAppRoot &root, const QString &server, const QByteArray &password,
               const QString &databaseFile)
{
    QFile file(root.file(QStringLiteral("Config/Config.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[Database]\nDriverId=FB\nServer=" + server.toUtf8() +
               "\nDatabase=" + QFile::encodeName(databaseFile) +
               "\nUser_Name=SYSDBA\nPassword=" + EncryptString(password, ConnectionPasswordKey) +
               "\nOpenMode=OpenOrCreate\nCharacterSet=UTF8\n");
}

} // namespace

void WriteConnectionFile(const TempAppRoot &root, DatabaseBackend backend)
{
    const QString database = root.file(QStringLiteral("DB/Tevora.fdb"));
    if (backend == DatabaseBackend::Server)
        WriteServerConnectionFile(root, FirebirdServer::shared(), database);
    else
        WriteFile(root, QString(), "plumtrees", database);
}

void WriteServerConnectionFile(const TempAppRoot &root, const FirebirdServer &server,
                               const QString &databaseFile)
{
    // The server creates a missing database file, but not its folder.
    QDir().mkpath(QFileInfo(databaseFile).path());
    WriteFile(root, server.host(), server.password().toLatin1(), databaseFile);
}

BackendConnectionFile::BackendConnectionFile(const TempAppRoot &root)
    : m_backend(CurrentBackend())
{
    WriteConnectionFile(root, m_backend);
}

} // namespace tev::test
