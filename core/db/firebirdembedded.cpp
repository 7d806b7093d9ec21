#include "core/db/firebirdembedded.h"

#include "platform/error.h"

#include <QDir>
#include <QFileInfo>

#include <ibase.h>

namespace tev {

namespace {

bool g_prepared = false;

void SetIfUnset(const char *name, const QString &value)
{
    if (qEnvironmentVariableIsEmpty(name))
        qputenv(name, QFile::encodeName(value));
}

QString StatusText(const ISC_STATUS *status)
{
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS *cursor = status;
    while (fb_interpret(buffer, sizeof buffer, &cursor) > 0)
        lines << QString::fromUtf8(buffer);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void PrepareFirebirdEnvironment(const QString &vendorHome)
{
    if (g_prepared)
        return;
    g_prepared = true;
    // The engine refuses a plugin whose loaded path differs from the configured one, as happens
    // when the folder is reached through a symbolic link: use the canonical path.
    QString home = QFileInfo(vendorHome).canonicalFilePath();
    if (home.isEmpty())
        home = QDir::cleanPath(QDir(vendorHome).absolutePath());
    qputenv("FIREBIRD", QFile::encodeName(home));
    SetIfUnset("FIREBIRD_LOCK", home + QStringLiteral("/lock"));
    SetIfUnset("FIREBIRD_TMP", home + QStringLiteral("/tmp"));
    // The engine creates the lock folder itself but needs its parent; the sort folder must exist.
    QDir().mkpath(QFile::decodeName(qgetenv("FIREBIRD_TMP")));
}

bool FirebirdEnvironmentPrepared()
{
    return g_prepared;
}

void CreateFirebirdDatabase(const QString &fileName, const QString &userName, const QString &server,
                            const QString &password)
{
    auto quoted = [](QString text) {
        return text.replace(QLatin1Char('\''), QStringLiteral("''"));
    };
    QString target;
    QString credentials = QStringLiteral("USER '%1'").arg(quoted(userName));
    if (server.isEmpty()) {
        const QFileInfo info(fileName);
        if (!QDir().mkpath(info.absolutePath()))
            throw Error(
                QStringLiteral("Cannot create the folder \"%1\".").arg(info.absolutePath()));
        target = info.absoluteFilePath();
    } else {
        target = server + QLatin1Char(':') + fileName;
        credentials += QStringLiteral(" PASSWORD '%1'").arg(quoted(password));
    }
    const QByteArray statement = QStringLiteral("CREATE DATABASE '%1' %2 PAGE_SIZE 8192 "
                                                "DEFAULT CHARACTER SET UTF8")
                                     .arg(quoted(target), credentials)
                                     .toUtf8();
    ISC_STATUS_ARRAY status{};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    if (isc_dsql_execute_immediate(status, &db, &tr, 0, statement.constData(), SQL_DIALECT_V6,
                                   nullptr)) {
        throw Error(QStringLiteral("Cannot create the database \"%1\": %2")
                        .arg(fileName, StatusText(status)));
    }
    if (isc_detach_database(status, &db))
        throw Error(QStringLiteral("Cannot close the new database \"%1\": %2")
                        .arg(fileName, StatusText(status)));
}

} // namespace tev
