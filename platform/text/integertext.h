#pragma once

#include <QString>
#include <optional>

namespace tev {

// Integer text: optional leading blanks, an optional sign, then decimal digits, or hexadecimal
// digits after "$", "x" or "0x"; the value must fit a signed 32-bit integer. Settings, ini files,
// keys and file fields all read integers by this one rule.
std::optional<qint32> ParseIntegerText(const QString &s);

} // namespace tev
