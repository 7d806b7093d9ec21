// Saving and loading a large project, on an embedded Firebird file and over a connection to a real
// Firebird server on 127.0.0.1, each beside the engine's own limit on the same backend: the same
// rows inserted through one prepared statement in one transaction, and read back by one plain
// query. After the run, the ratios are printed: server to embedded, and each operation to its
// limit.

#include "core/db/passwordscrambler.h"
#include "core/db/tevdatamodule.h"
#include "core/project/projectdatasets.h"
#include "platform/dataset/memdataset.h"
#include "support/app/firebirdserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

using namespace tev;

namespace {

constexpr int CharCount = 10000;
const QString FileName = QStringLiteral("work/large.seq");

enum class Backend { Embedded, Server };

// A module on a fresh database in a temporary application root, one per backend, shared by the
// benchmarks. The server (when there is one) is declared first so that it outlives the module.
struct Setup
{
    explicit Setup(Backend backend)
    {
        const QString root = dir.path();
        QDir(root).mkpath(QStringLiteral("Config"));
        QDir(root).mkpath(QStringLiteral("DB"));
        const QString fb = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../FB");
        QFile::link(fb, root + "/FB");
        if (backend == Backend::Server) {
            server = std::make_unique<test::FirebirdServer>();
            server->start();
            writeConnectionFile(root, server->host(), test::FirebirdServer::password());
        }
        data = std::make_unique<TTevDataModule>(root);
        if (!data->Connected())
            qFatal("no database");
        data->UpgradeDatabase(TProductVersion{1, 0, 0, 0});
        CreateProjectDataSet(header);
        CreateCharDataSet(chars);
        header.append();
        header.fieldByName("PROJECTNAME").setAsString("Large");
        header.fieldByName("FILENAME").setAsString(FileName);
        header.fieldByName("FILETYPE").setAsInteger(1);
        header.post();
        for (int i = 1; i <= CharCount; ++i) {
            chars.append();
            chars.fieldByName("GROUPID").setAsInteger(i / 100);
            chars.fieldByName("CHARID").setAsInteger(i);
            chars.fieldByName("FEATURE").setAsString(QString("Feature %1").arg(i));
            chars.fieldByName("LABEL").setAsString(QString("L%1").arg(i, 5, 10, QChar('0')));
            chars.fieldByName("CHARTYPE").setAsString("DIA");
            chars.fieldByName("NOMINAL").setAsFloat(10.0 + i / 1000.0);
            chars.fieldByName("LSL").setAsFloat(-0.05);
            chars.fieldByName("USL").setAsFloat(0.05);
            chars.fieldByName("DECIMALS").setAsInteger(3);
            chars.fieldByName("REF_FILENAME").setAsString("masters/m.seq");
            chars.fieldByName("ACTIVE").setAsInteger(1);
            chars.fieldByName("PARAMS").setAsString("A=1\r\nB=2");
            chars.post();
        }
        data->WriteProject(FileName, header, chars, TTevDBUpdateMode::dbumSaveAll);
    }

    static void writeConnectionFile(const QString &root, const QString &host,
                                    const QString &password)
    {
        QFile file(root + "/Config/Config.ini");
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write the connection file");
        file.write("[Database]\nDriverId=FB\nServer=" + host.toUtf8() + "\nDatabase=" +
                   QFile::encodeName(root + "/DB/Tevora.fdb") + "\nUser_Name=SYSDBA\nPassword=" +
                   EncryptString(password.toLatin1(), ConnectionPasswordKey) +
                   "\nOpenMode=OpenOrCreate\nCharacterSet=UTF8\n");
    }

    QTemporaryDir dir;
    std::unique_ptr<test::FirebirdServer> server;
    std::unique_ptr<TTevDataModule> data;
    MemDataSet header;
    MemDataSet chars;
};

// The setups live from their first use until main ends them, before the application object.
std::unique_ptr<Setup> Setups[2];

Setup &Shared(Backend backend)
{
    std::unique_ptr<Setup> &setup = Setups[backend == Backend::Server ? 1 : 0];
    if (!setup)
        setup = std::make_unique<Setup>(backend);
    return *setup;
}

void BM_WriteProject(benchmark::State &state, Backend backend)
{
    Setup &s = Shared(backend);
    for (auto _ : state)
        s.data->WriteProject(FileName, s.header, s.chars, TTevDBUpdateMode::dbumSaveAll);
    state.SetItemsProcessed(state.iterations() * CharCount);
}
BENCHMARK_CAPTURE(BM_WriteProject, Embedded, Backend::Embedded)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_WriteProject, Server, Backend::Server)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

