#include "scripting/mail/vyxemail.h"

#include "platform/error.h"
#include "scripting/mail/mailheaders.h"
#include "scripting/mail/smtptransfer.h"

#include <QFile>
#include <QFileInfo>
#include <curl/curl.h>

namespace tev {

namespace {

// Splits a ";" list. Blank parts are skipped: a trailing ";" must not add an empty recipient or
// an attachment that makes every send fail.
QStringList SplitEntries(const QString &value, bool trim)
{
    QStringList result;
    const QStringList parts = value.split(u';');
    for (const QString &part : parts) {
        if (part.trimmed().isEmpty())
            continue;
        result << (trim ? part.trimmed() : part);
    }
    return result;
}

QString EachFollowedBySemicolon(const QStringList &entries)
{
    QString result;
    for (const QString &entry : entries)
        result += entry + u';';
    return result;
}

long CurlSslVersion(int version)
{
    switch (version) {
    case SSLVersionSSL23:
        return CURL_SSLVERSION_DEFAULT;
    case SSLVersionTLS10:
        return CURL_SSLVERSION_TLSv1_0;
    case SSLVersionTLS11:
        return CURL_SSLVERSION_TLSv1_1;
    case SSLVersionTLS12:
        return CURL_SSLVERSION_TLSv1_2;
    case SSLVersionSSL2:
    case SSLVersionSSL3:
        throw Error(QStringLiteral("%1 is no longer available for mail; set SSLVersion to "
                                   "\"TLS 1.0\" or later, or to \"SSL 23\" for the best version")
                        .arg(SSLVersionToText(version)));
    default:
        throw Error(QStringLiteral("Unknown SSL version %1").arg(version));
    }
}

void RefuseLineBreak(const QString &text, const QString &what)
{
    if (HasLineBreak(text))
        throw Error(
            QStringLiteral("The mail's %1 contains a line break, which is not allowed").arg(what));
}

} // namespace

TvyxEMail::TvyxEMail(QObject *owner)
    : QObject(owner)
{}

QString TvyxEMail::GetAttachments() const
{
    QStringList names;
    for (const QString &path : m_attachments)
        names << QFileInfo(path).fileName();
    return names.join(u';');
}

void TvyxEMail::SetAttachments(const QString &value)
{
    // Taken as given: a file name may begin or end with a blank.
    m_attachments << SplitEntries(value, false);
}

QString TvyxEMail::GetBody() const
{
    QString result;
    for (const QString &line : m_bodyLines)
        result += line + QStringLiteral("\r\n");
    return result;
}

void TvyxEMail::SetBody(const QString &value)
{
    // Lines end at CR LF, CR or LF; a break at the very end starts no further line.
    m_bodyLines.clear();
    QString line;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\r' || c == u'\n') {
            m_bodyLines << line;
            line.clear();
            if (c == u'\r' && i + 1 < value.size() && value.at(i + 1) == u'\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.isEmpty())
        m_bodyLines << line;
}

QString TvyxEMail::GetCC() const
{
    return EachFollowedBySemicolon(m_cc);
}

void TvyxEMail::SetCC(const QString &value)
{
    m_cc << SplitEntries(value, true);
}

QString TvyxEMail::GetRecipientEMail() const
{
    return EachFollowedBySemicolon(m_recipients);
}

void TvyxEMail::SetRecipientEMail(const QString &value)
{
    m_recipients << SplitEntries(value, true);
}

void TvyxEMail::SetPort(quint16 value)
{
    m_port = value;
    switch (value) {
    case 25:
        m_tlsMode = TLSMode::No;
        break;
    case 587:
        m_tlsMode = TLSMode::Explicit;
        break;
    default:
        m_tlsMode = TLSMode::Implicit;
        break;
    }
}

void TvyxEMail::setTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds response)
{
    m_connectTimeout = connect;
    m_responseTimeout = response;
}

void TvyxEMail::Send()
{
    SmtpTransfer transfer;
    transfer.host = m_host.trimmed();
    if (transfer.host.isEmpty())
        throw Error(QStringLiteral("No mail server is set (Host is empty)"));
    transfer.port = m_port;
    switch (m_tlsMode) {
    case TLSMode::No:
        transfer.transport = SmtpTransfer::Transport::Plain;
        break;
    case TLSMode::Explicit:
    case TLSMode::Required:
        transfer.transport = SmtpTransfer::Transport::StartTls;
        break;
    case TLSMode::Implicit:
        transfer.transport = SmtpTransfer::Transport::ImplicitTls;
        break;
    }
    if (transfer.transport != SmtpTransfer::Transport::Plain) {
        transfer.curlSslVersion = CurlSslVersion(m_sslVersion);
        transfer.caBundle = qEnvironmentVariable("TEVORA_MAIL_CA_BUNDLE");
        transfer.certFile = m_sslCertFile;
        transfer.keyFile = m_sslKeyFile;
    }
    transfer.userName = m_userName;
    transfer.password = m_password;

    // Nothing that becomes a header line or an SMTP command may carry a line break.
    RefuseLineBreak(m_subject, QStringLiteral("subject"));
    RefuseLineBreak(m_senderName, QStringLiteral("sender name"));
    RefuseLineBreak(m_senderEMail, QStringLiteral("sender address"));
    for (const QString &address : m_recipients + m_cc)
        RefuseLineBreak(address, QStringLiteral("address \"%1\"").arg(address.simplified()));
    for (const QString &path : m_attachments)
        RefuseLineBreak(QFileInfo(path).fileName(), QStringLiteral("attachment name"));

    transfer.mailFrom = EnvelopeAddress(m_senderEMail);
    if (transfer.mailFrom.isEmpty())
        throw Error(QStringLiteral("The mail has no sender address (SenderEMail is empty)"));
    for (const QString &address : m_recipients + m_cc)
        transfer.envelopeRecipients << EnvelopeAddress(address);
    if (transfer.envelopeRecipients.isEmpty())
        throw Error(QStringLiteral("The mail has no recipient"));

    // Every attachment is checked before connecting, so a bad one sends nothing.
    for (const QString &path : m_attachments) {
        QFile file(path);
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
            throw Error(QStringLiteral("The attachment \"%1\" cannot be read").arg(path));
        transfer.attachmentPaths << QFileInfo(path).absoluteFilePath();
    }

    transfer.headers << "Date: " + MailDate(QDateTime::currentDateTime());
    // Without a sender name, SenderEMail may carry one itself ("Name <addr>").
    transfer.headers << "From: " + (m_senderName.isEmpty()
                                        ? EncodeAddressList({m_senderEMail}, 6)
                                        : EncodeMailbox(m_senderName, transfer.mailFrom));
    if (!m_recipients.isEmpty())
        transfer.headers << "To: " + EncodeAddressList(m_recipients, 4);
    if (!m_cc.isEmpty())
        transfer.headers << "Cc: " + EncodeAddressList(m_cc, 4);
    transfer.headers << "Subject: " + EncodeHeaderText(m_subject, 9);
    transfer.bodyUtf8 = GetBody().toUtf8();

    transfer.connectTo = m_connectTo;
    transfer.connectTimeout = m_connectTimeout;
    transfer.responseTimeout = m_responseTimeout;
    transfer.run();
}

} // namespace tev
