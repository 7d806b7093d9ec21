#include "drive.h"
#include "platform/crash/crashexception.h"
#include "platform/crash/throwtrace.h"
#include "platform/error.h"
#include "support/tempfolder.h"
#include "ui/dialogs/crashreportwindow.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/dialogs/vyxexceptiondlg.h"
#include "ui/kit/buttonpanel.h"
#include "ui/kit/speedbutton.h"
#include "ui/printers.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace tev {
namespace {

[[gnu::noinline]] void failWhileUpdatingReferences()
{
    throw Error(QStringLiteral("The master \"base.seq\" cannot be read.\n"
                               "Line 14 has 3 fields instead of 9.\n"
                               "The work sequence was left unchanged."));
}

CrashException thrownException()
{
    setThrowTracing(true);
    try {
        failWhileUpdatingReferences();
    } catch (...) {
        CrashException exception(CrashReport::fromCurrentException());
        setThrowTracing(false);
        return exception;
    }
    return CrashException(CrashReport{});
}

// Puts a stand-in for xdg-email first on PATH; it records its arguments, NUL-separated.
class StandInMailClient
{
public:
    StandInMailClient()
        : m_oldPath(qgetenv("PATH"))
    {
        QDir(m_folder.path()).mkdir(QStringLiteral("bin"));
        const QString script = m_folder.file(QStringLiteral("bin/xdg-email"));
        QFile file(script);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"" +
                   QFile::encodeName(argsFile()) + "\"\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(m_folder.file(QStringLiteral("bin"))) + ':' + m_oldPath);
        UiCrashReportFrontEnd::setReportFolder(m_folder.path());
    }
    ~StandInMailClient()
    {
        qputenv("PATH", m_oldPath);
        UiCrashReportFrontEnd::setReportFolder(QString());
    }
    QString argsFile() const { return m_folder.file(QStringLiteral("args")); }
    QStringList arguments() const
    {
        QFile file(argsFile());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList args = QString::fromUtf8(file.readAll()).split(QLatin1Char('\0'));
        args.removeLast();
        return args;
    }

private:
    test::TempFolder m_folder;
    QByteArray m_oldPath;
};

TEST(ExceptionDialog, OkReturnsTrue)
{
    CrashException exception = thrownException();
    test::DriveDialogs drive([](QDialog &dialog) {
        auto &dlg = static_cast<TVYXExceptionDlg &>(dialog);
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Error"));
        QTest::mouseClick(dlg.okBtn(), Qt::LeftButton);
    });
    EXPECT_TRUE(ShowExceptionDialog(exception));
}

struct CloseCase
{
    const char *name;
    std::function<void(TVYXExceptionDlg &)> act;
    bool staysOpen;
};

class ExceptionDialogClosing : public ::testing::TestWithParam<CloseCase>
{
};

TEST_P(ExceptionDialogClosing, AnyWayButOkReturnsFalse)
{
    CrashException exception = thrownException();
    test::DriveDialogs drive(
        [](QDialog &dialog) { GetParam().act(static_cast<TVYXExceptionDlg &>(dialog)); });
    EXPECT_FALSE(ShowExceptionDialog(exception));
    EXPECT_EQ(drive.stillVisible(), GetParam().staysOpen);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExceptionDialogClosing,
    ::testing::Values(CloseCase{"CloseBox", [](TVYXExceptionDlg &d) { d.close(); }, false},
                      CloseCase{"EscapeHasNoMeaning",
                                [](TVYXExceptionDlg &d) { QTest::keyClick(&d, Qt::Key_Escape); },
                                true},
                      CloseCase{"EnterHasNoMeaning",
                                [](TVYXExceptionDlg &d) { QTest::keyClick(&d, Qt::Key_Return); },
                                true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ExceptionDialog, LayoutWrapsASeveralLineMessage)
{
    CrashException exception = thrownException();
    test::DriveDialogs drive([&](QDialog &dialog) {
        auto &dlg = static_cast<TVYXExceptionDlg &>(dialog);
        EXPECT_EQ(dlg.size(), QSize(418, 120));
        QLabel *label = dlg.msgLabel();
        EXPECT_EQ(label->text(), exception.ExceptMessage());
        EXPECT_TRUE(label->wordWrap());
        EXPECT_EQ(label->geometry(), QRect(10, 10, 398, 60));
        EXPECT_EQ(dlg.panel()->geometry(), QRect(0, 80, 418, 40));
        EXPECT_EQ(dlg.okBtn()->geometry(), QRect(338, 5, 75, 30));
        EXPECT_EQ(dlg.sendBtn()->geometry(), QRect(228, 5, 100, 30));
        EXPECT_EQ(dlg.detailsBtn()->geometry(), QRect(143, 5, 75, 30));
        EXPECT_EQ(dlg.sendBtn()->text(), QStringLiteral("Send Report"));
        EXPECT_EQ(dlg.detailsBtn()->text(), QStringLiteral("Details..."));
        dlg.close();
    });
    ShowExceptionDialog(exception);
}

TEST(ExceptionDialog, DetailsShowsTheFullReportAboveTheStillOpenDialog)
{
    CrashException exception = thrownException();
    QString shownReport;
    bool errorDialogOpenBeneath = false;
    TVYXExceptionDlg *errorDialog = nullptr;
    test::DriveDialogs drive([&](QDialog &dialog) {
        if (auto *report = qobject_cast<CrashReportWindow *>(&dialog)) {
            shownReport = report->reportMemo()->toPlainText();
            errorDialogOpenBeneath = errorDialog && errorDialog->isVisible();
            QTest::mouseClick(report->closeBtn(), Qt::LeftButton);
            return;
        }
        errorDialog = static_cast<TVYXExceptionDlg *>(&dialog);
        QTest::mouseClick(errorDialog->detailsBtn(), Qt::LeftButton);
        EXPECT_TRUE(errorDialog->isVisible());
        QTest::mouseClick(errorDialog->okBtn(), Qt::LeftButton);
    });
    EXPECT_TRUE(ShowExceptionDialog(exception));
    EXPECT_EQ(drive.runs(), 2);
    EXPECT_TRUE(errorDialogOpenBeneath);
    EXPECT_TRUE(exception.AutoShowBugReport);
    EXPECT_TRUE(shownReport.contains(QLatin1String("failWhileUpdatingReferences")))
        << shownReport.toStdString();
    EXPECT_TRUE(shownReport.contains(QLatin1String("Line 14 has 3 fields instead of 9.")));
    EXPECT_TRUE(shownReport.contains(QLatin1String("tev::Error")));
}

TEST(ExceptionDialog, SendReportHandsTheReportToTheMailClient)
{
    StandInMailClient mailClient;
    CrashException exception = thrownException();
    bool openAfterSend = false;
    test::DriveDialogs drive([&](QDialog &dialog) {
        auto &dlg = static_cast<TVYXExceptionDlg &>(dialog);
        QTest::mouseClick(dlg.sendBtn(), Qt::LeftButton);
        openAfterSend = dlg.isVisible();
        QTest::mouseClick(dlg.okBtn(), Qt::LeftButton);
    });
    EXPECT_TRUE(ShowExceptionDialog(exception));
    EXPECT_TRUE(openAfterSend);

    const QStringList args = mailClient.arguments();
    ASSERT_EQ(args.size(), 9) << args.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(args.mid(0, 3), (QStringList{"--utf8", "--subject", "Tevora: bug report"}));
    EXPECT_EQ(args[3], QStringLiteral("--body"));
    EXPECT_EQ(args[4], QStringLiteral("Dear Vyx support team,\r\n\r\nAn error occurred in Tevora."
                                      "\r\nPlease find bug report attached.\r\n\r\n"));
    EXPECT_EQ(args[5], QStringLiteral("--attach"));
    EXPECT_EQ(args.mid(7), (QStringList{"--to", QString::fromLatin1(kSupportMailAddress)}));

    QFile attachment(args[6]);
    ASSERT_TRUE(attachment.open(QIODevice::ReadOnly)) << args[6].toStdString();
    const QString report = QString::fromUtf8(attachment.readAll());
    EXPECT_EQ(report, exception.BugReport());
    EXPECT_TRUE(report.contains(QLatin1String("failWhileUpdatingReferences")));
    EXPECT_EQ(exception.MailSubject, QStringLiteral("Tevora: bug report"));
    EXPECT_TRUE(exception.MailViaMapi);
}

// A report that cannot be handed to a mail client is no silent click: the user is told why, and
// the error dialog stays open.
TEST(ExceptionDialog, AFailedSendReportTellsTheUserWhy)
{
    struct Case
    {
        const char *name;
        std::function<void(StandInMailClient &)> breakIt;
        QString reason;
    };
    const QString missingFolder = QDir::temp().filePath(QStringLiteral("tevora-no-such-folder/x"));
    const Case cases[] = {
        {"no mail client", [](StandInMailClient &) { qputenv("PATH", "/nonexistent"); },
         QStringLiteral("mail client")},
        {"the report file cannot be written",
         [&](StandInMailClient &) { UiCrashReportFrontEnd::setReportFolder(missingFolder); },
         missingFolder},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        StandInMailClient mailClient;
        QFile::remove(mailClient.argsFile());
        const QByteArray path = qgetenv("PATH");
        c.breakIt(mailClient);
        CrashException exception = thrownException();
        QStringList messages;
        bool openBeneath = false;
        TVYXExceptionDlg *errorDialog = nullptr;
        test::DriveDialogs drive([&](QDialog &dialog) {
            if (auto *box = qobject_cast<TKelMsgDlg *>(&dialog)) {
                messages << box->msgLabel()->text();
                openBeneath = errorDialog && errorDialog->isVisible();
                QTest::keyClick(box, Qt::Key_Return);
                return;
            }
            errorDialog = static_cast<TVYXExceptionDlg *>(&dialog);
            QTest::mouseClick(errorDialog->sendBtn(), Qt::LeftButton);
            EXPECT_TRUE(errorDialog->isVisible());
            QTest::mouseClick(errorDialog->okBtn(), Qt::LeftButton);
        });
        EXPECT_TRUE(ShowExceptionDialog(exception));
        qputenv("PATH", path);
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].contains(QLatin1String("could not be sent")))
            << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(c.reason)) << messages[0].toStdString();
        EXPECT_TRUE(openBeneath);
        EXPECT_FALSE(QFile::exists(mailClient.argsFile())) << "nothing was handed off";
        EXPECT_FALSE(exception.MailError.isEmpty());
    }
}

TEST(ExceptionDialog, SendBugReportWithoutAFrontEndSaysSo)
{
    CrashReportFrontEnd *installed = crashReportFrontEnd();
    setCrashReportFrontEnd(nullptr);
    CrashException exception = thrownException();
    EXPECT_FALSE(exception.SendBugReport());
    EXPECT_FALSE(exception.MailError.isEmpty());
    setCrashReportFrontEnd(installed);
}

} // namespace
} // namespace tev
