#pragma once

// Decoder of the gauges' own bitmap format, KELB.
//
// A KELB file is little-endian and has no signature:
//   offset 0, 2 bytes  W: bits 0-11 the width (bits 12-15 ignored)
//   offset 2, 2 bytes  H: bits 0-11 the height; bits 12-15 all set mark a transparent colour
//   offset 4, 1 byte   T: palette index of the transparent colour (used only when H marks it)
//   offset 5, ...      (Count, Index) byte pairs to the end of the file: the next Count pixels,
//                      in reading order from the top-left, take palette index Index.
// The palette is fixed (see KelbPalette()). The pairs need not cover the whole image.
//
// The decoder takes the bytes in pieces of any size, so that a file is read in chunks (a long
// file costs no memory of its own, and one cut short by another program is simply short), and
// the picture class, the fuzz target and the benchmark share one code path. It never writes
// outside the image: pixel data beyond W x H (and so any pixel data at width or height 0) stops
// the decoding with an error.

#include <QByteArrayView>
#include <QImage>
#include <QList>
#include <QString>

namespace tev {

// Both dimensions are 12-bit fields.
inline constexpr int kKelbMaxDimension = 0x0FFF;
// W, H and T.
inline constexpr qsizetype kKelbHeaderSize = 5;

// The fixed palette of 256 entries shared by every KELB file, all opaque.
const QList<QRgb> &KelbPalette();

// The image is an 8-bit indexed image with the fixed palette (null when W or H is 0). Pixels that
// no pair reaches keep palette index 0 (black). When H marks transparency, every palette entry
// with the colour of entry T becomes fully transparent, whichever index holds it.
class TKelbDecoder
{
public:
    // Takes the next bytes of the file. Returns false at the first fault; Fault() tells it and
    // later bytes are ignored.
    bool Feed(QByteArrayView bytes);
    // Ends the file. Returns false when it ended inside the header or inside a pair, or after
    // an earlier fault.
    bool Finish();

    // The pixels decoded so far: after a fault, those before it.
    const QImage &Image() const { return m_image; }
    // Why the data is malformed; empty while it is not.
    const QString &Fault() const { return m_fault; }

private:
    bool StartImage();
    bool SetRun(int count, uchar index);

    uchar m_header[kKelbHeaderSize] = {};
    qint64 m_offset = 0;     // of the next byte fed
    int m_pendingCount = -1; // the Count of a pair whose Index is still to come
    int m_width = 0;
    int m_height = 0;
    qint64 m_next = 0; // number of the next pixel to set
    QImage m_image;
    QString m_fault;
};

// Decodes a whole file held in memory into `image`. Returns the empty text on success,
// otherwise the fault; `image` then holds the pixels decoded before it.
[[nodiscard]] QString DecodeKelb(QByteArrayView data, QImage &image);

} // namespace tev
