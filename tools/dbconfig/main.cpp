// tevora_dbconfig: writes the [Database] section of Tevora's connection file for an
// administrator, with the password scrambled as the program stores it. The program's Settings
// show the server, the user and the password but let only the database file be changed, so a
// team's installations get their server connection from this command (or from a file it wrote).
//
//   tevora_dbconfig [--config FILE] [--driver FB|MSSQL] [--server HOST] --database PATH
//                   [--user NAME] < password
//
// The password is the first line of standard input; at a terminal it is asked for without echo.
// It never appears on the command line, where other users of the machine could see it.

#include "core/db/connectionfile.h"
#include "platform/error.h"
#include "platform/ini/tinifile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

using namespace tev;

namespace {

// Echo of the terminal off for one scope.
class NoEcho
{
public:
    NoEcho()
    {
        m_active = ::tcgetattr(STDIN_FILENO, &m_saved) == 0;
        if (!m_active)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~NoEcho()
    {
        if (m_active)
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
    }
    NoEcho(const NoEcho &) = delete;
    NoEcho &operator=(const NoEcho &) = delete;

private:
    termios m_saved{};
    bool m_active = false;
};

QString ReadPassword()
{
    std::string line;
    if (::isatty(STDIN_FILENO)) {
        std::cerr << "Password: " << std::flush;
        const NoEcho quiet;
        std::getline(std::cin, line);
        std::cerr << std::endl;
    } else {
        std::getline(std::cin, line);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromStdString(line);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tevora_dbconfig"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes the [Database] section of Tevora's connection file, the password "
                       "(the first line of standard input) scrambled as the program stores it."));
    parser.addHelpOption();
    const QCommandLineOption config(
        QStringLiteral("config"),
        QStringLiteral("The connection file; default: Config/Config.ini of the installation this "
                       "command belongs to (the parent of its folder)."),
        QStringLiteral("file"));
    const QCommandLineOption driver(QStringLiteral("driver"),
                                    QStringLiteral("FB (Firebird, the default) or MSSQL."),
                                    QStringLiteral("id"), QStringLiteral("FB"));
    const QCommandLineOption server(
        QStringLiteral("server"),
        QStringLiteral("The database server: host or host/port for Firebird; empty for an "
                       "embedded database file."),
        QStringLiteral("host"));
    const QCommandLineOption database(
        QStringLiteral("database"),
        QStringLiteral("The database file as the server's machine names it (absolute path), or "
                       "the SQL Server database."),
        QStringLiteral("path"));
    const QCommandLineOption user(QStringLiteral("user"),
                                  QStringLiteral("A user of the server (default SYSDBA)."),
                                  QStringLiteral("name"), QStringLiteral("SYSDBA"));
    parser.addOptions({config, driver, server, database, user});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty() || !parser.isSet(database)) {
        std::cerr << qPrintable(parser.helpText());
        return 2;
    }

    // An installation's root is the parent of its program folder, as for the program.
    const QString fileName =
        parser.isSet(config)
            ? QFileInfo(parser.value(config)).absoluteFilePath()
            : QDir::cleanPath(ConnectionFileName(QCoreApplication::applicationDirPath() + "/.."));
    TStringList params;
    params.Add(QStringLiteral("DriverId=") + parser.value(driver));
    params.Add(QStringLiteral("Server=") + parser.value(server));
    params.Add(QStringLiteral("Database=") + parser.value(database));
    params.Add(QStringLiteral("User_Name=") + parser.value(user));
    params.Add(QStringLiteral("Password=") + ReadPassword());
    try {
        TIniFile ini(fileName);
        // A new file gets the keys the program writes at a first start, then these values.
        WriteDefaultConnectionSection(ini,
                                      QDir::cleanPath(QFileInfo(fileName).absolutePath() + "/.."));
        WriteConnectionSection(ini, params);
    } catch (const Error &e) {
        std::cerr << "tevora_dbconfig: " << qPrintable(e.message()) << std::endl;
        return 1;
    }
    std::cout << "Wrote [Database] to " << qPrintable(fileName)
              << ": DriverId=" << qPrintable(parser.value(driver))
              << " Server=" << qPrintable(parser.value(server))
              << " Database=" << qPrintable(parser.value(database))
              << " User_Name=" << qPrintable(parser.value(user)) << std::endl;
    return 0;
}
