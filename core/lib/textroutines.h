#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// Text routines of the routine library: splitting, padding, capitalising and tokens. They never
// fail; letters are changed only in the range a to z (and A to Z), as stored texts expect.
namespace tev {

class TStringList;

// Removes every character from code 0 to code 32 at both ends.
QString TrimText(const QString &s);
// Changes only the letters a to z (A to Z); other letters keep their case, as stored keys expect.
QString AsciiUpperCase(const QString &s);
QString AsciiLowerCase(const QString &s);

bool IsEmptyString(const QString &S);
QString PadLeft(const QString &S, int TotalWidth, QChar PaddingChar = QLatin1Char(' '));
QString PadRight(const QString &S, int TotalWidth, QChar PaddingChar = QLatin1Char(' '));
// Values gets one element more than S has separators; only the last element is trimmed.
void SeparatorStrToArray(const QString &S, QChar Separator, QStringList &Values);
// Field Index (from 0) of S split at Separator; empty when there is no such field.
QString SubString(const QString &S, int Index, QChar Separator);
// Upper-cases the first letter and every letter after a hyphen; lowers nothing.
QString Capitalize(const QString &S);
// Capitalises words, keeping minor words ("a", "the", "and", ...) in lower case after the first.
QString TitleCase(const QString &S);
// The text between the first StartChar and the next EndChar.
QString GetFirstPlaceholder(const QString &Text, QChar StartChar, QChar EndChar);
// Cuts the next token off S: the text before the first character of Separators or Stop; S keeps
// what follows that character.
QString GetNextToken(QString &S, const QString &Separators, const QString &Stop = QString());
// Deletes empty lines (empty after trimming when TrimLines), from the last to the first.
void RemoveEmptyStrings(TStringList &Strings, bool TrimLines);
// The index of Value in List by the list's own comparison, adding it when it is not there.
int AddDistinctStringListItem(TStringList &List, const QString &Value);

} // namespace tev
