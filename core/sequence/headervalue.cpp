#include "core/sequence/headervalue.h"

namespace tev {

namespace {

constexpr char16_t kBackslash = u'\\';

bool isBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

bool isEscapeLetter(QChar c)
{
    return c == QLatin1Char('r') || c == QLatin1Char('n');
}

} // namespace

QString EscapeHeaderValue(const QString &Value)
{
    QString out;
    out.reserve(Value.size() + 8);
    const qsizetype n = Value.size();
    for (qsizetype i = 0; i < n;) {
        qsizetype run = 0;
        while (i + run < n && Value[i + run] == kBackslash)
            ++run;
        const QChar next = i + run < n ? Value[i + run] : QChar();
        // Before a letter that would make an escape, and before the escape of a break, each
        // backslash of the value is doubled.
        const bool doubled = run > 0 && (isEscapeLetter(next) || isBreak(next));
        out.append(QString(doubled ? 2 * run : run, kBackslash));
        i += run;
        if (i >= n)
            break;
        if (next == QLatin1Char('\r'))
            out.append(QLatin1String("\\r"));
        else if (next == QLatin1Char('\n'))
            out.append(QLatin1String("\\n"));
        else
            out.append(next);
        ++i;
    }
    return out;
}

QString UnescapeHeaderValue(const QString &Text)
{
    if (!Text.contains(kBackslash))
        return Text;
    QString out;
    out.reserve(Text.size());
    const qsizetype n = Text.size();
    for (qsizetype i = 0; i < n;) {
        if (Text[i] != kBackslash) {
            out.append(Text[i++]);
            continue;
        }
        qsizetype run = 0;
        while (i + run < n && Text[i + run] == kBackslash)
            ++run;
        i += run;
        if (i >= n || !isEscapeLetter(Text[i])) {
            out.append(QString(run, kBackslash));
            continue;
        }
        out.append(QString(run / 2, kBackslash));
        if (run % 2 == 0)
            out.append(Text[i]);
        else
            out.append(Text[i] == QLatin1Char('r') ? QLatin1Char('\r') : QLatin1Char('\n'));
        ++i;
    }
    return out;
}

} // namespace tev
