// Decoding and encoding a sequence-file-sized text (1 MiB) in the code pages the settings offer,
// and reading and writing one key of an ini file. Each operation runs alternately with its limit,
// one round each per iteration, and each is summed up by its median.
//
// The limits are the least the same work costs:
// - a single-byte code page (Windows-1252, and 850 through iconv): one lookup per character in a
//   table of the code page made beforehand; UTF-8: Qt's own converter;
// - reading a key of a file that nobody changed: the file's status, which tells that it did not
//   change, and a hash lookup of the key;
// - a write, which saves the whole file: the file's new bytes written as every save writes them.

#include "bench/support/alternating.h"
#include "platform/file/savefilewhole.h"
#include "platform/ini/tinifile.h"
#include "platform/text/tencoding.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <vector>

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

// A single-byte code page as tables: its character for each byte, its byte for each character.
struct CodeTable
{
    explicit CodeTable(const tev::TEncoding::Ptr &encoding)
        : bytes(65536, '?')
    {
        QByteArray all(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            all[b] = char(b);
        const QString decoded = encoding->GetString(all);
        for (int b = 0; b < 256 && b < decoded.size(); ++b) {
            chars[b] = decoded[b].unicode();
            bytes[decoded[b].unicode()] = char(b);
        }
    }
    QString decode(const QByteArray &in) const
    {
        QString out(in.size(), Qt::Uninitialized);
        char16_t *o = reinterpret_cast<char16_t *>(out.data());
        for (qsizetype i = 0; i < in.size(); ++i)
            o[i] = chars[uchar(in[i])];
        return out;
    }
    QByteArray encode(const QString &in) const
    {
        QByteArray out(in.size(), Qt::Uninitialized);
        char *o = out.data();
        const char16_t *chars16 = reinterpret_cast<const char16_t *>(in.constData());
        const char *table = bytes.data();
        for (qsizetype i = 0; i < in.size(); ++i)
            o[i] = table[chars16[i]];
        return out;
    }
    char16_t chars[256] = {};
    std::vector<char> bytes;
};

void decode(benchmark::State &state, const tev::TEncoding::Ptr &encoding, bool utf8)
{
    const QByteArray bytes = encoding->GetBytes(sampleText());
    const CodeTable table(encoding);
    tevbench::RunAlternately(
        state,
        {{"decode", [&] { benchmark::DoNotOptimize(encoding->GetString(bytes)); }, {}},
         {"plain",
          [&] { benchmark::DoNotOptimize(utf8 ? QString::fromUtf8(bytes) : table.decode(bytes)); },
          {}}});
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void encode(benchmark::State &state, const tev::TEncoding::Ptr &encoding, bool utf8)
{
    const QString text = sampleText();
    const CodeTable table(encoding);
    tevbench::RunAlternately(
        state, {{"encode", [&] { benchmark::DoNotOptimize(encoding->GetBytes(text)); }, {}},
                {"plain",
                 [&] { benchmark::DoNotOptimize(utf8 ? text.toUtf8() : table.encode(text)); },
                 {}}});
    state.SetBytesProcessed(state.iterations() * text.size());
}

#define TEV_CODE_PAGE(NAME, ENCODING, UTF8)                                                        \
    BENCHMARK_CAPTURE(decode, NAME, ENCODING, UTF8)                                                \
        ->Iterations(31)                                                                           \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseManualTime();                                                                         \
    BENCHMARK_CAPTURE(encode, NAME, ENCODING, UTF8)                                                \
        ->Iterations(31)                                                                           \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseManualTime();
TEV_CODE_PAGE(windows1252, tev::TEncoding::Windows1252(), false)
TEV_CODE_PAGE(utf8, tev::TEncoding::UTF8(), true)
TEV_CODE_PAGE(cp850_iconv, tev::TEncoding::GetEncoding(850), false)

// A 20-section, 1000-key ini file.
void fillIni(tev::TIniFile &ini)
{
    for (int s = 0; s < 20; ++s)
        for (int k = 0; k < 50; ++k)
            ini.WriteString(QStringLiteral("Section%1").arg(s), QStringLiteral("Key%1").arg(k),
                            QStringLiteral("value %1").arg(k));
}

// Reading one key of the file that nobody changes in between, a batch of reads per round.
void iniRead(benchmark::State &state)
{
    constexpr int Batch = 1000;
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("bench.ini"));
    tev::TIniFile ini(fileName);
    fillIni(ini);
    QHash<QString, QString> keys;
    keys.insert(QStringLiteral("section19/key49"), QStringLiteral("value 49"));
    const QByteArray path = QFile::encodeName(fileName);
    tevbench::RunAlternately(
        state, {{"read",
                 [&] {
                     for (int i = 0; i < Batch; ++i)
                         benchmark::DoNotOptimize(ini.ReadString(
                             QStringLiteral("section19"), QStringLiteral("key49"), QString()));
                 },
                 {}},
                {"plain",
                 [&] {
                     for (int i = 0; i < Batch; ++i) {
                         struct stat status;
                         benchmark::DoNotOptimize(::stat(path.constData(), &status));
                         benchmark::DoNotOptimize(keys.value(QStringLiteral("section19/key49")));
                     }
                 },
                 {}}});
    state.SetItemsProcessed(state.iterations() * Batch);
}
BENCHMARK(iniRead)->Iterations(31)->Unit(benchmark::kMillisecond)->UseManualTime();

// One write, which saves the whole 1000-key file.
void iniWrite(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("bench.ini"));
    tev::TIniFile ini(fileName);
    fillIni(ini);
    QFile written(fileName);
    if (!written.open(QIODevice::ReadOnly))
        qFatal("no ini file");
    const QByteArray bytes = written.readAll();
    const QString plainName = dir.filePath(QStringLiteral("plain.ini"));
    int n = 0;
    tevbench::RunAlternately(state, {{"write",
                                      [&] {
                                          ini.WriteString(QStringLiteral("Section10"),
                                                          QStringLiteral("Key25"),
                                                          QString::number(++n % 10));
                                      },
                                      {}},
                                     {"plain", [&] { tev::SaveFileWhole(plainName, bytes); }, {}}});
}
BENCHMARK(iniWrite)->Iterations(31)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace

BENCHMARK_MAIN();
