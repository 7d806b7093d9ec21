#include "platform/file/stagedfiles.h"

#include "platform/error.h"
#include "platform/file/regularfile.h"
#include "platform/file/savefilewhole.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tev {

StagedFiles::~StagedFiles()
{
    for (const QString &temporary : m_temporaries)
        if (!temporary.isEmpty())
            QFile::remove(temporary);
}

QString StagedFiles::Stage(const QString &fileName)
{
    // A name of its own, so that two programs staging the same file do not meet.
    const QString temporary =
        QStringLiteral("%1.%2.new")
            .arg(QFileInfo(fileName).absoluteFilePath())
            .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    m_byName.insert(fileName, m_temporaries.size());
    m_temporaries.push_back(temporary);
    return temporary;
}

void StagedFiles::PutInPlace(const QString &fileName)
{
    const auto found = m_byName.constFind(fileName);
    if (found == m_byName.cend() || m_temporaries[*found].isEmpty())
        throw Error(
            QStringLiteral("Cannot write file \"%1\": nothing was written for it").arg(fileName));
    QString &temporary = m_temporaries[*found];
    const QFileInfo info(fileName);
    if (info.isSymLink()) {
        // The link's target may lie on another file system: it is written whole, as any save
        // writes it.
        const QString target = info.canonicalFilePath();
        SaveFileWhole(target.isEmpty() ? info.symLinkTarget() : target, ReadRegularFile(temporary));
        QFile::remove(temporary);
        temporary.clear();
        return;
    }
    if (info.exists())
        QFile::setPermissions(temporary, info.permissions());
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(info.absoluteFilePath()).constData()) != 0)
        throw Error(QStringLiteral("Cannot write file \"%1\": %2")
                        .arg(fileName, QString::fromLocal8Bit(std::strerror(errno))));
    temporary.clear();
}

} // namespace tev
