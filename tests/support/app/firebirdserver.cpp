#include "support/app/firebirdserver.h"

#include "platform/error.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QThread>

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace tev::test {

namespace {

const QString SystemFolder = QStringLiteral(TEVORA_FIREBIRD_HOME);
const QString ServerProgram = QStringLiteral(TEVORA_FIREBIRD_SERVER);
// A server that does not listen within this time is taken as failed; a loaded machine may need
// several seconds.
constexpr int StartTimeoutMs = 30000;
// A server that has not ended this long after it was asked to is killed.
constexpr int StopTimeoutMs = 10000;

QString PluginModule(const QString &name)
{
    return SystemFolder + QStringLiteral("/plugins/lib%1.so").arg(name);
}

void WriteText(const QString &fileName, const QString &text)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(text.toUtf8()) != text.toUtf8().size())
        throw Error(QStringLiteral("Cannot write %1").arg(fileName));
}

void CopyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    if (!QFile::copy(QFileInfo(from).canonicalFilePath(), to))
        throw Error(QStringLiteral("Cannot copy %1 to %2").arg(from, to));
}

// The folder layout the engine expects below FIREBIRD: messages, character sets and the
// configuration. Plugins load from the system's folder by their absolute paths.
void LayOutFolder(const QString &folder, quint16 port, const QString &securityDatabase)
{
    QDir dir(folder);
    dir.mkpath(QStringLiteral("intl"));
    dir.mkpath(QStringLiteral("lock"));
    CopyFile(SystemFolder + QStringLiteral("/firebird.msg"), dir.filePath("firebird.msg"));
    CopyFile(SystemFolder + QStringLiteral("/intl/libfbintl.so"),
             dir.filePath("intl/libfbintl.so"));
    CopyFile(SystemFolder + QStringLiteral("/intl/fbintl.conf"), dir.filePath("intl/fbintl.conf"));
    WriteText(dir.filePath("firebird.conf"),
              QStringLiteral("# A test server: its own port on 127.0.0.1, its own users.\n"
                             "RemoteServicePort = %1\n"
                             "RemoteBindAddress = 127.0.0.1\n"
                             "ServerMode = Super\n"
                             "SecurityDatabase = %2\n"
                             "Providers = Remote, Engine12, Loopback\n"
                             "AuthServer = Srp\n"
                             "AuthClient = Srp\n"
                             "UserManager = Srp\n"
                             "WireCrypt = Enabled\n"
                             "UdfAccess = None\n")
                  .arg(port)
                  .arg(securityDatabase));
    QString plugins;
    for (const QString &name : {QStringLiteral("Engine12"), QStringLiteral("Srp")})
        plugins +=
            QStringLiteral("Plugin = %1 {\n\tModule = %2\n}\n").arg(name, PluginModule(name));
    WriteText(dir.filePath("plugins.conf"), plugins);
}

QProcessEnvironment FirebirdEnvironment(const QString &folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD"), folder);
    env.insert(QStringLiteral("FIREBIRD_LOCK"), folder + QStringLiteral("/lock"));
    env.insert(QStringLiteral("FIREBIRD_TMP"), folder + QStringLiteral("/lock"));
    return env;
}

// Creating a security database runs the engine twice in a child process, which costs seconds:
// one is made per build tree and copied for every server.
QString SecurityDatabaseTemplate()
{
    const QString folder = QStringLiteral(TEVORA_BINARY_DIR "/tests/firebird-server");
    const QString result = folder + QStringLiteral("/security3.fdb");
    QDir().mkpath(folder);
    QLockFile lock(folder + QStringLiteral("/template.lock"));
    lock.setStaleLockTime(0);
    if (!lock.lock())
        throw Error(QStringLiteral("Cannot lock %1").arg(folder));
    if (QFileInfo::exists(result))
        return result;

    QTemporaryDir work(folder + QStringLiteral("/make-XXXXXX"));
    const QString file = work.filePath(QStringLiteral("security3.fdb"));
    LayOutFolder(work.path(), 0, file);
    QProcess isql;
    isql.setProcessEnvironment(FirebirdEnvironment(work.path()));
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                                           QStringLiteral("-q"), QStringLiteral("-b")});
    isql.write(QStringLiteral("create database '%1';\n"
                              "create user SYSDBA password '%2' using plugin Srp;\n"
                              "commit;\n")
                   .arg(file, FirebirdServer::password())
                   .toUtf8());
    isql.closeWriteChannel();
    if (!isql.waitForFinished(120000) || isql.exitCode() != 0 || !QFileInfo::exists(file))
        throw Error(QStringLiteral("Cannot create the security database: %1")
                        .arg(QString::fromLocal8Bit(isql.readAll())));
    if (!QFile::rename(file, result))
        throw Error(QStringLiteral("Cannot move the security database to %1").arg(result));
    return result;
}

quint16 FreePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        throw Error(QStringLiteral("No free port on 127.0.0.1"));
    return probe.serverPort();
}

