#pragma once

#include <QString>
#include <QtGlobal>

// The change state: a 32-bit bit set kept in STATE of the project record and of every
// characteristic; 0 means unchanged.
namespace tev {

namespace ChangeStateBits {
inline constexpr quint32 NewProject = 1;
inline constexpr quint32 HeaderChange = 2;
inline constexpr quint32 NewCharacteristics = 4;
inline constexpr quint32 UnknownCharacteristics = 8;
// A change of a characteristic's limits; its text is "Spec. change".
inline constexpr quint32 LimitChange = 16;
inline constexpr quint32 CharacteristicsChanged = 128;
// The bits that count as a change of the characteristics in the summary.
inline constexpr quint32 CharacteristicMask = 4 | 8 | 16 | 128;
} // namespace ChangeStateBits

// The text of one value: "OK", the text of a single known bit, or "Changed" for anything else.
QString ChangeStateToText(quint32 State);
// The summary the main window shows, e.g. "Header changed, characteristic(s) changed".
QString ChangeStateSummary(quint32 State);
// What entering a text stores: 0, or the first of 1, 2, 4, ... 128 whose text equals it exactly.
quint32 ChangeStateFromText(const QString &Text);

} // namespace tev
