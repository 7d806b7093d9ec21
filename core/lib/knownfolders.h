#pragma once

#include <QString>

// Known folders of the system.
//
// The per-user folders come from the XDG locations (QStandardPaths). Linux has no machine-wide
// application-data or documents folder that every user may write to, so those two have a fixed
// default that an installation prepares (e.g. a group-writeable "Vyx" folder inside it) and an
// environment variable that overrides it; tests set the variables to temporary folders so they
// never touch system folders:
//   common application data  TEVORA_COMMON_APPDATA    default "/var/lib"
//   common documents         TEVORA_COMMON_DOCUMENTS  default "/srv"
namespace tev {

inline constexpr char kCommonAppDataVariable[] = "TEVORA_COMMON_APPDATA";
inline constexpr char kCommonDocumentsVariable[] = "TEVORA_COMMON_DOCUMENTS";
inline constexpr char kDefaultCommonAppData[] = "/var/lib";
inline constexpr char kDefaultCommonDocuments[] = "/srv";

// The user's folder for temporary files ($TMPDIR, else /tmp), with its trailing delimiter.
// Throws tev::Error when that folder does not exist.
QString GetUserTempDir();
// The user's documents folder without a trailing delimiter; empty when unknown.
QString GetDocumentsDir();
// The application-data folder common to all users, without a trailing delimiter.
QString GetPublicDir();
// The documents folder common to all users, without a trailing delimiter.
QString GetCommonDocumentsDir();
// The user's own (roaming) application-data folder: the XDG configuration folder, without a
// trailing delimiter; empty when unknown.
QString GetUserAppDataDir();

} // namespace tev
