#pragma once

#include <QFlags>

namespace tev {

// The options of a named sort index: bit n is the option's ordinal, as the data layer numbers
// them. The model's sort honours soNoCase, soNullFirst, soDescNullLast and soDescending; the
// others are carried along for the callers that set them.
enum TFDSortOption {
    soNoCase = 0x01,
    soNullFirst = 0x02,
    soDescNullLast = 0x04,
    soDescending = 0x08,
    soUnique = 0x10,
    soPrimary = 0x20,
    soNoSymbols = 0x40,
};
Q_DECLARE_FLAGS(TFDSortOptions, TFDSortOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFDSortOptions)

} // namespace tev
