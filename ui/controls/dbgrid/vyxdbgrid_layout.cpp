// TvyxDBGrid: the column layout in the per-user registry and in a database table.

#include "platform/error.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/controls/dbgrid/vyxgridcolumnsdbstorage.h"

#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <optional>

namespace tev {

namespace {

const QString ColumnsSection = QStringLiteral("Columns");

QString EntrySection(int n)
{
    return ColumnsSection + QLatin1Char('/') + QString::number(n);
}

// The per-user registry: QSettings in native format, the key path as its group path.
class RegistryKey
{
public:
    explicit RegistryKey(const QString &keyPath)
        : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vyx"),
                     QStringLiteral("Tevora"))
    {
        Check(QStringLiteral("read"));
        QString path = keyPath;
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QString group = path.split(QLatin1Char('/'), Qt::SkipEmptyParts).join('/');
        if (!group.isEmpty())
            m_settings.beginGroup(group);
    }

    bool SectionExists(const QString &parent, const QString &child)
    {
        m_settings.beginGroup(parent);
        const bool exists = m_settings.childGroups().contains(child);
        m_settings.endGroup();
        return exists;
    }
    std::optional<QVariant> Value(const QString &section, const QString &name) const
    {
        const QVariant value = m_settings.value(section + QLatin1Char('/') + name);
        return value.isValid() ? std::optional<QVariant>(value) : std::nullopt;
    }
    int ReadInteger(const QString &section, const QString &name, int defaultValue) const
    {
        const auto value = Value(section, name);
        bool ok = false;
        const int result = value ? value->toString().trimmed().toInt(&ok) : 0;
        return ok ? result : defaultValue;
    }
    // A Boolean is kept as the integer 1 or 0; the texts "true" and "false" are read as well.
    bool ReadBool(const QString &section, const QString &name, bool defaultValue) const
    {
        const auto value = Value(section, name);
        if (!value)
            return defaultValue;
        const QString text = value->toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        return ReadInteger(section, name, defaultValue ? 1 : 0) != 0;
    }
    QString ReadString(const QString &section, const QString &name,
                       const QString &defaultValue) const
    {
        const auto value = Value(section, name);
        return value ? value->toString() : defaultValue;
    }
    void Write(const QString &section, const QString &name, const QVariant &value)
    {
        m_settings.setValue(section + QLatin1Char('/') + name, value);
    }
    void EraseSection(const QString &section) { m_settings.remove(section); }
    void Flush()
    {
        m_settings.sync();
        Check(QStringLiteral("write"));
    }

private:
    void Check(const QString &action) const
    {
        if (m_settings.status() != QSettings::NoError)
            throw Error(QStringLiteral("Cannot %1 the column layout in \"%2\" (%3)")
                            .arg(action, m_settings.fileName(),
                                 m_settings.status() == QSettings::AccessError
                                     ? QStringLiteral("access denied")
                                     : QStringLiteral("malformed file")));
    }

    QSettings m_settings;
};

// Holds the column collection's update lock for one scope.
class ColumnsUpdateGuard
{
public:
    explicit ColumnsUpdateGuard(TDBGridColumns &columns)
        : m_columns(columns)
    {
        m_columns.BeginUpdate();
    }
    ~ColumnsUpdateGuard() { m_columns.EndUpdate(); }
    ColumnsUpdateGuard(const ColumnsUpdateGuard &) = delete;
    ColumnsUpdateGuard &operator=(const ColumnsUpdateGuard &) = delete;

private:
    TDBGridColumns &m_columns;
};

} // namespace

void TvyxDBGrid::SaveToRegistry(const QString &ARegistryKey)
{
    RegistryKey key(ARegistryKey);
    key.EraseSection(ColumnsSection);
    key.Write(ColumnsSection, QStringLiteral("Count"), FColumns->Count());
    for (int n = 0; n < FColumns->Count(); ++n) {
        const TColumn *column = FColumns->Items(n);
        const QString section = EntrySection(n);
        key.Write(section, QStringLiteral("FieldName"), column->FieldName());
        key.Write(section, QStringLiteral("Index"), n);
        key.Write(section, QStringLiteral("Visible"), column->Visible() ? 1 : 0);
        key.Write(section, QStringLiteral("Width"), column->Width());
    }
    key.Flush();
}

void TvyxDBGrid::LoadFromRegistry(const QString &ARegistryKey)
{
    RegistryKey key(ARegistryKey);
    const int count = key.ReadInteger(ColumnsSection, QStringLiteral("Count"), 0);
    const ColumnsUpdateGuard lock(*FColumns);
    for (int n = 0; n < count; ++n) {
        const QString section = EntrySection(n);
        if (!key.SectionExists(ColumnsSection, QString::number(n)))
            continue;
        TColumn *column =
            ColumnByFieldName(key.ReadString(section, QStringLiteral("FieldName"), QString()));
        if (!column)
            continue;
        column->SetIndex(key.ReadInteger(section, QStringLiteral("Index"), column->Index()));
        column->SetVisible(key.ReadBool(section, QStringLiteral("Visible"), column->Visible()));
        column->SetWidth(key.ReadInteger(section, QStringLiteral("Width"), column->Width()));
    }
}

void TvyxDBGrid::LoadColumns()
{
    const TvyxGridColumnsDBStorage &storage = *FColumnsDBStorage;
    if (!storage.Active() || storage.Connection().isEmpty() ||
        !QSqlDatabase::contains(storage.Connection()))
        return;
    const QSqlDatabase database = QSqlDatabase::database(storage.Connection(), false);
    if (!database.isOpen())
        return;
    // Every failure of the query or of the stored data is swallowed.
    QByteArray stream;
    {
        QSqlQuery query(database);
        if (!query.prepare(storage.SelectStatement()))
            return;
        query.bindValue(QStringLiteral(":IDFIELD"), storage.Id());
        if (!query.exec() || !query.next())
            return;
        stream = query.value(0).toByteArray();
    }
    const ColumnsUpdateGuard lock(*FColumns);
    FColumns->Clear();
    FColumns->LoadFromStream(stream);
}

} // namespace tev
