#include "platform/crash/crashexception.h"

#include <cstdio>

namespace tev {

namespace {
CrashReportFrontEnd *g_frontEnd = nullptr;
}

CrashReportFrontEnd *crashReportFrontEnd()
{
    return g_frontEnd;
}

void setCrashReportFrontEnd(CrashReportFrontEnd *frontEnd)
{
    g_frontEnd = frontEnd;
}

CrashException::CrashException(CrashReport report)
    : m_report(std::move(report))
{}

void CrashException::Show()
{
    if (g_frontEnd) {
        g_frontEnd->showReport(*this);
        return;
    }
    std::fputs(BugReport().toLocal8Bit().constData(), stderr);
}

bool CrashException::SendBugReport()
{
    MailError.clear();
    if (!g_frontEnd) {
        MailError = QStringLiteral("The program has no way to mail reports.");
        return false;
    }
    if (g_frontEnd->mailReport(*this))
        return true;
    if (MailError.isEmpty())
        MailError = QStringLiteral("The report could not be handed to a mail client.");
    return false;
}

} // namespace tev
