#pragma once

// The pieces of the program start that main() strings together, kept here so that tests reach
// them: the name of the one-instance lock, the crash layer's wiring and the report of a start
// that cannot go on.

#include <QString>
#include <exception>

class QApplication;

namespace tev {

class CrashException;

// The program is one instance per machine: this name (the lock file's) stays the same across
// versions, so that an old and a new version never run side by side.
inline constexpr char kInstanceName[] = "{3958C55C-5A6E-4533-875D-1348D804A036}";

// The program-wide exception handler: every exception that nothing else handled ends in the
// error dialog, and then counts as handled, so that the program goes on.
void HandleException(CrashException &exceptIntf, bool &handled);

// Wires the crash layer up for the run: HandleException, the report window with its mail
// hand-off, and a report file on a fatal signal (in the folder of the mailed report files).
// Returns the file a fatal signal's report goes to.
QString InstallCrashHandling();

// The application's look and names: the style, the organisation and application names the
// per-user stores use, and the title that reports and dialogs show.
void PrepareApplication(QApplication &app);

// Reports a failure that ends the start (failure is the exception that stopped it): on stderr,
// and in the error dialog. Returns the exit code of such a start.
int ReportStartFailure(std::exception_ptr failure);

} // namespace tev
