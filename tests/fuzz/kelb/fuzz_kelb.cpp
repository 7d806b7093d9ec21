// Feeds arbitrary bytes to the KELB decoder. Besides the sanitizers' checks it asserts what the
// decoder promises: a decoded image has the header's size and the fixed palette, a rejected file
// gives a reason, and the bytes fed in pieces (of a size taken from the data) decode exactly as
// the whole file does.
//
// Images of more than kMaxFuzzPixels pixels are shrunk (their dimensions taken modulo 256, the
// flag bits kept) before decoding: a full-size 4095 x 4095 image costs the sanitizers some
// milliseconds to clear and would slow the run a hundredfold without reaching any other code.
// The unit tests decode the largest width.

#include "core/picture/kelbdecoder.h"

#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kMaxFuzzPixels = 1 << 16;

int Word(const QByteArray &bytes, int offset)
{
    return static_cast<uchar>(bytes[offset]) | (static_cast<uchar>(bytes[offset + 1]) << 8);
}

void ShrinkDimension(QByteArray &bytes, int offset)
{
    bytes[offset + 1] = static_cast<char>(static_cast<uchar>(bytes[offset + 1]) & 0xF0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (bytes.size() >= tev::kKelbHeaderSize && qint64(Word(bytes, 0) & tev::kKelbMaxDimension) *
                                                        (Word(bytes, 2) & tev::kKelbMaxDimension) >
                                                    kMaxFuzzPixels) {
        ShrinkDimension(bytes, 0);
        ShrinkDimension(bytes, 2);
    }

    QImage image;
    const QString fault = tev::DecodeKelb(bytes, image);
    if (bytes.size() < tev::kKelbHeaderSize) {
        if (fault.isEmpty() || !image.isNull())
            std::abort();
        return 0;
    }
    const qsizetype piece = 1 + static_cast<uchar>(bytes[bytes.size() - 1]) % 16;
    tev::TKelbDecoder decoder;
    bool fed = true;
    for (qsizetype at = 0; fed && at < bytes.size(); at += piece)
        fed = decoder.Feed(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)));
    if (fed)
        decoder.Finish();
    if (decoder.Fault() != fault || decoder.Image() != image)
        std::abort();

    const int width = Word(bytes, 0) & tev::kKelbMaxDimension;
    const int height = Word(bytes, 2) & tev::kKelbMaxDimension;
    if (width > 0 && height > 0) {
        if (image.size() != QSize(width, height) || image.format() != QImage::Format_Indexed8 ||
            image.colorCount() != 256)
            std::abort();
    } else if (!image.isNull()) {
        std::abort();
    }
    return 0;
}
