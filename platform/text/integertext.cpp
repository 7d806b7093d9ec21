#include "platform/text/integertext.h"

#include <limits>

namespace tev {

namespace {

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

std::optional<qint32> ParseIntegerText(const QString &s)
{
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n && s.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (s.at(i) == QLatin1Char('+') || s.at(i) == QLatin1Char('-'))) {
        negative = s.at(i) == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < n && s.at(i) == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i < n && (s.at(i) == QLatin1Char('x') || s.at(i) == QLatin1Char('X'))) {
        base = 16;
        ++i;
    } else if (i + 1 < n && s.at(i) == QLatin1Char('0') &&
               (s.at(i + 1) == QLatin1Char('x') || s.at(i + 1) == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return std::nullopt;
    // The magnitude may reach 2^31 for the most negative value; stop early beyond that.
    constexpr qint64 limit = qint64(1) << 31;
    qint64 magnitude = 0;
    for (; i < n; ++i) {
        const int digit = base == 16 ? HexDigitValue(s.at(i))
                                     : (IsAsciiDigit(s.at(i)) ? s.at(i).unicode() - u'0' : -1);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

} // namespace tev
