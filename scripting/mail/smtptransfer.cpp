#include "scripting/mail/smtptransfer.h"

#include "platform/error.h"
#include "scripting/mail/mailheaders.h"

#include <QFileInfo>

#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace tev {

namespace {

struct EasyDeleter
{
    void operator()(CURL *curl) const { curl_easy_cleanup(curl); }
};
struct MimeDeleter
{
    void operator()(curl_mime *mime) const { curl_mime_free(mime); }
};
struct ListDeleter
{
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using MimeHandle = std::unique_ptr<curl_mime, MimeDeleter>;
using StringList = std::unique_ptr<curl_slist, ListDeleter>;

void AppendTo(StringList &list, const QByteArray &entry)
{
    curl_slist *grown = curl_slist_append(list.get(), entry.constData());
    if (!grown)
        throw Error(QStringLiteral("Out of memory while preparing the mail"));
    list.release();
    list.reset(grown);
}

void EnsureCurlInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The first refusal of the server and the command it answered, so that an error can name the
// refused recipient or the failed step; libcurl's own text has only the code. AUTH lines are
// never kept: they carry the password.
struct Conversation
{
    QByteArray lastCommand;
    QByteArray failedCommand;
    QByteArray failedReply;
};

int Trace(CURL *, curl_infotype type, char *data, size_t size, void *userp)
{
    auto *conversation = static_cast<Conversation *>(userp);
    const QByteArray text = QByteArray(data, static_cast<qsizetype>(size)).trimmed();
    if (text.isEmpty())
        return 0;
    if (type == CURLINFO_HEADER_OUT)
        // Only the commands an error may name; anything else may be a credential.
        conversation->lastCommand =
            text.startsWith("MAIL FROM:") || text.startsWith("RCPT TO:") ? text : QByteArray();
    else if (type == CURLINFO_HEADER_IN && conversation->failedReply.isEmpty() &&
             (text.startsWith('4') || text.startsWith('5'))) {
        conversation->failedCommand = conversation->lastCommand;
        conversation->failedReply = text.split('\n').constLast().trimmed();
    }
    return 0;
}

// The address inside "RCPT TO:<...>" or "MAIL FROM:<...>".
QString CommandArgument(const QByteArray &command)
{
    const qsizetype open = command.indexOf('<');
    const qsizetype close = command.lastIndexOf('>');
    if (open < 0 || close < open)
        return QString::fromUtf8(command);
    return QString::fromUtf8(command.mid(open + 1, close - open - 1));
}

template <typename T> void SetOption(CURL *curl, CURLoption option, T value)
{
    if (const CURLcode code = curl_easy_setopt(curl, option, value); code != CURLE_OK)
        throw Error(QStringLiteral("The mail transfer cannot be set up: %1")
                        .arg(QString::fromUtf8(curl_easy_strerror(code))));
}

} // namespace

void SmtpTransfer::run() const
{
    EnsureCurlInitialised();
    // Everything libcurl refers to without copying is declared before the handle, so that it
    // outlives the handle's clean-up, which may still trace or report.
    char errorBuffer[CURL_ERROR_SIZE] = {};
    Conversation conversation;
    StringList connectToList;
    StringList rcpt;
    StringList headerList;
    MimeHandle mime;
    // The easy handle owns the one connection of this transfer; cleaning it up closes it, also
    // when a step below throws.
    EasyHandle curl(curl_easy_init());
    if (!curl)
        throw Error(QStringLiteral("The mail transfer cannot be set up"));
    CURL *c = curl.get();

    const QString where = QStringLiteral("%1:%2").arg(host).arg(port);
    const bool ipv6 = host.contains(u':');
    const QString url = QStringLiteral("%1://%2%3%4:%5")
                            .arg(transport == Transport::ImplicitTls ? QStringLiteral("smtps")
                                                                     : QStringLiteral("smtp"))
                            .arg(ipv6 ? QStringLiteral("[") : QString(), host,
                                 ipv6 ? QStringLiteral("]") : QString())
                            .arg(port);
    const QByteArray urlBytes = url.toUtf8();
    SetOption(c, CURLOPT_URL, urlBytes.constData());
    SetOption(c, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    SetOption(c, CURLOPT_NOSIGNAL, 1L);
    // The connection is closed (with QUIT) as the transfer ends, never kept for another send.
    SetOption(c, CURLOPT_FORBID_REUSE, 1L);
    SetOption(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectTimeout.count()));
    const long responseSeconds = std::max<long>(1, (responseTimeout.count() + 999) / 1000);
    SetOption(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, responseSeconds);
    // A transfer that stops moving data is given up after the same time.
    SetOption(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    SetOption(c, CURLOPT_LOW_SPEED_TIME, responseSeconds);

    for (const QString &entry : connectTo)
        AppendTo(connectToList, entry.toUtf8());
    if (connectToList)
        SetOption(c, CURLOPT_CONNECT_TO, connectToList.get());

    // Port 587 requires STARTTLS: without it nothing is sent, so a password never goes out in
    // clear text.
    if (transport == Transport::StartTls)
        SetOption(c, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    const QByteArray caBytes = caBundle.toUtf8();
    const QByteArray certBytes = certFile.toUtf8();
    const QByteArray keyBytes = keyFile.toUtf8();
    if (transport != Transport::Plain) {
        SetOption(c, CURLOPT_SSLVERSION, curlSslVersion);
        SetOption(c, CURLOPT_SSL_VERIFYPEER, 1L);
        SetOption(c, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!caBundle.isEmpty())
            SetOption(c, CURLOPT_CAINFO, caBytes.constData());
        if (!certFile.isEmpty())
            SetOption(c, CURLOPT_SSLCERT, certBytes.constData());
        if (!keyFile.isEmpty())
            SetOption(c, CURLOPT_SSLKEY, keyBytes.constData());
    }

    const QByteArray userBytes = userName.toUtf8();
    const QByteArray passwordBytes = password.toUtf8();
    if (!userName.isEmpty()) {
        SetOption(c, CURLOPT_USERNAME, userBytes.constData());
        SetOption(c, CURLOPT_PASSWORD, passwordBytes.constData());
    }

    const QByteArray from = '<' + mailFrom.toUtf8() + '>';
    SetOption(c, CURLOPT_MAIL_FROM, from.constData());
    for (const QString &address : envelopeRecipients)
        AppendTo(rcpt, '<' + address.toUtf8() + '>');
    SetOption(c, CURLOPT_MAIL_RCPT, rcpt.get());

    for (const QByteArray &header : headers)
        AppendTo(headerList, header);
    SetOption(c, CURLOPT_HTTPHEADER, headerList.get());

    mime.reset(curl_mime_init(c));
    curl_mimepart *text = curl_mime_addpart(mime.get());
    curl_mime_data(text, bodyUtf8.constData(), static_cast<size_t>(bodyUtf8.size()));
    curl_mime_type(text, "text/plain; charset=utf-8");
    // Quoted-printable keeps the UTF-8 body safe on 7-bit paths and long lines short.
    curl_mime_encoder(text, "quoted-printable");
    for (const QString &path : attachmentPaths) {
        curl_mimepart *part = curl_mime_addpart(mime.get());
        // The part reads the file by its full path and is named by the file name alone.
        if (curl_mime_filedata(part, path.toUtf8().constData()) != CURLE_OK)
            throw Error(QStringLiteral("The attachment \"%1\" cannot be read").arg(path));
        curl_mime_encoder(part, "base64");
        // libcurl writes the name as raw bytes; a name beyond ASCII gets an encoded header of
        // ours so that it reaches the reader intact.
        if (const QByteArray disposition = AttachmentDisposition(QFileInfo(path).fileName());
            !disposition.isEmpty()) {
            StringList partHeaders;
            AppendTo(partHeaders, "Content-Disposition: " + disposition);
            curl_mime_headers(part, partHeaders.release(), 1);
        }
    }
    SetOption(c, CURLOPT_MIMEPOST, mime.get());

    SetOption(c, CURLOPT_ERRORBUFFER, errorBuffer);
    SetOption(c, CURLOPT_DEBUGFUNCTION, &Trace);
    SetOption(c, CURLOPT_DEBUGDATA, &conversation);
    SetOption(c, CURLOPT_VERBOSE, 1L);

    const CURLcode code = curl_easy_perform(c);
    if (code == CURLE_OK)
        return;

    const QString detail = errorBuffer[0] ? QString::fromUtf8(errorBuffer).trimmed()
                                          : QString::fromUtf8(curl_easy_strerror(code));
    const QString reply = QString::fromUtf8(conversation.failedReply);
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
        throw Error(QStringLiteral("Cannot connect to the mail server %1: %2").arg(where, detail));
    case CURLE_OPERATION_TIMEDOUT:
        throw Error(
            QStringLiteral("The mail server %1 did not answer in time: %2").arg(where, detail));
    case CURLE_USE_SSL_FAILED:
        throw Error(QStringLiteral("The mail server %1 does not offer STARTTLS, which port 587 "
                                   "requires; nothing was sent")
                        .arg(where));
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
        throw Error(QStringLiteral("TLS with the mail server %1 failed: its certificate is not "
                                   "trusted (%2). To trust another CA, set "
                                   "TEVORA_MAIL_CA_BUNDLE to its PEM file")
                        .arg(where, detail));
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CLIENTCERT:
        throw Error(QStringLiteral("TLS with the mail server %1 failed: %2").arg(where, detail));
    case CURLE_LOGIN_DENIED:
    case CURLE_AUTH_ERROR:
        throw Error(QStringLiteral("Authentication as \"%1\" at the mail server %2 failed: %3")
                        .arg(userName, where, reply.isEmpty() ? detail : reply));
    case CURLE_READ_ERROR:
        throw Error(
            QStringLiteral("An attachment could not be read while sending: %1").arg(detail));
    default:
        break;
    }
    if (conversation.failedCommand.startsWith("RCPT"))
        throw Error(QStringLiteral("The mail server %1 refused the recipient %2: %3")
                        .arg(where, CommandArgument(conversation.failedCommand), reply));
    if (conversation.failedCommand.startsWith("MAIL"))
        throw Error(QStringLiteral("The mail server %1 refused the sender %2: %3")
                        .arg(where, CommandArgument(conversation.failedCommand), reply));
    throw Error(
        QStringLiteral("Sending mail through %1 failed: %2%3")
            .arg(where, detail, reply.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reply)));
}

} // namespace tev
