#pragma once

#include "ui/kit/kelform.h"

class QLabel;

namespace tev {

class ButtonPanel;
class CrashException;
class SpeedButton;

// The maker's address for error reports.
inline constexpr char kSupportMailAddress[] = "support@vyx-tevora.example";

// The window in which every unhandled exception ends: the message, the full report behind
// "Details..." and "Send Report", which mails that report to the maker (a report that could not
// be handed to the mail client is told to the user with the reason; the dialog stays open).
class TVYXExceptionDlg : public KelForm
{
    Q_OBJECT
public:
    explicit TVYXExceptionDlg(QWidget *owner = nullptr);

    // The exception whose report the buttons show and send; not owned, it outlives the dialog.
    void setException(CrashException *exception);

    QLabel *msgLabel() const { return m_msgLabel; }
    ButtonPanel *panel() const { return m_panel; }
    SpeedButton *okBtn() const { return m_okBtn; }
    SpeedButton *sendBtn() const { return m_sendBtn; }
    SpeedButton *detailsBtn() const { return m_detailsBtn; }

public Q_SLOTS:
    void OKBtnClick();
    void DetailsBtnClick();
    void SendBtnClick();

private:
    QLabel *m_msgLabel;
    ButtonPanel *m_panel;
    SpeedButton *m_okBtn;
    SpeedButton *m_sendBtn;
    SpeedButton *m_detailsBtn;
    CrashException *m_exceptIntf = nullptr;
};

// The subject and body of a mailed error report.
QString bugReportSubject();
QString bugReportBody();

// Shows the error dialog for an exception; true when it was closed with OK.
bool ShowExceptionDialog(CrashException &exception);

} // namespace tev
