#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <chrono>

namespace tev {

// Simple MAPI on Linux: the message is handed to the desktop's mail client with xdg-email, which
// opens the client's compose window, as the MAPI send dialog does on the original platform. The
// user sends or discards the mail there. Scripts (MAPISendMail) and the error dialog's
// "Send Report" both go through this one routine.
//
// Results are Simple MAPI codes:
//   0  MapiSuccess               xdg-email handed the message to a mail client;
//   2  MapiFailure               xdg-email is missing, found no mail client, failed, or did not
//                                finish within the wait limit;
//   11 MapiAttachmentNotFound    an attachment does not exist (or is not a file);
//   12 MapiAttachmentOpenFailure an attachment exists but cannot be opened for reading.
// Attachments are checked before xdg-email runs, so a bad one hands nothing off.
enum MapiResult : quint32 {
    MapiSuccess = 0,
    MapiFailure = 2,
    MapiAttachmentNotFound = 11,
    MapiAttachmentOpenFailure = 12,
};

// How long we wait for xdg-email. It usually returns as soon as the client has the message, but
// some clients keep it waiting until they quit; the program must not hang on that. An outcome we
// could not learn in time is reported as a failure, never as success.
inline constexpr std::chrono::milliseconds MailClientWaitLimit{30000};

// Hands one message to the mail client. handle is the parent window of the original platform;
// xdg-email takes none, so it is not used. recipients is a ";" separated list: leading and
// trailing ";" are dropped and so is every entry that is blank. attachmentFileNames may be null
// (no attachments); blank entries in it are skipped. Texts go to xdg-email as UTF-8, so nothing
// is lost to a narrow code page.
quint32 MAPISendMail(quintptr handle, const QString &subject, const QString &body,
                     const QString &recipients, const QStringList *attachmentFileNames);

// The same with a chosen wait limit (tests use a short one).
quint32 MAPISendMail(quintptr handle, const QString &subject, const QString &body,
                     const QString &recipients, const QStringList *attachmentFileNames,
                     std::chrono::milliseconds waitLimit);

// The xdg-email arguments for a message, without the program name; exposed for tests and for
// callers that want to show what will be handed off.
QStringList MailClientArguments(const QString &subject, const QString &body,
                                const QStringList &recipients, const QStringList &attachments);

// The recipient entries of a ";" separated list after the rules above.
QStringList MapiRecipients(const QString &recipients);

} // namespace tev
