#include "core/picture/kelpicture.h"

#include "core/picture/kelbdecoder.h"
#include "platform/error.h"
#include "platform/file/regularfile.h"

#include <QFile>
#include <QFileInfo>

namespace tev {

namespace {

// The file is read in pieces of this size.
constexpr qsizetype kReadChunkSize = 64 * 1024;

} // namespace

bool TKelPicture::LoadKELBFromFile(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists() || info.isDir())
        return false;
    if (info.suffix().toLower() == QLatin1String("kelb"))
        LoadKelb(fileName);
    else
        LoadFromFile(fileName);
    m_fileName = fileName;
    return true;
}

void TKelPicture::LoadKelb(const QString &fileName)
{
    QFile file;
    if (const QString reason = OpenRegularFile(file, fileName); !reason.isEmpty())
        throw Error(
            QStringLiteral("Cannot open the gauge bitmap \"%1\": %2").arg(fileName, reason));
    TKelbDecoder decoder;
    QByteArray chunk(kReadChunkSize, Qt::Uninitialized);
    for (;;) {
        const qint64 read = file.read(chunk.data(), chunk.size());
        if (read < 0) {
            SetBitmap(decoder.Image());
            throw Error(QStringLiteral("Cannot read the gauge bitmap \"%1\": %2")
                            .arg(fileName, file.errorString()));
        }
        if (read == 0) {
            decoder.Finish();
            break;
        }
        if (!decoder.Feed(QByteArrayView(chunk.constData(), read)))
            break;
    }
    // Even a faulty file leaves what was decoded; the bitmap takes it before the error passes on.
    SetBitmap(decoder.Image());
    if (!decoder.Fault().isEmpty())
        throw Error(QStringLiteral("Cannot read the gauge bitmap \"%1\": %2")
                        .arg(fileName, decoder.Fault()));
}

} // namespace tev
