// Carrying a changed master into its work sequences on embedded Firebird: one master of 500
// characteristics referenced by 100 and by 1,000 work sequences of 500 characteristics each.
// Beside it the raw cost of the same output: every work file's bytes written and every work
// sequence's rows deleted and inserted again, one transaction and one prepared insert per
// project. The propagation must stay within 10 times the raw cost and grow linearly with the
// number of work sequences. Wall time: the engine works in threads of its own.

#include "core/db/tevdatamodule.h"
#include "core/project/tevproject.h"
#include "core/sequence/sequencecolumns.h"
#include "platform/dataset/memdataset.h"
#include "platform/text/tencoding.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tev;

namespace {

constexpr int CharCount = 500;
const QString MasterName = QStringLiteral("Masters/M.seq");
// The raw rows carry a source of their own, so that the propagation never sees them.
const QString RawRefName = QStringLiteral("Masters/Raw.seq");
constexpr int RawIdBase = 1000000;

QString workName(int i)
{
    return QStringLiteral("Work/W%1.seq").arg(i, 4, 10, QLatin1Char('0'));
}

// A master of n characteristics in groups of 25.
QByteArray makeMaster(int n)
{
    QString text = QStringLiteral("$TYPE 1\r\n$DEPENDS \r\n$PROJECTNAME Master\r\n$NDECIMALS 3\r\n"
                                  "$GENERATOR Ombrix\r\n$ROUTINE\r\n");
    text += SequenceColumnLine() + QStringLiteral("\r\n");
    for (int i = 0; i < n; ++i) {
        QString row;
        for (const SequenceColumn &c : kSequenceColumns) {
            const QLatin1String name(c.name.data(), qsizetype(c.name.size()));
            QString v;
            if (name == QLatin1String("LABEL"))
                v = QStringLiteral("L%1").arg(i);
            else if (name == QLatin1String("FEATURE"))
                v = QStringLiteral("DIA");
            else if (name == QLatin1String("FORMULA"))
                v = QStringLiteral("F%1").arg(i % 7);
            else if (name == QLatin1String("NOM_VALUE"))
                v = QStringLiteral("%1.125").arg(i);
            else if (name == QLatin1String("MIN_VALUE") || name == QLatin1String("MAX_VALUE"))
                v = QStringLiteral("0.05");
            else if (name == QLatin1String("NDECIMALS"))
                v = QStringLiteral("3");
            else if (name == QLatin1String("GROUPNAME"))
                v = QStringLiteral("Group %1").arg(i / 25);
            else if (name == QLatin1String("POINTNAME"))
                v = QStringLiteral("P%1").arg(i % 100);
            row += v + QLatin1Char('\t');
        }
        text += row + QStringLiteral("\r\n");
    }
    return TEncoding::Windows1252()->GetBytes(text);
}

struct Setup
{
    Setup()
    {
        const QString root = dir.path();
        QDir(root).mkdir(QStringLiteral("Config"));
        const QString fb = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../FB");
        QFile::link(fb, root + "/FB");
        qputenv("FIREBIRD_LOCK", QFile::encodeName(root + "/lock"));
        data = std::make_unique<TTevDataModule>(root);
        if (!data->Connected())
            qFatal("no database");
        data->UpgradeDatabase(TProductVersion{1, 0, 0, 0});
        for (const char *folder : {"Seq/Masters", "Seq/Work", "Seq/Raw"})
            QDir(root).mkpath(QString::fromLatin1(folder));
        seqRoot = root + QStringLiteral("/Seq");
        QFile master(seqRoot + "/" + MasterName);
        if (!master.open(QIODevice::WriteOnly) || master.write(makeMaster(CharCount)) < 0)
            qFatal("cannot write the master");
        project = std::make_unique<TTevProject>(nullptr, data.get());
        project->SetRootDir(seqRoot);
    }

    // Work sequences built from the master through New and Save, as a user makes them.
    void ensureWorks(int n)
    {
        for (int i = works; i < n; ++i) {
            if (!project->New(workName(i), QStringLiteral("Work %1").arg(i), TTevFileType::pftSEQ,
                              MasterName, {}, {}))
                qFatal("cannot create a work sequence");
            project->Save();
        }
        works = std::max(works, n);
        if (rawRow.isEmpty())
            prepareRaw();
        project->OpenFile(seqRoot + "/" + MasterName);
    }

