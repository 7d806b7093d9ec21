#include "core/picture/kelbdecoder.h"

#include <algorithm>
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

bool TKelbDecoder::Feed(QByteArrayView bytes)
{
    if (!m_fault.isEmpty())
        return false;
    const auto *data = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size && m_offset < kKelbHeaderSize) {
        m_header[m_offset++] = data[i++];
        if (m_offset == kKelbHeaderSize && !StartImage())
            return false;
    }
    if (i < size && m_pendingCount >= 0) {
        const int count = m_pendingCount;
        m_pendingCount = -1;
        ++m_offset;
        if (!SetRun(count, data[i++]))
            return false;
    }
    for (; i + 1 < size; i += 2) {
        m_offset += 2;
        if (!SetRun(data[i], data[i + 1]))
            return false;
    }
    if (i < size) {
        m_pendingCount = data[i];
        ++m_offset;
    }
    return true;
}

bool TKelbDecoder::Finish()
{
    if (!m_fault.isEmpty())
        return false;
    if (m_offset < kKelbHeaderSize)
        m_fault = QStringLiteral("the file ends inside its %1-byte header (%2 bytes)")
                      .arg(kKelbHeaderSize)
                      .arg(m_offset);
    else if (m_pendingCount >= 0)
        m_fault = QStringLiteral("the file ends after the count of the pair at offset %1, "
                                 "without its index")
                      .arg(m_offset - 1);
    return m_fault.isEmpty();
}

bool TKelbDecoder::StartImage()
{
    const quint16 rawHeight = ReadWord(m_header + 2);
    m_width = ReadWord(m_header) & kDimensionMask;
    m_height = rawHeight & kDimensionMask;
    if (m_width == 0 || m_height == 0)
        return true;

    QList<QRgb> palette = KelbPalette();
    if ((rawHeight & kTransparentMark) == kTransparentMark) {
        const QRgb key = palette[m_header[4]];
        for (QRgb &entry : palette)
            if (entry == key)
                entry = qRgba(qRed(entry), qGreen(entry), qBlue(entry), 0);
    }
    m_image = QImage(m_width, m_height, QImage::Format_Indexed8);
    if (m_image.isNull()) {
        m_fault =
            QStringLiteral("not enough memory for a %1 x %2 bitmap").arg(m_width).arg(m_height);
        return false;
    }
    m_image.setColorTable(palette);
    m_image.fill(0);
    return true;
}

bool TKelbDecoder::SetRun(int count, uchar index)
{
    const qint64 left = qint64(m_width) * m_height - m_next;
    const bool overflows = count > left;
    if (overflows)
        count = static_cast<int>(left);
    // Fill the run row piece by row piece; with no pixels left nothing is touched.
    while (count > 0) {
        const int row = static_cast<int>(m_next / m_width);
        const int column = static_cast<int>(m_next % m_width);
        const int piece = std::min(count, m_width - column);
        std::memset(m_image.scanLine(row) + column, index, piece);
        m_next += piece;
        count -= piece;
    }
    if (!overflows)
        return true;
    const qint64 pairOffset = m_offset - 2;
    m_fault = m_width == 0 || m_height == 0
                  ? QStringLiteral("the pair at offset %1 sets pixels, but the image is %2 x %3 "
                                   "pixels")
                  : QStringLiteral("the pair at offset %1 sets pixels beyond the %2 x %3 pixels "
                                   "of the image");
    m_fault = m_fault.arg(pairOffset).arg(m_width).arg(m_height);
    return false;
}

QString DecodeKelb(QByteArrayView data, QImage &image)
{
    TKelbDecoder decoder;
    if (decoder.Feed(data))
        decoder.Finish();
    image = decoder.Image();
    return decoder.Fault();
}

} // namespace tev
