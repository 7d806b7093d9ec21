#include "core/sequence/sequencefile.h"

#include "core/sequence/headervalue.h"
#include "platform/error.h"
#include "platform/file/regularfile.h"
#include "platform/file/savefilewhole.h"

#include <QFile>

namespace tev {

QStringList SplitSequenceLines(const QString &text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QStringList LoadSequenceLines(const QString &FileName, const TEncoding::Ptr &Encoding)
{
    const TEncoding::Ptr encoding = Encoding ? Encoding : TEncoding::ANSI();
    const QByteArray bytes = ReadRegularFile(FileName);
    const QByteArray preamble = encoding->GetPreamble();
    QByteArrayView view(bytes);
    if (!preamble.isEmpty() && view.startsWith(preamble))
        view = view.sliced(preamble.size());
    return SplitSequenceLines(encoding->GetString(view));
}

CompactLines LoadSequenceText(const QString &FileName, const TEncoding::Ptr &Encoding)
{
    const TEncoding::Ptr encoding = Encoding ? Encoding : TEncoding::ANSI();
    QString text;
    {
        const QByteArray bytes = ReadRegularFile(FileName);
        const QByteArray preamble = encoding->GetPreamble();
        QByteArrayView view(bytes);
        if (!preamble.isEmpty() && view.startsWith(preamble))
            view = view.sliced(preamble.size());
        text = encoding->GetString(view);
    }
    return CompactLines::fromText(text);
}

QStringList LoadSequenceLinesByPreamble(const QString &FileName)
{
    const QByteArray bytes = ReadRegularFile(FileName);
    int preambleLength = 0;
    const TEncoding::Ptr encoding =
        TEncoding::DetectByPreamble(bytes, TEncoding::ANSI(), preambleLength);
    return SplitSequenceLines(encoding->GetString(QByteArrayView(bytes).sliced(preambleLength)));
}

void SaveSequenceLines(const QString &FileName, const QStringList &Lines,
                       const TEncoding::Ptr &Encoding)
{
    const TEncoding::Ptr encoding = Encoding ? Encoding : TEncoding::ANSI();
    QString text;
    for (const QString &line : Lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    SaveFileWhole(FileName, encoding->GetPreamble() + encoding->GetBytes(text));
}

QString ParseHeader(const QStringList &Lines)
{
    QStringList kept;
    for (const QString &line : Lines) {
        if (line.trimmed().isEmpty())
            continue;
        if (!line.startsWith(QLatin1Char('$')) || line.startsWith(QLatin1String("$ROUTINE")))
            break;
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        kept.append(space < 0 ? line : line.left(space) + QLatin1Char('=') + line.mid(space + 1));
    }
    return kept.join(QLatin1String("\r\n"));
}

QString DateStamp(const QDateTime &DateTime)
{
    return DateTime.toString(QStringLiteral("MM'/'dd'/'yyyy'@'HH:mm:ss"));
}

QString DefaultHeader(const QString &ProjectName, int Decimals, const QDateTime &Now)
{
    const std::pair<const char *, QString> lines[] = {
        {"$TYPE", QStringLiteral("0")},
        {"$LOGPROFILES", {}},
        {"$DEPENDS", {}},
        {"$KELWORKS", {}},
        {"$KELWORKORGSVERSION", {}},
        {"$FORMAT", {}},
        {"$PICKLIST", {}},
        {"$VERIFY", QStringLiteral("0")},
        {"$DATE", DateStamp(Now)},
        {"$UNITS", {}},
        {"$VERSION", {}},
        {"$PROJECTNAME", EscapeHeaderValue(ProjectName)},
        {"$LONGDESC", {}},
        {"$SHORTDESC", {}},
        {"$LIMITS", {}},
        {"$NDECIMALS", QString::number(Decimals)},
        {"$GENERATOR", QStringLiteral("Tevora")},
    };
    QStringList result;
    for (const auto &[name, value] : lines)
        result.append(QLatin1String(name) + QLatin1Char('=') + value);
    return result.join(QLatin1String("\r\n"));
}

} // namespace tev
