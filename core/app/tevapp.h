#pragma once

// TTevApp: the one application object of a run. The main window creates it with the path of the
// executable and frees it at shutdown; scripts see it as "App".
//
// It fixes the program's folders (the application root is the folder above the executable's
// folder; the program data folder is "Vyx/Tevora/" in the application-data folder common to all
// users), owns the system settings, the database module and the one open project, reads the
// settings at start and writes them back when it is freed:
// - the system settings live in table CONFIGURATION and are read and written only while the
//   database is connected; otherwise the run keeps the defaults. When the connection comes up
//   later in the run (the settings dialog reconnects), the stored section is read then, and the
//   settings the run has changed meanwhile keep the run's values; the section is never written
//   before it was read, so a run's defaults cannot replace what the user stored;
// - the program's language lives apart from them, in the per-user settings file
//   (PerUserSettingsFileName), and is read and written whether connected or not.
//
// The application object is no singleton: whoever needs it is handed it.

#include "core/app/tevsettings.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace tev {

class TTevDataModule;
class TTevProject;

enum class TTevErrorCode { ecProgramDataDirNotFound = 0 };

class TTevApp : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString AppRootDir READ AppRootDir CONSTANT)
    Q_PROPERTY(QString ProgramDataDir READ ProgramDataDir)
    Q_PROPERTY(QString ScriptDir READ ScriptDir CONSTANT)
    Q_PROPERTY(QString VendorFileName READ VendorFileName CONSTANT)
    Q_PROPERTY(QString SEQDir READ SEQDir WRITE SetSEQDir)
    Q_PROPERTY(bool DatabaseConnected READ DatabaseConnected)
    Q_PROPERTY(bool ServiceMode READ ServiceMode WRITE SetServiceMode)

public:
    // Settings with their defaults, the database module (a failed connection leaves it
    // disconnected), the schema upgraded to the executable's version, the project, and the
    // settings read. Throws tev::Error when AExeName names a file without version information
    // or when the connection file cannot be written.
    TTevApp(QObject *AOwner, const QString &AExeName);
    // Writes the settings, then frees the settings, the project and the database module (which
    // writes the connection file). An error of the write cannot leave a destructor; it is logged.
    // Call WriteSettings first to see it.
    ~TTevApp() override;

    TTevApp(const TTevApp &) = delete;
    TTevApp &operator=(const TTevApp &) = delete;

    const QString &AppRootDir() const { return FAppRootDir; }
    // The program data folder with its trailing delimiter, created when missing. When it cannot
    // be created, OnError reports ecProgramDataDirNotFound with the folder and the result is
    // empty.
    QString ProgramDataDir();
    // "script" in the program data folder; not created.
    QString ScriptDir() const;
    // "Config/Vendors" in the program data folder, the vendor list; not created.
    QString VendorFileName() const;
    // The per-user settings file that keeps the program's language: "Vyx/Tevora/Config.ini" in
    // the user's application-data folder; empty when that folder is unknown.
    static QString PerUserSettingsFileName();

    TTevSettings &Settings() const { return *FSettings; }
    TTevDataModule &Data() const { return *FData; }
    TTevProject &Project() const { return *FProject; }
    bool DatabaseConnected() const;

    // The sequence folder; writing it sets the setting and the project's root folder.
    QString SEQDir() const;
    void SetSEQDir(const QString &Value);

    bool ServiceMode() const { return FServiceMode; }
    void SetServiceMode(bool Value) { FServiceMode = Value; }

    // Hands the settings to the project: its root folder, its defaults (all but Decimals) and
    // the encoding of its files.
    Q_INVOKABLE void ApplySettings();
    // Moves the sequence folder to ADir. When one folder lies inside the other, the file names
    // stored in the database are rewritten first; a failure there passes on and leaves the
    // folder unchanged. Unrelated folders change without rewriting (the caller warns).
    Q_INVOKABLE void ChangeSEQDirectory(const QString &ADir);
    // The language from the per-user settings file (an id the program has no texts for counts as
    // the system's language), the system settings from the database, then ApplySettings.
    Q_INVOKABLE void ReadSettings();
    // The system settings to the database (when connected; a section not read yet in this run is
    // read first) and the current language to the per-user settings file. When the database
    // fails the language is still written and the database's error passes on.
    Q_INVOKABLE void WriteSettings();

Q_SIGNALS:
    void OnError(tev::TTevApp *Sender, tev::TTevErrorCode ErrorCode, const QString &Info);

private:
    void ReadLanguage();
    void WriteLanguage();
    // Merges the stored section into the settings, keeping what the run changed since it began
    // without the table. Throws when the table cannot be read; the settings are then unchanged.
    void ReadSystemSettings();
    // The connection came up: reads the stored section unless this run has read it already.
    void CatchUpSystemSettings();

    // The section "System" was read from the table in this run.
    bool FSystemSettingsRead = false;
    // The settings' lines as the run began without the table; unset once the table was read.
    std::optional<QStringList> FSettingsAtStart;

    QString FAppRootDir;
    QString FProgramDataDir;
    bool FServiceMode = false;
    // Declared so that they are freed in the order settings, project, database module.
    std::unique_ptr<TTevDataModule> FData;
    std::unique_ptr<TTevProject> FProject;
    std::unique_ptr<TTevSettings> FSettings;
};

} // namespace tev
