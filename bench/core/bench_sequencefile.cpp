// Opening and writing sequences of 1,000 to 100,000 characteristics, beside a
// plain read of the same file that only decodes it and splits it into lines and
// fields. Opening must grow linearly: rows are matched through a kept hash of
// REF_FILENAME and LABEL, not by a scan.

#include "core/project/tevproject.h"
#include "core/sequence/sequencecolumns.h"
#include "core/sequence/sequencefile.h"
#include "platform/memory/largeblocks.h"
#include "platform/text/tencoding.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <map>

namespace {

// A work sequence of n characteristics: groups of 50, 20 images, a template in
// every tenth row, an "@" formula in every fifth.
QString makeSequence(int n)
{
    QString text = QStringLiteral("$TYPE 0\r\n$DEPENDS \r\n$FORMAT W.FMT\r\n$PROJECTNAME Bench\r\n"
                                  "$NDECIMALS 3\r\n$GENERATOR Tevora\r\n$ROUTINE\r\n");
    text += tev::SequenceColumnLine() + QStringLiteral("\r\n");
    for (int i = 0; i < n; ++i) {
        QString row;
        for (const tev::SequenceColumn &c : tev::kSequenceColumns) {
            const QLatin1String name(c.name.data(), qsizetype(c.name.size()));
            QString v;
            if (name == QLatin1String("LABEL"))
                v = QStringLiteral("L%1").arg(i);
            else if (name == QLatin1String("FORMULA"))
                v = i % 5 == 4 ? QStringLiteral("@F") : QStringLiteral("F%1").arg(i % 7);
            else if (name == QLatin1String("FEATURE"))
                v = QStringLiteral("DIA");
            else if (name == QLatin1String("NOM_VALUE"))
                v = QStringLiteral("%1.125").arg(i % 1000);
            else if (name == QLatin1String("MIN_VALUE") || name == QLatin1String("MAX_VALUE"))
                v = QStringLiteral("%1,5").arg(i % 1000);
            else if (name == QLatin1String("ALGORITHM"))
                v = i % 10 == 0 ? QStringLiteral("T%1.TEM(1,2)").arg(i % 3) : QStringLiteral("ALG");
            else if (name == QLatin1String("BMP_IMAGE"))
                v = QStringLiteral("img%1.bmp").arg(i % 20);
            else if (name == QLatin1String("BMP_COL") || name == QLatin1String("BMP_ROW"))
                v = QString::number(i % 640);
            else if (name == QLatin1String("NDECIMALS"))
                v = QStringLiteral("3");
            else if (name == QLatin1String("GROUPNAME"))
                v = QStringLiteral("Group %1").arg(i / 50);
            else if (name == QLatin1String("POINTNAME"))
                v = QStringLiteral("P%1").arg(i % 100);
            else if (name == QLatin1String("SCANOPTIONS"))
                v = QStringLiteral("a=1;b=2");
            row += v + QLatin1Char('\t');
        }
        text += row + QStringLiteral("\r\n");
    }
    return text;
}

// One folder with one file per size, written once for all benchmarks.
const QString &sequenceFile(int n)
{
    static QTemporaryDir dir;
    static std::map<int, QString> files;
    auto it = files.find(n);
    if (it == files.end()) {
        const QString name = QDir(dir.path()).filePath(QStringLiteral("bench%1.seq").arg(n));
        QFile f(name);
        if (f.open(QIODevice::WriteOnly))
            f.write(tev::TEncoding::Windows1252()->GetBytes(makeSequence(n)));
        it = files.emplace(n, name).first;
    }
    return it->second;
}

void BM_PlainReadAndSplit(benchmark::State &state)
{
    const QString &file = sequenceFile(int(state.range(0)));
    for (auto _ : state) {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        const QString text = tev::TEncoding::Windows1252()->GetString(f.readAll());
        qsizetype fields = 0;
        for (const QString &line : tev::SplitSequenceLines(text))
            fields += line.split(QLatin1Char('\t')).size();
        benchmark::DoNotOptimize(fields);
    }
    state.SetComplexityN(state.range(0));
}

void BM_OpenSequence(benchmark::State &state)
{
    const QString &file = sequenceFile(int(state.range(0)));
    for (auto _ : state) {
        tev::TTevProject project(nullptr, nullptr);
        project.SetRootDir(QFileInfo(file).path());
        project.BeginUpdate();
        project.ReadSequenceFile(file);
        project.EndUpdate();
        benchmark::DoNotOptimize(project.DataSetChars().recordCount());
    }
    state.SetComplexityN(state.range(0));
}

void BM_WriteSequence(benchmark::State &state)
{
    const QString &file = sequenceFile(int(state.range(0)));
    tev::TTevProject project(nullptr, nullptr);
    project.SetRootDir(QFileInfo(file).path());
    project.ReadSequenceFile(file);
    const QString out = QFileInfo(file).path() + QStringLiteral("/out.seq");
    for (auto _ : state)
        project.WriteFile(out);
    state.SetComplexityN(state.range(0));
}

// The process's peak resident memory since the last reset, and its resident
// memory now, in bytes.
qint64 statusBytes(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

void resetPeak()
{
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// Peak memory of an operation above what the process held before it, as a
// multiple of the file size; and the heap still in use after the project is
// gone.
template <typename Operation> void measurePeak(benchmark::State &state, Operation operation)
{
    const QString &file = sequenceFile(int(state.range(0)));
    const double fileSize = double(QFileInfo(file).size());
    double peak = 0;
    double retained = 0;
    for (auto _ : state) {
        resetPeak();
        const qint64 before = statusBytes("VmRSS:");
        const size_t heapBefore = mallinfo2().uordblks;
        operation(file);
        peak = double(statusBytes("VmHWM:") - before);
        retained = double(mallinfo2().uordblks) - double(heapBefore);
    }
    state.counters["file_MB"] = fileSize / 1e6;
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["peak_per_file"] = peak / fileSize;
    state.counters["retained_MB"] = retained / 1e6;
}

void BM_PeakPlainRead(benchmark::State &state)
{
    measurePeak(state, [](const QString &file) {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        const QString text = tev::TEncoding::Windows1252()->GetString(f.readAll());
        qsizetype fields = 0;
        for (const QString &line : tev::SplitSequenceLines(text))
            fields += line.split(QLatin1Char('\t')).size();
        benchmark::DoNotOptimize(fields);
    });
}

// Open and close: the peak is that of the open project, the retained heap what
// the close left.
void BM_PeakOpenSequence(benchmark::State &state)
{
    measurePeak(state, [](const QString &file) {
        tev::TTevProject project(nullptr, nullptr);
        project.SetRootDir(QFileInfo(file).path());
        project.BeginUpdate();
        project.ReadSequenceFile(file);
        project.EndUpdate();
        benchmark::DoNotOptimize(project.DataSetChars().recordCount());
        project.Close();
    });
}

} // namespace

// Three repetitions each: the first run of the largest size also pays for the
// fresh memory that the process takes from the system; the median shows the
// cost of the work itself.
BENCHMARK(BM_PlainReadAndSplit)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_OpenSequence)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_WriteSequence)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Complexity(benchmark::oN);

BENCHMARK(BM_PeakPlainRead)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PeakOpenSequence)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The allocator set up as the program sets it at start, so that the peaks measured after the
// timing benchmarks are those of the program.
int main(int argc, char **argv)
{
    tev::KeepLargeBlocksReturnable();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
