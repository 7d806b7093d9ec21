#include "ui/dialogs/crashreportwindow.h"

#include "platform/error.h"
#include "platform/file/savefilewhole.h"
#include "scripting/mail/mapisendmail.h"
#include "ui/kit/buttonpanel.h"
#include "ui/kit/colors.h"
#include "ui/kit/fonts.h"
#include "ui/kit/mainform.h"
#include "ui/kit/modalrunner.h"
#include "ui/kit/speedbutton.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tev {

CrashReportWindow::CrashReportWindow(const CrashException &exception, QWidget *owner)
    : KelForm(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_memo(new QPlainTextEdit(this))
{
    setWindowTitle(applicationTitle() + QStringLiteral(": error report"));
    const QFont font = dialogFont(FontFace::Tahoma, 13);
    setFont(font);
    m_memo->setObjectName(QStringLiteral("ReportMemo"));
    m_memo->setReadOnly(true);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_memo->setPlainText(exception.BugReport());
    auto *panel = new ButtonPanel(this);
    panel->setObjectName(QStringLiteral("Panel"));
    panel->setFixedHeight(40);
    panel->setColor(colorFromValue(kColorButtonPanel));
    m_closeBtn = makePanelButton(QStringLiteral("CloseBtn"), QStringLiteral("Close"), font, panel);
    panel->addRightAligned(m_closeBtn, 75, QMargins(5, 5, 5, 5), 30);
    connect(m_closeBtn, &SpeedButton::clicked, this, [this] { setModalResult(mrClose); });
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_memo, 1);
    layout->addWidget(panel);
    resize(720, 480);
}

namespace {
QString &reportFolderRef()
{
    static QString folder;
    return folder;
}
} // namespace

QString UiCrashReportFrontEnd::reportFolder()
{
    return reportFolderRef().isEmpty() ? QDir::tempPath() : reportFolderRef();
}

void UiCrashReportFrontEnd::setReportFolder(const QString &folder)
{
    reportFolderRef() = folder;
}

void UiCrashReportFrontEnd::showReport(CrashException &exception)
{
    CrashReportWindow window(exception, QApplication::activeModalWidget());
    if (exception.AutoShowBugReport)
        window.reportMemo()->moveCursor(QTextCursor::Start);
    runModal(window);
}

bool UiCrashReportFrontEnd::mailReport(CrashException &exception)
{
    if (!exception.MailViaMapi) {
        exception.MailError =
            QStringLiteral("The report is not set to go through the mail client.");
        return false;
    }
    const QString path = QDir(reportFolder())
                             .filePath(QStringLiteral("tevora-bugreport-%1.txt")
                                           .arg(QDateTime::currentDateTime().toString(
                                               QStringLiteral("yyyyMMdd-hhmmss-zzz"))));
    // A report cut short by a full disk must not go out as if it were whole.
    try {
        SaveFileWhole(path, exception.BugReport().toUtf8());
    } catch (const Error &e) {
        exception.MailError = e.message();
        return false;
    }
    const QStringList attachments{path};
    switch (MAPISendMail(0, exception.MailSubject, exception.MailBody, exception.MailAddr,
                         &attachments)) {
    case MapiSuccess:
        return true;
    case MapiAttachmentNotFound:
        exception.MailError = QStringLiteral("The report file \"%1\" to attach was not found.")
                                  .arg(QDir::toNativeSeparators(path));
        return false;
    case MapiAttachmentOpenFailure:
        exception.MailError = QStringLiteral("The report file \"%1\" to attach cannot be read.")
                                  .arg(QDir::toNativeSeparators(path));
        return false;
    default:
        exception.MailError = QStringLiteral(
            "No mail client took the report: xdg-email is missing, found no mail client, or "
            "failed.");
        return false;
    }
}

void installCrashReportFrontEnd()
{
    static UiCrashReportFrontEnd frontEnd;
    if (!crashReportFrontEnd())
        setCrashReportFrontEnd(&frontEnd);
}

} // namespace tev
