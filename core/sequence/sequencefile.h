#pragma once

#include "core/sequence/compactlines.h"
#include "platform/text/tencoding.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// The text side of sequence files: loading and saving their lines in an encoding, the header
// parse, the header of a new work sequence and the date stamp.
namespace tev {

// Splits text into lines at CR LF, CR or LF; a line break at the end adds no empty line.
QStringList SplitSequenceLines(const QString &text);

// The lines of a file decoded with Encoding (Windows-1252 when none is given); a byte-order mark
// of that encoding at the start is skipped, a mark of another one is read as text. Throws
// tev::Error when the file cannot be read or is not a regular file (a FIFO, a device).
QStringList LoadSequenceLines(const QString &FileName, const TEncoding::Ptr &Encoding);
// The same lines held compactly (compactlines.h); the file's bytes and its decoded text are let
// go before the lines are used.
CompactLines LoadSequenceText(const QString &FileName, const TEncoding::Ptr &Encoding);
// The lines of a file decoded by its byte-order mark (UTF-8, UTF-16 LE or BE), and without one
// with the ANSI code page. Throws tev::Error as LoadSequenceLines does.
QStringList LoadSequenceLinesByPreamble(const QString &FileName);

// Saves the lines joined by CR LF with CR LF after the last, encoded with Encoding and preceded by
// its byte-order mark when it has one. The old file is replaced only once the new one is
// complete: the text goes to a temporary file in the same folder that is then renamed over it.
// Throws tev::Error naming the file and the reason when it cannot be written.
void SaveSequenceLines(const QString &FileName, const QStringList &Lines,
                       const TEncoding::Ptr &Encoding);

// The header lines as name=value text: blank lines skipped, ending at the first line that does
// not begin with "$" or that begins with "$ROUTINE"; the first space of a line becomes "=".
QString ParseHeader(const QStringList &Lines);

// Month/day/year@hours:minutes:seconds, as 03/05/2024@14:07:09.
QString DateStamp(const QDateTime &DateTime);

// The 17 header lines of a new work sequence as name=value text.
QString DefaultHeader(const QString &ProjectName, int Decimals, const QDateTime &Now);

} // namespace tev
