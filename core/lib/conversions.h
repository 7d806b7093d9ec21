#pragma once

#include <QString>
#include <QVariant>
#include <QtGlobal>

// Booleans, variants and date-times to and from their stored and shown forms. Booleans are
// stored as "YES" and "NO"; variants that hold no number give 0 or NaN, never an error.
namespace tev {

int BoolToInt(bool Value);
QString BoolToParamStr(bool Value);
// "YES" and "NO" (trimmed, in any case); otherwise true for integer text other than 0.
bool ParamStrToBool(const QString &Value);

// The value of an integer or boolean variant as a 32-bit integer (wider values keep their low
// 32 bits); 0 for null and every other kind.
qint32 VarToInt(const QVariant &Value);
// The value of a numeric variant (integer, boolean or floating-point kinds); NaN for null and
// every other kind, texts that hold a number included.
double VarToDouble(const QVariant &Value);

// A date-time in days since 30 December 1899 as the user's locale shows it: short date, a
// blank and the long time, the time left out at midnight. Empty text for 0, negative values,
// NaN and dates past the year 9999.
QString DateTimeToCaption(double DateTime);

} // namespace tev