bool Listening(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// Reaps the process; true when it has ended.
bool Reap(pid_t pid, bool wait)
{
    int status = 0;
    for (;;) {
        const pid_t r = ::waitpid(pid, &status, wait ? 0 : WNOHANG);
        if (r == pid)
            return true;
        if (r == 0)
            return false;
        if (errno != EINTR)
            return true; // not our child any more
    }
}

} // namespace

FirebirdServer::FirebirdServer()
{
    if (!m_dir.isValid())
        throw Error(QStringLiteral("No temporary folder for the Firebird server"));
    CopyFile(SecurityDatabaseTemplate(), m_dir.filePath(QStringLiteral("security3.fdb")));
}

FirebirdServer::~FirebirdServer()
{
    stop();
}

QString FirebirdServer::password()
{
    return QStringLiteral("Srv-Test-7");
}

QString FirebirdServer::host() const
{
    return QStringLiteral("127.0.0.1/%1").arg(m_port);
}

QString FirebirdServer::log() const
{
    QFile file(m_dir.filePath(QStringLiteral("server.log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

void FirebirdServer::writeConfiguration()
{
    LayOutFolder(m_dir.path(), m_port, m_dir.filePath(QStringLiteral("security3.fdb")));
}

void FirebirdServer::start()
{
    if (running())
        return;
    if (m_port != 0) {
        // A restart keeps the port that clients know; right after a kill it may still be taken
        // for a moment.
        for (int attempt = 0; attempt < 5; ++attempt)
            if (launch())
                return;
        throw Error(QStringLiteral("The Firebird server did not come back on port %1:\n%2")
                        .arg(m_port)
                        .arg(log()));
    }
    // Another process may take a free port between the probe and the server's bind.
    for (int attempt = 0; attempt < 5; ++attempt) {
        m_port = FreePort();
        writeConfiguration();
        if (launch())
            return;
    }
    throw Error(QStringLiteral("The Firebird server did not start:\n%1").arg(log()));
}

bool FirebirdServer::launch()
{
    // Everything the child needs is prepared before fork: between fork and exec only
    // async-signal-safe calls are allowed.
    const QProcessEnvironment env = FirebirdEnvironment(m_dir.path());
    std::vector<QByteArray> envStrings;
    for (const QString &line : env.toStringList())
        envStrings.push_back(QFile::encodeName(line));
    std::vector<char *> envp;
    for (QByteArray &s : envStrings)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    QByteArray program = QFile::encodeName(ServerProgram);
    char *argv[] = {program.data(), nullptr};
    const QByteArray logName = QFile::encodeName(m_dir.filePath(QStringLiteral("server.log")));
    const int logFd = ::open(logName.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    const int nullFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (logFd < 0 || nullFd < 0)
        throw Error(QStringLiteral("Cannot open the server's log"));
    const pid_t parent = ::getpid();

    const pid_t pid = ::fork();
    if (pid == 0) {
        // The server must not outlive a test that is killed.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(126);
        ::dup2(nullFd, 0);
        ::dup2(logFd, 1);
        ::dup2(logFd, 2);
        ::execve(argv[0], argv, envp.data());
        ::_exit(127);
    }
    ::close(logFd);
    ::close(nullFd);
    if (pid < 0)
        throw Error(QStringLiteral("Cannot start %1").arg(ServerProgram));
    m_pid = pid;

    QDeadlineTimer deadline(StartTimeoutMs);
    while (!deadline.hasExpired()) {
        if (Reap(m_pid, false)) {
            m_pid = 0;
            return false;
        }
        if (Listening(m_port))
            return true;
        QThread::msleep(20);
    }
    kill();
    return false;
}

void FirebirdServer::freeze()
{
    if (running() && !m_frozen && ::kill(m_pid, SIGSTOP) == 0)
        m_frozen = true;
}

void FirebirdServer::resume()
{
    if (m_frozen && running())
        ::kill(m_pid, SIGCONT);
    m_frozen = false;
}

void FirebirdServer::stop()
{
    if (!running())
        return;
    resume();
    ::kill(m_pid, SIGTERM);
    QDeadlineTimer deadline(StopTimeoutMs);
    while (!Reap(m_pid, false)) {
        if (deadline.hasExpired()) {
            ::kill(m_pid, SIGKILL);
            Reap(m_pid, true);
            break;
        }
        QThread::msleep(10);
    }
    m_pid = 0;
}

void FirebirdServer::kill()
{
    if (!running())
        return;
    ::kill(m_pid, SIGKILL);
    Reap(m_pid, true);
    m_pid = 0;
    m_frozen = false;
}

FirebirdServer &FirebirdServer::shared()
{
    static std::unique_ptr<FirebirdServer> server;
    if (!server) {
        server = std::make_unique<FirebirdServer>();
        server->start();
    }
    if (!server->running())
        server->start();
    return *server;
}

} // namespace tev::test
