#include "scripting/mail/mapisendmail.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace tev {

namespace {

// How long a killed xdg-email may take to go away after the wait limit.
constexpr int KillGraceMs = 2000;

// Checks every attachment before anything is handed off and returns the full paths.
quint32 CheckAttachments(const QStringList *attachmentFileNames, QStringList &paths)
{
    if (!attachmentFileNames)
        return MapiSuccess;
    for (const QString &entry : *attachmentFileNames) {
        // A blank entry is skipped; a real one is taken as given, since a file name may start or
        // end with a blank.
        if (entry.trimmed().isEmpty())
            continue;
        const QFileInfo info(entry);
        if (!info.exists() || !info.isFile())
            return MapiAttachmentNotFound;
        QFile file(info.absoluteFilePath());
        if (!file.open(QIODevice::ReadOnly))
            return MapiAttachmentOpenFailure;
        paths << info.absoluteFilePath();
    }
    return MapiSuccess;
}

} // namespace

QStringList MapiRecipients(const QString &recipients)
{
    QStringList result;
    const QStringList parts = recipients.split(u';');
    for (const QString &part : parts) {
        // An address never starts or ends with a blank, and xdg-email would pass one on
        // percent-encoded into the mailto address.
        const QString address = part.trimmed();
        if (!address.isEmpty())
            result << address;
    }
    return result;
}

QStringList MailClientArguments(const QString &subject, const QString &body,
                                const QStringList &recipients, const QStringList &attachments)
{
    // --utf8 first: otherwise xdg-email converts from the locale's encoding, which fails for
    // non-ASCII text under the C locale. xdg-email refuses an empty value, so an empty subject or
    // body is left out instead.
    QStringList args{QStringLiteral("--utf8")};
    if (!subject.isEmpty())
        args << QStringLiteral("--subject") << subject;
    if (!body.isEmpty())
        args << QStringLiteral("--body") << body;
    for (const QString &path : attachments)
        args << QStringLiteral("--attach") << path;
    for (const QString &address : recipients)
        args << QStringLiteral("--to") << address;
    return args;
}

quint32 MAPISendMail(quintptr handle, const QString &subject, const QString &body,
                     const QString &recipients, const QStringList *attachmentFileNames)
{
    return MAPISendMail(handle, subject, body, recipients, attachmentFileNames,
                        MailClientWaitLimit);
}

quint32 MAPISendMail(quintptr /*handle*/, const QString &subject, const QString &body,
                     const QString &recipients, const QStringList *attachmentFileNames,
                     std::chrono::milliseconds waitLimit)
{
    QStringList attachments;
    if (const quint32 result = CheckAttachments(attachmentFileNames, attachments);
        result != MapiSuccess)
        return result;

    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (program.isEmpty()) {
        qWarning("MAPISendMail: xdg-email was not found on PATH");
        return MapiFailure;
    }

    QProcess process;
    process.setProgram(program);
    process.setArguments(
        MailClientArguments(subject, body, MapiRecipients(recipients), attachments));
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted()) {
        qWarning() << "MAPISendMail: xdg-email did not start:" << process.errorString();
        return MapiFailure;
    }
    if (!process.waitForFinished(static_cast<int>(waitLimit.count()))) {
        qWarning("MAPISendMail: xdg-email did not finish in time");
        process.kill();
        process.waitForFinished(KillGraceMs);
        return MapiFailure;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        // xdg-email's exit codes (1 syntax, 2 file missing, 3 no mail client, 4 action failed,
        // 5 no permission) all mean the message did not reach a mail client.
        qWarning() << "MAPISendMail: xdg-email failed with exit code" << process.exitCode()
                   << process.readAllStandardError().trimmed();
        return MapiFailure;
    }
    return MapiSuccess;
}

} // namespace tev
