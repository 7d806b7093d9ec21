// Opening and writing sequences of 1,000 to 100,000 characteristics, beside a plain read of the
// same file that only decodes it and splits it into lines and fields. Opening must grow
// linearly: rows are matched through a kept hash of REF_FILENAME and LABEL, not by a scan.

#include "core/project/tevproject.h"
#include "core/sequence/sequencecolumns.h"
#include "core/sequence/sequencefile.h"
#include "platform/text/tencoding.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>

namespace {

// A work sequence of n characteristics: groups of 50, 20 images, a template in every tenth row,
// an "@" formula in every fifth.
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

} // namespace

// Three repetitions each: the first run of the largest size also pays for the fresh memory that
// the process takes from the system; the median shows the cost of the work itself.
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

BENCHMARK_MAIN();
