#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tev {

// The header lines of one mail, built by hand because libcurl's MIME API builds the body parts
// but takes the top-level headers as given. Every text that is not plain printable ASCII is
// written as UTF-8 encoded words, so a server or reader never has to guess the encoding.

// A header value as encoded words where needed ("=?UTF-8?B?...?="), folded so that no line of
// the header grows beyond what mail readers accept. nameLength is the length of "Name: ".
QByteArray EncodeHeaderText(const QString &text, int nameLength);

// An address with an optional display name: "Name <addr>", the name quoted when it is plain
// ASCII and written as encoded words otherwise, the address unchanged.
QByteArray EncodeMailbox(const QString &displayName, const QString &address);

// Addresses joined with "," and folded between them. Each is "addr" or "Name <addr>", the name
// plain or already quoted; it is written as EncodeMailbox writes it, so that a name with a comma
// or beyond ASCII reads as one recipient with that name.
QByteArray EncodeAddressList(const QStringList &addresses, int nameLength);

// The bare address for the SMTP envelope: the part inside "<...>" when there is one.
QString EnvelopeAddress(const QString &address);

// The Content-Disposition value of an attachment part whose name libcurl cannot write as it is:
// a name beyond printable ASCII becomes an RFC 2231 UTF-8 parameter ("filename*=UTF-8''...").
// Empty for a plain name, which libcurl's own header carries.
QByteArray AttachmentDisposition(const QString &fileName);

// The date header's value for a point in time.
QByteArray MailDate(const QDateTime &when);

// True when the text holds a CR or an LF, which would end a header or an SMTP command early.
bool HasLineBreak(const QString &text);

} // namespace tev
