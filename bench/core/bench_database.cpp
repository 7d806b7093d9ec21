// Saving and loading a large project on embedded Firebird, beside the engine's own limit: the
// same rows inserted through one prepared statement in one transaction.

#include "core/db/tevdatamodule.h"
#include "core/project/projectdatasets.h"
#include "platform/dataset/memdataset.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tev;

namespace {

constexpr int CharCount = 10000;
const QString FileName = QStringLiteral("work/large.seq");

// One module on a fresh database in a temporary application root, shared by the benchmarks.
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
    }

    QTemporaryDir dir;
    std::unique_ptr<TTevDataModule> data;
    MemDataSet header;
    MemDataSet chars;
};

Setup &Shared()
{
    // Qt's SQL plugins are found through the application object; it outlives the setup.
    static int argc = 1;
    static char name[] = "bench_database";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static Setup setup;
    return setup;
}

void BM_WriteProject(benchmark::State &state)
{
    Setup &s = Shared();
    for (auto _ : state)
        s.data->WriteProject(FileName, s.header, s.chars, TTevDBUpdateMode::dbumSaveAll);
    state.SetItemsProcessed(state.iterations() * CharCount);
}
BENCHMARK(BM_WriteProject)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReadProject(benchmark::State &state)
{
    Setup &s = Shared();
    s.data->WriteProject(FileName, s.header, s.chars, TTevDBUpdateMode::dbumSaveAll);
    for (auto _ : state) {
        if (!s.data->ReadProject(FileName, s.header, s.chars))
            state.SkipWithError("project not stored");
    }
    state.SetItemsProcessed(state.iterations() * CharCount);
}
BENCHMARK(BM_ReadProject)->Unit(benchmark::kMillisecond)->Iterations(5);

// The engine's limit: delete and insert the same rows through one prepared statement.
void BM_PreparedInsertOneTransaction(benchmark::State &state)
{
    Setup &s = Shared();
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
BENCHMARK(BM_PreparedInsertOneTransaction)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
