// DateUtils: parts of date-time values and arithmetic on them.
#include <QDate>
#include <QDateTime>
#include <cmath>

#include "platform/script/datetime.h"
#include "platform/script/lib/libhelpers.h"
#include "platform/script/lib/stocklibraries.h"

namespace tev::script {

using namespace lib;

namespace {

void part(ScriptEngine &e, const char *name, int which)
{
    def(e, name, 1, [which](NativeCall &c) {
        int y, m, d, h, n, s, z;
        decodeDate(flt(c, 0), y, m, d);
        decodeTime(flt(c, 0), h, n, s, z);
        const int parts[] = {y, m, d, h, n, s, z};
        ret(c, qint64(parts[which]));
    });
}

void increment(ScriptEngine &e, const char *name, double daysPerUnit)
{
    def(
        e, name, 2,
        [daysPerUnit](NativeCall &c) {
            const double by = has(c, 1) ? static_cast<double>(integer(c, 1)) : 1.0;
            c.ReturnOutputArg(Value::dateTime(flt(c, 0) + by * daysPerUnit));
        },
        1);
}

void between(ScriptEngine &e, const char *name, double unitsPerDay)
{
    def(e, name, 2, [unitsPerDay](NativeCall &c) {
        // Whole units only, as the dialect counts them; a half-millisecond of slack absorbs
        // the rounding of the stored fractions.
        const double diff = std::fabs(flt(c, 0) - flt(c, 1)) * unitsPerDay;
        ret(c, roundToInteger(std::trunc(diff + unitsPerDay / 86400000.0 / 2)));
    });
}

} // namespace

void defineDateUtilsLibrary(ScriptEngine &e)
{
    part(e, "YearOf", 0);
    part(e, "MonthOf", 1);
    part(e, "DayOf", 2);
    part(e, "HourOf", 3);
    part(e, "MinuteOf", 4);
    part(e, "SecondOf", 5);
    part(e, "MilliSecondOf", 6);
    increment(e, "IncDay", 1.0);
    increment(e, "IncWeek", 7.0);
    increment(e, "IncHour", 1.0 / 24);
    increment(e, "IncMinute", 1.0 / 1440);
    increment(e, "IncSecond", 1.0 / 86400);
    increment(e, "IncMilliSecond", 1.0 / 86400000);
    def(
        e, "IncYear", 2,
        [](NativeCall &c) {
            const QDateTime dt =
                fromDateTimeValue(flt(c, 0)).addYears(int(has(c, 1) ? integer(c, 1) : 1));
            c.ReturnOutputArg(Value::dateTime(toDateTimeValue(dt)));
        },
        1);
    between(e, "DaysBetween", 1.0);
    between(e, "WeeksBetween", 1.0 / 7);
    between(e, "HoursBetween", 24.0);
    between(e, "MinutesBetween", 1440.0);
    between(e, "SecondsBetween", 86400.0);
    between(e, "MilliSecondsBetween", 86400000.0);
    def(e, "DayOfTheWeek", 1, [](NativeCall &c) {
        // Monday is 1, Sunday 7.
        ret(c, qint64((static_cast<qint64>(std::floor(flt(c, 0))) % 7 + 7 + 5) % 7 + 1));
    });
    def(e, "DateOf", 1,
        [](NativeCall &c) { c.ReturnOutputArg(Value::dateTime(std::floor(flt(c, 0)))); });
    def(e, "TimeOf", 1, [](NativeCall &c) {
        const double d = flt(c, 0);
        c.ReturnOutputArg(Value::dateTime(d - std::floor(d)));
    });
    def(e, "StartOfTheDay", 1,
        [](NativeCall &c) { c.ReturnOutputArg(Value::dateTime(std::floor(flt(c, 0)))); });
    def(e, "EndOfTheDay", 1, [](NativeCall &c) {
        c.ReturnOutputArg(Value::dateTime(std::floor(flt(c, 0)) + encodeTime(23, 59, 59, 999)));
    });
    def(e, "Today", 0, [](NativeCall &c) {
        c.ReturnOutputArg(
            Value::dateTime(std::floor(toDateTimeValue(QDateTime::currentDateTime()))));
    });
    def(e, "Yesterday", 0, [](NativeCall &c) {
        c.ReturnOutputArg(
            Value::dateTime(std::floor(toDateTimeValue(QDateTime::currentDateTime())) - 1));
    });
    def(e, "Tomorrow", 0, [](NativeCall &c) {
        c.ReturnOutputArg(
            Value::dateTime(std::floor(toDateTimeValue(QDateTime::currentDateTime())) + 1));
    });
    def(e, "EncodeDateTime", 7, [](NativeCall &c) {
        const double d = encodeDate(int(integer(c, 0)), int(integer(c, 1)), int(integer(c, 2))) +
                         encodeTime(int(integer(c, 3)), int(integer(c, 4)), int(integer(c, 5)),
                                    int(integer(c, 6)));
        c.ReturnOutputArg(Value::dateTime(d));
    });
    def(e, "IsSameDay", 2,
        [](NativeCall &c) { ret(c, std::floor(flt(c, 0)) == std::floor(flt(c, 1))); });
    def(e, "DaysInMonth", 1, [](NativeCall &c) {
        int y, m, d;
        decodeDate(flt(c, 0), y, m, d);
        ret(c, qint64(QDate(y, m, 1).daysInMonth()));
    });
    def(e, "DaysInAMonth", 2, [](NativeCall &c) {
        const QDate d(int(integer(c, 0)), int(integer(c, 1)), 1);
        if (!d.isValid())
            raiseError(QStringLiteral("EConvertError"),
                       QStringLiteral("Invalid argument to date encode"));
        ret(c, qint64(d.daysInMonth()));
    });
}

} // namespace tev::script
