#pragma once

#include <QString>
#include <QTemporaryDir>
#include <sys/types.h>

namespace tev::test {

// A real Firebird server for tests: the system's SuperServer program run from a private folder
// with its own configuration (a free port on 127.0.0.1 only), its own security database with the
// SYSDBA password set, and its own lock folder. No system service is used or changed: the server
// is a child process of the test, stopped by its process id, and it dies with the test process
// even when that one is killed.
//
// Clients reach a database file through Server = host() and the file's absolute path, as user
// SYSDBA with password().
class FirebirdServer
{
public:
    FirebirdServer();
    // Stops the server.
    ~FirebirdServer();
    FirebirdServer(const FirebirdServer &) = delete;
    FirebirdServer &operator=(const FirebirdServer &) = delete;

    // Starts the server, the first time on a free port, later on the same one, and returns once
    // it accepts connections. Throws tev::Error when it does not come up.
    void start();
    // Asks the server to end and waits for it.
    void stop();
    // Kills the server at once, as a crash or a power cut would, and reaps it.
    void kill();
    // Stops the server's process (SIGSTOP): it keeps its port and connections but answers
    // nothing, as a hung server or machine would. resume() lets it go on (SIGCONT); stopping
    // the server resumes it first.
    void freeze();
    void resume();
    bool frozen() const { return m_frozen; }
    bool running() const { return m_pid > 0; }
    pid_t processId() const { return m_pid; }

    quint16 port() const { return m_port; }
    // The connection parameter Server that reaches this server: "127.0.0.1/<port>".
    QString host() const;
    static QString userName() { return QStringLiteral("SYSDBA"); }
    static QString password();
    QString folder() const { return m_dir.path(); }
    // What the server wrote to its standard output and error.
    QString log() const;

    // One server for the whole test process, started on first use and stopped at exit.
    static FirebirdServer &shared();

private:
    void writeConfiguration();
    bool launch();

    QTemporaryDir m_dir;
    quint16 m_port = 0;
    pid_t m_pid = 0;
    bool m_frozen = false;
};

} // namespace tev::test
