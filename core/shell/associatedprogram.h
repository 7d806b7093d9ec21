#pragma once

#include <QString>

namespace tev {

// Longest program path GetAssociatedProgram hands out (room for 259 characters and a
// terminator in the original platform's buffer); a longer one counts as none.
inline constexpr int kMaxAssociatedProgramLength = 259;

// The full path of the program that opens files with the extension FileExt ("txt" or ".txt"),
// by the desktop's MIME data and default applications; the empty text when there is none.
QString GetAssociatedProgram(const QString &FileExt);

} // namespace tev
