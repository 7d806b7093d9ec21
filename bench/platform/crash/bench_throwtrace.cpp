// What every throw costs once crash reports trace throws: the throw and catch of a tev::Error
// from a few frames deep with tracing on, beside the same throw and catch with tracing off. The
// limit is the untraced throw, since tracing can only add to it; the ratio is what tracing costs.
// The two run alternately, a batch of throws each per round, and each is summed up by its median.

#include "bench/support/alternating.h"
#include "platform/crash/throwtrace.h"
#include "platform/error.h"

#include <benchmark/benchmark.h>

namespace {

// Throws per timed batch: long enough for the clock, short enough for many rounds.
constexpr int Batch = 2000;

[[gnu::noinline]] void throwAt(int depth)
{
    if (depth > 0) {
        throwAt(depth - 1);
        asm volatile("" ::: "memory");
        return;
    }
    throw tev::Error(QStringLiteral("failure"));
}

void throwBatch(bool tracing, int depth)
{
    tev::setThrowTracing(tracing);
    for (int i = 0; i < Batch; ++i) {
        try {
            throwAt(depth);
        } catch (const tev::Error &e) {
            benchmark::DoNotOptimize(&e);
        }
    }
    tev::setThrowTracing(false);
}

void BM_ThrowAndCatch(benchmark::State &state)
{
    const int depth = int(state.range(0));
    tevbench::RunAlternately(state, {{"traced", [depth] { throwBatch(true, depth); }, {}},
                                     {"untraced", [depth] { throwBatch(false, depth); }, {}}});
    state.SetItemsProcessed(state.iterations() * Batch);
}

BENCHMARK(BM_ThrowAndCatch)
    ->ArgName("depth")
    ->Arg(5)
    ->Arg(40)
    ->Iterations(31)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

} // namespace

BENCHMARK_MAIN();
