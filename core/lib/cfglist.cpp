#include "core/lib/cfglist.h"

#include "core/lib/conversions.h"
#include "core/lib/numbers.h"
#include "platform/text/tstringlist.h"

namespace tev {

namespace {

// Replaces the value of the line named Name in its place, or appends a line.
void WriteCfgValue(TStringList &Strings, const QString &Name, const QString &Value)
{
    const int index = Strings.IndexOfName(Name);
    if (index >= 0)
        Strings.SetValueFromIndex(index, Value);
    else
        Strings.Add(Name + Strings.NameValueSeparator() + Value);
}

} // namespace

bool ReadCfgBool(const TStringList &Strings, const QString &AName, bool ADefault)
{
    const int index = Strings.IndexOfName(AName);
    return index < 0 ? ADefault : ParamStrToBool(Strings.ValueFromIndex(index));
}

qint32 ReadCfgInteger(const TStringList &Strings, const QString &AName, qint32 ADefault)
{
    return StrToIntDef(Strings.Values(AName), ADefault);
}

QString ReadCfgString(const TStringList &Strings, const QString &AName, const QString &ADefault)
{
    const int index = Strings.IndexOfName(AName);
    return index < 0 ? ADefault : Strings.ValueFromIndex(index);
}

void WriteCfgBool(TStringList &Strings, const QString &Name, bool Value)
{
    WriteCfgValue(Strings, Name, BoolToParamStr(Value));
}

void WriteCfgInteger(TStringList &Strings, const QString &Name, qint32 Value)
{
    WriteCfgValue(Strings, Name, QString::number(Value));
}

void WriteCfgString(TStringList &Strings, const QString &Name, const QString &Value, QObject *Obj)
{
    const int index = Strings.IndexOfName(Name);
    if (index >= 0)
        Strings.Delete(index);
    Strings.AddObject(Name + Strings.NameValueSeparator() + Value, Obj);
}

} // namespace tev
