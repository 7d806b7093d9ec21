#pragma once

#include <QString>

// The file routines of the project's life cycle: which names may be copied, where a named file
// is found, and a copy that never destroys what it replaces.
namespace tev {

// A name that stands for a file directly in its folder: not empty, no delimiter ("/" or "\"),
// and neither "." nor "..". Dependency names come from files that others write; any other name
// could reach outside the folder it is copied from or to.
bool IsPlainFileName(const QString &Name);
// A name relative to the sequence root that stays below it: not empty, not absolute, no "."
// or ".." part and no "\".
bool IsNameBelowRoot(const QString &RelativeName);
// The file Name in Folder: the exact name when it exists, otherwise the one entry whose name
// equals Name without regard to case (a file named "F.FMT" in a sequence and stored as
// "f.fmt"). Empty when there is none, or several that differ only in case.
QString FindFileInFolder(const QString &Folder, const QString &Name);
// Whether both names lead to the same file (links followed).
bool IsSameFile(const QString &A, const QString &B);
// Copies Source over Target: the data goes to a temporary file in the target's folder, which
// takes the source's modification time, is flushed to disk and then renamed over the target,
// so that a failed copy leaves an existing target as it was. Only a regular file is copied.
// Returns the empty text on success, otherwise the reason.
//
// A Source that is a symbolic link is copied only when the file it leads to lies below Root,
// the sequence root: a link in a sequence folder must not carry a file from elsewhere on the
// machine onto a gauge. The file read is the one checked: a plain name is opened without
// following a link put there meanwhile, and a link is resolved once, its target opened the same
// way and the open file's own path compared with that target.
QString CopyFileSafely(const QString &Source, const QString &Target, const QString &Root);
// The 8.3 rule of the gauges: a base of 1 to 8 and an extension of 0 to 3 characters, at most
// one dot, no space and none of + , ; = [ ].
bool IsShortFileName(const QString &Name);

} // namespace tev
