// A large sequence reads five limits per characteristic and writes them back; these measure the
// per-value cost of that and of looking names up in a characteristic's parameter lines, each
// beside a limit that does the same work with Qt or the standard library alone:
// - reading a number: the text trimmed, its comma made a point, and the standard library's
//   conversion;
// - writing a number with 3 decimals, and with the shortest text of 15 significant digits: Qt's
//   formatting of the same value;
// - looking up a name in a list of name=value lines: one pass over the same lines comparing the
//   name before the "=" without regard to case, the least an unsorted list allows;
// - building a sorted list of file names without duplicates: the names sorted and made unique
//   with the same comparison (without regard to case).
// Each routine and its limit run alternately, a batch each per round, and each is summed up by
// its median.

#include "bench/support/alternating.h"
#include "core/lib/cfglist.h"
#include "core/lib/numbers.h"
#include "platform/text/tstringlist.h"

#include <QStringList>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <charconv>
#include <vector>

namespace {

// Conversions per timed batch.
constexpr int Batch = 20000;

// A number's text parsed with either separator, without the routine's rounding: trimmed, the
// comma made a point, the standard library's conversion.
double PlainParse(const QString &text)
{
    QByteArray bytes = text.trimmed().toLatin1();
    bytes.replace(',', '.');
    double value = 0;
    std::from_chars(bytes.constData(), bytes.constData() + bytes.size(), value);
    return value;
}

void BM_StrToDouble(benchmark::State &state)
{
    const QString texts[] = {QStringLiteral("12.345"), QStringLiteral("-0,5"),
                             QStringLiteral("1234567.891"), QStringLiteral(" 2.375 "),
                             QStringLiteral("")};
    tevbench::RunAlternately(state,
                             {{"routine",
                               [&] {
                                   for (int i = 0; i < Batch; ++i)
                                       for (const QString &t : texts)
                                           benchmark::DoNotOptimize(tev::StrToDouble(t, 3, true));
                               },
                               {}},
                              {"plain",
                               [&] {
                                   for (int i = 0; i < Batch; ++i)
                                       for (const QString &t : texts)
                                           benchmark::DoNotOptimize(PlainParse(t));
                               },
                               {}}});
    state.SetItemsProcessed(state.iterations() * Batch * 5);
}

void BM_DoubleToStr(benchmark::State &state)
{
    const double values[] = {12.345, -0.5, 1234567.891, 2.375, 0.000123};
    tevbench::RunAlternately(
        state, {{"routine",
                 [&] {
                     for (int i = 0; i < Batch; ++i)
                         for (double v : values)
                             benchmark::DoNotOptimize(tev::DoubleToStr(v, 3, QLatin1Char('.')));
                 },
                 {}},
                {"qt",
                 [&] {
                     for (int i = 0; i < Batch; ++i)
                         for (double v : values)
                             benchmark::DoNotOptimize(QString::number(v, 'f', 3));
                 },
                 {}}});
    state.SetItemsProcessed(state.iterations() * Batch * 5);
}

void BM_SysFloatToStr(benchmark::State &state)
{
    tevbench::RunAlternately(
        state, {{"routine",
                 [] {
                     for (int i = 0; i < Batch; ++i)
                         benchmark::DoNotOptimize(tev::SysFloatToStr(1234.5678L));
                 },
                 {}},
                {"qt",
                 [] {
                     for (int i = 0; i < Batch; ++i)
                         benchmark::DoNotOptimize(QString::number(1234.5678, 'g', 15));
                 },
                 {}}});
    state.SetItemsProcessed(state.iterations() * Batch);
}

// The value of the first line whose name equals name without regard to case.
QString ScanForName(const QStringList &lines, const QString &name)
{
    for (const QString &line : lines)
        if (line.size() > name.size() && line[name.size()] == QLatin1Char('=') &&
            QStringView(line).left(name.size()).compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(name.size() + 1);
    return {};
}

// Looks up every name of a list of N name=value lines (a characteristic row has about 65).
void BM_ReadCfgString(benchmark::State &state)
{
    const int count = int(state.range(0));
    tev::TStringList list;
    QStringList lines;
    std::vector<QString> names;
    for (int i = 0; i < count; ++i) {
        names.push_back(QStringLiteral("PARAMETER_%1").arg(i));
        lines << names.back() + QStringLiteral("=value %1").arg(i);
        list.Add(lines.back());
    }
    // Lookups per timed batch: about the same work at every size.
    const int rounds = std::max(1, 20000 / count);
    tevbench::RunAlternately(
        state, {{"routine",
                 [&] {
                     for (int r = 0; r < rounds; ++r)
                         for (const QString &name : names)
                             benchmark::DoNotOptimize(tev::ReadCfgString(list, name, QString()));
                 },
                 {}},
                {"scan",
                 [&] {
                     for (int r = 0; r < rounds; ++r)
                         for (const QString &name : names)
                             benchmark::DoNotOptimize(ScanForName(lines, name));
                 },
                 {}}});
    state.SetItemsProcessed(state.iterations() * rounds * count);
}

// Builds a sorted, duplicate-free list of N file names, as the dependency list does.
void BM_SortedAdd(benchmark::State &state)
{
    const int count = int(state.range(0));
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("Images/Part_%1.bmp").arg((i * 7919) % count);
    const auto less = [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    };
    const auto same = [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) == 0;
    };
    tevbench::RunAlternately(
        state, {{"routine",
                 [&] {
                     tev::TStringList list;
                     list.SetSorted(true);
                     for (const QString &name : names)
                         list.Add(name);
                     benchmark::DoNotOptimize(list.Count());
                 },
                 {}},
                {"sort",
                 [&] {
                     QStringList sorted = names;
                     std::stable_sort(sorted.begin(), sorted.end(), less);
                     sorted.erase(std::unique(sorted.begin(), sorted.end(), same), sorted.end());
                     benchmark::DoNotOptimize(sorted.size());
                 },
                 {}}});
    state.SetItemsProcessed(state.iterations() * count);
}

} // namespace

BENCHMARK(BM_StrToDouble)->Iterations(31)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_DoubleToStr)->Iterations(31)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_SysFloatToStr)->Iterations(31)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ReadCfgString)
    ->Arg(65)
    ->Arg(1000)
    ->Iterations(31)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(BM_SortedAdd)
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(31)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

BENCHMARK_MAIN();
