#include "support/app/appenvironment.h"

#include "core/app/tevapp.h"
#include "core/lang/languages.h"
#include "core/lib/knownfolders.h"

#include <QDir>
#include <QFile>

namespace tev::test {

EnvironmentGuard::EnvironmentGuard(const char *name, const QByteArray &value)
    : m_name(name)
    , m_had(qEnvironmentVariableIsSet(name))
    , m_saved(qgetenv(name))
{
    value.isNull() ? qunsetenv(name) : qputenv(name, value);
}

EnvironmentGuard::~EnvironmentGuard()
{
    m_had ? qputenv(m_name, m_saved) : qunsetenv(m_name);
}

LanguageGuard::LanguageGuard()
    : m_saved(CurrentLanguage())
{}

LanguageGuard::~LanguageGuard()
{
    SetCurrentLanguage(m_saved);
}

namespace {

void writeFile(const QString &fileName, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(fileName).path());
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << fileName.toStdString();
    file.write(contents);
}

} // namespace

AppEnvironment::AppEnvironment()
    : m_appDataEnv(kCommonAppDataVariable, QFile::encodeName(m_common.file("appdata")))
    , m_documentsEnv(kCommonDocumentsVariable, QFile::encodeName(m_common.file("documents")))
    , m_homeEnv("HOME", QFile::encodeName(m_home.path()))
{
    // The version marker as the build stores it in every executable, closed by a zero byte.
    writeFile(exeName(), QByteArray("\x7f"
                                    "ELF") +
                             "TevoraFileVersion=1.2.3.4" + '\0');
}

void AppEnvironment::breakConnection() const
{
    writeFile(file("Config/Config.ini"),
              "[Database]\nDriverId=FB\nDatabase=" + QFile::encodeName(file("DB/missing.fdb")) +
                  "\nUser_Name=SYSDBA\nOpenMode=Open\nCharacterSet=UTF8\n");
}

void AppEnvironment::writePerUserSettings(const QStringList &lines) const
{
    writeFile(TTevApp::PerUserSettingsFileName(),
              ("[Settings]\n" + lines.join('\n') + '\n').toUtf8());
}

QString AppEnvironment::readPerUserSettings() const
{
    QFile file(TTevApp::PerUserSettingsFileName());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace tev::test
