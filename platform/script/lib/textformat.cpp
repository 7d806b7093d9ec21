#include "platform/script/lib/textformat.h"

#include <QStringList>
#include <cmath>
#include <cstdio>

#include "platform/script/scripterror.h"
#include "platform/text/formatsettings.h"

namespace tev::script {

namespace {

QChar thousandSeparator()
{
    return DecimalSeparator() == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
}

[[noreturn]] void badFormat(const QString &format)
{
    raiseError(QStringLiteral("EConvertError"),
               QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format));
}

QString groupThousands(const QString &digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += thousandSeparator();
        out += digits.at(i);
    }
    return out;
}

QString scientific(double v, int precision)
{
    // Delphi's %e: one digit, the decimals, "E", a sign and at least three exponent digits.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*E", std::clamp(precision - 1, 0, 17), v);
    QString s = QString::fromLatin1(buf);
    const qsizetype e = s.indexOf(QLatin1Char('E'));
    QString mantissa = s.left(e);
    QString exponent = s.mid(e + 1);
    const QChar sign = exponent.at(0);
    exponent = exponent.mid(1).rightJustified(3, QLatin1Char('0'));
    mantissa.replace(QLatin1Char('.'), DecimalSeparator());
    return mantissa + QLatin1Char('E') + sign + exponent;
}

} // namespace

QString fixedText(double value, int decimals, bool thousands)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? QStringLiteral("NAN")
                                 : (value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF"));
    decimals = std::clamp(decimals, 0, 18);
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    QString s = QString::fromLatin1(buf);
    const bool negative = s.startsWith(QLatin1Char('-'));
    if (negative)
        s.remove(0, 1);
    const qsizetype dot = s.indexOf(QLatin1Char('.'));
    QString whole = dot < 0 ? s : s.left(dot);
    const QString frac = dot < 0 ? QString() : s.mid(dot + 1);
    if (thousands)
        whole = groupThousands(whole);
    QString out = whole;
    if (!frac.isEmpty())
        out += DecimalSeparator() + frac;
    bool allZero = true;
    for (QChar c : s)
        if (c.isDigit() && c != QLatin1Char('0'))
            allZero = false;
    return negative && !allZero ? QLatin1Char('-') + out : out;
}

QString formatText(const QString &format, const std::vector<Value> &args)
{
    QString out;
    size_t next = 0;
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%')) {
            out += c;
            continue;
        }
        if (++i >= n)
            badFormat(format);
        if (format.at(i) == QLatin1Char('%')) {
            out += QLatin1Char('%');
            continue;
        }
        auto number = [&](int &value) {
            if (i < n && format.at(i) == QLatin1Char('*')) {
                if (next >= args.size())
                    badFormat(format);
                value = static_cast<int>(std::clamp<qint64>(args[next++].toInteger(), 0, 1000));
                ++i;
                return true;
            }
            bool any = false;
            value = 0;
            while (i < n && format.at(i).isDigit()) {
                value = std::min(value * 10 + format.at(i).digitValue(), 100000);
                ++i;
                any = true;
            }
            return any;
        };
        int index = -1, width = 0, precision = -1;
        int first = 0;
        const qsizetype start = i;
        if (number(first) && i < n && format.at(i) == QLatin1Char(':')) {
            index = first;
            ++i;
        } else {
            i = start;
        }
        bool left = false;
        if (i < n && format.at(i) == QLatin1Char('-')) {
            left = true;
            ++i;
        }
        number(width);
        if (i < n && format.at(i) == QLatin1Char('.')) {
            ++i;
            if (!number(precision))
                precision = 0;
        }
        if (i >= n)
            badFormat(format);
        const QChar type = format.at(i).toLower();
        if (index >= 0)
            next = static_cast<size_t>(index);
        if (next >= args.size())
            badFormat(format);
        const Value &arg = args[next++];
        QString piece;
        switch (type.unicode()) {
        case 'd':
        case 'u': {
            if (!(arg.isInteger() || arg.type() == VType::Boolean))
                badFormat(format);
            qint64 v = arg.toInteger();
            if (type == QLatin1Char('u') && v < 0)
                v = static_cast<qint64>(static_cast<quint32>(v));
            piece = QString::number(v < 0 ? -v : v);
            if (precision > 0)
                piece = piece.rightJustified(precision, QLatin1Char('0'));
            if (v < 0)
                piece.prepend(QLatin1Char('-'));
            break;
        }
        case 'x':
            if (!arg.isInteger())
                badFormat(format);
            piece = QString::number(static_cast<quint64>(arg.rawInt()), 16).toUpper();
            if (precision > 0)
                piece = piece.rightJustified(precision, QLatin1Char('0'));
            break;
        case 's':
            if (arg.isObject() || arg.isArray())
                badFormat(format);
            piece = arg.toString();
            if (precision >= 0)
                piece = piece.left(precision);
            break;
        case 'f':
        case 'n':
        case 'm':
        case 'e':
        case 'g': {
            if (!(arg.isNumber()))
                badFormat(format);
            const double v = arg.toFloat();
            if (type == QLatin1Char('f'))
                piece = fixedText(v, precision < 0 ? 2 : precision, false);
            else if (type == QLatin1Char('n') || type == QLatin1Char('m'))
                piece = fixedText(v, precision < 0 ? 2 : precision, true);
            else if (type == QLatin1Char('e'))
                piece = scientific(v, precision < 0 ? 15 : precision);
            else
                piece = floatToText(v);
            break;
        }
        default:
            badFormat(format);
        }
        if (piece.size() < width)
            piece = left ? piece.leftJustified(width) : piece.rightJustified(width);
        out += piece;
    }
    return out;
}

