#pragma once

#include <QByteArrayView>
#include <QString>

namespace tev {

// Writes bytes as the whole new content of fileName. They go to a temporary file beside it,
// which replaces the old file only once it is complete, so that a failed write (a full disk, a
// size limit, a kill) leaves the old file whole. Where the folder takes no temporary file the
// write is refused, never done in place. A link is followed: its target is replaced and keeps
// its permissions.
//
// Throws tev::Error "Cannot write file "<name>": <cause>", the cause as the system gives it
// (e.g. "File too large", "No space left on device") or saying why no temporary file could be
// made.
void SaveFileWhole(const QString &fileName, QByteArrayView bytes);

} // namespace tev
