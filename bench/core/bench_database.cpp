// Saving and loading a large project, on an embedded Firebird file and over a connection to a real
// Firebird server on 127.0.0.1, each beside the engine's own limit on the same backend: the same
// rows inserted through one statement prepared once in one transaction (through Qt's driver, and
// through the Firebird client API directly), and read back by one plain query. After the run, the
// ratios are printed: server to embedded, and each operation to its limit, on wall time and on
// the CPU time of the thread that runs them (the embedded engine runs on it too).

#include "bench/support/alternating.h"
#include "core/db/firebirdsession.h"
#include "core/db/passwordscrambler.h"
#include "core/db/tevdatamodule.h"
#include "core/project/projectdatasets.h"
#include "platform/dataset/memdataset.h"
#include "support/app/firebirdserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

#include <ibase.h>

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

// The rows of a save deleted and inserted again through Qt's driver: one statement prepared
// once, one transaction.
void QtInsert(Setup &s, benchmark::State &state)
{
    QSqlDatabase db = s.data->Database()->database();
    const QStringList columns{"PROJECTID", "CHARID",   "REF_FILENAME", "GROUPID", "FEATURE",
                              "LABEL",     "CHARTYPE", "DECIMALS",     "NOMINAL", "LSL",
                              "USL",       "ACTIVE",   "PARAMS"};
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << "?";
    const QString sql = "insert into CHARACTERISTICS (" + columns.join(", ") + ") values (" +
                        marks.join(", ") + ")";
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

// The same rows through the Firebird client API directly, on the module's own attachment: the
// columns a save writes (every characteristic field the table has), the values ready in memory,
// one statement prepared once, one transaction. This is the cost of the engine and the client.
struct ClientApiRow
{
    int groupId;
    int charId;
    QByteArray feature;
    QByteArray label;
    double nominal;
};

void Check(benchmark::State &state, const ISC_STATUS *status, const char *what)
{
    if (status[0] == 1 && status[1] != 0) {
        char text[512];
        const ISC_STATUS *cursor = status;
        fb_interpret(text, sizeof text, &cursor);
        state.SkipWithError((std::string(what) + ": " + text).c_str());
    }
}

void ClientApiInsert(Setup &s, benchmark::State &state)
{
    const QVariant handle = s.data->Database()->database().driver()->handle();
    isc_db_handle db = *static_cast<const isc_db_handle *>(handle.constData());
    // PROJECTID, GROUPID, CHARID, PROJECTNAME, GROUPNAME, FEATURE, LABEL, CHARTYPE, NOMINAL, LSL,
    // USL, LREAS, UREAS, IMAGE, IMAGEX, IMAGEY, DECIMALS, REF_FILENAME, REF_GROUPNAME, ACTIVE,
    // PARAMS, SEQNAME
    const char *sql = "insert into CHARACTERISTICS (PROJECTID, GROUPID, CHARID, PROJECTNAME, "
                      "GROUPNAME, FEATURE, LABEL, CHARTYPE, NOMINAL, LSL, USL, LREAS, UREAS, "
                      "IMAGE, IMAGEX, IMAGEY, DECIMALS, REF_FILENAME, REF_GROUPNAME, ACTIVE, "
                      "PARAMS, SEQNAME) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                      "?, ?, ?, ?, ?)";
    constexpr int Columns = 22;
    std::vector<ClientApiRow> rows;
    rows.reserve(CharCount);
    for (int i = 1; i <= CharCount; ++i)
        rows.push_back({i / 100, i, QString("Feature %1").arg(i).toUtf8(),
                        QString("L%1").arg(i, 5, 10, QChar('0')).toUtf8(), 10.0 + i / 1000.0});
    const QByteArray chartype("DIA"), refFile("masters/m.seq"), params("A=1\r\nB=2");

    ISC_STATUS_ARRAY status{};
    isc_tr_handle tr = 0;
    isc_start_transaction(status, &tr, 1, &db, 0, nullptr);
    Check(state, status, "start");
    isc_dsql_execute_immediate(status, &db, &tr, 0,
                               "delete from CHARACTERISTICS where PROJECTID = 1", SQL_DIALECT_V6,
                               nullptr);
    Check(state, status, "delete");
    isc_stmt_handle stmt = 0;
    isc_dsql_allocate_statement(status, &db, &stmt);
    isc_dsql_prepare(status, &tr, &stmt, 0, sql, SQL_DIALECT_V6, nullptr);
    Check(state, status, "prepare");
    std::vector<char> daBuffer(XSQLDA_LENGTH(Columns));
    auto *da = reinterpret_cast<XSQLDA *>(daBuffer.data());
    da->version = SQLDA_VERSION1;
    da->sqln = Columns;
    isc_dsql_describe_bind(status, &stmt, SQL_DIALECT_V6, da);
    Check(state, status, "describe");
    // Every value: a 4-byte integer, a double, a text of at most 512 bytes or a BLOB id.
    struct Slot
    {
        short null = -1;
        alignas(8) char data[2 + 512];
    };
    std::vector<Slot> slots(Columns);
    for (int c = 0; c < Columns; ++c) {
        XSQLVAR &v = da->sqlvar[c];
        v.sqldata = slots[size_t(c)].data;
        v.sqlind = &slots[size_t(c)].null;
        v.sqltype = short((v.sqltype & ~1) | 1);
    }
    auto setInt = [&](int c, int value) {
        std::memcpy(slots[size_t(c)].data, &value, sizeof value);
        slots[size_t(c)].null = 0;
    };
    auto setDouble = [&](int c, double value) {
        std::memcpy(slots[size_t(c)].data, &value, sizeof value);
        slots[size_t(c)].null = 0;
    };
    auto setText = [&](int c, const QByteArray &text) {
        XSQLVAR &v = da->sqlvar[c];
        v.sqltype = SQL_VARYING | 1;
        v.sqllen = short(text.size());
        const short length = short(text.size());
        std::memcpy(slots[size_t(c)].data, &length, 2);
        std::memcpy(slots[size_t(c)].data + 2, text.constData(), size_t(text.size()));
        slots[size_t(c)].null = 0;
    };
    for (const ClientApiRow &row : rows) {
        setInt(0, 1);
        setInt(1, row.groupId);
        setInt(2, row.charId);
        setText(5, row.feature);
        setText(6, row.label);
        setText(7, chartype);
        setDouble(8, row.nominal);
        setDouble(9, -0.05);
        setDouble(10, 0.05);
        setInt(16, 3);
        setText(17, refFile);
        setInt(19, 1);
        isc_blob_handle blob = 0;
        ISC_QUAD id{};
        isc_create_blob2(status, &db, &tr, &blob, &id, 0, nullptr);
        isc_put_segment(status, &blob, (unsigned short)params.size(), params.constData());
        isc_close_blob(status, &blob);
        std::memcpy(slots[20].data, &id, sizeof id);
        slots[20].null = 0;
        if (isc_dsql_execute(status, &tr, &stmt, SQL_DIALECT_V6, da)) {
            Check(state, status, "insert");
            break;
        }
    }
    isc_dsql_free_statement(status, &stmt, DSQL_drop);
    isc_commit_transaction(status, &tr);
    Check(state, status, "commit");
}

