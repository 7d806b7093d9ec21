#pragma once

#include "support/tempfolder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace tev::test {

// A private desktop for one test: XDG_CONFIG_HOME and XDG_DATA_HOME point into a temporary
// folder, a display name is set so that xdg-open picks applications at all, and the variables
// are restored afterwards. AddApplication installs a .desktop entry that runs a small script,
// made the default for some MIME types; the script writes its arguments to "ran.txt".
class DesktopFixture
{
public:
    DesktopFixture()
    {
        Set("XDG_CONFIG_HOME", m_folder.file("config"));
        Set("XDG_DATA_HOME", m_folder.file("data"));
        // The generic desktop: no desktop environment's own association tools take over.
        for (const char *name :
             {"XDG_CURRENT_DESKTOP", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
              "MATE_DESKTOP_SESSION_ID", "LXQT_SESSION_CONFIG", "DESKTOP_SESSION",
              "DBUS_SESSION_BUS_ADDRESS", "BROWSER"})
            Set(name, QString());
        Set("DISPLAY", QStringLiteral(":tevora-test"));
        QDir().mkpath(m_folder.file("config"));
        QDir().mkpath(m_folder.file("data/applications"));
    }
    ~DesktopFixture()
    {
        for (const auto &[name, value] : m_saved) {
            if (value)
                qputenv(name.constData(), *value);
            else
                qunsetenv(name.constData());
        }
    }
    DesktopFixture(const DesktopFixture &) = delete;
    DesktopFixture &operator=(const DesktopFixture &) = delete;

    // Returns the script's full path. The Exec line names it unquoted, as xdg-mime reads only
    // that form (the temporary path has no spaces).
    QString AddApplication(const QString &id, const QStringList &mimeTypes,
                           const QString &subfolder = QString())
    {
        QDir().mkpath(m_folder.file(subfolder));
        const QString script = QDir(m_folder.file(subfolder)).filePath(id + "-program");
        Write(script, "#!/bin/sh\necho \"$@\" > \"" + m_folder.file("ran.txt").toUtf8() + "\"\n");
        QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
        Write(m_folder.file("data/applications/" + id + ".desktop"),
              "[Desktop Entry]\nType=Application\nName=" + id.toUtf8() +
                  "\nExec=" + script.toUtf8() + " %f\n");
        QByteArray list = "[Default Applications]\n";
        for (const QString &type : mimeTypes)
            list += type.toUtf8() + "=" + id.toUtf8() + ".desktop\n";
        Write(m_folder.file("config/mimeapps.list"), list);
        return script;
    }

    QString RanMarker() const { return m_folder.file("ran.txt"); }
    const TempFolder &Folder() const { return m_folder; }

    static void Write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private:
    void Set(const char *name, const QString &value)
    {
        if (!m_saved.count(name))
            m_saved[name] = qEnvironmentVariableIsSet(name)
                                ? std::optional<QByteArray>(qgetenv(name))
                                : std::nullopt;
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value.toUtf8());
    }

    TempFolder m_folder;
    std::map<QByteArray, std::optional<QByteArray>> m_saved;
};

} // namespace tev::test
