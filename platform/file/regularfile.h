#pragma once

#include <QByteArray>
#include <QString>

class QFile;

namespace tev {

// Reads a regular file whole (a symbolic link to one counts). Anything else is refused before a
// byte is read: a FIFO blocks the reader until some writer comes, and a device such as
// /dev/zero never ends, so either would hang the program or exhaust its memory. Throws
// tev::Error naming the file and the reason when the file cannot be read or is not a regular
// file.
QByteArray ReadRegularFile(const QString &fileName);

// Whether a name whose last part is a symbolic link is opened through the link.
enum class FinalLink { Follow, Refuse };

// Opens a regular file for reading into `file` (closed before), for readers that take it in
// pieces or name the failure in their own words. Returns the empty text when it is open, else
// the reason it is not (the system's, or e.g. "it is a pipe (FIFO), not a regular file"), and
// refuses what ReadRegularFile refuses. With FinalLink::Refuse a last part that is a link is
// not opened ("it is a symbolic link"), so that a check made on the name holds for the file.
[[nodiscard]] QString OpenRegularFile(QFile &file, const QString &fileName,
                                      FinalLink link = FinalLink::Follow);

} // namespace tev
