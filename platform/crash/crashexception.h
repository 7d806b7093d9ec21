#pragma once

#include "platform/crash/crashreport.h"

namespace tev {

class CrashException;

// What a front end (the user interface) gives the crash-report layer: its own window with the
// full report, and the hand-off of the report to the user's mail client. The layer itself stays
// below the user interface.
class CrashReportFrontEnd
{
public:
    virtual ~CrashReportFrontEnd() = default;
    virtual void showReport(CrashException &exception) = 0;
    // Returns whether the mail client took the mail; when not, sets the exception's MailError to
    // the reason.
    virtual bool mailReport(CrashException &exception) = 0;
};

// The front end in use, or null. Set once by the program start; not owned.
CrashReportFrontEnd *crashReportFrontEnd();
void setCrashReportFrontEnd(CrashReportFrontEnd *frontEnd);

// The exception interface that a handler receives: the exception's message, the full report, a
// way to show it and a way to mail it. The mail settings are filled by whoever sends it.
class CrashException
{
public:
    explicit CrashException(CrashReport report);

    const CrashReport &report() const { return m_report; }
    QString ExceptMessage() const { return m_report.message; }
    QString BugReport() const { return m_report.text(); }

    bool AutoShowBugReport = false; // Show() opens the window with the full report in view
    bool MailViaMapi = false;       // mail through the user's mail client
    QString MailAddr;
    QString MailSubject;
    QString MailBody;
    // Why the last SendBugReport handed nothing off, for the user; empty after a success.
    QString MailError;

    // Opens the front end's window with the report; without a front end, prints it to stderr.
    void Show();
    // Builds the report and hands it to the mail client; false when nothing was handed off, with
    // the reason in MailError.
    bool SendBugReport();

private:
    CrashReport m_report;
};

} // namespace tev