// The rows of the project fetched by one query through Qt's driver, every column read.
void QtSelect(Setup &s, benchmark::State &state)
{
    QSqlDatabase db = s.data->Database()->database();
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

// The same, through a transaction of the Firebird client's own (as the program's own reads and
// writes of many rows run), every column read.
void ClientSelect(Setup &s, benchmark::State &state)
{
    std::unique_ptr<FirebirdSession> session = FirebirdSession::begin(*s.data->Database());
    if (!session) {
        state.SkipWithError("no session of the client");
        return;
    }
    const SqlRows rows = session->select(
        QStringLiteral("select * from CHARACTERISTICS where PROJECTID = 1 order by CHARID"));
    if (rows.rows.size() != size_t(CharCount))
        state.SkipWithError("rows missing");
}

void BM_SaveProject(benchmark::State &state, Backend backend)
{
    Setup &s = Shared(backend);
    tevbench::RunAlternately(
        state,
        {{"save",
          [&] { s.data->WriteProject(FileName, s.header, s.chars, TTevDBUpdateMode::dbumSaveAll); },
          {}},
         {"qt_insert", [&] { QtInsert(s, state); }, {}},
         {"client_insert", [&] { ClientApiInsert(s, state); }, {}}});
    state.SetItemsProcessed(state.iterations() * CharCount);
}

void BM_LoadProject(benchmark::State &state, Backend backend)
{
    Setup &s = Shared(backend);
    // The project as the save left it: the rows the inserts wrote go.
    s.data->WriteProject(FileName, s.header, s.chars, TTevDBUpdateMode::dbumSaveAll);
    tevbench::RunAlternately(state, {{"load",
                                      [&] {
                                          if (!s.data->ReadProject(FileName, s.header, s.chars))
                                              state.SkipWithError("project not stored");
                                      },
                                      {}},
                                     {"qt_select", [&] { QtSelect(s, state); }, {}},
                                     {"client_select", [&] { ClientSelect(s, state); }, {}}});
    state.SetItemsProcessed(state.iterations() * CharCount);
}

#define TEV_BACKEND(NAME)                                                                          \
    BENCHMARK_CAPTURE(BM_SaveProject, NAME, Backend::NAME)                                         \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Iterations(7)                                                                            \
        ->UseManualTime();                                                                         \
    BENCHMARK_CAPTURE(BM_LoadProject, NAME, Backend::NAME)                                         \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Iterations(7)                                                                            \
        ->UseManualTime();
TEV_BACKEND(Embedded)
TEV_BACKEND(Server)

// Keeps every run's medians, to hold the server's against the embedded file's after the run.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    // Colours only on a terminal, as the library's own reporter.
    RatioReporter()
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular)
    {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred || run.iterations <= 0 ||
                (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median"))
                continue;
            const QString name =
                QString::fromStdString(run.benchmark_name()).section("/iterations:", 0, 0);
            for (const auto &[counter, value] : run.counters)
                m_medians[name][QString::fromStdString(counter)] = value.value;
        }
    }

    void printRatios() const
    {
        std::printf("\nserver / embedded (medians, ms; %d characteristics):\n", CharCount);
        for (const auto &[op, steps] :
             {std::pair{"BM_SaveProject", QStringList{"save", "qt_insert", "client_insert"}},
              std::pair{"BM_LoadProject", QStringList{"load", "qt_select", "client_select"}}}) {
            const auto server = m_medians.value(QString("%1/Server").arg(op));
            const auto embedded = m_medians.value(QString("%1/Embedded").arg(op));
            for (const QString &step : steps) {
                const double a = server.value(step + "_ms");
                const double b = embedded.value(step + "_ms");
                if (a > 0 && b > 0)
                    std::printf("  %-14s %9.1f / %9.1f = %5.2f\n", qPrintable(step), a, b, a / b);
            }
        }
    }

private:
    QMap<QString, QMap<QString, double>> m_medians;
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
