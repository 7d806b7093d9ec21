#pragma once

#include <QString>
#include <QtGlobal>

class QObject;

// Typed entries of name=value lists (settings, headers, parameters). A line's name is the text
// before the list's separator and is found by the list's own comparison (without regard to case
// unless the list is case-sensitive). Reading never fails: a missing name gives the default.
namespace tev {

class TStringList;

bool ReadCfgBool(const TStringList &Strings, const QString &AName, bool ADefault);
// The value read as integer text; ADefault when the name is missing or the value is not one.
qint32 ReadCfgInteger(const TStringList &Strings, const QString &AName, qint32 ADefault);
// The value, which may be empty; ADefault only when no line has the name.
QString ReadCfgString(const TStringList &Strings, const QString &AName, const QString &ADefault);
// Writes "YES" or "NO" in place of the line's value, or appends a line when the name is missing.
void WriteCfgBool(TStringList &Strings, const QString &Name, bool Value);
void WriteCfgInteger(TStringList &Strings, const QString &Name, qint32 Value);
// Deletes the first line with the name and appends name, separator and Value with Obj as its
// object: the entry always moves to the end, and an empty Value still leaves its line.
void WriteCfgString(TStringList &Strings, const QString &Name, const QString &Value,
                    QObject *Obj = nullptr);

} // namespace tev
