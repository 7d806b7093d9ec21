#include "core/lib/numbers.h"

#include "core/lib/textroutines.h"
#include "platform/text/formatsettings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>

namespace tev {

namespace {

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A value as decimal digits: Digits[0] is the leading digit, Exponent its power of ten.
struct DecimalDigits
{
    bool negative = false;
    std::string digits; // "0" for zero
    int exponent = 0;
};

// The first `count` significant digits of |value|, rounded half away from zero. The exact binary
// value is expanded to 40 digits first, far more than a double or long double holds, so that the
// rounding decision sees the true digits.
template <typename Float> DecimalDigits RoundedDigits(Float value, int count)
{
    DecimalDigits result;
    result.negative = std::signbit(value);
    const Float magnitude = std::fabs(value);
    if (magnitude == 0) {
        result.digits.assign(1, '0');
        return result;
    }
    char buffer[64];
    if constexpr (std::is_same_v<Float, double>) {
        // A double whose shortest exact text has at most `count` (at most 15) digits lies
        // closer to that text than half a unit of its 15th digit, so those digits are its
        // rounding, and the long expansion below is not needed.
        if (count <= 15) {
            const auto shortest = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                                std::chars_format::scientific);
            const std::string_view text(buffer, size_t(shortest.ptr - buffer));
            const auto e = text.find('e');
            std::string digits;
            for (char c : text.substr(0, e)) {
                if (c != '.')
                    digits += c;
            }
            if (int(digits.size()) <= count) {
                std::string_view exponent = text.substr(e + 1);
                const bool negativeExponent = exponent.front() == '-';
                if (exponent.front() == '-' || exponent.front() == '+')
                    exponent.remove_prefix(1);
                int value = 0;
                std::from_chars(exponent.data(), exponent.data() + exponent.size(), value);
                result.exponent = negativeExponent ? -value : value;
                result.digits = std::move(digits);
                return result;
            }
        }
    }
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 39);
    const std::string text(buffer, written.ptr);
    const auto e = text.find('e');
    std::string mantissa = text.substr(0, e);
    mantissa.erase(std::remove(mantissa.begin(), mantissa.end(), '.'), mantissa.end());
    result.exponent = std::stoi(text.substr(e + 1));

    if (count < int(mantissa.size())) {
        const bool up = mantissa[count] >= '5';
        mantissa.resize(count);
        if (up) {
            int i = count - 1;
            while (i >= 0 && mantissa[i] == '9') {
                mantissa[i] = '0';
                --i;
            }
            if (i >= 0) {
                ++mantissa[i];
            } else {
                mantissa.insert(mantissa.begin(), '1');
                mantissa.pop_back();
                ++result.exponent;
            }
        }
    }
    result.digits = mantissa;
    return result;
}

// The general format: significant digits without trailing zeros, fixed-point unless the value
// needs more than 15 digits before the point or lies below 0.0001.
QString GeneralText(DecimalDigits d, QChar separator)
{
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits == "0")
        return QStringLiteral("0");
    QString result = d.negative ? QStringLiteral("-") : QString();
    const QString digits = QString::fromLatin1(d.digits);
    if (d.exponent >= kSignificantDigits || d.exponent < -4) {
        result += digits.front();
        if (digits.size() > 1)
            result += separator + digits.mid(1);
        result += QLatin1Char('E') + QString::number(d.exponent);
        return result;
    }
    if (d.exponent >= 0) {
        const QString whole =
            digits.left(d.exponent + 1).leftJustified(d.exponent + 1, QLatin1Char('0'));
        result += whole;
        if (digits.size() > d.exponent + 1)
            result += separator + digits.mid(d.exponent + 1);
        return result;
    }
    result += QLatin1Char('0') + separator + QString(-d.exponent - 1, QLatin1Char('0')) + digits;
    return result;
}

} // namespace

qint32 StrToIntDef(const QString &s, qint32 Default)
{
    return ParseIntegerText(s).value_or(Default);
}

std::optional<double> ParseFloatText(const QString &s, QChar separator)
{
    const qsizetype n = s.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && s.at(i) == QLatin1Char(' '))
            ++i;
    };
    skipBlanks();
    std::string text;
    if (i < n && (s.at(i) == QLatin1Char('+') || s.at(i) == QLatin1Char('-'))) {
        if (s.at(i) == QLatin1Char('-'))
            text += '-';
        ++i;
    }
    std::string whole;
    std::string fraction;
    bool seenSeparator = false;
    for (; i < n; ++i) {
        const QChar c = s.at(i);
        if (IsAsciiDigit(c))
            (seenSeparator ? fraction : whole) += char(c.unicode());
        else if (c == separator && !seenSeparator)
            seenSeparator = true;
        else
            break;
    }
    if (whole.empty() && fraction.empty() && !seenSeparator)
        return std::nullopt;

    // The exponent is kept within six digits: anything larger is out of range either way.
    bool negativeExponent = false;
    long exponent = 0;
    if (i < n && (s.at(i) == QLatin1Char('e') || s.at(i) == QLatin1Char('E'))) {
        ++i;
        if (i < n && (s.at(i) == QLatin1Char('+') || s.at(i) == QLatin1Char('-'))) {
            negativeExponent = s.at(i) == QLatin1Char('-');
            ++i;
        }
        const qsizetype start = i;
        for (; i < n && IsAsciiDigit(s.at(i)); ++i)
            exponent = std::min(exponent * 10 + (s.at(i).unicode() - u'0'), 999999L);
        if (i == start)
            return std::nullopt;
    }
    skipBlanks();
    if (i != n)
        return std::nullopt;
    if (negativeExponent)
        exponent = -exponent;

    text += whole.empty() ? std::string("0") : whole;
    if (!fraction.empty())
        text += '.' + fraction;
    text += 'e' + std::to_string(exponent);
    double value = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
    if (parsed.ec == std::errc::result_out_of_range) {
        // The power of ten of the leading digit tells underflow (reads as 0) from overflow.
        const auto firstWhole = whole.find_first_not_of('0');
        long leading = 0;
        if (firstWhole != std::string::npos)
            leading = long(whole.size() - firstWhole) - 1;
        else
            leading = -long(fraction.find_first_not_of('0')) - 1;
        if (leading + exponent >= 0)
            return std::nullopt;
        return text.front() == '-' ? -0.0 : 0.0;
    }
    if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

