// Opening and writing sequences of 1,000 to 100,000 characteristics, each beside its limit:
// - an open beside a plain read of the same file that only decodes it and splits it into lines
//   and fields, keeping nothing: the least any reader does;
// - the writer beside a plain write of the bytes it writes, through the same safe write (what a
//   save must do at least is put those bytes on disk safely).
// Each operation and its limit run alternately, one round each per iteration, and each is
// summed up by its median. Opening must grow linearly: rows are matched through a kept hash of
// REF_FILENAME and LABEL, not by a scan. The peak memory of an open is measured beside that of
// the plain read, in turn.

#include "bench/support/alternating.h"
#include "core/project/tevproject.h"
#include "core/sequence/sequencecolumns.h"
#include "core/sequence/sequencefile.h"
#include "platform/file/savefilewhole.h"
#include "platform/memory/largeblocks.h"
#include "platform/text/tencoding.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <map>
#include <vector>

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

// The limit of an open: the file read, decoded and split into lines and fields, nothing kept.
void PlainReadAndSplit(const QString &file)
{
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    const QString text = tev::TEncoding::Windows1252()->GetString(f.readAll());
    qsizetype fields = 0;
    for (const QString &line : tev::SplitSequenceLines(text))
        fields += line.split(QLatin1Char('\t')).size();
    benchmark::DoNotOptimize(fields);
}

// close: the project closed before it goes, as the window closes it.
void OpenSequence(const QString &file, bool close = false)
{
    tev::TTevProject project(nullptr, nullptr);
    project.SetRootDir(QFileInfo(file).path());
    project.BeginUpdate();
    project.ReadSequenceFile(file);
    project.EndUpdate();
    benchmark::DoNotOptimize(project.DataSetChars().recordCount());
    if (close)
        project.Close();
}

void BM_OpenSequence(benchmark::State &state)
{
    const QString &file = sequenceFile(int(state.range(0)));
    tevbench::RunAlternately(state, {{"open", [&] { OpenSequence(file); }, {}},
                                     {"plain", [&] { PlainReadAndSplit(file); }, {}}});
    state.SetComplexityN(state.range(0));
}

// The writer beside a plain write of the bytes it writes, through the same safe write (a
// temporary file, synced, renamed over the old one); the same bytes written and closed without
// the sync are shown beside them ("unsynced").
void BM_WriteSequence(benchmark::State &state)
{
    const QString &file = sequenceFile(int(state.range(0)));
    tev::TTevProject project(nullptr, nullptr);
    project.SetRootDir(QFileInfo(file).path());
    project.ReadSequenceFile(file);
    const QString out = QFileInfo(file).path() + QStringLiteral("/out.seq");
    const QString plain = QFileInfo(file).path() + QStringLiteral("/plain.seq");
    project.WriteFile(out);
    QFile written(out);
    if (!written.open(QIODevice::ReadOnly))
        qFatal("nothing written");
    const QByteArray bytes = written.readAll();
    tev::SaveFileWhole(plain, bytes);
    tevbench::RunAlternately(state, {{"write", [&] { project.WriteFile(out); }, {}},
                                     {"unsynced",
                                      [&] {
                                          QFile f(plain);
                                          if (!f.open(QIODevice::WriteOnly) ||
                                              f.write(bytes) != bytes.size())
                                              state.SkipWithError("write failed");
                                      },
                                      {}},
                                     {"plain", [&] { tev::SaveFileWhole(plain, bytes); }, {}}});
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

// Peak memory of an operation above what the process held before it, in bytes; and the heap
// still in use after it.
struct Peak
{
    double peak;
    double retained;
};

template <typename Operation> Peak measurePeak(const QString &file, Operation operation)
{
    resetPeak();
    const qint64 before = statusBytes("VmRSS:");
    const size_t heapBefore = mallinfo2().uordblks;
    operation(file);
    return {double(statusBytes("VmHWM:") - before),
            double(mallinfo2().uordblks) - double(heapBefore)};
}

// The peak of an open and close (the retained heap is what the close left) beside that of the
// plain read, in turn; the medians as multiples of the file size and their ratio.
void BM_PeakMemory(benchmark::State &state)
{
    const QString &file = sequenceFile(int(state.range(0)));
    const double fileSize = double(QFileInfo(file).size());
    std::vector<double> open, plain, retained;
    for (auto _ : state) {
        const Peak o = measurePeak(file, [](const QString &f) { OpenSequence(f, true); });
        open.push_back(o.peak);
        retained.push_back(o.retained);
        plain.push_back(measurePeak(file, PlainReadAndSplit).peak);
    }
    const double openPeak = tevbench::Median(open);
    const double plainPeak = tevbench::Median(plain);
    state.counters["file_MB"] = fileSize / 1e6;
    state.counters["open_peak_MB"] = openPeak / 1e6;
    state.counters["plain_peak_MB"] = plainPeak / 1e6;
    state.counters["open_peak_per_file"] = openPeak / fileSize;
    state.counters["peak_ratio"] = plainPeak > 0 ? openPeak / plainPeak : 0;
    state.counters["retained_MB"] = tevbench::Median(retained) / 1e6;
}

} // namespace

// Fewer rounds for the larger files; the first round of the largest size also pays for the fresh
// memory the process takes from the system, which the median leaves out.
#define TEV_SEQUENCE_SIZE(N, ROUNDS)                                                               \
    BENCHMARK(BM_OpenSequence)                                                                     \
        ->Arg(N)                                                                                   \
        ->Iterations(ROUNDS)                                                                       \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseManualTime();                                                                         \
    BENCHMARK(BM_WriteSequence)                                                                    \
        ->Arg(N)                                                                                   \
        ->Iterations(ROUNDS)                                                                       \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseManualTime();
TEV_SEQUENCE_SIZE(1000, 31)
TEV_SEQUENCE_SIZE(10000, 15)
TEV_SEQUENCE_SIZE(100000, 7)

BENCHMARK(BM_PeakMemory)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
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
