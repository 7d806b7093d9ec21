#include "ui/dialogs/vyxexceptiondlg.h"

#include "platform/crash/crashexception.h"
#include "ui/dialogs/crashreportwindow.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/kit/buttonpanel.h"
#include "ui/kit/colors.h"
#include "ui/kit/fonts.h"
#include "ui/kit/mainform.h"
#include "ui/kit/modalrunner.h"
#include "ui/kit/speedbutton.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tev {

namespace {
constexpr int kPanelHeight = 40;
}

TVYXExceptionDlg::TVYXExceptionDlg(QWidget *owner)
    : KelForm(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_msgLabel(new QLabel(QStringLiteral("Error:"), this))
    , m_panel(new ButtonPanel(this))
{
    const QFont font = dialogFont(FontFace::Tahoma, 13);
    setFont(font);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    m_msgLabel->setObjectName(QStringLiteral("MsgLabel"));
    m_msgLabel->setTextFormat(Qt::PlainText);
    m_msgLabel->setWordWrap(true);
    m_msgLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_msgLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_panel->setObjectName(QStringLiteral("Panel"));
    m_panel->setFixedHeight(kPanelHeight);
    m_panel->setColor(colorFromValue(kColorButtonPanel));
    m_okBtn = makePanelButton(QStringLiteral("OKBtn"), QStringLiteral("OK"), font, m_panel);
    m_sendBtn =
        makePanelButton(QStringLiteral("SendBtn"), QStringLiteral("Send Report"), font, m_panel);
    m_detailsBtn =
        makePanelButton(QStringLiteral("DetailsBtn"), QStringLiteral("Details..."), font, m_panel);
    const QMargins margins(5, 5, 5, 5);
    m_panel->addRightAligned(m_okBtn, 75, margins, 30);
    m_panel->addRightAligned(m_sendBtn, 100, margins, 30);
    m_panel->addRightAligned(m_detailsBtn, 75, margins, 30);
    connect(m_okBtn, &SpeedButton::clicked, this, &TVYXExceptionDlg::OKBtnClick);
    connect(m_detailsBtn, &SpeedButton::clicked, this, &TVYXExceptionDlg::DetailsBtnClick);
    connect(m_sendBtn, &SpeedButton::clicked, this, &TVYXExceptionDlg::SendBtnClick);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *labelArea = new QVBoxLayout;
    labelArea->setContentsMargins(10, 10, 10, 10);
    labelArea->addWidget(m_msgLabel);
    layout->addLayout(labelArea, 1);
    layout->addWidget(m_panel);
    resize(418, 120);
}

void TVYXExceptionDlg::setException(CrashException *exception)
{
    m_exceptIntf = exception;
}

void TVYXExceptionDlg::OKBtnClick()
{
    setModalResult(mrOk);
}

void TVYXExceptionDlg::DetailsBtnClick()
{
    if (!m_exceptIntf)
        return;
    m_exceptIntf->AutoShowBugReport = true;
    m_exceptIntf->Show();
}

void TVYXExceptionDlg::SendBtnClick()
{
    if (!m_exceptIntf)
        return;
    m_exceptIntf->MailViaMapi = true;
    m_exceptIntf->MailAddr = QString::fromLatin1(kSupportMailAddress);
    m_exceptIntf->MailSubject = bugReportSubject();
    m_exceptIntf->MailBody = bugReportBody();
    // A click that hands nothing off must not look like one that did.
    if (!m_exceptIntf->SendBugReport())
        KelShowMessage(QStringLiteral("The error report could not be sent.\n") +
                       m_exceptIntf->MailError);
}

QString bugReportSubject()
{
    return applicationTitle() + QStringLiteral(": bug report");
}

QString bugReportBody()
{
    return QStringLiteral("Dear Vyx support team,\r\n\r\nAn error occurred in ") +
           applicationTitle() + QStringLiteral(".\r\n") +
           QStringLiteral("Please find bug report attached.\r\n\r\n");
}

bool ShowExceptionDialog(CrashException &exception)
{
    installCrashReportFrontEnd();
    TVYXExceptionDlg dialog(mainForm());
    dialog.msgLabel()->setText(exception.ExceptMessage());
    dialog.setException(&exception);
    dialog.setWindowTitle(QStringLiteral("Error"));
    dialog.okBtn()->setText(QStringLiteral("OK"));
    centerOn(dialog, mainForm());
    return runModal(dialog) == mrOk;
}

} // namespace tev
