#pragma once

#include "support/app/firebirdtestenv.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace tev::test {

class FirebirdServer;

// One client of the shared database as a process of its own (the program tevora_dbclient): an
// application root whose connection file names the server and the database file, and the
// commands that program answers line by line.
class DbClientProcess
{
public:
    // Starts the client and waits until it is connected. A lock wait of 0 keeps the program's.
    DbClientProcess(const FirebirdServer &server, const QString &databaseFile,
                    int lockWaitSeconds = 0);
    ~DbClientProcess();
    DbClientProcess(const DbClientProcess &) = delete;
    DbClientProcess &operator=(const DbClientProcess &) = delete;

    void send(const QString &command);
    // The next line of output; empty when none came within the time.
    QString readLine(int timeoutMs = 300000);
    // A line that is already there or comes within a moment; empty otherwise.
    QString pollLine(int waitMs = 10);
    // The command's one answer.
    QString ask(const QString &command) { return send(command), readLine(); }

private:
    TempAppRoot m_root;
    QProcess m_process;
};

} // namespace tev::test
