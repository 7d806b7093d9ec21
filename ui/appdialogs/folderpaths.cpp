#include "ui/appdialogs/folderpaths.h"

#include "core/lib/paths.h"

#include <QDir>

namespace tev {

namespace {

QString withoutTrailingDelimiter(QString path)
{
    while (path.size() > 1 && path.endsWith(PathDelim))
        path.chop(1);
    return path;
}

} // namespace

bool LiesInFolder(const QString &path, const QString &folder)
{
    if (folder.isEmpty() || path.isEmpty())
        return false;
    const QString f = withoutTrailingDelimiter(folder);
    const QString p = withoutTrailingDelimiter(path);
    return p == f || p.startsWith(AddBackSlash(f));
}

bool ResolvesInFolder(const QString &name, const QString &folder)
{
    if (folder.isEmpty())
        return false;
    return LiesInFolder(QDir::cleanPath(ResolveInFolder(folder, name)), QDir::cleanPath(folder));
}

QString RelativeToFolder(const QString &folder, const QString &path)
{
    if (!LiesInFolder(path, folder))
        return path;
    const QString f = withoutTrailingDelimiter(folder);
    const QString p = withoutTrailingDelimiter(path);
    if (p == f)
        return QString();
    return path.mid(AddBackSlash(f).size());
}

QString ResolveInFolder(const QString &folder, const QString &name)
{
    if (!PathIsRelative(name) || folder.isEmpty())
        return name;
    return AddBackSlash(folder) + name;
}

QString FolderPart(const QString &fileName)
{
    return fileName.left(fileName.lastIndexOf(PathDelim) + 1);
}

QString NamePart(const QString &fileName)
{
    return fileName.mid(fileName.lastIndexOf(PathDelim) + 1);
}

QString FileExt(const QString &fileName)
{
    const QString name = NamePart(fileName);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

QString ChangeFileExt(const QString &fileName, const QString &ext)
{
    return fileName.left(fileName.size() - FileExt(fileName).size()) + ext;
}

} // namespace tev
