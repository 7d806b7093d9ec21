#include "support/app/databasebackend.h"

#include "core/db/passwordscrambler.h"
#include "support/app/firebirdserver.h"
#include "support/app/firebirdtestenv.h"

#include <QDir>
#include <QFile>

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

void WriteConnectionFile(const TempAppRoot &root, DatabaseBackend backend)
{
    QString server;
    QByteArray password = "plumtrees";
    if (backend == DatabaseBackend::Server) {
        FirebirdServer &s = FirebirdServer::shared();
        server = s.host();
        password = s.password().toLatin1();
        // The server creates a missing database file, but not its folder.
        QDir().mkpath(root.file(QStringLiteral("DB")));
    }
    QFile file(root.file(QStringLiteral("Config/Config.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[Database]\nDriverId=FB\nServer=" + server.toUtf8() +
               "\nDatabase=" + QFile::encodeName(root.file(QStringLiteral("DB/Tevora.fdb"))) +
               "\nUser_Name=SYSDBA\nPassword=" + EncryptString(password, ConnectionPasswordKey) +
               "\nOpenMode=OpenOrCreate\nCharacterSet=UTF8\n");
}

BackendConnectionFile::BackendConnectionFile(const TempAppRoot &root)
    : m_backend(CurrentBackend())
{
    WriteConnectionFile(root, m_backend);
}

} // namespace tev::test
