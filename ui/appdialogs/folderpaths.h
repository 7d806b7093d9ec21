#pragma once

#include <QString>

// Names relative to a folder, as the application dialogs show and return them. A name lies in a
// folder only at a path delimiter: "/x/Seq2/a.seq" is not in "/x/Seq". Texts compare exactly,
// with case, as Linux names do.
namespace tev {

// Whether path is folder itself or lies below it. Both are taken as written (no ".." resolved).
bool LiesInFolder(const QString &path, const QString &folder);
// Whether the name, resolved against folder and with "." and ".." applied, lies in the folder.
bool ResolvesInFolder(const QString &name, const QString &folder);
// path relative to folder when it lies in it (the empty text for the folder itself); otherwise
// path unchanged.
QString RelativeToFolder(const QString &folder, const QString &path);
// A relative name joined to folder; an absolute name as it is.
QString ResolveInFolder(const QString &folder, const QString &name);

// The folder part up to and including the last delimiter; empty when there is none.
QString FolderPart(const QString &fileName);
// The part after the last delimiter.
QString NamePart(const QString &fileName);
// The extension of the name part with its dot (".seq"); empty when it has none.
QString FileExt(const QString &fileName);
// The name with its extension replaced by ext (one is added when it has none).
QString ChangeFileExt(const QString &fileName, const QString &ext);

} // namespace tev
