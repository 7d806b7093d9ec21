#include "scripting/host/tfdfield.h"

#include "platform/dataset/field.h"

namespace tev {

QVariant ScriptValueOf(const QVariant &Value)
{
    if (!Value.isValid() || Value.isNull())
        return QVariant::fromValue(nullptr);
    return Value;
}

QVariant DatabaseValueOf(const QVariant &Value)
{
    if (!Value.isValid() || Value.metaType() == QMetaType::fromType<std::nullptr_t>())
        return QVariant();
    return Value;
}

TField::TField(Field &AField, QObject *AOwner)
    : QObject(AOwner)
    , FField(AField)
{
    setObjectName(AField.fieldName());
}

QString TField::FieldName() const
{
    return FField.fieldName();
}

QVariant TField::Value() const
{
    return ScriptValueOf(FField.value());
}

void TField::SetValue(const QVariant &Value)
{
    FField.setValue(DatabaseValueOf(Value));
}

QString TField::AsString() const
{
    return FField.asString();
}

void TField::SetAsString(const QString &Value)
{
    FField.setAsString(Value);
}

qint64 TField::AsInteger() const
{
    return FField.asInteger();
}

void TField::SetAsInteger(qint64 Value)
{
    FField.setValue(Value);
}

double TField::AsFloat() const
{
    return FField.asFloat();
}

void TField::SetAsFloat(double Value)
{
    FField.setAsFloat(Value);
}

bool TField::AsBoolean() const
{
    const QVariant v = FField.value();
    if (!v.isValid())
        return false;
    if (FField.dataType() == FieldType::String || FField.dataType() == FieldType::Memo) {
        const QString s = v.toString().trimmed();
        return !s.isEmpty() && QStringLiteral("TtYy").contains(s.at(0));
    }
    return v.toDouble() != 0;
}

void TField::SetAsBoolean(bool Value)
{
    if (FField.dataType() == FieldType::String || FField.dataType() == FieldType::Memo)
        FField.setAsString(Value ? QStringLiteral("True") : QStringLiteral("False"));
    else
        FField.setAsInteger(Value ? 1 : 0);
}

bool TField::IsNull() const
{
    return FField.isNull();
}

void TField::Clear()
{
    FField.clear();
}

TFDParam::TFDParam(const QString &AName, QObject *AOwner)
    : QObject(AOwner)
    , FName(AName)
{
    setObjectName(AName);
}

} // namespace tev
