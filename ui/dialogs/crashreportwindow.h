#pragma once

#include "platform/crash/crashexception.h"
#include "ui/kit/kelform.h"

class QPlainTextEdit;

namespace tev {

class SpeedButton;

// The crash-report layer's own window: the full report of an exception, read-only.
class CrashReportWindow : public KelForm
{
    Q_OBJECT
public:
    explicit CrashReportWindow(const CrashException &exception, QWidget *owner = nullptr);

    QPlainTextEdit *reportMemo() const { return m_memo; }
    SpeedButton *closeBtn() const { return m_closeBtn; }

private:
    QPlainTextEdit *m_memo;
    SpeedButton *m_closeBtn;
};

// The user interface's side of the crash-report layer: the report window, and the report
// written to a file and handed to the mail client as an attachment.
class UiCrashReportFrontEnd : public CrashReportFrontEnd
{
public:
    void showReport(CrashException &exception) override;
    bool mailReport(CrashException &exception) override;

    // Where report files for mailing go: the system's temporary folder unless set (tests).
    // The files stay, since the mail client may read them after the hand-off returns.
    static QString reportFolder();
    static void setReportFolder(const QString &folder);
};

// Makes the user interface the crash-report layer's front end, unless one is set already.
void installCrashReportFrontEnd();

} // namespace tev
