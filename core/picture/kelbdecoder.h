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
// The decoder works on bytes in memory, so that the picture class, the fuzz target and the
// benchmark share one code path. It never writes outside the image: pixel data beyond W x H (and
// so any pixel data at width or height 0) stops the decoding with an error.

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

// Decodes `data` into `image`, an 8-bit indexed image with the fixed palette (null when W or H is
// 0). Pixels that no pair reaches keep palette index 0 (black). When H marks transparency, every
// palette entry with the colour of entry T becomes fully transparent, whichever index holds it.
//
// Returns the empty text on success, otherwise the reason the data is malformed; `image` then
// holds the pixels decoded up to the fault (null when the header itself is incomplete).
[[nodiscard]] QString DecodeKelb(QByteArrayView data, QImage &image);

} // namespace tev
