#pragma once

#include <QSettings>
#include <QString>

namespace tev {

// A key of the current user's registry seen as an ini file: a section is a subkey, an
// identifier a value name. On Linux the registry is QSettings in native format under the
// organisation "Vyx" and the application "Tevora", the key path being its group path (as the
// window placement keeps it). Sections match without regard to case, as registry keys do.
//
// Booleans are stored as the text "1" or "0" and read back as a number, non-zero meaning true;
// a value that is no number gives the default. Errors of the store throw tev::Error.
class TRegistryIniFile
{
public:
    explicit TRegistryIniFile(const QString &keyPath);

    int ReadInteger(const QString &section, const QString &ident, int defaultValue) const;
    bool ReadBool(const QString &section, const QString &ident, bool defaultValue) const;
    QString ReadString(const QString &section, const QString &ident,
                       const QString &defaultValue) const;

    void WriteInteger(const QString &section, const QString &ident, int value);
    void WriteBool(const QString &section, const QString &ident, bool value);
    void WriteString(const QString &section, const QString &ident, const QString &value);

    // Writes what is pending to the store.
    void UpdateFile();

private:
    QString Key(const QString &section, const QString &ident) const;
    void CheckStatus(const char *action) const;

    mutable QSettings m_settings; // groups are entered and left to find a section
    QString m_group;
};

} // namespace tev
