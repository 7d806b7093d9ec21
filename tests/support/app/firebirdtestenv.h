#pragma once

#include "support/tempfolder.h"

#include <QString>

namespace tev::test {

// The private Firebird folder that the build lays out.
QString BuildFirebirdFolder();

// The client library reads FIREBIRD_LOCK once per process, so every test program gets one lock
// folder of its own, in a temporary folder made before the first test; each ctest entry is its
// own process. Returns that folder (the same for the whole process).
QString ProcessLockFolder();

// An application root in a temporary folder: "Config" and a link "FB" to the build's folder.
class TempAppRoot
{
public:
    TempAppRoot();
    QString path() const { return m_folder.path(); }
    QString file(const QString &name) const { return m_folder.file(name); }

private:
    TempFolder m_folder;
};

} // namespace tev::test
