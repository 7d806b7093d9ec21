// The error dialog's "Send Report" when no mail client takes the report: the user is told why.
#include "gallery.h"
#include "platform/crash/crashexception.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/dialogs/vyxexceptiondlg.h"
#include "ui/kit/modalresult.h"

#include <QByteArray>

namespace tev::gallery {
namespace {

void sendReportFailed(Gallery &g)
{
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent"); // no xdg-email: no mail client can take the report
    CrashException exception(CrashReport::fromMessage(
        QStringLiteral("The master \"base.seq\" cannot be read."), QStringLiteral("tev::Error")));
    bool told = false;
    ModalRunnerGuard guard([&](QDialog &dialog) {
        if (auto *box = qobject_cast<TKelMsgDlg *>(&dialog)) {
            told = true;
            g.save(*box, QStringLiteral("error-send-report-failed"));
            return int(mrOk);
        }
        static_cast<TVYXExceptionDlg &>(dialog).SendBtnClick();
        return int(mrOk);
    });
    ShowExceptionDialog(exception);
    qputenv("PATH", path);
    if (!told)
        g.fail("a failed send was not told to the user");
}

} // namespace

TEVORA_GALLERY_SCENE("14b-kit-error-send-report-failed", sendReportFailed);

} // namespace tev::gallery