void BM_ReadProject(benchmark::State &state, Backend backend)
{
    Setup &s = Shared(backend);
    for (auto _ : state) {
        if (!s.data->ReadProject(FileName, s.header, s.chars))
            state.SkipWithError("project not stored");
    }
    state.SetItemsProcessed(state.iterations() * CharCount);
}
BENCHMARK_CAPTURE(BM_ReadProject, Embedded, Backend::Embedded)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_ReadProject, Server, Backend::Server)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The engine's limit for a save: delete and insert the same rows through one prepared statement
// in one transaction.
void BM_PreparedInsertOneTransaction(benchmark::State &state, Backend backend)
{
    Setup &s = Shared(backend);
    QSqlDatabase db = s.data->Database()->database();
    const QStringList columns{"PROJECTID", "CHARID",   "REF_FILENAME", "GROUPID", "FEATURE",
                              "LABEL",     "CHARTYPE", "DECIMALS",     "NOMINAL", "LSL",
                              "USL",       "ACTIVE",   "PARAMS"};
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << "?";
    const QString sql = "insert into CHARACTERISTICS (" + columns.join(", ") + ") values (" +
                        marks.join(", ") + ")";
    for (auto _ : state) {
        db.transaction();
        {
            QSqlQuery del(db);
            del.exec("delete from CHARACTERISTICS where PROJECTID = 1");
            QSqlQuery insert(db);
            insert.prepare(sql);
            for (int i = 1; i <= CharCount; ++i) {
                insert.bindValue(0, 1);
                insert.bindValue(1, i);
                insert.bindValue(2, QStringLiteral("masters/m.seq"));
                insert.bindValue(3, i / 100);
                insert.bindValue(4, QString("Feature %1").arg(i));
                insert.bindValue(5, QString("L%1").arg(i, 5, 10, QChar('0')));
                insert.bindValue(6, QStringLiteral("DIA"));
                insert.bindValue(7, 3);
                insert.bindValue(8, 10.0 + i / 1000.0);
                insert.bindValue(9, -0.05);
                insert.bindValue(10, 0.05);
                insert.bindValue(11, 1);
                insert.bindValue(12, QStringLiteral("A=1\r\nB=2"));
                if (!insert.exec())
                    state.SkipWithError("insert failed");
            }
        }
        db.commit();
    }
    state.SetItemsProcessed(state.iterations() * CharCount);
}
BENCHMARK_CAPTURE(BM_PreparedInsertOneTransaction, Embedded, Backend::Embedded)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_PreparedInsertOneTransaction, Server, Backend::Server)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The engine's limit for a load: the project's rows fetched by one query, every column read.
void BM_PlainSelect(benchmark::State &state, Backend backend)
{
    Setup &s = Shared(backend);
    QSqlDatabase db = s.data->Database()->database();
    for (auto _ : state) {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        query.exec("select * from CHARACTERISTICS where PROJECTID = 1 order by CHARID");
        int rows = 0;
        const int columns = query.record().count();
        while (query.next()) {
            for (int c = 0; c < columns; ++c)
                benchmark::DoNotOptimize(query.value(c));
            ++rows;
        }
        if (rows != CharCount)
            state.SkipWithError("rows missing");
    }
    state.SetItemsProcessed(state.iterations() * CharCount);
}
BENCHMARK_CAPTURE(BM_PlainSelect, Embedded, Backend::Embedded)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_PlainSelect, Server, Backend::Server)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// Keeps each benchmark's time per iteration for the ratios printed after the run.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (!run.error_occurred && run.iterations > 0)
                m_ms[QString::fromStdString(run.benchmark_name()).section("/iterations:", 0, 0)] =
                    run.GetAdjustedRealTime() * 1e3 /
                    benchmark::GetTimeUnitMultiplier(run.time_unit);
    }

    void printRatios() const
    {
        std::printf("\nratios (real time per iteration, %d characteristics):\n", CharCount);
        for (const char *op : {"BM_WriteProject", "BM_ReadProject",
                               "BM_PreparedInsertOneTransaction", "BM_PlainSelect"})
            ratio(QString("%1/Server").arg(op), QString("%1/Embedded").arg(op));
        for (const char *backend : {"Embedded", "Server"}) {
            ratio(QString("BM_WriteProject/%1").arg(backend),
                  QString("BM_PreparedInsertOneTransaction/%1").arg(backend));
            ratio(QString("BM_ReadProject/%1").arg(backend),
                  QString("BM_PlainSelect/%1").arg(backend));
        }
    }

private:
    void ratio(const QString &a, const QString &b) const
    {
        if (!m_ms.contains(a) || !m_ms.contains(b) || m_ms.value(b) <= 0)
            return;
        std::printf("  %-42s %9.1f ms / %-42s %9.1f ms = %5.2f\n", qPrintable(a), m_ms.value(a),
                    qPrintable(b), m_ms.value(b), m_ms.value(a) / m_ms.value(b));
    }

    QMap<QString, double> m_ms;
};

} // namespace

int main(int argc, char **argv)
{
    // Qt's SQL plugins are found through the application object.
    QCoreApplication app(argc, argv);
    // The client library reads its lock folder once per process.
    const QTemporaryDir lock;
    qputenv("FIREBIRD_LOCK", QFile::encodeName(lock.path()));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    std::fflush(stdout);
    // The modules close their connections before the server stops and the application ends.
    for (std::unique_ptr<Setup> &setup : Setups)
        setup.reset();
    benchmark::Shutdown();
    return 0;
}
