#pragma once

#include <QString>

namespace tev {

// The kind of sequence file, from its extension (numbers as stored in FILETYPE).
enum class TTevFileType { pftUnknown = 0, pftSEQ = 1, pftMSEQ = 2 };

// "" for pftUnknown, ".seq" for pftSEQ, ".mseq" for pftMSEQ.
QString FileTypeExt(TTevFileType FileType);
// The type whose extension equals Ext exactly (with case); pftUnknown when none does.
TTevFileType FileTypeOfExt(const QString &Ext);
// "Kelmetra Sequence (*.seq)", "Sentavo Sequence (*.mseq)" or "Undefined".
QString FileTypeToText(TTevFileType FileType);
// The stored number as a type; numbers outside the range give pftUnknown.
TTevFileType FileTypeFromInt(int Value);

} // namespace tev
