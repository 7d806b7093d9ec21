// Carrying a changed master into its work sequences ("Update Reference") on embedded Firebird: one
// master of 500 characteristics referenced by 100 and by 1,000 work sequences of 500
// characteristics each, built through New and Save as a user builds them. A round changes one
// nominal of the master and propagates it: the rows of every work sequence, and every work file
// written again.
//
// The limit is the least any propagation must do for the same change: in one transaction, read
// every work sequence's rows once (the engine's client, one statement per project) and update
// the one changed row of each, then write every work file's bytes as a save writes a file. The
// propagation must stay within 3 times that and grow linearly: from 100 to 1,000 work sequences
// at most 11 times (printed at the end as "growth").
//
// The propagation and its limit run alternately, one round each per iteration, and each is
// summed up by its median. A round of each runs before the measured ones: the first propagation
// after the work sequences were built also clears what New and Save left behind in the database
// (old row versions), which is not the cost of a propagation. Wall time: the engine works in
// threads of its own.

#include "bench/support/alternating.h"
#include "core/db/firebirdsession.h"
#include "core/db/tevdatamodule.h"
#include "core/project/tevproject.h"
#include "core/sequence/sequencecolumns.h"
#include "platform/dataset/memdataset.h"
#include "platform/file/savefilewhole.h"
#include "platform/text/tencoding.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace tev;

namespace {

constexpr int CharCount = 500;
const QString MasterName = QStringLiteral("Masters/M.seq");

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
        project->OpenFile(seqRoot + "/" + MasterName);
    }

    // The master's first nominal changed, in memory, as the user changes it before "Update
    // Reference".
    void changeMaster()
    {
        MemDataSet &chars = project->DataSetChars();
        chars.first();
        chars.edit();
        chars.fieldByName(QStringLiteral("NOMINAL")).setAsFloat(1000.0 + ++round);
        chars.post();
    }

    // The limit: every work sequence's rows read once and its changed row updated, in one
    // transaction, then every work file's bytes written.
    void rawPropagation(int n)
    {
        std::unique_ptr<FirebirdSession> session = FirebirdSession::begin(*data->Database());
        if (!session)
            qFatal("no session of the client");
        const QString select = QStringLiteral("select * from CHARACTERISTICS where PROJECTID = "
                                              ":PROJECTID order by CHARID");
        PreparedSql &update =
            session->prepared(QStringLiteral("update CHARACTERISTICS set NOMINAL = ? where "
                                             "PROJECTID = ? and CHARID = ? and LABEL = ?"));
        const double nominal = 2000.0 + ++round;
        qsizetype rows = 0;
        for (int id = 1; id <= n; ++id) {
            const SqlRows project = session->select(select, {{"PROJECTID", id}});
            rows += qsizetype(project.rows.size());
            update.bind(0, nominal, FieldType::Double);
            update.bind(1, id, FieldType::Integer);
            update.bind(2, 1, FieldType::Integer);
            update.bind(3, QStringLiteral("L0"), FieldType::String);
            update.execute();
        }
        session->commit();
        if (rows != qsizetype(n) * CharCount)
            qFatal("unexpected row count");
        for (int i = 0; i < n; ++i)
            SaveFileWhole(seqRoot + QStringLiteral("/Raw/W%1.seq").arg(i), workFile);
    }

    QTemporaryDir dir;
    QString seqRoot;
    std::unique_ptr<TTevDataModule> data;
    std::unique_ptr<TTevProject> project;
    int works = 0;
    int round = 0;
    QByteArray workFile;
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

// The median propagation time of each size, for the growth printed at the end.
QMap<int, double> PropagationMs;

void BM_UpdateReferences(benchmark::State &state)
{
    Setup &s = Shared();
    const int n = int(state.range(0));
    s.ensureWorks(n);
    s.changeMaster();
    s.project->UpdateReferences();
    QFile work(s.seqRoot + "/" + workName(0));
    if (!work.open(QIODevice::ReadOnly))
        qFatal("no work file");
    s.workFile = work.readAll();
    s.rawPropagation(n);

    tevbench::RunAlternately(
        state, {{"propagation", [&] { s.project->UpdateReferences(); }, [&] { s.changeMaster(); }},
                {"raw", [&] { s.rawPropagation(n); }, {}}});
    PropagationMs[n] = state.counters["propagation_ms"];
    state.SetItemsProcessed(state.iterations() * n * CharCount);
}

} // namespace

// The smaller size first: the work sequences of the larger are built only after it ran. Building
// 1,000 work sequences takes minutes, so the larger size runs three rounds.
BENCHMARK(BM_UpdateReferences)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseManualTime();
BENCHMARK(BM_UpdateReferences)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseManualTime();

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    if (PropagationMs.contains(100) && PropagationMs.contains(1000) && PropagationMs[100] > 0)
        std::printf("growth from 100 to 1000 work sequences: %.2f (limit 11)\n",
                    PropagationMs[1000] / PropagationMs[100]);
    benchmark::Shutdown();
    return 0;
}
