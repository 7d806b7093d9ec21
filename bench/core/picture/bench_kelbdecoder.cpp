// Decoding speed of gauge bitmaps: a typical characteristic picture and the largest image the
// format allows, both covered by runs of the longest count and by short runs.
//
// The limit is the least any decoder must do for the same result: an 8-bit image with the fixed
// palette, cleared, and every run of the file set into its rows with memset, without the
// decoder's checks. The decoder and the limit run alternately, one decode each per round, and
// each is summed up by its median.

#include "bench/support/alternating.h"
#include "core/picture/kelbdecoder.h"

#include <QByteArray>
#include <benchmark/benchmark.h>
#include <cstring>

namespace {

QByteArray FullImage(int width, int height, int runLength)
{
    QByteArray bytes;
    bytes.append(char(width & 0xFF)).append(char(width >> 8));
    bytes.append(char(height & 0xFF)).append(char(height >> 8));
    bytes.append(char(0));
    qint64 left = qint64(width) * height;
    for (int index = 0; left > 0; index = (index + 1) % 256) {
        const int count = int(std::min<qint64>(runLength, left));
        bytes.append(char(count)).append(char(index));
        left -= count;
    }
    return bytes;
}

// The runs of a well-formed file set into a cleared image, nothing checked.
QImage PlainExpand(const QByteArray &bytes, int width, int height)
{
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable(tev::KelbPalette());
    image.fill(0);
    uchar *bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    qint64 next = 0;
    for (qsizetype i = tev::kKelbHeaderSize; i + 1 < bytes.size(); i += 2) {
        int count = data[i];
        while (count > 0) {
            const qint64 row = next / width;
            const int column = int(next % width);
            const int n = std::min(count, width - column);
            std::memset(bits + row * stride + column, data[i + 1], size_t(n));
            next += n;
            count -= n;
        }
    }
    return image;
}

void DecodeKelb(benchmark::State &state)
{
    const int width = int(state.range(0));
    const int height = int(state.range(1));
    const QByteArray bytes = FullImage(width, height, int(state.range(2)));
    tevbench::RunAlternately(state, {{"decode",
                                      [&] {
                                          QImage image;
                                          if (!tev::DecodeKelb(bytes, image).isEmpty())
                                              state.SkipWithError("decoding failed");
                                          benchmark::DoNotOptimize(image.constBits());
                                      },
                                      {}},
                                     {"plain",
                                      [&] {
                                          const QImage image = PlainExpand(bytes, width, height);
                                          benchmark::DoNotOptimize(image.constBits());
                                      },
                                      {}}});
    state.SetItemsProcessed(state.iterations() * qint64(width) * height);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
// width, height, run length
BENCHMARK(DecodeKelb)
    ->Args({640, 480, 255})
    ->Args({640, 480, 4})
    ->Args({4095, 4095, 255})
    ->Iterations(31)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

} // namespace

BENCHMARK_MAIN();