    // One work sequence's stored row values and file bytes, the input of the raw writes.
    void prepareRaw()
    {
        QFile work(seqRoot + "/" + workName(0));
        if (!work.open(QIODevice::ReadOnly))
            qFatal("no work file");
        rawFile = work.readAll();
        QSqlQuery rows(data->Database()->database());
        rows.exec(QStringLiteral("select c.* from CHARACTERISTICS c join PROJECTS p on "
                                 "p.PROJECTID = c.PROJECTID where p.FILENAME = '%1' order by "
                                 "c.CHARID")
                      .arg(workName(0)));
        while (rows.next()) {
            const QSqlRecord record = rows.record();
            if (columns.isEmpty())
                for (int c = 0; c < record.count(); ++c)
                    columns << record.fieldName(c);
            QVariantList values;
            for (int c = 0; c < record.count(); ++c)
                values << record.value(c);
            rawRow << values;
        }
        if (rawRow.size() != CharCount)
            qFatal("unexpected row count");
    }

    QTemporaryDir dir;
    QString seqRoot;
    std::unique_ptr<TTevDataModule> data;
    std::unique_ptr<TTevProject> project;
    int works = 0;
    QStringList columns;
    QList<QVariantList> rawRow;
    QByteArray rawFile;
};

Setup &Shared()
{
    static int argc = 1;
    static char name[] = "bench_references";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static Setup setup;
    return setup;
}

// A nominal of the master changed, then carried into every work sequence's rows and file.
void BM_UpdateReferences(benchmark::State &state)
{
    Setup &s = Shared();
    const int n = int(state.range(0));
    s.ensureWorks(n);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        MemDataSet &chars = s.project->DataSetChars();
        chars.first();
        chars.edit();
        chars.fieldByName(QStringLiteral("NOMINAL")).setAsFloat(1000.0 + ++round);
        chars.post();
        state.ResumeTiming();
        s.project->UpdateReferences();
    }
    state.SetItemsProcessed(state.iterations() * n * CharCount);
}

// The raw cost of the same output for the same number of work sequences.
void BM_RawWrites(benchmark::State &state)
{
    Setup &s = Shared();
    const int n = int(state.range(0));
    s.ensureWorks(n);
    QSqlDatabase db = s.data->Database()->database();
    QStringList marks;
    for (qsizetype i = 0; i < s.columns.size(); ++i)
        marks << QStringLiteral("?");
    const int projectColumn = int(s.columns.indexOf(QStringLiteral("PROJECTID")));
    const int refColumn = int(s.columns.indexOf(QStringLiteral("REF_FILENAME")));
    QSqlQuery del(db);
    QSqlQuery insert(db);
    for (auto _ : state) {
        for (int i = 0; i < n; ++i) {
            QFile file(s.seqRoot + QStringLiteral("/Raw/W%1.seq").arg(i));
            if (!file.open(QIODevice::WriteOnly) || file.write(s.rawFile) != s.rawFile.size())
                state.SkipWithError("write failed");
            file.close();
            db.transaction();
            del.prepare(QStringLiteral("delete from CHARACTERISTICS where PROJECTID = ?"));
            del.bindValue(0, RawIdBase + i);
            del.exec();
            insert.prepare("insert into CHARACTERISTICS (" + s.columns.join(", ") + ") values (" +
                           marks.join(", ") + ")");
            for (const QVariantList &row : s.rawRow) {
                for (int c = 0; c < row.size(); ++c)
                    insert.bindValue(c, c == projectColumn ? QVariant(RawIdBase + i)
                                        : c == refColumn   ? QVariant(RawRefName)
                                                           : row[c]);
                if (!insert.exec())
                    state.SkipWithError("insert failed");
            }
            db.commit();
        }
    }
    state.SetItemsProcessed(state.iterations() * n * CharCount);
}

} // namespace

// Each size's raw cost right before its propagation: the work sequences of the larger size are
// created only after the smaller size was measured. Building 1,000 work sequences takes minutes,
// so the larger size runs once.
#define TEV_REFERENCES_PAIR(N, ITERATIONS)                                                         \
    BENCHMARK(BM_RawWrites)                                                                        \
        ->Arg(N)                                                                                   \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Iterations(ITERATIONS)                                                                   \
        ->UseRealTime();                                                                           \
    BENCHMARK(BM_UpdateReferences)                                                                 \
        ->Arg(N)                                                                                   \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Iterations(ITERATIONS)                                                                   \
        ->UseRealTime();
TEV_REFERENCES_PAIR(100, 2)
TEV_REFERENCES_PAIR(1000, 1)

BENCHMARK_MAIN();
