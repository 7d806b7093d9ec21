#pragma once

// The desktop's file associations, read the freedesktop.org way: the default application of a
// MIME type comes from `xdg-mime query default` (which honours mimeapps.list, defaults.list and
// the desktop environment), and the program behind it from the Exec line of its .desktop entry,
// found under $XDG_DATA_HOME and $XDG_DATA_DIRS.

#include <QString>
#include <QStringList>

namespace tev {

// The desktop entry id ("vim.desktop") of the default application for `mimeType`; empty when
// there is none or xdg-mime is missing.
QString DefaultDesktopEntry(const QString &mimeType);

// The full path of the program that the Exec line of the desktop entry `desktopId` runs; empty
// when the entry or the program cannot be found.
QString DesktopEntryProgram(const QString &desktopId);

// The MIME types that a file name matches by its name alone, best first.
QStringList MimeTypesForFileName(const QString &fileName);

// The full path of the default program for a file of the MIME types `mimeTypes` (the first type
// that has one wins); empty when there is none.
QString AssociatedProgramForMimeTypes(const QStringList &mimeTypes);

} // namespace tev
