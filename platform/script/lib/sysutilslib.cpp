// SysUtils: conversions, texts, dates, files and Format.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

#include "platform/script/datetime.h"
#include "platform/script/lib/libhelpers.h"
#include "platform/script/lib/stocklibraries.h"
#include "platform/script/lib/textformat.h"
#include "platform/text/formatsettings.h"

namespace tev::script {

using namespace lib;

namespace {

[[noreturn]] void convertError(const QString &text, const char *what)
{
    raiseError(QStringLiteral("EConvertError"),
               QStringLiteral("'%1' is not a valid %2").arg(text, QLatin1String(what)));
}

// rfReplaceAll and rfIgnoreCase as a set ([rfReplaceAll]) or as the sum of their values.
int replaceFlags(const Value &v)
{
    if (v.isArray()) {
        int flags = 0;
        for (const Value &item : v.rawArray().items)
            flags |= static_cast<int>(item.toInteger());
        return flags;
    }
    return v.isEmpty() ? 0 : static_cast<int>(v.toInteger());
}

QString replaceText(const QString &s, const QString &from, const QString &to, int flags)
{
    if (from.isEmpty())
        return s;
    const Qt::CaseSensitivity cs = (flags & 2) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (flags & 1) {
        QString r = s;
        r.replace(from, to, cs);
        checkLength(r.size());
        return r;
    }
    const qsizetype at = s.indexOf(from, 0, cs);
    if (at < 0)
        return s;
    return s.left(at) + to + s.mid(at + from.size());
}

double nowValue()
{
    return toDateTimeValue(QDateTime::currentDateTime());
}

} // namespace

void defineSysUtilsLibrary(ScriptEngine &e)
{
    e.AddConstant(QStringLiteral("rfReplaceAll"), Value(qint64(1)));
    e.AddConstant(QStringLiteral("rfIgnoreCase"), Value(qint64(2)));
    e.AddConstant(QStringLiteral("PathDelim"), Value(QStringLiteral("/")));
    e.AddConstant(QStringLiteral("DirectorySeparator"), Value(QStringLiteral("/")));

    // Numbers and texts
    def(e, "IntToStr", 1, [](NativeCall &c) { ret(c, QString::number(integer(c, 0))); });
    def(
        e, "IntToHex", 2,
        [](NativeCall &c) {
            const qint64 digits = has(c, 1) ? std::clamp<qint64>(integer(c, 1), 0, 32) : 0;
            ret(c, QString::number(static_cast<quint64>(integer(c, 0)), 16)
                       .toUpper()
                       .rightJustified(static_cast<int>(digits), QLatin1Char('0')));
        },
        1);
    def(e, "StrToInt", 1, [](NativeCall &c) {
        qint64 v;
        if (!textToInteger(str(c, 0), v))
            convertError(str(c, 0), "integer value");
        ret(c, v);
    });
    def(e, "StrToInt64", 1, [](NativeCall &c) {
        qint64 v;
        if (!textToInteger(str(c, 0), v))
            convertError(str(c, 0), "integer value");
        ret(c, v);
    });
    def(e, "StrToIntDef", 2, [](NativeCall &c) {
        qint64 v;
        ret(c, textToInteger(str(c, 0), v) ? v : integer(c, 1));
    });
    def(e, "TryStrToInt", 2, [](NativeCall &c) {
        qint64 v;
        const bool ok = textToInteger(str(c, 0), v);
        if (ok)
            c.SetInputArg(1, Value(v));
        ret(c, ok);
    }).SetVarArgs({1});
    def(e, "FloatToStr", 1, [](NativeCall &c) { ret(c, floatToText(flt(c, 0))); });
    def(e, "CurrToStr", 1, [](NativeCall &c) { ret(c, floatToText(flt(c, 0))); });
    def(e, "StrToFloat", 1, [](NativeCall &c) {
        double d;
        if (!textToFloat(str(c, 0), d))
            convertError(str(c, 0), "floating point value");
        ret(c, d);
    });
    def(e, "StrToFloatDef", 2, [](NativeCall &c) {
        double d;
        ret(c, textToFloat(str(c, 0), d) ? d : flt(c, 1));
    });
    def(e, "TryStrToFloat", 2, [](NativeCall &c) {
        double d;
        const bool ok = textToFloat(str(c, 0), d);
        if (ok)
            c.SetInputArg(1, Value(d));
        ret(c, ok);
    }).SetVarArgs({1});
    def(e, "FormatFloat", 2,
        [](NativeCall &c) { ret(c, formatFloatPattern(str(c, 0), flt(c, 1))); });
    def(e, "FloatToStrF", 4, [](NativeCall &c) {
        // Format ffFixed (1) and ffNumber (3) as decimals; the general forms as FloatToStr.
        const qint64 f = integer(c, 1);
        const int digits = static_cast<int>(std::clamp<qint64>(integer(c, 3), 0, 18));
        if (f == 1 || f == 3)
            return ret(c, fixedText(flt(c, 0), digits, f == 3));
        ret(c, floatToText(flt(c, 0)));
    });
    e.AddConstant(QStringLiteral("ffGeneral"), Value(qint64(0)));
    e.AddConstant(QStringLiteral("ffFixed"), Value(qint64(1)));
    e.AddConstant(QStringLiteral("ffExponent"), Value(qint64(2)));
    e.AddConstant(QStringLiteral("ffNumber"), Value(qint64(3)));
    def(e, "Format", 2, [](NativeCall &c) { ret(c, formatText(str(c, 0), openArray(c, 1))); });
    def(
        e, "BoolToStr", 2,
        [](NativeCall &c) {
            const bool b = boolean(c, 0);
            if (has(c, 1) && boolean(c, 1))
                return ret(c, b ? QStringLiteral("True") : QStringLiteral("False"));
            ret(c, b ? QStringLiteral("-1") : QStringLiteral("0"));
        },
        1);
    def(e, "StrToBool", 1, [](NativeCall &c) { ret(c, Value(str(c, 0)).toBoolean()); });
    def(e, "StrToBoolDef", 2, [](NativeCall &c) {
        try {
            ret(c, Value(str(c, 0)).toBoolean());
        } catch (const ScriptError &) {
            ret(c, boolean(c, 1));
        }
    });
    def(e, "UpperCase", 1, [](NativeCall &c) { ret(c, str(c, 0).toUpper()); });
    def(e, "LowerCase", 1, [](NativeCall &c) { ret(c, str(c, 0).toLower()); });
    def(e, "AnsiUpperCase", 1, [](NativeCall &c) { ret(c, str(c, 0).toUpper()); });
    def(e, "AnsiLowerCase", 1, [](NativeCall &c) { ret(c, str(c, 0).toLower()); });
    def(e, "Trim", 1, [](NativeCall &c) { ret(c, str(c, 0).trimmed()); });
    def(e, "TrimLeft", 1, [](NativeCall &c) {
        const QString s = str(c, 0);
        qsizetype i = 0;
        while (i < s.size() && s.at(i).unicode() <= 32)
            ++i;
        ret(c, s.mid(i));
    });
    def(e, "TrimRight", 1, [](NativeCall &c) {
        QString s = str(c, 0);
        while (!s.isEmpty() && s.back().unicode() <= 32)
            s.chop(1);
        ret(c, s);
    });
    def(e, "CompareStr", 2, [](NativeCall &c) {
        ret(c, qint64(QString::compare(str(c, 0), str(c, 1), Qt::CaseSensitive)));
    });
    def(e, "CompareText", 2, [](NativeCall &c) {
        ret(c, qint64(QString::compare(str(c, 0), str(c, 1), Qt::CaseInsensitive)));
    });
    def(e, "AnsiCompareStr", 2,
        [](NativeCall &c) { ret(c, qint64(QString::localeAwareCompare(str(c, 0), str(c, 1)))); });
    def(e, "AnsiCompareText", 2, [](NativeCall &c) {
        ret(c, qint64(QString::compare(str(c, 0), str(c, 1), Qt::CaseInsensitive)));
    });
    def(e, "SameText", 2, [](NativeCall &c) {
        ret(c, QString::compare(str(c, 0), str(c, 1), Qt::CaseInsensitive) == 0);
    });
    def(e, "AnsiSameText", 2, [](NativeCall &c) {
        ret(c, QString::compare(str(c, 0), str(c, 1), Qt::CaseInsensitive) == 0);
    });
    def(e, "SameStr", 2, [](NativeCall &c) { ret(c, str(c, 0) == str(c, 1)); });
    def(e, "QuotedStr", 1, [](NativeCall &c) {
        QString s = str(c, 0);
        s.replace(QLatin1String("'"), QLatin1String("''"));
        ret(c, QLatin1Char('\'') + s + QLatin1Char('\''));
    });
    def(e, "AnsiQuotedStr", 2, [](NativeCall &c) {
        const QChar q = c.GetInputArgAsChar(1);
        QString s = str(c, 0);
        s.replace(q, QString(2, q));
        ret(c, q + s + q);
    });
    def(e, "AnsiPos", 2, [](NativeCall &c) { ret(c, qint64(str(c, 1).indexOf(str(c, 0)) + 1)); });
    def(e, "LastDelimiter", 2, [](NativeCall &c) {
        const QString delims = str(c, 0), s = str(c, 1);
        for (qsizetype i = s.size() - 1; i >= 0; --i)
            if (delims.contains(s.at(i)))
                return ret(c, qint64(i + 1));
        ret(c, qint64(0));
    });
    def(e, "StringReplace", 4, [](NativeCall &c) {
        ret(c, replaceText(str(c, 0), str(c, 1), str(c, 2), replaceFlags(c.GetInputArg(3))));
    });
    def(e, "IsValidIdent", 1, [](NativeCall &c) {
        const QString s = str(c, 0);
        bool ok = !s.isEmpty() && (s.at(0).isLetter() || s.at(0) == QLatin1Char('_'));
        for (QChar ch : s)
            ok = ok && (ch.isLetterOrNumber() || ch == QLatin1Char('_'));
        ret(c, ok);
    });
    def(e, "DecimalSeparator", 0, [](NativeCall &c) { ret(c, QString(DecimalSeparator())); });

    // Exceptions
    def(
        e, "Abort", 0,
        [](NativeCall &) {
            raiseError(QStringLiteral("EAbort"), QStringLiteral("Operation aborted"));
        },
        0, TypeKind::tkNone);
    def(
        e, "FreeAndNil", 1,
        [](NativeCall &c) {
            if (ObjectBox *box = c.GetInputArgAsObject(0))
                box->free();
            c.SetInputArg(0, Value::nil());
        },
        0, TypeKind::tkNone)
        .SetVarArgs({0});

    // Dates
    def(e, "Now", 0, [](NativeCall &c) { c.ReturnOutputArg(Value::dateTime(nowValue())); });
    def(e, "Date", 0,
        [](NativeCall &c) { c.ReturnOutputArg(Value::dateTime(std::floor(nowValue()))); });
    def(e, "Time", 0, [](NativeCall &c) {
        const double n = nowValue();
        c.ReturnOutputArg(Value::dateTime(n - std::floor(n)));
    });
    def(e, "EncodeDate", 3, [](NativeCall &c) {
        c.ReturnOutputArg(Value::dateTime(
            encodeDate(int(integer(c, 0)), int(integer(c, 1)), int(integer(c, 2)))));
    });
    def(e, "EncodeTime", 4, [](NativeCall &c) {
        c.ReturnOutputArg(Value::dateTime(encodeTime(int(integer(c, 0)), int(integer(c, 1)),
                                                     int(integer(c, 2)), int(integer(c, 3)))));
    });
    def(
        e, "DecodeDate", 4,
        [](NativeCall &c) {
            int y, m, d;
            decodeDate(flt(c, 0), y, m, d);
            c.SetInputArg(1, Value(y));
            c.SetInputArg(2, Value(m));
            c.SetInputArg(3, Value(d));
        },
        0, TypeKind::tkNone)
        .SetVarArgs({1, 2, 3});
    def(
        e, "DecodeTime", 5,
        [](NativeCall &c) {
            int h, n, s, z;
            decodeTime(flt(c, 0), h, n, s, z);
            c.SetInputArg(1, Value(h));
            c.SetInputArg(2, Value(n));
            c.SetInputArg(3, Value(s));
            c.SetInputArg(4, Value(z));
        },
        0, TypeKind::tkNone)
        .SetVarArgs({1, 2, 3, 4});
    def(e, "DayOfWeek", 1, [](NativeCall &c) {
        // Sunday is 1, as in the dialect.
        ret(c, qint64((static_cast<qint64>(std::floor(flt(c, 0))) % 7 + 7 + 6) % 7 + 1));
    });
    def(e, "IsLeapYear", 1, [](NativeCall &c) { ret(c, QDate::isLeapYear(int(integer(c, 0)))); });
    def(e, "DateToStr", 1, [](NativeCall &c) { ret(c, dateToText(flt(c, 0))); });
    def(e, "TimeToStr", 1, [](NativeCall &c) { ret(c, timeToText(flt(c, 0))); });
    def(e, "DateTimeToStr", 1, [](NativeCall &c) { ret(c, dateTimeToText(flt(c, 0))); });
    def(e, "FormatDateTime", 2,
        [](NativeCall &c) { ret(c, formatDateTime(str(c, 0), flt(c, 1))); });
    auto strToDate = [](NativeCall &c) {
        double d;
        if (!textToDateTime(str(c, 0), d))
            convertError(str(c, 0), "date and time");
        c.ReturnOutputArg(Value::dateTime(d));
    };
    def(e, "StrToDate", 1, strToDate);
    def(e, "StrToDateTime", 1, strToDate);
    def(e, "StrToTime", 1, strToDate);
    def(
        e, "IncMonth", 2,
        [](NativeCall &c) {
            const double d = flt(c, 0);
            const QDateTime dt = fromDateTimeValue(d).addMonths(int(has(c, 1) ? integer(c, 1) : 1));
            c.ReturnOutputArg(Value::dateTime(toDateTimeValue(dt)));
        },
        1);

    // Files
    def(e, "ExtractFileName", 1, [](NativeCall &c) {
        const QString s = str(c, 0);
        ret(c,
            s.mid(std::max(s.lastIndexOf(QLatin1Char('/')), s.lastIndexOf(QLatin1Char('\\'))) + 1));
    });
    def(e, "ExtractFilePath", 1, [](NativeCall &c) {
        const QString s = str(c, 0);
        ret(c, s.left(std::max(s.lastIndexOf(QLatin1Char('/')), s.lastIndexOf(QLatin1Char('\\'))) +
                      1));
    });
    def(e, "ExtractFileDir", 1, [](NativeCall &c) {
        const QString s = str(c, 0);
        ret(c, s.left(std::max<qsizetype>(0, std::max(s.lastIndexOf(QLatin1Char('/')),
                                                      s.lastIndexOf(QLatin1Char('\\'))))));
    });
    def(e, "ExtractFileExt", 1, [](NativeCall &c) {
        const QString s = str(c, 0);
        const qsizetype dot = s.lastIndexOf(QLatin1Char('.'));
        const qsizetype sep =
            std::max(s.lastIndexOf(QLatin1Char('/')), s.lastIndexOf(QLatin1Char('\\')));
        ret(c, dot > sep ? s.mid(dot) : QString());
    });
    def(e, "ChangeFileExt", 2, [](NativeCall &c) {
        const QString s = str(c, 0);
        const qsizetype dot = s.lastIndexOf(QLatin1Char('.'));
        const qsizetype sep =
            std::max(s.lastIndexOf(QLatin1Char('/')), s.lastIndexOf(QLatin1Char('\\')));
        ret(c, (dot > sep ? s.left(dot) : s) + str(c, 1));
    });
    def(e, "IncludeTrailingPathDelimiter", 1, [](NativeCall &c) {
        const QString s = str(c, 0);
        ret(c, s.endsWith(QLatin1Char('/')) ? s : s + QLatin1Char('/'));
    });
    def(e, "ExcludeTrailingPathDelimiter", 1, [](NativeCall &c) {
        QString s = str(c, 0);
        if (s.size() > 1 && s.endsWith(QLatin1Char('/')))
            s.chop(1);
        ret(c, s);
    });
    def(e, "FileExists", 1, [](NativeCall &c) { ret(c, QFileInfo(str(c, 0)).isFile()); });
    def(e, "DirectoryExists", 1, [](NativeCall &c) { ret(c, QFileInfo(str(c, 0)).isDir()); });
    def(e, "ForceDirectories", 1, [](NativeCall &c) { ret(c, QDir().mkpath(str(c, 0))); });
    def(e, "CreateDir", 1, [](NativeCall &c) { ret(c, QDir().mkdir(str(c, 0))); });
    def(e, "RemoveDir", 1, [](NativeCall &c) { ret(c, QDir().rmdir(str(c, 0))); });
    def(e, "DeleteFile", 1, [](NativeCall &c) { ret(c, QFile::remove(str(c, 0))); });
    def(e, "RenameFile", 2, [](NativeCall &c) {
        if (QFileInfo::exists(str(c, 1)))
            return ret(c, false); // never replaces an existing file
        ret(c, QFile::rename(str(c, 0), str(c, 1)));
    });
    def(e, "GetCurrentDir", 0, [](NativeCall &c) { ret(c, QDir::currentPath()); });
    def(e, "FileAge", 1, [](NativeCall &c) {
        const QFileInfo fi(str(c, 0));
        c.ReturnOutputArg(fi.exists() ? Value::dateTime(toDateTimeValue(fi.lastModified()))
                                      : Value(-1.0));
    });
    def(e, "GetEnvironmentVariable", 1,
        [](NativeCall &c) { ret(c, qEnvironmentVariable(str(c, 0).toLocal8Bit().constData())); });
}

} // namespace tev::script
