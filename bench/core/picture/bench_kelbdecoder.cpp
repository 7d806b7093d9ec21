// Decoding speed of gauge bitmaps: a typical characteristic picture and the largest image the
// format allows, both covered by runs of the longest count.

#include "core/picture/kelbdecoder.h"

#include <QByteArray>
#include <benchmark/benchmark.h>

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

void DecodeKelb(benchmark::State &state)
{
    const int width = int(state.range(0));
    const int height = int(state.range(1));
    const QByteArray bytes = FullImage(width, height, int(state.range(2)));
    for (auto _ : state) {
        QImage image;
        const QString fault = tev::DecodeKelb(bytes, image);
        benchmark::DoNotOptimize(image.constBits());
        if (!fault.isEmpty())
            state.SkipWithError("decoding failed");
    }
    state.SetItemsProcessed(state.iterations() * qint64(width) * height);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
// width, height, run length
BENCHMARK(DecodeKelb)
    ->Args({640, 480, 255})
    ->Args({640, 480, 4})
    ->Args({4095, 4095, 255})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
