#include "core/db/tevdatamodule.h"

#include "core/db/connectionfile.h"
#include "core/db/connectionstate.h"
#include "core/db/databaseerror.h"
#include "core/db/firebirdembedded.h"
#include "core/lib/paths.h"
#include "platform/error.h"
#include "platform/ini/tinifile.h"

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

bool TTevDataModule::TestDBConnection(const TStringList &ConnectionParams, QString *Reason)
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
        if (Reason)
            *Reason = temp.openFailure();
        return false;
    }
    const bool result = temp.connected();
    temp.close();
    return result;
}

QString TTevDataModule::ConnectionFileName() const
{
    return tev::ConnectionFileName(FAppRootDir);
}

void TTevDataModule::LoadConnectionParams()
{
    TIniFile ini(ConnectionFileName());
    WriteDefaultConnectionSection(ini, FAppRootDir);
    FDatabase->setParams(ReadConnectionSection(ini, FAppRootDir));
}

void TTevDataModule::SaveConnectionParams()
{
    TIniFile ini(ConnectionFileName());
    WriteConnectionSection(ini, FDatabase->params());
}

QSqlDatabase TTevDataModule::UsableDatabase() const
{
    FDatabase->recover();
    return FDatabase->database();
}

bool TTevDataModule::MayRetry(const DatabaseError &error, const QString &sql) const
{
    if (error.failure() != DatabaseFailure::ConnectionLost || !error.retryable() ||
        !sql.startsWith(QLatin1String("select"), Qt::CaseInsensitive))
        return false;
    const ConnectionState *state = ConnectionState::of(FDatabase->database());
    return !state || state->transactionDepth() == 0;
}

QSqlQuery TTevDataModule::Run(const QString &sql, const SqlBindings &bindings) const
{
    try {
        return RunSqlFetched(UsableDatabase(), sql, bindings, FSqlTrace);
    } catch (const DatabaseError &e) {
        if (!MayRetry(e, sql))
            throw;
    }
    return RunSqlFetched(UsableDatabase(), sql, bindings, FSqlTrace);
}

} // namespace tev