bool IsDoubleOK(double X)
{
    return std::isfinite(X);
}

double Rnd(double Value, int Decimals)
{
    if (!IsDoubleOK(Value))
        return NaN;
    const int places = std::clamp(Decimals, -kMaxRoundDecimals, kMaxRoundDecimals);
    long double power = 1;
    for (int i = 0; i < std::abs(places); ++i)
        power *= 10;
    const long double factor = places > 0 ? 1 / power : power;
    const long double quotient = Value / factor;
    const long double units =
        Value >= 0 ? std::trunc(quotient + 0.5L) : std::trunc(quotient - 0.5L);
    return double(factor * units);
}

double StrToDouble(const QString &S, int Decimals, bool AutoDetectSeparator)
{
    if (TrimText(S).isEmpty())
        return NaN;
    DecimalSeparatorGuard guard(DecimalSeparator());
    if (AutoDetectSeparator) {
        if (S.contains(QLatin1Char('.')))
            SetDecimalSeparator(QLatin1Char('.'));
        else if (S.contains(QLatin1Char(',')))
            SetDecimalSeparator(QLatin1Char(','));
    }
    const std::optional<double> value = ParseFloatText(S, DecimalSeparator());
    return value ? Rnd(*value, Decimals) : NaN;
}

QString DoubleToStr(double X, int Decimals, QChar Separator)
{
    DecimalSeparatorGuard guard(Separator.isNull() ? DecimalSeparator() : Separator);
    if (!IsDoubleOK(X))
        return QString();
    const QChar separator = DecimalSeparator();
    const int places = std::clamp(Decimals, 0, kMaxTextDecimals);
    const DecimalDigits d = RoundedDigits(X, kSignificantDigits);
    if (d.exponent >= kSignificantDigits)
        return GeneralText(d, separator);

    // The digits from the leading one down to the last written place, as one whole number of
    // units of that place; digits past the fifteenth are zeros.
    const int last = d.exponent + places; // index of the digit at the last written place
    std::string units;
    bool roundUp = false;
    if (last >= 0) {
        units = d.digits.substr(0, std::min<std::size_t>(last + 1, d.digits.size()));
        units.resize(last + 1, '0');
    }
    if (last + 1 >= 0 && last + 1 < int(d.digits.size()))
        roundUp = d.digits[last + 1] >= '5';
    if (roundUp) {
        int i = int(units.size()) - 1;
        while (i >= 0 && units[i] == '9') {
            units[i] = '0';
            --i;
        }
        if (i >= 0)
            ++units[i];
        else
            units.insert(units.begin(), '1');
    }
    // At least one digit before the separator.
    if (int(units.size()) < places + 1)
        units.insert(0, places + 1 - units.size(), '0');
    const bool zero = units.find_first_not_of('0') == std::string::npos;
    const bool minus = d.negative && !zero;
    // Written in place: sign, the whole digits, the separator and the places.
    QString result(qsizetype(units.size()) + (minus ? 1 : 0) + (places > 0 ? 1 : 0),
                   Qt::Uninitialized);
    QChar *out = result.data();
    if (minus)
        *out++ = QLatin1Char('-');
    const std::size_t whole = units.size() - std::size_t(places);
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (i == whole)
            *out++ = separator;
        *out++ = QLatin1Char(units[i]);
    }
    return result;
}

bool IsNumeric(const QString &Value)
{
    const std::optional<double> value = ParseFloatText(Value, DecimalSeparator());
    return value && IsDoubleOK(*value);
}

bool IsInteger(const QString &Value)
{
    return StrToIntDef(Value, 2147483647) != 2147483647;
}

double StrToSysFloat(const QString &Value, double Default)
{
    return ParseFloatText(Value, QLatin1Char('.')).value_or(Default);
}

QString SysFloatToStr(long double Value)
{
    if (std::isnan(Value))
        return QStringLiteral("NAN");
    if (std::isinf(Value))
        return Value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    return GeneralText(RoundedDigits(Value, kSignificantDigits), QLatin1Char('.'));
}

QString IntToSignedStr(qint32 Value)
{
    return Value >= 1 ? QLatin1Char('+') + QString::number(Value) : QString::number(Value);
}

bool OptionEnabled(quint32 Option, quint32 Options)
{
    return (Option & Options) == Option;
}

} // namespace tev
