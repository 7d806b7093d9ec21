#pragma once

#include "core/constants/tevconst.h"
#include "platform/text/tstringlist.h"

#include <QString>

namespace tev {

// TTevSettings: the system settings as a name=value list, stored line by line in table
// CONFIGURATION, section "System". The list itself is what the database module reads and writes,
// so unknown keys that a newer version stored survive a run; the typed accessors below read their
// own key and fall back to the setting's default when the value is missing or unreadable.
//
// Writes go through SetValue: an empty value removes an existing line, so a cleared text setting
// reads as the empty text, while a missing key gets its line even when the value is empty.
class TTevSettings : public TStringList
{
public:
    // Keys, in the order in which the constructor adds their default lines. The two per-project
    // switches have no default line: a missing one reads as false.
    static constexpr char kDBType[] = "DBType";
    static constexpr char kDBDriver[] = "DBDriver";
    static constexpr char kDBServer[] = "DBServer";
    static constexpr char kDBDatabase[] = "DBDatabase";
    static constexpr char kDBUserName[] = "DBUserName";
    static constexpr char kDBPassword[] = "DBPassword";
    static constexpr char kSEQDir[] = "SEQDir";
    static constexpr char kDefaultMasterDir[] = "DefaultMasterDir";
    static constexpr char kDefaultWorkDir[] = "DefaultWorkDir";
    static constexpr char kDecimals[] = "Decimals";
    static constexpr char kFileEncoding[] = "Encoding";
    static constexpr char kFormatFile[] = "FormatFile";
    static constexpr char kPickListFile[] = "PickListFile";
    static constexpr char kUnits[] = "Units";
    static constexpr char kFormatPerProject[] = "FormatPerProject";
    static constexpr char kPickListPerProject[] = "PickListPerProject";

    // The fourteen default lines, DBType to Units; UseSysLanguage true.
    TTevSettings();

    // Appends "AName=AValue" when no line has the name (also for an empty value); otherwise
    // replaces the value, and an empty value deletes the line.
    void SetValue(const QString &AName, const QString &AValue);

    // The kind of database the settings dialog offers; 0 or 1, anything else reads as embedded.
    TTevDBType DBType() const;
    void SetDBType(TTevDBType Value);
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
    // The code page or encoding name of sequence files (key "Encoding").
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

    // The user chose the system's language rather than a fixed one; not stored in the list.
    bool UseSysLanguage() const { return FUseSysLanguage; }
    void SetUseSysLanguage(bool Value) { FUseSysLanguage = Value; }

    // The default sequence folder: "Kelmetra/SEQ" in the documents folder common to all users.
    static QString DefaultSEQDir();

private:
    QString ValueOf(const char *Key) const;
    int IntegerOf(const char *Key, int Default) const;
    bool BooleanOf(const char *Key) const;

    bool FUseSysLanguage = true;
};

} // namespace tev
