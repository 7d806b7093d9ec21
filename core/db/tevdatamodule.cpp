#include "core/db/tevdatamodule.h"

#include "core/db/connectionstate.h"
#include "core/db/databaseerror.h"
#include "core/db/firebirdembedded.h"
#include "core/db/passwordscrambler.h"
#include "core/lib/paths.h"
#include "platform/error.h"
#include "platform/ini/tinifile.h"
#include "platform/text/tencoding.h"

#include <QDir>
#include <QLoggingCategory>

namespace tev {

namespace {

Q_LOGGING_CATEGORY(lcData, "tevora.data")

const QString ConnectionName = QStringLiteral("Tevora");

} // namespace

TTevDataModule::TTevDataModule(const QString &appRootDir, QObject *parent)
    : QObject(parent)
    , FAppRootDir(appRootDir)
{
    FDatabase = new TTevConnection(ConnectionName, this);
    connect(FDatabase, &TTevConnection::afterConnect, this, &TTevDataModule::DatabaseAfterConnect);
    connect(FDatabase, &TTevConnection::afterDisconnect, this,
            &TTevDataModule::DatabaseAfterDisconnect);
    FDatabase->close();

    // The client library reads its folders once, at its first call: set them before any.
    const QString vendorHome = AddBackSlash(appRootDir) + QStringLiteral("FB");
    FDatabase->setVendorHome(vendorHome);
    PrepareFirebirdEnvironment(vendorHome);

    LoadConnectionParams();
    try {
        FDatabase->open();
    } catch (const Error &e) {
        qCInfo(lcData) << "Database not connected:" << e.message();
    }
}

TTevDataModule::~TTevDataModule()
{
    try {
        SaveConnectionParams();
    } catch (const std::exception &e) {
        qCWarning(lcData) << "Cannot write the connection file:" << e.what();
    }
}

bool TTevDataModule::Connected() const
{
    return FDatabase && FDatabase->connected();
}

void TTevDataModule::DatabaseAfterConnect()
{
    Q_EMIT AfterConnect(this);
}

void TTevDataModule::DatabaseAfterDisconnect()
{
    Q_EMIT AfterDisconnect(this);
}

bool TTevDataModule::Reconnect()
{
    FWriteStamps.reset(); // the parameters may name another database
    FDatabase->close();
    try {
        FDatabase->open();
    } catch (const Error &e) {
        qCInfo(lcData) << "Reconnect failed:" << e.message();
        return false;
    }
    return FDatabase->connected();
}

bool TTevDataModule::TestDBConnection(const TStringList &ConnectionParams)
{
    TTevConnection temp(QStringLiteral("TempDB"));
    temp.setVendorHome(FDatabase->vendorHome());
    temp.setParams(ConnectionParams);
    for (const QString &name :
         {QStringLiteral("DriverID"), QStringLiteral("Server"), QStringLiteral("Database"),
          QStringLiteral("User_Name"), QStringLiteral("Password")})
        temp.setParam(name, ConnectionParams.Values(name));
    try {
        temp.open();
    } catch (const Error &e) {
        qCInfo(lcData) << "Connection test failed:" << e.message();
        return false;
    }
    const bool result = temp.connected();
    temp.close();
    return result;
}

QString TTevDataModule::ConnectionFileName() const
{
    return AddBackSlash(FAppRootDir) + QStringLiteral("Config/Config.ini");
}

void TTevDataModule::LoadConnectionParams()
{
    TIniFile ini(ConnectionFileName());
    const QString section = QStringLiteral("Database");
    const QString defaultDatabase = AddBackSlash(FAppRootDir) + QStringLiteral("DB/Tevora.fdb");
    if (!ini.SectionExists(section)) {
        ini.WriteString(section, QStringLiteral("DriverId"), QStringLiteral("FB"));
        ini.WriteString(section, QStringLiteral("Server"), QString());
        ini.WriteString(section, QStringLiteral("Database"), defaultDatabase);
        ini.WriteString(section, QStringLiteral("User_Name"), QStringLiteral("SYSDBA"));
        ini.WriteString(section, QStringLiteral("Password"),
                        QString::fromLatin1(EncryptString("plumtrees", ConnectionPasswordKey)));
        ini.WriteString(section, QStringLiteral("OpenMode"), QStringLiteral("OpenOrCreate"));
        ini.WriteString(section, QStringLiteral("CharacterSet"), QStringLiteral("UTF8"));
    }
    const TEncoding::Ptr ansi = TEncoding::ANSI();
    const QByteArray password =
        ansi->GetBytes(ini.ReadString(section, QStringLiteral("Password"), QString()));
    TStringList params;
    auto add = [&](const QString &key, const QString &defaultValue) {
        params.Add(key + QLatin1Char('=') + ini.ReadString(section, key, defaultValue));
    };
    add(QStringLiteral("DriverId"), QStringLiteral("FB"));
    add(QStringLiteral("Server"), QString());
    add(QStringLiteral("Database"), defaultDatabase);
    add(QStringLiteral("User_Name"), QStringLiteral("SYSDBA"));
    params.Add(QStringLiteral("Password=") +
               ansi->GetString(DecryptString(password, ConnectionPasswordKey)));
    add(QStringLiteral("OpenMode"), QStringLiteral("OpenOrCreate"));
    add(QStringLiteral("CharacterSet"), QStringLiteral("UTF8"));
    // Not written by the program: names another installed SQL Server ODBC driver than FreeTDS.
    if (ini.ValueExists(section, QStringLiteral("ODBCDriver")))
        add(QStringLiteral("ODBCDriver"), QString());
    FDatabase->setParams(params);
}

void TTevDataModule::SaveConnectionParams()
{
    TIniFile ini(ConnectionFileName());
    const QString section = QStringLiteral("Database");
    ini.WriteString(section, QStringLiteral("DriverId"),
                    FDatabase->param(QStringLiteral("DriverID")));
    ini.WriteString(section, QStringLiteral("Server"), FDatabase->param(QStringLiteral("Server")));
    ini.WriteString(section, QStringLiteral("Database"),
                    FDatabase->param(QStringLiteral("Database")));
    ini.WriteString(section, QStringLiteral("User_Name"),
                    FDatabase->param(QStringLiteral("User_Name")));
    const QByteArray password =
        TEncoding::ANSI()->GetBytes(FDatabase->param(QStringLiteral("Password")));
    ini.WriteString(section, QStringLiteral("Password"),
                    QString::fromLatin1(EncryptString(password, ConnectionPasswordKey)));
}

QSqlDatabase TTevDataModule::UsableDatabase() const
{
    FDatabase->recover();
    return FDatabase->database();
}

bool TTevDataModule::MayRetry(const DatabaseError &error, const QString &sql) const
{
    if (error.failure() != DatabaseFailure::ConnectionLost ||
        !sql.startsWith(QLatin1String("select"), Qt::CaseInsensitive))
        return false;
    const ConnectionState *state = ConnectionState::of(FDatabase->database());
    return !state || state->transactionDepth() == 0;
}

QSqlQuery TTevDataModule::Run(const QString &sql, const SqlBindings &bindings) const
{
    try {
        return RunSql(UsableDatabase(), sql, bindings, FSqlTrace);
    } catch (const DatabaseError &e) {
        if (!MayRetry(e, sql))
            throw;
    }
    return RunSql(UsableDatabase(), sql, bindings, FSqlTrace);
}

} // namespace tev
