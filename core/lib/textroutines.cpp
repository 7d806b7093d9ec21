#include "core/lib/textroutines.h"

#include "platform/text/tstringlist.h"

#include <algorithm>

namespace tev {

namespace {

QChar AsciiUpper(QChar c)
{
    return c >= QLatin1Char('a') && c <= QLatin1Char('z') ? QChar(c.unicode() - 32) : c;
}

bool IsMinorWord(const QString &word)
{
    static const QStringList minorWords =
        QStringLiteral("a,an,the,or,and,but,for,nor,to,as").split(QLatin1Char(','));
    return minorWords.contains(word, Qt::CaseInsensitive);
}

bool IsWordSeparator(QChar c)
{
    return QStringLiteral(" !(),./:?").contains(c);
}

} // namespace

QString TrimText(const QString &s)
{
    qsizetype start = 0;
    qsizetype end = s.size();
    while (start < end && s.at(start).unicode() <= 32)
        ++start;
    while (end > start && s.at(end - 1).unicode() <= 32)
        --end;
    return s.mid(start, end - start);
}

QString AsciiUpperCase(const QString &s)
{
    QString result = s;
    for (QChar &c : result)
        c = AsciiUpper(c);
    return result;
}

QString AsciiLowerCase(const QString &s)
{
    QString result = s;
    for (QChar &c : result) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    }
    return result;
}

bool IsEmptyString(const QString &S)
{
    return TrimText(S).isEmpty();
}

QString PadLeft(const QString &S, int TotalWidth, QChar PaddingChar)
{
    return TotalWidth > S.size() ? QString(TotalWidth - S.size(), PaddingChar) + S : S;
}

QString PadRight(const QString &S, int TotalWidth, QChar PaddingChar)
{
    return TotalWidth > S.size() ? S + QString(TotalWidth - S.size(), PaddingChar) : S;
}

void SeparatorStrToArray(const QString &S, QChar Separator, QStringList &Values)
{
    Values.clear();
    qsizetype start = 0;
    qsizetype pos = S.indexOf(Separator);
    while (pos >= 0) {
        Values.append(S.mid(start, pos - start));
        start = pos + 1;
        pos = S.indexOf(Separator, start);
    }
    Values.append(TrimText(S.mid(start)));
}

QString SubString(const QString &S, int Index, QChar Separator)
{
    if (Index < 0)
        return QString();
    qsizetype start = 0;
    for (int field = 0; field < Index; ++field) {
        const qsizetype pos = S.indexOf(Separator, start);
        if (pos < 0)
            return QString();
        start = pos + 1;
    }
    const qsizetype end = S.indexOf(Separator, start);
    return end < 0 ? S.mid(start) : S.mid(start, end - start);
}

QString Capitalize(const QString &S)
{
    QString result = S;
    for (qsizetype i = 0; i < result.size(); ++i) {
        if (i == 0 || result.at(i - 1) == QLatin1Char('-'))
            result[i] = AsciiUpper(result.at(i));
    }
    return result;
}

QString TitleCase(const QString &S)
{
    QString result;
    auto addWord = [&result](const QString &word) {
        if (word.isEmpty())
            return;
        if (result.isEmpty())
            result += Capitalize(word);
        else if (IsMinorWord(word))
            result += AsciiLowerCase(word);
        else
            result += Capitalize(word);
    };
    QString word;
    for (const QChar c : S) {
        if (IsWordSeparator(c)) {
            addWord(word);
            addWord(QString(c));
            word.clear();
        } else {
            word += c;
        }
    }
    addWord(word);
    return result;
}

QString GetFirstPlaceholder(const QString &Text, QChar StartChar, QChar EndChar)
{
    const qsizetype start = Text.indexOf(StartChar);
    if (start < 0 || !Text.contains(EndChar))
        return QString();
    const QString rest = Text.mid(start + 1);
    const qsizetype end = rest.indexOf(EndChar);
    return end < 0 ? rest : rest.left(end);
}

QString GetNextToken(QString &S, const QString &Separators, const QString &Stop)
{
    const QString breaks = Separators + Stop;
    qsizetype pos = -1;
    for (qsizetype i = 0; i < S.size(); ++i) {
        if (breaks.contains(S.at(i))) {
            pos = i;
            break;
        }
    }
    if (pos < 0) {
        // No break character: the token stops short of the stop text's length. When the rest is
        // shorter than that, the token is empty and one character is still consumed, so a loop
        // over the tokens always comes to an end.
        pos = std::max<qsizetype>(S.size() - Stop.size(), 0);
    }
    const QString token = S.left(pos);
    S = S.mid(pos + 1);
    return token;
}

void RemoveEmptyStrings(TStringList &Strings, bool TrimLines)
{
    for (int i = Strings.Count() - 1; i >= 0; --i) {
        const QString line = Strings.Strings(i);
        if ((TrimLines ? TrimText(line) : line).isEmpty())
            Strings.Delete(i);
    }
}

int AddDistinctStringListItem(TStringList &List, const QString &Value)
{
    const int index = List.IndexOf(Value);
    return index >= 0 ? index : List.Add(Value);
}

} // namespace tev
