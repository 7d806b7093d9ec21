#include "core/shell/desktopassociations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

namespace tev {

namespace {

// xdg-mime is a shell script that answers at once; this only guards against a stuck desktop.
constexpr int kXdgMimeTimeoutMs = 5000;

// The folders holding applications/ in the order of the XDG base directory rules. Read from the
// environment rather than QStandardPaths, whose test mode would hide the desktop's own data.
QStringList DataFolders()
{
    QStringList folders;
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (home.isEmpty())
        home = QDir::homePath() + QStringLiteral("/.local/share");
    folders << home;
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString &dir : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders << dir;
    return folders;
}

// A desktop id "kde-foo.desktop" may also live at applications/kde/foo.desktop.
QString FindDesktopFile(const QString &desktopId)
{
    QStringList candidates{desktopId};
    QString nested = desktopId;
    for (qsizetype dash = nested.indexOf(QLatin1Char('-')); dash >= 0;
         dash = nested.indexOf(QLatin1Char('-'), dash + 1)) {
        nested[dash] = QLatin1Char('/');
        candidates << nested;
    }
    for (const QString &folder : DataFolders())
        for (const QString &candidate : candidates) {
            const QString path = folder + QStringLiteral("/applications/") + candidate;
            if (QFileInfo(path).isFile())
                return path;
        }
    return QString();
}

// The Exec value of the [Desktop Entry] group, with the value escapes (\s, \\ ...) undone.
QString ReadExecLine(const QString &desktopFile)
{
    QFile file(desktopFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream in(&file);
    bool inEntry = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry || !line.startsWith(QLatin1String("Exec")))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0 || line.left(equals).trimmed() != QLatin1String("Exec"))
            continue;
        const QString raw = line.mid(equals + 1).trimmed();
        QString value;
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i] == QLatin1Char('\\') && i + 1 < raw.size()) {
                const QChar c = raw[++i];
                value += c == QLatin1Char('s')   ? QChar(' ')
                         : c == QLatin1Char('t') ? QChar('\t')
                         : c == QLatin1Char('n') ? QChar('\n')
                                                 : c;
            } else {
                value += raw[i];
            }
        }
        return value;
    }
    return QString();
}

// The first word of an Exec line, honouring its double quotes.
QString FirstExecWord(const QString &exec)
{
    QString word;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size())
                word += exec[++i];
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                word += c;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c.isSpace()) {
            if (!word.isEmpty())
                break;
        } else {
            word += c;
        }
    }
    return word;
}

} // namespace

QString DefaultDesktopEntry(const QString &mimeType)
{
    if (mimeType.isEmpty())
        return QString();
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return QString();
    QProcess process;
    process.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!process.waitForFinished(kXdgMimeTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return QString();
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QString();
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    // A list of several entries names the preferred one first.
    return output.split(QLatin1Char('\n')).value(0).split(QLatin1Char(';')).value(0).trimmed();
}

QString DesktopEntryProgram(const QString &desktopId)
{
    if (desktopId.isEmpty() || desktopId.contains(QLatin1Char('/')))
        return QString();
    const QString desktopFile = FindDesktopFile(desktopId);
    if (desktopFile.isEmpty())
        return QString();
    const QString program = FirstExecWord(ReadExecLine(desktopFile));
    if (program.isEmpty())
        return QString();
    if (QFileInfo(program).isAbsolute())
        return QFileInfo(program).isExecutable() ? program : QString();
    return QStandardPaths::findExecutable(program);
}

QStringList MimeTypesForFileName(const QString &fileName)
{
    QStringList names;
    for (const QMimeType &type : QMimeDatabase().mimeTypesForFileName(fileName))
        names << type.name();
    return names;
}

QString AssociatedProgramForMimeTypes(const QStringList &mimeTypes)
{
    for (const QString &type : mimeTypes) {
        const QString program = DesktopEntryProgram(DefaultDesktopEntry(type));
        if (!program.isEmpty())
            return program;
    }
    return QString();
}

} // namespace tev
