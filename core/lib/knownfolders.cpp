#include "core/lib/knownfolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/lib/paths.h"
#include "platform/error.h"

namespace tev {

namespace {

QString withoutTrailingDelimiter(QString path)
{
    while (path.size() > 1 && path.endsWith(PathDelim))
        path.chop(1);
    return path;
}

QString overridableFolder(const char *variable, const char *fallback)
{
    const QString value = qEnvironmentVariable(variable);
    return withoutTrailingDelimiter(value.isEmpty() ? QString::fromLatin1(fallback) : value);
}

} // namespace

QString GetUserTempDir()
{
    const QString temp = QDir::tempPath();
    if (!QFileInfo(temp).isDir())
        throw Error(
            QStringLiteral("The folder for temporary files \"%1\" does not exist.").arg(temp));
    return AddBackSlash(temp);
}

QString GetDocumentsDir()
{
    return withoutTrailingDelimiter(
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

QString GetPublicDir()
{
    return overridableFolder(kCommonAppDataVariable, kDefaultCommonAppData);
}

QString GetCommonDocumentsDir()
{
    return overridableFolder(kCommonDocumentsVariable, kDefaultCommonDocuments);
}

QString GetUserAppDataDir()
{
    return withoutTrailingDelimiter(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

} // namespace tev
