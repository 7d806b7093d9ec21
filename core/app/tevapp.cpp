#include "core/app/tevapp.h"

#include "core/constants/tevconst.h"
#include "core/db/tevdatamodule.h"
#include "core/lang/languages.h"
#include "core/lib/encodings.h"
#include "core/lib/knownfolders.h"
#include "core/lib/paths.h"
#include "core/lib/versions.h"
#include "core/project/tevproject.h"
#include "platform/error.h"
#include "platform/ini/tinifile.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <exception>

namespace tev {

namespace {

Q_LOGGING_CATEGORY(lcApp, "tevora.app")

const QString kLanguageSection = QStringLiteral("Settings");
const QString kLanguageKey = QStringLiteral("Language");
// The per-user key's value for "the system's language"; never written, see WriteLanguage.
constexpr int kSystemLanguage = -1;

// The folder part of a file name with its trailing delimiter ("" when it has none).
QString folderOf(const QString &FileName)
{
    return FileName.left(FileName.lastIndexOf(PathDelim) + 1);
}

} // namespace

TTevApp::TTevApp(QObject *AOwner, const QString &AExeName)
    : QObject(AOwner)
    , FAppRootDir(ParentDir(folderOf(AExeName)))
    , FProgramDataDir(AddBackSlash(GetPublicDir()) + QStringLiteral("Vyx/Tevora/"))
{
    FSettings = std::make_unique<TTevSettings>();
    FData = std::make_unique<TTevDataModule>(FAppRootDir);
    FData->UpgradeDatabase(GetAppVersion(AExeName));
    FProject = std::make_unique<TTevProject>(this, FData.get());
    ReadSettings();
    connect(FData.get(), &TTevDataModule::AfterConnect, this, &TTevApp::CatchUpSystemSettings);
}

TTevApp::~TTevApp()
{
    try {
        WriteSettings();
    } catch (const std::exception &e) {
        qCCritical(lcApp, "The settings could not be written: %s", e.what());
    } catch (...) {
        qCCritical(lcApp, "The settings could not be written.");
    }
    FSettings.reset();
    FProject.reset();
    FData.reset();
}

QString TTevApp::ProgramDataDir()
{
    if (QFileInfo(FProgramDataDir).isDir())
        return FProgramDataDir;
    // A folder that cannot be created is reported, not handed out as if it existed.
    if (QDir().mkpath(FProgramDataDir))
        return FProgramDataDir;
    Q_EMIT OnError(this, TTevErrorCode::ecProgramDataDirNotFound, FProgramDataDir);
    return {};
}

QString TTevApp::ScriptDir() const
{
    return AddBackSlash(FProgramDataDir) + QStringLiteral("script");
}

QString TTevApp::VendorFileName() const
{
    return AddBackSlash(FProgramDataDir) + QStringLiteral("Config/Vendors");
}

QString TTevApp::PerUserSettingsFileName()
{
    const QString folder = GetUserAppDataDir();
    if (folder.isEmpty())
        return {};
    return AddBackSlash(folder) + QStringLiteral("Vyx/Tevora/Config.ini");
}

bool TTevApp::DatabaseConnected() const
{
    return FData->Connected();
}

QString TTevApp::SEQDir() const
{
    return FSettings->SEQDir();
}

void TTevApp::SetSEQDir(const QString &Value)
{
    FSettings->SetSEQDir(Value);
    FProject->SetRootDir(Value);
}

void TTevApp::ApplySettings()
{
    FProject->SetRootDir(FSettings->SEQDir());
    TTevDefaults &defaults = FProject->Defaults();
    defaults.FormatFile = FSettings->FormatFile();
    defaults.FormatPerProject = FSettings->FormatPerProject();
    defaults.PickListFile = FSettings->PickListFile();
    defaults.PickListPerProject = FSettings->PickListPerProject();
    defaults.Units = FSettings->Units();
    FProject->SetFileEncoding(GetEncodingByName(FSettings->FileEncoding()));
}

void TTevApp::ChangeSEQDirectory(const QString &ADir)
{
    QString subDir;
    const TDirectoryChangeMode mode = GetDirectoryChangeMode(FSettings->SEQDir(), ADir, subDir);
    switch (mode) {
    case TDirectoryChangeMode::dcmSubDirAdded:
    case TDirectoryChangeMode::dcmSubDirRemoved:
    case TDirectoryChangeMode::dcmTopDirChanged:
        FData->ChangeDirectories(mode, subDir);
        break;
    case TDirectoryChangeMode::dcmNoChange:
    case TDirectoryChangeMode::dcmOther:
        break;
    }
    if (mode != TDirectoryChangeMode::dcmNoChange)
        SetSEQDir(ADir);
}

void TTevApp::ReadSettings()
{
    ReadLanguage();
    if (FData->Connected())
        ReadSystemSettings();
    else if (!FSystemSettingsRead && !FSettingsAtStart)
        FSettingsAtStart = FSettings->ToStringList();
    ApplySettings();
}

void TTevApp::ReadSystemSettings()
{
    TTevSettings merged;
    merged.Assign(*FSettings);
    FData->ReadSystemSettings(merged);
    if (FSettingsAtStart) {
        // Each setting whose line the run changed (value, or presence) gets the run's line back.
        const TStringList atStart(*FSettingsAtStart);
        const TTevSettings &now = *FSettings;
        QStringList names;
        for (const TStringList *list : {&atStart, static_cast<const TStringList *>(&now)})
            for (int i = 0; i < list->Count(); ++i)
                if (!names.contains(list->Names(i)))
                    names << list->Names(i);
        const auto lineOf = [](const TStringList &list,
                               const QString &name) -> std::optional<QString> {
            const int index = list.IndexOfName(name);
            return index < 0 ? std::nullopt : std::optional(list.Strings(index));
        };
        for (const QString &name : names) {
            const std::optional<QString> line = lineOf(now, name);
            if (line == lineOf(atStart, name))
                continue;
            const int index = merged.IndexOfName(name);
            if (!line)
                merged.Delete(index);
            else if (index < 0)
                merged.Add(*line);
            else
                merged.SetStrings(index, *line);
        }
    }
    FSettings->Assign(merged);
    FSystemSettingsRead = true;
    FSettingsAtStart.reset();
}

void TTevApp::CatchUpSystemSettings()
{
    if (FSystemSettingsRead)
        return;
    try {
        ReadSystemSettings();
        ApplySettings();
    } catch (const std::exception &e) {
        // A database without its tables yet: the shutdown tries again before it writes.
        qCWarning(lcApp, "The stored settings could not be read: %s", e.what());
    }
}

void TTevApp::WriteSettings()
{
    std::exception_ptr databaseError;
    try {
        if (FData->Connected()) {
            if (!FSystemSettingsRead) {
                ReadSystemSettings();
                ApplySettings();
            }
            FData->WriteSystemSettings(*FSettings);
        }
    } catch (...) {
        databaseError = std::current_exception();
    }
    WriteLanguage();
    if (databaseError)
        std::rethrow_exception(databaseError);
}

void TTevApp::ReadLanguage()
{
    const QString fileName = PerUserSettingsFileName();
    const int value =
        fileName.isEmpty()
            ? CurrentLanguage()
            : TIniFile(fileName).ReadInteger(kLanguageSection, kLanguageKey, CurrentLanguage());
    // An id without texts would leave every text of the program empty: it means the system's.
    const bool system = value == kSystemLanguage || !IsSupportedLanguage(value & 0xFF);
    FSettings->SetUseSysLanguage(system);
    SetCurrentLanguage(system ? GetSystemLanguage() : quint8(value & 0xFF));
}

// The current language id, so a run that followed the system's language stores that language.
void TTevApp::WriteLanguage()
{
    const QString fileName = PerUserSettingsFileName();
    if (fileName.isEmpty())
        throw Error(QStringLiteral("The user's application-data folder is unknown; the language "
                                   "cannot be stored."));
    const QString folder = QFileInfo(fileName).path();
    if (!QDir().mkpath(folder))
        throw Error(QStringLiteral("The folder \"%1\" cannot be created.").arg(folder));
    TIniFile(fileName).WriteInteger(kLanguageSection, kLanguageKey, CurrentLanguage());
}

} // namespace tev
