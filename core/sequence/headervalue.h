#pragma once

#include <QString>

// A header value on its one line of the file and of the stored header.
//
// Sequence files have always kept a line break of a value as the four characters "\r\n" (a
// backslash, r, a backslash, n). The same notation carries every break: CR is written "\r" and LF
// "\n", so CR LF stays "\r\n" and files written before read as they did. Backslashes are written
// as they are, except a run of them that comes right before an "r" or "n": there each backslash is
// doubled, so a value holding the text "\n" itself reads back as that text and not as a break. An
// odd run before "r" or "n" thus ends in a break, an even one in the letter; a run before any
// other character stays as it is, so names such as "\\server\share" keep their meaning.
namespace tev {

// The value with its line breaks written as escapes; the result holds no CR and no LF.
QString EscapeHeaderValue(const QString &Value);
// The value an escaped text stands for.
QString UnescapeHeaderValue(const QString &Text);

} // namespace tev
