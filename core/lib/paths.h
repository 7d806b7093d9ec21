#pragma once

#include <QString>

// Folder and file names. Paths use the platform's delimiter "/". The routines never raise for
// ordinary input: a failure gives false, 0 or the empty text.
namespace tev {

// The path delimiter of the platform.
inline constexpr QChar PathDelim = u'/';

// The delimiter appended unless AFileName already ends with it; the empty text stays empty.
QString AddBackSlash(const QString &AFileName);
// All trailing delimiters replaced by one; the empty text stays empty.
QString AddSlash(const QString &AFileName);
// The folder above the folder part of AFileName, without a trailing delimiter: for
// "/opt/App/bin/" it is "/opt/App". The root is never given as a parent: for a file in a
// first-level folder ("/App/x.txt") the result is that folder ("/App"), and for a file in the
// root it is "/".
QString ParentDir(const QString &AFileName);
// FileName with the first occurrence of AddBackSlash(RootDir) removed, compared without regard
// to case wherever it stands; FileName unchanged when it holds none or RootDir is empty.
QString GetRelativeFileName(const QString &RootDir, const QString &FileName);
// False when APath starts at the root ("/...") or holds ":", "//" or a double backslash (a
// drive or a share); true otherwise.
bool PathIsRelative(const QString &APath);
// True for a "//server/share" name and for a name on a network file system (NFS, SMB/CIFS and
// the like). A name that does not exist is judged by the nearest folder above it that does.
bool IsNetworkFile(const QString &AFileName);
// S without the nine characters that a Windows file name may not hold: " * / : < > ? \ |.
// The names go to gauges and Windows machines, so the rule is Windows', not Linux's.
QString StrToFileName(const QString &S);
// Whether a folder of that name exists (links followed).
bool PathExists(const QString &Name);
// True when the folder exists or could be created with all missing parents.
bool CheckDir(const QString &ADir);
// Whether a new file "chk.tmp" can be created in ADir (and is removed again); false when ADir is
// missing, not writeable, or already holds a "chk.tmp".
bool IsDirectoryWriteable(const QString &ADir);
// The file's last-write time as a local date-time in days since 30 December 1899; 0 when the
// file does not exist.
double GetFileDate(const QString &AFileName);
// The names (without folder) of the entries matching the wildcard path AFilter ("*" and "?",
// matched without regard to case as on Windows; "*.*" matches every name), sorted by name
// without regard to case, joined by CR LF. Plain sub-folders are left out; a sub-folder that is
// hidden (its name starts with ".") or read-only is listed, as Windows lists a folder carrying
// such an attribute. The empty text when nothing matches.
QString GetFiles(const QString &AFilter);

} // namespace tev
