#include <benchmark/benchmark.h>

#include "core/lib/cfglist.h"
#include "core/lib/numbers.h"
#include "platform/text/tstringlist.h"

#include <vector>

// A large sequence reads five limits per characteristic and writes them back; these measure the
// per-value cost of that and of looking names up in a characteristic's parameter lines.

static void BM_StrToDouble(benchmark::State &state)
{
    const QString texts[] = {QStringLiteral("12.345"), QStringLiteral("-0,5"),
                             QStringLiteral("1234567.891"), QStringLiteral(" 2.375 "),
                             QStringLiteral("")};
    for (auto _ : state) {
        for (const QString &t : texts)
            benchmark::DoNotOptimize(tev::StrToDouble(t, 3, true));
    }
    state.SetItemsProcessed(state.iterations() * 5);
}
BENCHMARK(BM_StrToDouble);

static void BM_DoubleToStr(benchmark::State &state)
{
    const double values[] = {12.345, -0.5, 1234567.891, 2.375, 0.000123};
    for (auto _ : state) {
        for (double v : values)
            benchmark::DoNotOptimize(tev::DoubleToStr(v, 3, QLatin1Char('.')));
    }
    state.SetItemsProcessed(state.iterations() * 5);
}
BENCHMARK(BM_DoubleToStr);

static void BM_SysFloatToStr(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(tev::SysFloatToStr(1234.5678L));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SysFloatToStr);

// Looks up every name of a list of N name=value lines (a characteristic row has about 65).
static void BM_ReadCfgString(benchmark::State &state)
{
    const int count = int(state.range(0));
    tev::TStringList list;
    std::vector<QString> names;
    for (int i = 0; i < count; ++i) {
        names.push_back(QStringLiteral("PARAMETER_%1").arg(i));
        list.Add(names.back() + QStringLiteral("=value %1").arg(i));
    }
    for (auto _ : state) {
        for (const QString &name : names)
            benchmark::DoNotOptimize(tev::ReadCfgString(list, name, QString()));
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ReadCfgString)->Arg(65)->Arg(1000);

// Builds a sorted, duplicate-free list of N file names, as the dependency list does.
static void BM_SortedAdd(benchmark::State &state)
{
    const int count = int(state.range(0));
    std::vector<QString> names;
    for (int i = 0; i < count; ++i)
        names.push_back(QStringLiteral("Images/Part_%1.bmp").arg((i * 7919) % count));
    for (auto _ : state) {
        tev::TStringList list;
        list.SetSorted(true);
        for (const QString &name : names)
            list.Add(name);
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_SortedAdd)->Arg(1000)->Arg(10000);

BENCHMARK_MAIN();
