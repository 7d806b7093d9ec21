#pragma once

#include <QDateTime>
#include <QString>

namespace tev::script {

// Date-time values are days since 1899-12-30 with the time of day as the fraction, as the
// dialect's TDateTime has them.
double toDateTimeValue(const QDateTime &dt);
QDateTime fromDateTimeValue(double d);
double encodeDate(int year, int month, int day); // throws EConvertError for a bad date
double encodeTime(int hour, int minute, int second, int msec);
void decodeDate(double d, int &year, int &month, int &day);
void decodeTime(double d, int &hour, int &minute, int &second, int &msec);

// Formats with the dialect's FormatDateTime letters (yyyy, yy, m, mm, mmm, mmmm, d, dd, ddd,
// dddd, h, hh, n, nn, s, ss, z, zzz, am/pm, quoted text, "/" and ":" as themselves).
QString formatDateTime(const QString &format, double d);
// "yyyy-mm-dd hh:nn:ss", without the time part when it is midnight and without the date part
// when the value is less than one day.
QString dateTimeToText(double d);
QString dateToText(double d);
QString timeToText(double d);
// Reads "yyyy-mm-dd[ hh:nn[:ss]]", "dd.mm.yyyy" or "hh:nn[:ss]"; false when the text is none.
bool textToDateTime(const QString &text, double &out);

} // namespace tev::script
