#pragma once

#include <QString>

#include <memory>

namespace tev {

// Where window placements are kept: an ini file when the key names an existing file, otherwise
// the current user's "registry", which on Linux is QSettings in native format under organisation
// "Vyx" and application "Tevora" with the key path ("Software\Vyx\Tevora") as its group path.
// Values are integers; a registry value held as text that holds a number is read as well.
// Errors of opening or writing the store throw tev::Error.
class TPlacementStore
{
public:
    virtual ~TPlacementStore() = default;

    static std::unique_ptr<TPlacementStore> Open(const QString &appRegKey);

    virtual bool SectionExists(const QString &section) const = 0;
    virtual int ReadInteger(const QString &section, const QString &name,
                            int defaultValue) const = 0;
    virtual void WriteInteger(const QString &section, const QString &name, int value) = 0;
    // Saves what was written; a store that saves each write at once does nothing here.
    virtual void Flush() = 0;
};

// The registry's organisation and application names.
inline constexpr char kRegistryOrganization[] = "Vyx";
inline constexpr char kRegistryApplication[] = "Tevora";

// The QSettings group path of a registry key path: "Software\Vyx\Tevora" -> "Software/Vyx/Tevora".
QString RegistryGroupPath(const QString &keyPath);

} // namespace tev
