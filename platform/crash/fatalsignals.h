#pragma once

#include <QString>

namespace tev {

// On a fatal signal (segmentation fault, abort, bus error, illegal instruction, floating-point
// error) the process cannot go on, but it writes its crash report to a file first and then ends
// by that signal as it would have without us.
//
// The file is "tevora-crash-<pid>.txt" in folder. The report's fixed part (version, Qt, system)
// is prepared here, since little may be done safely inside a signal handler: the handler writes
// that part, the signal and the raw return addresses with async-signal-safe calls only, and then,
// as a last best effort, the stack trace with function names.
//
// Returns the path of the file the report will go to; an empty path when folder does not exist.
QString installFatalSignalHandler(const QString &folder);

} // namespace tev
