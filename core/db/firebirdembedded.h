#pragma once

#include <QString>

namespace tev {

// Embedded Firebird: the engine runs inside our process from the private folder <root>/FB.
//
// The client library reads FIREBIRD, FIREBIRD_LOCK and FIREBIRD_TMP once, at its first call, so
// they are set before that call and cannot change later in the process. A lock folder or sort
// folder already given in the environment is kept: it is how a test, or an administrator, moves
// them. Otherwise they lie below the vendor home, which every process of this installation
// shares: two processes on one database file must share one lock folder.

// Sets the environment for the client library, once per process; later calls do nothing.
void PrepareFirebirdEnvironment(const QString &vendorHome);

// Whether PrepareFirebirdEnvironment has run in this process.
bool FirebirdEnvironmentPrepared();

// Creates an empty database file in UTF8 through the client API (Qt's driver cannot create one).
// Without a server the parent folder is created when missing. With a server ("host" or
// "host/port") the server creates the file on its machine, in a folder that must exist there.
// An existing file is never replaced. Throws tev::Error with the engine's message.
void CreateFirebirdDatabase(const QString &fileName, const QString &userName,
                            const QString &server = {}, const QString &password = {});

} // namespace tev
