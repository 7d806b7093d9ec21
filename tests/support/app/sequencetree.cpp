#include "support/app/sequencetree.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace tev::test {

QString SequenceTree::sourceFolder()
{
    return QStringLiteral(TEVORA_FIXTURES_DIR "/seqtree");
}

SequenceTree::SequenceTree()
{
    const QDir source(sourceFolder());
    QDirIterator it(source.path(), QDir::Files | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString relative = source.relativeFilePath(from);
        if (relative == QLatin1String("make_fixtures.py"))
            continue;
        const QString to = file(relative);
        QDir().mkpath(QFileInfo(to).path());
        EXPECT_TRUE(QFile::copy(from, to)) << relative.toStdString();
        // Copies of committed files are read-only when the checkout is; the tests change them.
        QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
    }
}

} // namespace tev::test
