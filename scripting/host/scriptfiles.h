#pragma once

// Script files as the host reads them: only from places no other user can write to, and decoded
// the way the maker's editors wrote them.

#include <QByteArray>
#include <QString>

namespace tev::scripting {

// Why a script file (or a unit it uses) must not run: the file or its folder can be changed by
// another user (group or world writable, a folder without the sticky bit, or owned by a user
// other than root and the current one), since whoever can change a script decides what the
// program does. Empty when the file is safe to use.
QString ScriptFileDistrust(const QString &FileName);

// The text of a script file: UTF-8 when it carries a byte-order mark or is valid UTF-8, UTF-16
// after its mark, otherwise Windows-1252 (the code page older scripts were saved in).
QString DecodeScriptText(const QByteArray &Bytes);

// Reads and decodes a script file after checking it; throws tev::Error with the reason when the
// file is refused or cannot be read.
QString ReadScriptFile(const QString &FileName);

} // namespace tev::scripting
