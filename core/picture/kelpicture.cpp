#include "core/picture/kelpicture.h"

#include "core/picture/kelbdecoder.h"
#include "platform/error.h"

#include <QFile>
#include <QFileInfo>

namespace tev {

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
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot open the gauge bitmap \"%1\": %2")
                        .arg(fileName, file.errorString()));
    // Mapped rather than read whole, so that a huge file costs no memory of its own.
    const qint64 size = file.size();
    const uchar *data = size > 0 ? file.map(0, size) : nullptr;
    QByteArray fallback;
    if (size > 0 && !data) {
        fallback = file.readAll();
        data = reinterpret_cast<const uchar *>(fallback.constData());
    }

    QImage image;
    const QString fault =
        DecodeKelb(QByteArrayView(data, data ? static_cast<qsizetype>(size) : 0), image);
    // Even a faulty file leaves what was decoded; the bitmap takes it before the error passes on.
    SetBitmap(image);
    if (!fault.isEmpty())
        throw Error(QStringLiteral("Cannot read the gauge bitmap \"%1\": %2").arg(fileName, fault));
}

} // namespace tev
