#pragma once

// The system settings as scripts see them ("App.Settings"): the typed settings as properties, and
// any setting by its key through Value and SetValue. The settings are a string list, no Qt
// object, so this view stands in for them; it lives as a child of the application object.

#include <QObject>
#include <QString>

namespace tev {

class TTevSettings;

class TTevSettingsView : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int DBType READ DBType WRITE SetDBType)
    Q_PROPERTY(QString DBDriver READ DBDriver WRITE SetDBDriver)
    Q_PROPERTY(QString DBServer READ DBServer WRITE SetDBServer)
    Q_PROPERTY(QString DBDatabase READ DBDatabase WRITE SetDBDatabase)
    Q_PROPERTY(QString DBUserName READ DBUserName WRITE SetDBUserName)
    Q_PROPERTY(QString DBPassword READ DBPassword WRITE SetDBPassword)
    Q_PROPERTY(QString SEQDir READ SEQDir WRITE SetSEQDir)
    Q_PROPERTY(QString DefaultMasterDir READ DefaultMasterDir WRITE SetDefaultMasterDir)
    Q_PROPERTY(QString DefaultWorkDir READ DefaultWorkDir WRITE SetDefaultWorkDir)
    Q_PROPERTY(int Decimals READ Decimals WRITE SetDecimals)
    Q_PROPERTY(QString FileEncoding READ FileEncoding WRITE SetFileEncoding)
    Q_PROPERTY(QString FormatFile READ FormatFile WRITE SetFormatFile)
    Q_PROPERTY(bool FormatPerProject READ FormatPerProject WRITE SetFormatPerProject)
    Q_PROPERTY(QString PickListFile READ PickListFile WRITE SetPickListFile)
    Q_PROPERTY(bool PickListPerProject READ PickListPerProject WRITE SetPickListPerProject)
    Q_PROPERTY(int Units READ Units WRITE SetUnits)
    Q_PROPERTY(bool UseSysLanguage READ UseSysLanguage WRITE SetUseSysLanguage)
    Q_PROPERTY(QString Text READ Text)
    Q_PROPERTY(int Count READ Count)

public:
    TTevSettingsView(TTevSettings &ASettings, QObject *AOwner);

    int DBType() const;
    void SetDBType(int Value);
    QString DBDriver() const;
    void SetDBDriver(const QString &Value);
    QString DBServer() const;
    void SetDBServer(const QString &Value);
    QString DBDatabase() const;
    void SetDBDatabase(const QString &Value);
    QString DBUserName() const;
    void SetDBUserName(const QString &Value);
    QString DBPassword() const;
    void SetDBPassword(const QString &Value);
    QString SEQDir() const;
    void SetSEQDir(const QString &Value);
    QString DefaultMasterDir() const;
    void SetDefaultMasterDir(const QString &Value);
    QString DefaultWorkDir() const;
    void SetDefaultWorkDir(const QString &Value);
    int Decimals() const;
    void SetDecimals(int Value);
    QString FileEncoding() const;
    void SetFileEncoding(const QString &Value);
    QString FormatFile() const;
    void SetFormatFile(const QString &Value);
    bool FormatPerProject() const;
    void SetFormatPerProject(bool Value);
    QString PickListFile() const;
    void SetPickListFile(const QString &Value);
    bool PickListPerProject() const;
    void SetPickListPerProject(bool Value);
    int Units() const;
    void SetUnits(int Value);
    bool UseSysLanguage() const;
    void SetUseSysLanguage(bool Value);
    QString Text() const;
    int Count() const;

    // Any setting by its key ("SEQDir", "Encoding", ...); a missing key reads as empty.
    Q_INVOKABLE QString Value(const QString &Name) const;
    // As the settings write: an empty value removes the line.
    Q_INVOKABLE void SetValue(const QString &Name, const QString &Value);

private:
    TTevSettings &FSettings;
};

} // namespace tev
