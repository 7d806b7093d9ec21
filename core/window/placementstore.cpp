#include "core/window/placementstore.h"

#include "core/lib/numbers.h"
#include "platform/error.h"
#include "platform/ini/tinifile.h"

#include <QFileInfo>
#include <QSettings>

namespace tev {

namespace {

class IniPlacementStore final : public TPlacementStore
{
public:
    explicit IniPlacementStore(const QString &fileName)
        : m_ini(fileName)
    {}

    bool SectionExists(const QString &section) const override
    {
        return m_ini.SectionExists(section);
    }
    int ReadInteger(const QString &section, const QString &name, int defaultValue) const override
    {
        return m_ini.ReadInteger(section, name, defaultValue);
    }
    void WriteInteger(const QString &section, const QString &name, int value) override
    {
        m_ini.WriteInteger(section, name, value);
    }
    void Flush() override {}

private:
    TIniFile m_ini;
};

class RegistryPlacementStore final : public TPlacementStore
{
public:
    explicit RegistryPlacementStore(const QString &keyPath)
        : m_settings(QSettings::NativeFormat, QSettings::UserScope,
                     QString::fromLatin1(kRegistryOrganization),
                     QString::fromLatin1(kRegistryApplication))
        , m_group(RegistryGroupPath(keyPath))
    {
        CheckStatus(QStringLiteral("read"));
    }

    bool SectionExists(const QString &section) const override
    {
        return !ActualSection(section).isEmpty();
    }
    int ReadInteger(const QString &section, const QString &name, int defaultValue) const override
    {
        const QString actual = ActualSection(section);
        if (actual.isEmpty())
            return defaultValue;
        const QVariant value = m_settings.value(Key(actual, name));
        if (value.typeId() == QMetaType::Int)
            return value.toInt();
        // The native format keeps every value as text; it reads as integer text.
        return value.isValid() ? StrToIntDef(value.toString(), defaultValue) : defaultValue;
    }
    void WriteInteger(const QString &section, const QString &name, int value) override
    {
        const QString actual = ActualSection(section);
        m_settings.setValue(Key(actual.isEmpty() ? section : actual, name), value);
    }
    void Flush() override
    {
        m_settings.sync();
        CheckStatus(QStringLiteral("write"));
    }

private:
    // Registry key names match without regard to case; QSettings groups do not.
    QString ActualSection(const QString &section) const
    {
        if (!m_group.isEmpty())
            m_settings.beginGroup(m_group);
        const QStringList groups = m_settings.childGroups();
        if (!m_group.isEmpty())
            m_settings.endGroup();
        for (const QString &group : groups)
            if (group.compare(section, Qt::CaseInsensitive) == 0)
                return group;
        return QString();
    }
    QString Key(const QString &section, const QString &name) const
    {
        return (m_group.isEmpty() ? QString() : m_group + QLatin1Char('/')) + section +
               QLatin1Char('/') + name;
    }
    void CheckStatus(const QString &action) const
    {
        if (m_settings.status() != QSettings::NoError)
            throw Error(QStringLiteral("Cannot %1 the window placement in \"%2\" (%3)")
                            .arg(action, m_settings.fileName(),
                                 m_settings.status() == QSettings::AccessError
                                     ? QStringLiteral("access denied")
                                     : QStringLiteral("malformed file")));
    }

    mutable QSettings m_settings; // groups are entered and left to list them
    QString m_group;
};

} // namespace

QString RegistryGroupPath(const QString &keyPath)
{
    QString path = keyPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char('/'));
}

std::unique_ptr<TPlacementStore> TPlacementStore::Open(const QString &appRegKey)
{
    if (QFileInfo(appRegKey).isFile())
        return std::make_unique<IniPlacementStore>(appRegKey);
    return std::make_unique<RegistryPlacementStore>(appRegKey);
}

} // namespace tev
