#pragma once

#include <QByteArray>
#include <QString>

namespace tev {

// Reads a regular file whole (a symbolic link to one counts). Anything else is refused before a
// byte is read: a FIFO blocks the reader until some writer comes, and a device such as
// /dev/zero never ends, so either would hang the program or exhaust its memory. Throws
// tev::Error naming the file and the reason when the file cannot be read or is not a regular
// file.
QByteArray ReadRegularFile(const QString &fileName);

} // namespace tev
