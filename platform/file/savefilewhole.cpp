#include "platform/file/savefilewhole.h"

#include "platform/error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace tev {

namespace {

// Why the temporary file could not be made, in words a user can act on.
QString OpenFailure(const QString &fileName, const QString &systemReason)
{
    // The file replaced is the target of a link, so its folder is the one that counts.
    const QFileInfo info(fileName);
    const QString target = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QString folder = QFileInfo(target).absolutePath();
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("its folder \"%1\" does not exist").arg(folder);
    if (QFileInfo(target).isDir())
        return QStringLiteral("it is a folder");
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return QStringLiteral("no temporary file can be created in its folder \"%1\" (%2), and "
                              "the file is not written in place, where a failure would cut it "
                              "short; it is left unchanged")
            .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
    return systemReason;
}

} // namespace

void SaveFileWhole(const QString &fileName, QByteArrayView bytes)
{
    auto fail = [&](const QString &reason) {
        return Error(QStringLiteral("Cannot write file \"%1\": %2").arg(fileName, reason));
    };
    QSaveFile file(fileName);
    file.setDirectWriteFallback(false);
    // Unbuffered, so that a short write shows at once and names its cause: a buffered save file
    // may commit a file whose last block the system refused.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw fail(OpenFailure(fileName, file.errorString()));
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            throw fail(file.errorString());
        done += n;
    }
    if (!file.commit())
        throw fail(file.errorString());
}

} // namespace tev
