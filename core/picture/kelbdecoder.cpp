#include "core/picture/kelbdecoder.h"

#include <cstring>

namespace tev {

namespace {

constexpr quint16 kDimensionMask = 0x0FFF;
constexpr quint16 kTransparentMark = 0xF000;

QList<QRgb> MakeKelbPalette()
{
    QList<QRgb> palette(256, qRgb(0, 0, 0)); // 232-255 stay black
    const QRgb basic[16] = {
        qRgb(0, 0, 0),       qRgb(0, 0, 128),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(128, 0, 0),     qRgb(128, 0, 128), qRgb(255, 165, 0), qRgb(192, 192, 192),
        qRgb(105, 105, 105), qRgb(0, 0, 255),   qRgb(0, 255, 0),   qRgb(0, 255, 255),
        qRgb(255, 0, 0),     qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255)};
    for (int i = 0; i < 16; ++i)
        palette[i] = basic[i];
    // A 6 x 6 x 6 colour cube, red counting slowest, in steps of 50.
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette[16 + 36 * r + 6 * g + b] = qRgb(50 * r, 50 * g, 50 * b);
    return palette;
}

quint16 ReadWord(const uchar *p)
{
    return static_cast<quint16>(p[0] | (p[1] << 8));
}

} // namespace

const QList<QRgb> &KelbPalette()
{
    static const QList<QRgb> palette = MakeKelbPalette();
    return palette;
}

QString DecodeKelb(QByteArrayView data, QImage &image)
{
    image = QImage();
    const auto *bytes = reinterpret_cast<const uchar *>(data.data());
    const qsizetype size = data.size();
    if (size < kKelbHeaderSize)
        return QStringLiteral("the file ends inside its %1-byte header (%2 bytes)")
            .arg(kKelbHeaderSize)
            .arg(size);

    const quint16 rawWidth = ReadWord(bytes);
    const quint16 rawHeight = ReadWord(bytes + 2);
    const int width = rawWidth & kDimensionMask;
    const int height = rawHeight & kDimensionMask;
    const int transparentIndex = bytes[4];

    if (width > 0 && height > 0) {
        QList<QRgb> palette = KelbPalette();
        if ((rawHeight & kTransparentMark) == kTransparentMark) {
            const QRgb key = palette[transparentIndex];
            for (QRgb &entry : palette)
                if (entry == key)
                    entry = qRgba(qRed(entry), qGreen(entry), qBlue(entry), 0);
        }
        image = QImage(width, height, QImage::Format_Indexed8);
        if (image.isNull())
            return QStringLiteral("not enough memory for a %1 x %2 bitmap").arg(width).arg(height);
        image.setColorTable(palette);
        image.fill(0);
    }

    const qint64 pixelCount = qint64(width) * height;
    qint64 next = 0; // number of the next pixel to set
    uchar *const pixels = image.isNull() ? nullptr : image.bits();
    const qsizetype bytesPerLine = image.isNull() ? 0 : image.bytesPerLine();

    for (qsizetype pos = kKelbHeaderSize; pos < size; pos += 2) {
        if (pos + 1 >= size)
            return QStringLiteral("the file ends after the count of the pair at offset %1, "
                                  "without its index")
                .arg(pos);
        int count = bytes[pos];
        const uchar index = bytes[pos + 1];
        const bool overflows = count > pixelCount - next;
        if (overflows)
            count = static_cast<int>(pixelCount - next);
        // Fill the run row piece by row piece.
        while (count > 0) {
            const int row = static_cast<int>(next / width);
            const int column = static_cast<int>(next % width);
            const int piece = std::min(count, width - column);
            std::memset(pixels + row * bytesPerLine + column, index, piece);
            next += piece;
            count -= piece;
        }
        if (overflows) {
            if (width == 0 || height == 0)
                return QStringLiteral("the pair at offset %1 sets pixels, but the image is "
                                      "%2 x %3 pixels")
                    .arg(pos)
                    .arg(width)
                    .arg(height);
            return QStringLiteral("the pair at offset %1 sets pixels beyond the %2 x %3 pixels "
                                  "of the image")
                .arg(pos)
                .arg(width)
                .arg(height);
        }
    }
    return QString();
}

} // namespace tev
