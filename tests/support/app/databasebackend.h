#pragma once

#include <QString>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace tev::test {

class FirebirdServer;
class TempAppRoot;

// Where a test's database lives: an embedded Firebird file, or a file that a real Firebird server
// on 127.0.0.1 holds (the process-wide FirebirdServer::shared()).
enum class DatabaseBackend { Embedded, Server };

// "Embedded" or "Server", for the names of parameterised tests and their printed parameter.
std::string BackendName(const ::testing::TestParamInfo<DatabaseBackend> &info);
void PrintTo(DatabaseBackend backend, std::ostream *out);

// The backend of the running test: its parameter in a suite instantiated with
// TEVORA_INSTANTIATE_BACKENDS, otherwise Embedded.
DatabaseBackend CurrentBackend();

// Writes the connection file of an application root so that a data module made there opens (or
// creates) "DB/Tevora.fdb" below the root through that backend. The server is started on first
// use.
void WriteConnectionFile(const TempAppRoot &root, DatabaseBackend backend);

// Writes the connection file of an application root so that a data module made there opens (or
// creates) that database file on that server.
void WriteServerConnectionFile(const TempAppRoot &root, const FirebirdServer &server,
                               const QString &databaseFile);

// A member placed before the data module in a fixture: points the root's connection file at the
// running test's backend.
class BackendConnectionFile
{
public:
    explicit BackendConnectionFile(const TempAppRoot &root);
    DatabaseBackend backend() const { return m_backend; }

private:
    DatabaseBackend m_backend;
};

} // namespace tev::test

// Runs every TEST_P of the suite once on each backend.
#define TEVORA_INSTANTIATE_BACKENDS(Suite)                                                         \
    INSTANTIATE_TEST_SUITE_P(Backends, Suite,                                                      \
                             ::testing::Values(::tev::test::DatabaseBackend::Embedded,             \
                                               ::tev::test::DatabaseBackend::Server),              \
                             ::tev::test::BackendName)