QString formatFloatPattern(const QString &pattern, double value)
{
    // The section for the value's sign: "pos;neg;zero".
    const QStringList sections = pattern.split(QLatin1Char(';'));
    QString p = sections.value(0);
    bool negativeSection = false;
    if (value < 0 && sections.size() > 1 && !sections.at(1).isEmpty()) {
        p = sections.at(1);
        negativeSection = true;
    } else if (value == 0 && sections.size() > 2 && !sections.at(2).isEmpty()) {
        p = sections.at(2);
    }
    if (p.isEmpty())
        return floatToText(value);
    // Split into prefix, number pattern and suffix.
    qsizetype firstDigit = -1, lastDigit = -1;
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QChar c = p.at(i);
        if (c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('.') ||
            c == QLatin1Char(',')) {
            if (firstDigit < 0)
                firstDigit = i;
            lastDigit = i;
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && firstDigit >= 0 &&
                   i + 1 < p.size() &&
                   (p.at(i + 1) == QLatin1Char('+') || p.at(i + 1) == QLatin1Char('-'))) {
            lastDigit = i + 1;
            while (lastDigit + 1 < p.size() && p.at(lastDigit + 1) == QLatin1Char('0'))
                ++lastDigit;
            break;
        }
    }
    if (firstDigit < 0)
        return p;
    auto unquote = [](QString s) {
        s.remove(QLatin1Char('"'));
        s.remove(QLatin1Char('\''));
        return s;
    };
    const QString prefix = unquote(p.left(firstDigit));
    const QString suffix = unquote(p.mid(lastDigit + 1));
    QString num = p.mid(firstDigit, lastDigit - firstDigit + 1);
    const qsizetype ePos = num.indexOf(QLatin1Char('E'), 0, Qt::CaseInsensitive);
    QString expPart;
    if (ePos >= 0) {
        expPart = num.mid(ePos);
        num = num.left(ePos);
    }
    const bool thousands = num.contains(QLatin1Char(','));
    num.remove(QLatin1Char(','));
    const qsizetype dot = num.indexOf(QLatin1Char('.'));
    const QString intPat = dot < 0 ? num : num.left(dot);
    const QString fracPat = dot < 0 ? QString() : num.mid(dot + 1);
    const int minFrac = static_cast<int>(fracPat.count(QLatin1Char('0')));
    const int maxFrac = static_cast<int>(fracPat.size());
    const int minInt = static_cast<int>(intPat.count(QLatin1Char('0')));
    double v = std::fabs(value);
    QString expText;
    if (!expPart.isEmpty() && v != 0) {
        int exponent = static_cast<int>(std::floor(std::log10(v)));
        const int intDigits = std::max(1, minInt);
        exponent -= intDigits - 1;
        v /= std::pow(10.0, exponent);
        const int expDigits = static_cast<int>(expPart.count(QLatin1Char('0')));
        const QString digits =
            QString::number(std::abs(exponent)).rightJustified(expDigits, QLatin1Char('0'));
        const bool plus = expPart.size() > 1 && expPart.at(1) == QLatin1Char('+');
        expText = QString(expPart.at(0)) +
                  (exponent < 0 ? QStringLiteral("-") : (plus ? QStringLiteral("+") : QString())) +
                  digits;
    } else if (!expPart.isEmpty()) {
        const int expDigits = static_cast<int>(expPart.count(QLatin1Char('0')));
        const bool plus = expPart.size() > 1 && expPart.at(1) == QLatin1Char('+');
        expText = QString(expPart.at(0)) + (plus ? QStringLiteral("+") : QString()) +
                  QString(expDigits, QLatin1Char('0'));
    }
    QString text = fixedText(v, maxFrac, false);
    // Drop optional trailing decimals.
    const QChar sep = DecimalSeparator();
    qsizetype sepPos = text.indexOf(sep);
    if (sepPos >= 0) {
        qsizetype keep = text.size();
        while (keep > sepPos + 1 + minFrac && text.at(keep - 1) == QLatin1Char('0'))
            --keep;
        if (keep == sepPos + 1)
            keep = sepPos;
        text.truncate(keep);
    }
    sepPos = text.indexOf(sep);
    QString whole = sepPos < 0 ? text : text.left(sepPos);
    const QString frac = sepPos < 0 ? QString() : text.mid(sepPos);
    if (whole == QLatin1String("0") && minInt == 0)
        whole.clear();
    if (whole.size() < minInt)
        whole = whole.rightJustified(minInt, QLatin1Char('0'));
    if (thousands)
        whole = groupThousands(whole);
    QString out = whole + frac + expText;
    bool nonZero = false;
    for (QChar c : whole + frac)
        if (c.isDigit() && c != QLatin1Char('0'))
            nonZero = true;
    if (value < 0 && !negativeSection && nonZero)
        out.prepend(QLatin1Char('-'));
    return prefix + out + suffix;
}

} // namespace tev::script
