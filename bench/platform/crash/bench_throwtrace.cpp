// What every throw costs once crash reports trace throws: the throw and catch of a tev::Error
// with tracing off and on, from a few frames deep.
#include "platform/crash/throwtrace.h"
#include "platform/error.h"

#include <benchmark/benchmark.h>

namespace {

[[gnu::noinline]] void throwAt(int depth)
{
    if (depth > 0) {
        throwAt(depth - 1);
        asm volatile("" ::: "memory");
        return;
    }
    throw tev::Error(QStringLiteral("failure"));
}

void BM_ThrowAndCatch(benchmark::State &state)
{
    tev::setThrowTracing(state.range(0) != 0);
    for (auto _ : state) {
        try {
            throwAt(int(state.range(1)));
        } catch (const tev::Error &e) {
            benchmark::DoNotOptimize(&e);
        }
    }
    tev::setThrowTracing(false);
}

BENCHMARK(BM_ThrowAndCatch)
    ->ArgNames({"tracing", "depth"})
    ->Args({0, 5})
    ->Args({1, 5})
    ->Args({0, 40})
    ->Args({1, 40});

} // namespace

BENCHMARK_MAIN();
