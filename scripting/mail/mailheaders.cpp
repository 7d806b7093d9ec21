#include "scripting/mail/mailheaders.h"

#include <QLocale>
#include <QUrl>

#include <utility>

namespace tev {

namespace {

// A header line should stay within 78 characters; encoded words may be at most 75.
constexpr int FoldWidth = 78;
constexpr int MaxEncodedWord = 75;
const QByteArray WordStart = "=?UTF-8?B?";
const QByteArray WordEnd = "?=";
const QByteArray FoldBreak = "\r\n ";

bool IsPlainAscii(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    }
    return !text.contains(QLatin1String("=?"));
}

// Splits UTF-8 text into chunks whose Base64 form fits one encoded word, never inside a
// character: each word must decode to whole characters on its own.
QList<QByteArray> Utf8Chunks(const QString &text)
{
    // 39 bytes make a word of 64 characters, which fits the first line after a header name.
    constexpr int maxBytes = 39;
    static_assert(12 + maxBytes / 3 * 4 <= MaxEncodedWord); // 12 = "=?UTF-8?B?" + "?="
    QList<QByteArray> chunks;
    QByteArray current;
    const QList<uint> codePoints = text.toUcs4();
    for (uint cp : codePoints) {
        const QByteArray bytes =
            QString::fromUcs4(reinterpret_cast<const char32_t *>(&cp), 1).toUtf8();
        if (current.size() + bytes.size() > maxBytes) {
            chunks << current;
            current.clear();
        }
        current += bytes;
    }
    if (!current.isEmpty())
        chunks << current;
    return chunks;
}

QByteArray EncodedWords(const QString &text, int nameLength)
{
    QByteArray result;
    int column = nameLength;
    for (const QByteArray &chunk : Utf8Chunks(text)) {
        const QByteArray word = WordStart + chunk.toBase64() + WordEnd;
        if (!result.isEmpty()) {
            // Whitespace between two encoded words is dropped by the reader, so folding here
            // adds nothing to the text.
            if (column + 1 + word.size() > FoldWidth) {
                result += FoldBreak;
                column = 1;
            } else {
                result += ' ';
                ++column;
            }
        }
        result += word;
        column += word.size();
    }
    return result;
}

QByteArray QuotedName(const QString &name)
{
    QByteArray quoted = "\"";
    for (char c : name.toLatin1()) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

// The column where folded header text that starts at column ends.
int ColumnAfter(const QByteArray &text, int column)
{
    const qsizetype fold = text.lastIndexOf(FoldBreak);
    return fold < 0 ? column + int(text.size()) : int(text.size() - fold - 2);
}

// A mailbox that starts at column: the name quoted when it is plain ASCII, else as encoded
// words, and the address unchanged; folded before the address when the line would grow too
// long.
QByteArray MailboxAt(const QString &displayName, const QString &address, int column)
{
    const QByteArray bare = address.toUtf8();
    if (displayName.isEmpty())
        return bare;
    QByteArray mailbox =
        IsPlainAscii(displayName) ? QuotedName(displayName) : EncodedWords(displayName, column);
    const bool fold = ColumnAfter(mailbox, column) + 3 + bare.size() > FoldWidth;
    return mailbox + (fold ? FoldBreak : QByteArray(" ")) + '<' + bare + '>';
}

// The display name and the address of "addr", "<addr>", "Name <addr>" or "\"Name\" <addr>".
std::pair<QString, QString> SplitMailbox(const QString &text)
{
    const QString trimmed = text.trimmed();
    const qsizetype open = trimmed.lastIndexOf(u'<');
    const qsizetype close = trimmed.lastIndexOf(u'>');
    if (open < 0 || close < open)
        return {QString(), trimmed};
    QString name = trimmed.left(open).trimmed();
    if (name.size() >= 2 && name.front() == u'"' && name.back() == u'"') {
        QString unquoted;
        for (qsizetype i = 1; i < name.size() - 1; ++i) {
            if (name[i] == u'\\' && i + 1 < name.size() - 1)
                ++i;
            unquoted += name[i];
        }
        name = unquoted;
    }
    return {name, trimmed.mid(open + 1, close - open - 1).trimmed()};
}

} // namespace

bool HasLineBreak(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

QByteArray EncodeHeaderText(const QString &text, int nameLength)
{
    if (IsPlainAscii(text) && nameLength + text.size() <= FoldWidth)
        return text.toLatin1();
    return EncodedWords(text, nameLength);
}

QByteArray EncodeMailbox(const QString &displayName, const QString &address)
{
    return MailboxAt(displayName, address, 6);
}

QByteArray EncodeAddressList(const QStringList &addresses, int nameLength)
{
    QByteArray result;
    int column = nameLength;
    for (const QString &entry : addresses) {
        const auto [name, address] = SplitMailbox(entry);
        if (result.isEmpty()) {
            result = MailboxAt(name, address, column);
        } else {
            // After ", " when the mailbox's first line fits there, else on a line of its own.
            QByteArray mailbox = MailboxAt(name, address, column + 2);
            const qsizetype firstLine = mailbox.indexOf(FoldBreak);
            if (column + 2 + (firstLine < 0 ? mailbox.size() : firstLine) > FoldWidth) {
                result += ',' + FoldBreak;
                mailbox = MailboxAt(name, address, 1);
            } else {
                result += ", ";
            }
            result += mailbox;
        }
        column = ColumnAfter(result, nameLength);
    }
    return result;
}

QByteArray AttachmentDisposition(const QString &fileName)
{
    if (IsPlainAscii(fileName))
        return {};
    return "attachment; filename*=UTF-8''" + QUrl::toPercentEncoding(fileName);
}

QString EnvelopeAddress(const QString &address)
{
    return SplitMailbox(address).second;
}

QByteArray MailDate(const QDateTime &when)
{
    // English day and month names whatever the user's locale, as mail requires.
    const QLocale c = QLocale::c();
    const int offset = when.offsetFromUtc() / 60;
    const QString zone = QStringLiteral("%1%2%3")
                             .arg(QChar(offset < 0 ? u'-' : u'+'))
                             .arg(qAbs(offset) / 60, 2, 10, QLatin1Char('0'))
                             .arg(qAbs(offset) % 60, 2, 10, QLatin1Char('0'));
    return (c.toString(when, QStringLiteral("ddd, d MMM yyyy HH:mm:ss ")) + zone).toLatin1();
}

} // namespace tev
