#pragma once

// The global routines the script host adds to its libraries: FindComponent, CopyToClipboard,
// DeleteFile, RenameFile, FileExists, StringReplace and Finalize. Registered after SysUtils, so
// the last four replace that library's routines of the same names for unqualified calls
// (SysUtils.StringReplace still reaches the library's).

#include <QString>

namespace tev::script {
class ScriptEngine;
}

namespace tev::scripting {

// Registers the seven routines, in that order, without parameter hints or optional arguments.
// FindComponent searches the components of the engine's owner.
void DefineHostRoutines(script::ScriptEngine &Engine);

// The host's StringReplace: S with OldPattern replaced by NewPattern, whole patterns. Flags 1
// replaces every occurrence, 2 ignores case, 3 both; any other value replaces the first one,
// case-sensitively. An empty OldPattern leaves S as it is. A script that passes an integer as a
// pattern means the one character whose code is the value's low 8 bits.
QString HostStringReplace(const QString &S, const QString &OldPattern, const QString &NewPattern,
                          int Flags);

// Renames or moves a file without ever replacing an existing target: false (and nothing changed)
// when the target exists or the move fails.
bool RenameFileNoReplace(const QString &OldName, const QString &NewName);

} // namespace tev::scripting
