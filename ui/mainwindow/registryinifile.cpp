#include "ui/mainwindow/registryinifile.h"

#include "core/lib/numbers.h"
#include "core/window/placementstore.h"
#include "platform/error.h"

namespace tev {

TRegistryIniFile::TRegistryIniFile(const QString &keyPath)
    : m_settings(QSettings::NativeFormat, QSettings::UserScope,
                 QString::fromLatin1(kRegistryOrganization),
                 QString::fromLatin1(kRegistryApplication))
    , m_group(RegistryGroupPath(keyPath))
{
    CheckStatus("read");
}

QString TRegistryIniFile::Key(const QString &section, const QString &ident) const
{
    if (!m_group.isEmpty())
        m_settings.beginGroup(m_group);
    const QStringList groups = m_settings.childGroups();
    if (!m_group.isEmpty())
        m_settings.endGroup();
    QString actual = section;
    for (const QString &group : groups)
        if (group.compare(section, Qt::CaseInsensitive) == 0)
            actual = group;
    return (m_group.isEmpty() ? QString() : m_group + QLatin1Char('/')) + actual +
           QLatin1Char('/') + ident;
}

int TRegistryIniFile::ReadInteger(const QString &section, const QString &ident,
                                  int defaultValue) const
{
    const QVariant value = m_settings.value(Key(section, ident));
    if (!value.isValid())
        return defaultValue;
    if (value.typeId() == QMetaType::Int)
        return value.toInt();
    return StrToIntDef(value.toString(), defaultValue);
}

bool TRegistryIniFile::ReadBool(const QString &section, const QString &ident,
                                bool defaultValue) const
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

QString TRegistryIniFile::ReadString(const QString &section, const QString &ident,
                                     const QString &defaultValue) const
{
    const QVariant value = m_settings.value(Key(section, ident));
    return value.isValid() ? value.toString() : defaultValue;
}

void TRegistryIniFile::WriteInteger(const QString &section, const QString &ident, int value)
{
    m_settings.setValue(Key(section, ident), value);
}

void TRegistryIniFile::WriteBool(const QString &section, const QString &ident, bool value)
{
    m_settings.setValue(Key(section, ident), value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TRegistryIniFile::WriteString(const QString &section, const QString &ident,
                                   const QString &value)
{
    m_settings.setValue(Key(section, ident), value);
}

void TRegistryIniFile::UpdateFile()
{
    m_settings.sync();
    CheckStatus("write");
}

void TRegistryIniFile::CheckStatus(const char *action) const
{
    if (m_settings.status() != QSettings::NoError)
        throw Error(QStringLiteral("Cannot %1 the window layout in \"%2\" (%3)")
                        .arg(QString::fromLatin1(action), m_settings.fileName(),
                             m_settings.status() == QSettings::AccessError
                                 ? QStringLiteral("access denied")
                                 : QStringLiteral("malformed file")));
}

} // namespace tev
