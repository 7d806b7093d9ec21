#include "scripting/host/tevsettingsview.h"

#include "core/app/tevsettings.h"

namespace tev {

TTevSettingsView::TTevSettingsView(TTevSettings &ASettings, QObject *AOwner)
    : QObject(AOwner)
    , FSettings(ASettings)
{
    setObjectName(QStringLiteral("Settings"));
}

int TTevSettingsView::DBType() const
{
    return static_cast<int>(FSettings.DBType());
}

void TTevSettingsView::SetDBType(int Value)
{
    FSettings.SetDBType(static_cast<TTevDBType>(Value));
}

QString TTevSettingsView::DBDriver() const
{
    return FSettings.DBDriver();
}

void TTevSettingsView::SetDBDriver(const QString &Value)
{
    FSettings.SetDBDriver(Value);
}

QString TTevSettingsView::DBServer() const
{
    return FSettings.DBServer();
}

void TTevSettingsView::SetDBServer(const QString &Value)
{
    FSettings.SetDBServer(Value);
}

QString TTevSettingsView::DBDatabase() const
{
    return FSettings.DBDatabase();
}

void TTevSettingsView::SetDBDatabase(const QString &Value)
{
    FSettings.SetDBDatabase(Value);
}

QString TTevSettingsView::DBUserName() const
{
    return FSettings.DBUserName();
}

void TTevSettingsView::SetDBUserName(const QString &Value)
{
    FSettings.SetDBUserName(Value);
}

QString TTevSettingsView::DBPassword() const
{
    return FSettings.DBPassword();
}

void TTevSettingsView::SetDBPassword(const QString &Value)
{
    FSettings.SetDBPassword(Value);
}

QString TTevSettingsView::SEQDir() const
{
    return FSettings.SEQDir();
}

void TTevSettingsView::SetSEQDir(const QString &Value)
{
    FSettings.SetSEQDir(Value);
}

QString TTevSettingsView::DefaultMasterDir() const
{
    return FSettings.DefaultMasterDir();
}

void TTevSettingsView::SetDefaultMasterDir(const QString &Value)
{
    FSettings.SetDefaultMasterDir(Value);
}

QString TTevSettingsView::DefaultWorkDir() const
{
    return FSettings.DefaultWorkDir();
}

void TTevSettingsView::SetDefaultWorkDir(const QString &Value)
{
    FSettings.SetDefaultWorkDir(Value);
}

int TTevSettingsView::Decimals() const
{
    return FSettings.Decimals();
}

void TTevSettingsView::SetDecimals(int Value)
{
    FSettings.SetDecimals(Value);
}

QString TTevSettingsView::FileEncoding() const
{
    return FSettings.FileEncoding();
}

void TTevSettingsView::SetFileEncoding(const QString &Value)
{
    FSettings.SetFileEncoding(Value);
}

QString TTevSettingsView::FormatFile() const
{
    return FSettings.FormatFile();
}

void TTevSettingsView::SetFormatFile(const QString &Value)
{
    FSettings.SetFormatFile(Value);
}

bool TTevSettingsView::FormatPerProject() const
{
    return FSettings.FormatPerProject();
}

void TTevSettingsView::SetFormatPerProject(bool Value)
{
    FSettings.SetFormatPerProject(Value);
}

QString TTevSettingsView::PickListFile() const
{
    return FSettings.PickListFile();
}

void TTevSettingsView::SetPickListFile(const QString &Value)
{
    FSettings.SetPickListFile(Value);
}

bool TTevSettingsView::PickListPerProject() const
{
    return FSettings.PickListPerProject();
}

void TTevSettingsView::SetPickListPerProject(bool Value)
{
    FSettings.SetPickListPerProject(Value);
}

int TTevSettingsView::Units() const
{
    return FSettings.Units();
}

void TTevSettingsView::SetUnits(int Value)
{
    FSettings.SetUnits(Value);
}

bool TTevSettingsView::UseSysLanguage() const
{
    return FSettings.UseSysLanguage();
}

void TTevSettingsView::SetUseSysLanguage(bool Value)
{
    FSettings.SetUseSysLanguage(Value);
}

QString TTevSettingsView::Text() const
{
    return FSettings.Text();
}

int TTevSettingsView::Count() const
{
    return FSettings.Count();
}

QString TTevSettingsView::Value(const QString &Name) const
{
    return FSettings.Values(Name);
}

void TTevSettingsView::SetValue(const QString &Name, const QString &Value)
{
    FSettings.SetValue(Name, Value);
}

} // namespace tev
