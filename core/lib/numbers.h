#pragma once

#include "platform/text/integertext.h"
#include <QChar>
#include <QString>
#include <QtGlobal>
#include <bit>
#include <optional>

// Numbers and their texts. A missing floating-point value is NaN: conversions from text return
// NaN (or the caller's default) instead of failing, and writing NaN gives the empty text.
// Number texts use the program-wide decimal separator (platform/text/formatsettings.h); a routine
// that needs another one replaces it for the call only, through DecimalSeparatorGuard.
namespace tev {

// The missing value these routines produce (bit pattern FFF8000000000000); any NaN is accepted.
inline constexpr double NaN = std::bit_cast<double>(quint64(0xFFF8000000000000ULL));

// Rnd rounds to at most this many places either way (the range stored sequences and scripts
// were written for); larger counts are clamped to it.
inline constexpr int kMaxRoundDecimals = 37;
// DoubleToStr writes at most this many decimals.
inline constexpr int kMaxTextDecimals = 18;
// Significant digits that number texts carry; a double holds no more reliably.
inline constexpr int kSignificantDigits = 15;

// The value of integer text, or Default when s is not integer text.
qint32 StrToIntDef(const QString &s, qint32 Default);

// Float text read with the given decimal separator: optional blanks (character 32 only), an
// optional sign, digits with at most one separator (a lone separator reads as 0), an optional
// exponent, optional blanks. No thousands separators, no words for infinity or NaN. Values too
// large for a double are not float text; values too small read as 0.
std::optional<double> ParseFloatText(const QString &s, QChar separator);

bool IsDoubleOK(double X);
// Rounds half away from zero to Decimals places (negative: to tens, hundreds, ...). The scale is
// worked out in 80-bit extended precision so that, e.g., 2.375 rounds to 2.38. NaN and
// infinities give NaN.
double Rnd(double Value, int Decimals);
// Float text rounded with Rnd; NaN for empty text or anything that is not float text. With
// AutoDetectSeparator a "." in S, or else a ",", is taken as the decimal separator.
double StrToDouble(const QString &S, int Decimals, bool AutoDetectSeparator = false);
// Fixed-point text with exactly Decimals places (0 to 18), at most 15 significant digits,
// rounded half away from zero; scientific form from 10^15 up. Separator QChar() (character 0)
// means the program-wide separator. NaN and infinities give the empty text.
QString DoubleToStr(double X, int Decimals, QChar Separator = QChar());
bool IsNumeric(const QString &Value);
bool IsInteger(const QString &Value);
// Float text with "." as separator, or Default when Value is not float text.
double StrToSysFloat(const QString &Value, double Default = 0);
// The general number format with ".": at most 15 significant digits, no trailing zeros,
// scientific (1E15, 1.5E-5) from 10^15 up and below 0.0001.
QString SysFloatToStr(long double Value);
QString IntToSignedStr(qint32 Value);
bool OptionEnabled(quint32 Option, quint32 Options);

} // namespace tev
