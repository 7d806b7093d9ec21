#pragma once

#include <QObject>
#include <QString>

namespace tev {

// Where TvyxDBGrid::LoadColumns finds a stored column collection: one row of a database table,
// found by its key, whose value column holds the collection (see TDBGridColumns::LoadFromStream).
// The connection is a Qt SQL connection name; the empty name is none. The program never creates
// or writes that table; the storage stays inactive unless its owner switches it on.
class TvyxGridColumnsDBStorage : public QObject
{
    Q_OBJECT

public:
    explicit TvyxGridColumnsDBStorage(QObject *aOwner = nullptr)
        : QObject(aOwner)
    {}

    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    QString Connection() const { return FConnection; }
    void SetConnection(const QString &Value) { FConnection = Value; }
    QString Id() const { return FId; }
    void SetId(const QString &Value) { FId = Value; }
    QString IdFieldName() const { return FIdFieldName; }
    void SetIdFieldName(const QString &Value) { FIdFieldName = Value; }
    QString TableName() const { return FTableName; }
    void SetTableName(const QString &Value) { FTableName = Value; }
    QString ValueFieldName() const { return FValueFieldName; }
    void SetValueFieldName(const QString &Value) { FValueFieldName = Value; }

    // The statement that reads the value, with the parameter :IDFIELD for the key.
    QString SelectStatement() const;

private:
    bool FActive = false;
    QString FConnection;
    QString FId;
    QString FIdFieldName = QStringLiteral("ID");
    QString FTableName = QStringLiteral("GRIDCOLUMNS");
    QString FValueFieldName = QStringLiteral("COLUMNS");
};

} // namespace tev
