#pragma once

#include <QString>
#include <vector>

#include "platform/script/value.h"

namespace tev::script {

// Format('%d items, %.2f mm, %s', [...]): the directives %d %u %x %s %f %e %g %n %m with
// optional index ("%1:s"), "-" for left alignment, width and precision ("*" takes them from the
// arguments). Numbers use the program-wide decimal separator. A directive that does not fit its
// argument raises EConvertError.
QString formatText(const QString &format, const std::vector<Value> &args);

// FormatFloat('0.00', x), FormatFloat('#,##0.0', x), FormatFloat('0.###E+00', x).
QString formatFloatPattern(const QString &pattern, double value);

// x with exactly the given number of decimals, and the thousands separator when asked.
QString fixedText(double value, int decimals, bool thousands);

} // namespace tev::script
