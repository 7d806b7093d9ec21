#include "core/db/connectionfile.h"

#include "core/db/passwordscrambler.h"
#include "core/lib/paths.h"
#include "platform/ini/tinifile.h"
#include "platform/text/tencoding.h"

namespace tev {

namespace {

const QString Section = QStringLiteral("Database");

QString DefaultDatabase(const QString &appRootDir)
{
    return AddBackSlash(appRootDir) + QStringLiteral("DB/Tevora.fdb");
}

// The file holds the password's scrambled bytes in the ANSI code page.
QString Scrambled(const QString &password)
{
    return QString::fromLatin1(
        EncryptString(TEncoding::ANSI()->GetBytes(password), ConnectionPasswordKey));
}

} // namespace

QString ConnectionFileName(const QString &appRootDir)
{
    return AddBackSlash(appRootDir) + QStringLiteral("Config/Config.ini");
}

void WriteDefaultConnectionSection(TIniFile &ini, const QString &appRootDir)
{
    if (ini.SectionExists(Section))
        return;
    ini.WriteString(Section, QStringLiteral("DriverId"), QStringLiteral("FB"));
    ini.WriteString(Section, QStringLiteral("Server"), QString());
    ini.WriteString(Section, QStringLiteral("Database"), DefaultDatabase(appRootDir));
    ini.WriteString(Section, QStringLiteral("User_Name"), QStringLiteral("SYSDBA"));
    ini.WriteString(Section, QStringLiteral("Password"), Scrambled(QStringLiteral("plumtrees")));
    ini.WriteString(Section, QStringLiteral("OpenMode"), QStringLiteral("OpenOrCreate"));
    ini.WriteString(Section, QStringLiteral("CharacterSet"), QStringLiteral("UTF8"));
}

TStringList ReadConnectionSection(const TIniFile &ini, const QString &appRootDir)
{
    const TEncoding::Ptr ansi = TEncoding::ANSI();
    const QByteArray password =
        ansi->GetBytes(ini.ReadString(Section, QStringLiteral("Password"), QString()));
    TStringList params;
    auto add = [&](const QString &key, const QString &defaultValue) {
        params.Add(key + QLatin1Char('=') + ini.ReadString(Section, key, defaultValue));
    };
    add(QStringLiteral("DriverId"), QStringLiteral("FB"));
    add(QStringLiteral("Server"), QString());
    add(QStringLiteral("Database"), DefaultDatabase(appRootDir));
    add(QStringLiteral("User_Name"), QStringLiteral("SYSDBA"));
    params.Add(QStringLiteral("Password=") +
               ansi->GetString(DecryptString(password, ConnectionPasswordKey)));
    add(QStringLiteral("OpenMode"), QStringLiteral("OpenOrCreate"));
    add(QStringLiteral("CharacterSet"), QStringLiteral("UTF8"));
    // Not written by the program: names another installed SQL Server ODBC driver than FreeTDS.
    if (ini.ValueExists(Section, QStringLiteral("ODBCDriver")))
        add(QStringLiteral("ODBCDriver"), QString());
    return params;
}

void WriteConnectionSection(TIniFile &ini, const TStringList &params)
{
    ini.WriteString(Section, QStringLiteral("DriverId"), params.Values(QStringLiteral("DriverID")));
    ini.WriteString(Section, QStringLiteral("Server"), params.Values(QStringLiteral("Server")));
    ini.WriteString(Section, QStringLiteral("Database"), params.Values(QStringLiteral("Database")));
    ini.WriteString(Section, QStringLiteral("User_Name"),
                    params.Values(QStringLiteral("User_Name")));
    ini.WriteString(Section, QStringLiteral("Password"),
                    Scrambled(params.Values(QStringLiteral("Password"))));
}

} // namespace tev
