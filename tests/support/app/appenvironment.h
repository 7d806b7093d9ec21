#pragma once

#include "support/app/firebirdtestenv.h"
#include "support/tempfolder.h"

#include <QByteArray>
#include <QString>

namespace tev::test {

// Sets an environment variable for one scope and restores the previous state.
class EnvironmentGuard
{
public:
    EnvironmentGuard(const char *name, const QByteArray &value);
    ~EnvironmentGuard();
    EnvironmentGuard(const EnvironmentGuard &) = delete;
    EnvironmentGuard &operator=(const EnvironmentGuard &) = delete;

private:
    const char *m_name;
    bool m_had;
    QByteArray m_saved;
};

// Restores the program-wide current language when a test ends.
class LanguageGuard
{
public:
    LanguageGuard();
    ~LanguageGuard();
    LanguageGuard(const LanguageGuard &) = delete;
    LanguageGuard &operator=(const LanguageGuard &) = delete;

private:
    quint8 m_saved;
};

// Everything an application object touches, in temporary folders: an application root with
// "Config" and the build's Firebird folder, an executable in its "bin" folder carrying a version,
// the common application-data and documents folders, and a home folder that holds the per-user
// settings file (Qt's test-mode configuration folder lies below $HOME).
class AppEnvironment
{
public:
    AppEnvironment();

    QString rootDir() const { return m_root.path(); }
    QString exeName() const { return m_root.file(QStringLiteral("bin/tevora")); }
    QString commonAppData() const { return m_common.file(QStringLiteral("appdata")); }
    QString commonDocuments() const { return m_common.file(QStringLiteral("documents")); }
    QString homeDir() const { return m_home.path(); }
    QString file(const QString &name) const { return m_root.file(name); }

    // Points the connection file at a database file that does not exist and must not be
    // created, so that the connection fails.
    void breakConnection() const;
    // Writes the per-user settings file with these lines below [Settings].
    void writePerUserSettings(const QStringList &lines) const;
    QString readPerUserSettings() const;

private:
    TempAppRoot m_root;
    TempFolder m_common;
    TempFolder m_home;
    EnvironmentGuard m_appDataEnv;
    EnvironmentGuard m_documentsEnv;
    EnvironmentGuard m_homeEnv;
    LanguageGuard m_language;
};

} // namespace tev::test
