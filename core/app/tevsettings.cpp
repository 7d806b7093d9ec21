#include "core/app/tevsettings.h"

#include "core/lib/conversions.h"
#include "core/lib/knownfolders.h"
#include "core/lib/numbers.h"
#include "core/lib/paths.h"

namespace tev {

namespace {

QString key(const char *Key)
{
    return QString::fromLatin1(Key);
}

} // namespace

TTevSettings::TTevSettings()
{
    SetNameValueSeparator(u'=');
    AddPair(key(kDBType), QStringLiteral("0"));
    AddPair(key(kDBDriver), QStringLiteral("FB"));
    AddPair(key(kDBServer), QStringLiteral("localhost"));
    AddPair(key(kDBDatabase), QStringLiteral("../DB/Tevora.fdb"));
    AddPair(key(kDBUserName), QStringLiteral("SYSDBA"));
    AddPair(key(kDBPassword), QStringLiteral("plumtrees"));
    AddPair(key(kSEQDir), DefaultSEQDir());
    AddPair(key(kDefaultMasterDir), QString());
    AddPair(key(kDefaultWorkDir), QString());
    AddPair(key(kDecimals), QStringLiteral("2"));
    AddPair(key(kFileEncoding), QStringLiteral("1252"));
    AddPair(key(kFormatFile), QString());
    AddPair(key(kPickListFile), QString());
    AddPair(key(kUnits), QStringLiteral("0"));
}

QString TTevSettings::DefaultSEQDir()
{
    return AddBackSlash(GetCommonDocumentsDir()) + QStringLiteral("Kelmetra/SEQ");
}

void TTevSettings::SetValue(const QString &AName, const QString &AValue)
{
    const int index = IndexOfName(AName);
    if (index < 0)
        AddPair(AName, AValue);
    else if (AValue.isEmpty())
        Delete(index);
    else
        SetValueFromIndex(index, AValue);
}

QString TTevSettings::ValueOf(const char *Key) const
{
    return Values(key(Key));
}

int TTevSettings::IntegerOf(const char *Key, int Default) const
{
    return StrToIntDef(ValueOf(Key), Default);
}

bool TTevSettings::BooleanOf(const char *Key) const
{
    return ParamStrToBool(ValueOf(Key));
}

TTevDBType TTevSettings::DBType() const
{
    return IntegerOf(kDBType, 0) == int(TTevDBType::dbtClientServer) ? TTevDBType::dbtClientServer
                                                                     : TTevDBType::dbtEmbedded;
}

void TTevSettings::SetDBType(TTevDBType Value)
{
    SetValue(key(kDBType), QString::number(int(Value)));
}

QString TTevSettings::DBDriver() const
{
    return ValueOf(kDBDriver);
}

void TTevSettings::SetDBDriver(const QString &Value)
{
    SetValue(key(kDBDriver), Value);
}

QString TTevSettings::DBServer() const
{
    return ValueOf(kDBServer);
}

void TTevSettings::SetDBServer(const QString &Value)
{
    SetValue(key(kDBServer), Value);
}

QString TTevSettings::DBDatabase() const
{
    return ValueOf(kDBDatabase);
}

void TTevSettings::SetDBDatabase(const QString &Value)
{
    SetValue(key(kDBDatabase), Value);
}

QString TTevSettings::DBUserName() const
{
    return ValueOf(kDBUserName);
}

void TTevSettings::SetDBUserName(const QString &Value)
{
    SetValue(key(kDBUserName), Value);
}

QString TTevSettings::DBPassword() const
{
    return ValueOf(kDBPassword);
}

void TTevSettings::SetDBPassword(const QString &Value)
{
    SetValue(key(kDBPassword), Value);
}

QString TTevSettings::SEQDir() const
{
    return ValueOf(kSEQDir);
}

void TTevSettings::SetSEQDir(const QString &Value)
{
    SetValue(key(kSEQDir), Value);
}

QString TTevSettings::DefaultMasterDir() const
{
    return ValueOf(kDefaultMasterDir);
}

void TTevSettings::SetDefaultMasterDir(const QString &Value)
{
    SetValue(key(kDefaultMasterDir), Value);
}

QString TTevSettings::DefaultWorkDir() const
{
    return ValueOf(kDefaultWorkDir);
}

void TTevSettings::SetDefaultWorkDir(const QString &Value)
{
    SetValue(key(kDefaultWorkDir), Value);
}

int TTevSettings::Decimals() const
{
    return IntegerOf(kDecimals, 2);
}

void TTevSettings::SetDecimals(int Value)
{
    SetValue(key(kDecimals), QString::number(Value));
}

QString TTevSettings::FileEncoding() const
{
    return ValueOf(kFileEncoding);
}

void TTevSettings::SetFileEncoding(const QString &Value)
{
    SetValue(key(kFileEncoding), Value);
}

QString TTevSettings::FormatFile() const
{
    return ValueOf(kFormatFile);
}

void TTevSettings::SetFormatFile(const QString &Value)
{
    SetValue(key(kFormatFile), Value);
}

bool TTevSettings::FormatPerProject() const
{
    return BooleanOf(kFormatPerProject);
}

void TTevSettings::SetFormatPerProject(bool Value)
{
    SetValue(key(kFormatPerProject), BoolToParamStr(Value));
}

QString TTevSettings::PickListFile() const
{
    return ValueOf(kPickListFile);
}

void TTevSettings::SetPickListFile(const QString &Value)
{
    SetValue(key(kPickListFile), Value);
}

bool TTevSettings::PickListPerProject() const
{
    return BooleanOf(kPickListPerProject);
}

void TTevSettings::SetPickListPerProject(bool Value)
{
    SetValue(key(kPickListPerProject), BoolToParamStr(Value));
}

int TTevSettings::Units() const
{
    return IntegerOf(kUnits, 0);
}

void TTevSettings::SetUnits(int Value)
{
    SetValue(key(kUnits), QString::number(Value));
}

} // namespace tev
