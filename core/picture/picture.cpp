#include "core/picture/picture.h"

#include "platform/error.h"
#include "platform/file/regularfile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace tev {

void TPicture::SetBitmap(const QImage &image)
{
    SetGraphic(image, BitmapFormat());
}

void TPicture::SetGraphic(const QImage &image, const QByteArray &format)
{
    m_image = image;
    m_format = format;
}

void TPicture::Clear()
{
    m_image = QImage();
    m_format.clear();
}

void TPicture::LoadFromFile(const QString &fileName)
{
    const QByteArray extension = QFileInfo(fileName).suffix().toLower().toUtf8();
    if (extension.isEmpty() || !QImageReader::supportedImageFormats().contains(extension))
        throw Error(QStringLiteral("Unknown picture file extension (.%1) of \"%2\"")
                        .arg(QString::fromUtf8(extension), fileName));

    // A FIFO or a device under a picture's name would stall or never end the reader.
    QFile file;
    if (const QString reason = OpenRegularFile(file, fileName); !reason.isEmpty())
        throw Error(QStringLiteral("Cannot load the picture \"%1\": %2").arg(fileName, reason));
    QImageReader reader(&file, extension);
    QImage image = reader.read();
    if (image.isNull())
        throw Error(QStringLiteral("Cannot load the picture \"%1\": %2")
                        .arg(fileName, reader.errorString()));
    // The reader may have found another format inside the file; keep what it really read.
    QByteArray format = reader.format().toLower();
    if (format.isEmpty())
        format = extension;
    if (format == "jpg")
        format = "jpeg";
    SetGraphic(image, format);
}

} // namespace tev
