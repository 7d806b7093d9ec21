#pragma once

#include "platform/text/tstringlist.h"

#include <QString>

namespace tev {

class TIniFile;

// The connection file "Config/Config.ini" below an application root, section [Database]: the
// keys DriverId, Server, Database, User_Name, Password (scrambled, PasswordScrambler), OpenMode
// and CharacterSet, in this order, plus ODBCDriver where an administrator added it. The program
// reads it at start and writes it back at shutdown; the command tevora_dbconfig writes it for an
// administrator.

QString ConnectionFileName(const QString &appRootDir);

// Writes the section as a first start does when it is missing: the embedded database
// "DB/Tevora.fdb" below the root, user SYSDBA with the engine's embedded password.
void WriteDefaultConnectionSection(TIniFile &ini, const QString &appRootDir);

// The connection's parameter list from the section, the password unscrambled; a missing key gives
// its default.
TStringList ReadConnectionSection(const TIniFile &ini, const QString &appRootDir);

// Writes DriverId, Server, Database, User_Name and Password (scrambled) from a parameter list;
// OpenMode, CharacterSet and any other key keep what the file holds. Throws tev::Error when the
// file cannot be written.
void WriteConnectionSection(TIniFile &ini, const TStringList &params);

} // namespace tev
