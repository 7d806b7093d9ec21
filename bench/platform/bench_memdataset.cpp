// Appending n records to an indexed in-memory dataset and locating each of them again by two
// fields that no index covers. Both must grow linearly (apart from the log n of the index).
//
// The limits are the least the same work costs in plain containers: the same values appended to
// a vector of rows with an ordered index on (GROUPID, CHARID); and every record found by its two
// fields through a hash of them built beforehand. Each operation and its limit run alternately,
// one round each per iteration, and each is summed up by its median.

#include "bench/support/alternating.h"
#include "platform/dataset/memdataset.h"

#include <QHash>
#include <benchmark/benchmark.h>
#include <set>
#include <vector>

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

struct PlainRow
{
    int groupId;
    int charId;
    QString ref;
    QString label;
};

// The same rows in a vector, with an ordered index on (GROUPID, CHARID) and the row's position.
void fillPlain(int n)
{
    std::vector<PlainRow> rows;
    std::set<std::tuple<int, int, size_t>> index;
    for (int i = 0; i < n; ++i) {
        rows.push_back({i / 50, i, QStringLiteral("Masters/M.seq"), QStringLiteral("L%1").arg(i)});
        index.emplace(rows.back().groupId, rows.back().charId, rows.size() - 1);
    }
    benchmark::DoNotOptimize(index.size());
}

void BM_AppendRecords(benchmark::State &state)
{
    const int n = int(state.range(0));
    tevbench::RunAlternately(state, {{"dataset",
                                      [n] {
                                          auto ds = makeDataSet();
                                          fill(*ds, n);
                                          benchmark::DoNotOptimize(ds->recordCount());
                                      },
                                      {}},
                                     {"plain", [n] { fillPlain(n); }, {}}});
    state.SetComplexityN(n);
}

void BM_LocateEveryRecord(benchmark::State &state)
{
    const int n = int(state.range(0));
    auto ds = makeDataSet();
    fill(*ds, n);
    const QString ref = QStringLiteral("Masters/M.seq");
    QHash<std::pair<QString, QString>, int> plain;
    for (int i = 0; i < n; ++i)
        plain.insert({ref, QStringLiteral("L%1").arg(i)}, i);
    tevbench::RunAlternately(state,
                             {{"locate",
                               [&] {
                                   int found = 0;
                                   for (int i = 0; i < n; ++i)
                                       found += ds->locate(QStringLiteral("REF;LABEL"),
                                                           {ref, QStringLiteral("L%1").arg(i)});
                                   benchmark::DoNotOptimize(found);
                               },
                               {}},
                              {"plain",
                               [&] {
                                   int found = 0;
                                   for (int i = 0; i < n; ++i)
                                       found += plain.contains({ref, QStringLiteral("L%1").arg(i)});
                                   benchmark::DoNotOptimize(found);
                               },
                               {}}});
    state.SetComplexityN(n);
}

} // namespace

BENCHMARK(BM_AppendRecords)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(15)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Complexity(benchmark::oN);
BENCHMARK(BM_LocateEveryRecord)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(15)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Complexity(benchmark::oN);

BENCHMARK_MAIN();
