// Appending n records to an indexed in-memory dataset and locating each of them again by two
// fields that no index covers. Both must grow linearly (apart from the log n of the index).

#include "platform/dataset/memdataset.h"

#include <benchmark/benchmark.h>

namespace {

std::unique_ptr<tev::MemDataSet> makeDataSet()
{
    auto ds = std::make_unique<tev::MemDataSet>();
    ds->addField("GROUPID", tev::FieldType::Integer);
    ds->addField("CHARID", tev::FieldType::Integer, 0, true);
    ds->addField("REF", tev::FieldType::String, 250);
    ds->addField("LABEL", tev::FieldType::String, 100, true);
    ds->addIndex("IDX_GROUPID_CHARID", "GROUPID;CHARID");
    ds->setIndexName("IDX_GROUPID_CHARID");
    ds->createDataSet();
    return ds;
}

void fill(tev::MemDataSet &ds, int n)
{
    for (int i = 0; i < n; ++i) {
        ds.append();
        ds.field(0).setAsInteger(i / 50);
        ds.field(1).setAsInteger(i);
        ds.field(2).setAsString(QStringLiteral("Masters/M.seq"));
        ds.field(3).setAsString(QStringLiteral("L%1").arg(i));
        ds.post();
    }
}

void BM_AppendRecords(benchmark::State &state)
{
    const int n = int(state.range(0));
    for (auto _ : state) {
        auto ds = makeDataSet();
        fill(*ds, n);
        benchmark::DoNotOptimize(ds->recordCount());
    }
    state.SetComplexityN(n);
}

void BM_LocateEveryRecord(benchmark::State &state)
{
    const int n = int(state.range(0));
    auto ds = makeDataSet();
    fill(*ds, n);
    const QString ref = QStringLiteral("Masters/M.seq");
    for (auto _ : state) {
        int found = 0;
        for (int i = 0; i < n; ++i)
            found += ds->locate(QStringLiteral("REF;LABEL"), {ref, QStringLiteral("L%1").arg(i)});
        benchmark::DoNotOptimize(found);
    }
    state.SetComplexityN(n);
}

} // namespace

// Three repetitions each, as the first run of the largest size also pays for fresh memory.
BENCHMARK(BM_AppendRecords)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_LocateEveryRecord)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Complexity(benchmark::oN);

BENCHMARK_MAIN();
