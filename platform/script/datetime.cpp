#include "platform/script/datetime.h"

#include <QDate>
#include <QRegularExpression>
#include <cmath>

#include "platform/script/scripterror.h"

namespace tev::script {

namespace {
const QDate &epoch()
{
    static const QDate d(1899, 12, 30);
    return d;
}
constexpr double MsecPerDay = 86400000.0;
} // namespace

double encodeDate(int year, int month, int day)
{
    const QDate d(year, month, day);
    if (!d.isValid() || year < 1 || year > 9999)
        raiseError(QStringLiteral("EConvertError"),
                   QStringLiteral("Invalid argument to date encode"));
    return static_cast<double>(epoch().daysTo(d));
}

double encodeTime(int hour, int minute, int second, int msec)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        msec < 0 || msec > 999)
        raiseError(QStringLiteral("EConvertError"),
                   QStringLiteral("Invalid argument to time encode"));
    return ((hour * 60.0 + minute) * 60.0 + second + msec / 1000.0) / 86400.0;
}

void decodeDate(double d, int &year, int &month, int &day)
{
    if (!std::isfinite(d) || std::fabs(d) > 3e6) {
        year = month = day = 0;
        return;
    }
    const QDate date = epoch().addDays(static_cast<qint64>(std::floor(d)));
    year = date.year();
    month = date.month();
    day = date.day();
}

void decodeTime(double d, int &hour, int &minute, int &second, int &msec)
{
    if (!std::isfinite(d)) {
        hour = minute = second = msec = 0;
        return;
    }
    double frac = std::fabs(d - std::trunc(d));
    qint64 ms = static_cast<qint64>(std::llround(frac * MsecPerDay));
    if (ms >= 86400000)
        ms = 86399999;
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

double toDateTimeValue(const QDateTime &dt)
{
    const double days = static_cast<double>(epoch().daysTo(dt.date()));
    const QTime t = dt.time();
    return days + encodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

QDateTime fromDateTimeValue(double d)
{
    int y, m, dd, h, n, s, z;
    decodeDate(d, y, m, dd);
    decodeTime(d, h, n, s, z);
    return QDateTime(QDate(y, m, dd), QTime(h, n, s, z));
}

QString formatDateTime(const QString &format, double d)
{
    int year, month, day, hour, minute, second, msec;
    decodeDate(d, year, month, day);
    decodeTime(d, hour, minute, second, msec);
    const QDate date(year, month, day);
    const bool ampm = format.contains(QLatin1String("am/pm"), Qt::CaseInsensitive);
    QString out;
    const int n = format.size();
    auto run = [&](int i, QChar c) {
        int k = i;
        while (k < n && format.at(k).toLower() == c)
            ++k;
        return k - i;
    };
    bool lastWasHour = false;
    for (int i = 0; i < n;) {
        const QChar c = format.at(i);
        const QChar lc = c.toLower();
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int end = format.indexOf(c, i + 1);
            const int stop = end < 0 ? n : end;
            out += format.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (format.mid(i, 5).compare(QLatin1String("am/pm"), Qt::CaseInsensitive) == 0) {
            out += hour < 12 ? QStringLiteral("am") : QStringLiteral("pm");
            i += 5;
            continue;
        }
        const int len = run(i, lc);
        switch (lc.unicode()) {
        case 'y':
            out += len <= 2 ? QString::number(year % 100).rightJustified(2, QLatin1Char('0'))
                            : QString::number(year).rightJustified(4, QLatin1Char('0'));
            break;
        case 'm':
            if (lastWasHour && len <= 2) {
                out += len == 2 ? QString::number(minute).rightJustified(2, QLatin1Char('0'))
                                : QString::number(minute);
            } else if (len >= 4) {
                out += QLocale::c().monthName(month);
            } else if (len == 3) {
                out += QLocale::c().monthName(month, QLocale::ShortFormat);
            } else {
                out += len == 2 ? QString::number(month).rightJustified(2, QLatin1Char('0'))
                                : QString::number(month);
            }
            break;
        case 'd':
            if (len >= 4)
                out += QLocale::c().dayName(date.isValid() ? date.dayOfWeek() : 1);
            else if (len == 3)
                out += QLocale::c().dayName(date.isValid() ? date.dayOfWeek() : 1,
                                            QLocale::ShortFormat);
            else
                out += len == 2 ? QString::number(day).rightJustified(2, QLatin1Char('0'))
                                : QString::number(day);
            break;
        case 'h': {
            int h = hour;
            if (ampm) {
                h = hour % 12;
                if (h == 0)
                    h = 12;
            }
            out += len >= 2 ? QString::number(h).rightJustified(2, QLatin1Char('0'))
                            : QString::number(h);
            break;
        }
        case 'n':
            out += len >= 2 ? QString::number(minute).rightJustified(2, QLatin1Char('0'))
                            : QString::number(minute);
            break;
        case 's':
            out += len >= 2 ? QString::number(second).rightJustified(2, QLatin1Char('0'))
                            : QString::number(second);
            break;
        case 'z':
            out += len >= 3 ? QString::number(msec).rightJustified(3, QLatin1Char('0'))
                            : QString::number(msec);
            break;
        default:
            out += format.mid(i, len);
            break;
        }
        if (lc != QLatin1Char(' '))
            lastWasHour = lc == QLatin1Char('h');
        i += len;
    }
    return out;
}

QString dateToText(double d)
{
    return formatDateTime(QStringLiteral("yyyy-mm-dd"), d);
}
QString timeToText(double d)
{
    return formatDateTime(QStringLiteral("hh:nn:ss"), d);
}

QString dateTimeToText(double d)
{
    const bool hasTime = std::trunc(d) != d;
    if (std::trunc(d) == 0 && hasTime)
        return timeToText(d);
    if (!hasTime)
        return dateToText(d);
    return formatDateTime(QStringLiteral("yyyy-mm-dd hh:nn:ss"), d);
}

bool textToDateTime(const QString &text, double &out)
{
    static const QRegularExpression iso(QStringLiteral(
        "^\\s*(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[ T](\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?\\s*$"));
    static const QRegularExpression dotted(QStringLiteral(
        "^\\s*(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})(?: (\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?\\s*$"));
    static const QRegularExpression timeOnly(
        QStringLiteral("^\\s*(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*$"));
    try {
        QRegularExpressionMatch m = iso.match(text);
        int y = 0, mo = 0, d = 0, timeStart = 4;
        if (m.hasMatch()) {
            y = m.captured(1).toInt();
            mo = m.captured(2).toInt();
            d = m.captured(3).toInt();
        } else if ((m = dotted.match(text)).hasMatch()) {
            d = m.captured(1).toInt();
            mo = m.captured(2).toInt();
            y = m.captured(3).toInt();
        } else if ((m = timeOnly.match(text)).hasMatch()) {
            out =
                encodeTime(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), 0);
            return true;
        } else {
            return false;
        }
        double v = encodeDate(y, mo, d);
        if (m.hasCaptured(timeStart))
            v += encodeTime(m.captured(timeStart).toInt(), m.captured(timeStart + 1).toInt(),
                            m.captured(timeStart + 2).toInt(), 0);
        out = v;
        return true;
    } catch (const ScriptError &) {
        return false;
    }
}

} // namespace tev::script
