#pragma once

// TField and TFDParam as scripts see them: a column of a dataset's current record and a named
// parameter of a query, with the value accessors a script uses (Value, AsString, AsInteger,
// AsFloat, AsBoolean, IsNull, Clear). A null value reads as Null through Value, and as 0, 0.0,
// False or the empty text through the typed accessors.

#include <QObject>
#include <QVariant>

namespace tev {

class Field;

// The Variant a script reads for a database value: Null for an invalid (null) value.
QVariant ScriptValueOf(const QVariant &Value);
// A script's value for the database: Null and Unassigned become an invalid (null) value.
QVariant DatabaseValueOf(const QVariant &Value);

class TField : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString FieldName READ FieldName)
    Q_PROPERTY(QVariant Value READ Value WRITE SetValue)
    Q_PROPERTY(QString AsString READ AsString WRITE SetAsString)
    Q_PROPERTY(qint64 AsInteger READ AsInteger WRITE SetAsInteger)
    Q_PROPERTY(double AsFloat READ AsFloat WRITE SetAsFloat)
    Q_PROPERTY(bool AsBoolean READ AsBoolean WRITE SetAsBoolean)
    Q_PROPERTY(bool IsNull READ IsNull)

public:
    // A view of field, which must outlive it: the dataset deletes its views before its fields.
    TField(Field &AField, QObject *AOwner);

    QString FieldName() const;
    QVariant Value() const;
    void SetValue(const QVariant &Value);
    QString AsString() const;
    void SetAsString(const QString &Value);
    qint64 AsInteger() const;
    void SetAsInteger(qint64 Value);
    double AsFloat() const;
    void SetAsFloat(double Value);
    // Numbers: not 0; texts: starting with T or Y (True, Yes), as the data layer reads them.
    bool AsBoolean() const;
    void SetAsBoolean(bool Value);
    bool IsNull() const;
    Q_INVOKABLE void Clear();

private:
    Field &FField;
};

class TFDParam : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name)
    Q_PROPERTY(QVariant Value READ Value WRITE SetValue)
    Q_PROPERTY(QString AsString READ AsString WRITE SetAsString)
    Q_PROPERTY(qint64 AsInteger READ AsInteger WRITE SetAsInteger)
    Q_PROPERTY(double AsFloat READ AsFloat WRITE SetAsFloat)
    Q_PROPERTY(bool AsBoolean READ AsBoolean WRITE SetAsBoolean)
    Q_PROPERTY(bool IsNull READ IsNull)

public:
    TFDParam(const QString &AName, QObject *AOwner);

    const QString &Name() const { return FName; }
    QVariant Value() const { return ScriptValueOf(FValue); }
    void SetValue(const QVariant &Value) { FValue = DatabaseValueOf(Value); }
    QString AsString() const { return FValue.toString(); }
    void SetAsString(const QString &Value) { FValue = Value; }
    qint64 AsInteger() const { return FValue.toLongLong(); }
    void SetAsInteger(qint64 Value) { FValue = Value; }
    double AsFloat() const { return FValue.toDouble(); }
    void SetAsFloat(double Value) { FValue = Value; }
    bool AsBoolean() const { return FValue.toBool(); }
    void SetAsBoolean(bool Value) { FValue = Value; }
    bool IsNull() const { return !FValue.isValid() || FValue.isNull(); }
    Q_INVOKABLE void Clear() { FValue = QVariant(); }

    // The value to bind: an invalid Variant for null.
    const QVariant &BindValue() const { return FValue; }

private:
    QString FName;
    QVariant FValue;
};

} // namespace tev
