// Decoding and encoding a sequence-file-sized text (1 MiB) in the code pages the settings offer.
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "platform/ini/tinifile.h"
#include "platform/text/tencoding.h"

namespace {

constexpr int kTextBytes = 1 << 20;

QString sampleText()
{
    const QString line = QStringLiteral(u"GAP_01\tSpalt links\t1,50\t-0,05\t0,05\t2\tGröße µm\r\n");
    QString text;
    while (text.size() < kTextBytes)
        text += line;
    return text;
}

void decode(benchmark::State &state, const tev::TEncoding::Ptr &encoding)
{
    const QByteArray bytes = encoding->GetBytes(sampleText());
    for (auto _ : state)
        benchmark::DoNotOptimize(encoding->GetString(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void encode(benchmark::State &state, const tev::TEncoding::Ptr &encoding)
{
    const QString text = sampleText();
    for (auto _ : state)
        benchmark::DoNotOptimize(encoding->GetBytes(text));
    state.SetBytesProcessed(state.iterations() * text.size());
}

BENCHMARK_CAPTURE(decode, windows1252, tev::TEncoding::Windows1252());
BENCHMARK_CAPTURE(decode, utf8, tev::TEncoding::UTF8());
BENCHMARK_CAPTURE(decode, cp850_iconv, tev::TEncoding::GetEncoding(850));
BENCHMARK_CAPTURE(encode, windows1252, tev::TEncoding::Windows1252());
BENCHMARK_CAPTURE(encode, utf8, tev::TEncoding::UTF8());
BENCHMARK_CAPTURE(encode, cp850_iconv, tev::TEncoding::GetEncoding(850));

// Reading one key of a 20-section, 1000-key ini file that nobody changes in between.
void iniRead(benchmark::State &state)
{
    QTemporaryDir dir;
    tev::TIniFile ini(dir.filePath(QStringLiteral("bench.ini")));
    for (int s = 0; s < 20; ++s)
        for (int k = 0; k < 50; ++k)
            ini.WriteString(QStringLiteral("Section%1").arg(s), QStringLiteral("Key%1").arg(k),
                            QStringLiteral("value %1").arg(k));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ini.ReadString(QStringLiteral("section19"), QStringLiteral("key49"), QString()));
}
BENCHMARK(iniRead);

// One write, which saves the whole 1000-key file.
void iniWrite(benchmark::State &state)
{
    QTemporaryDir dir;
    tev::TIniFile ini(dir.filePath(QStringLiteral("bench.ini")));
    for (int s = 0; s < 20; ++s)
        for (int k = 0; k < 50; ++k)
            ini.WriteString(QStringLiteral("Section%1").arg(s), QStringLiteral("Key%1").arg(k),
                            QStringLiteral("value %1").arg(k));
    int n = 0;
    for (auto _ : state)
        ini.WriteString(QStringLiteral("Section10"), QStringLiteral("Key25"), QString::number(++n));
}
BENCHMARK(iniWrite);

} // namespace

BENCHMARK_MAIN();
