// The server is killed in the middle of saves, at random moments, again and again: the project
// is afterwards all old or all new, the client reports the lost connection, the next operation
// connects again, and the records in memory are saved as they were. The counts are printed. A
// server that stops answering ends a save within the lock-wait limit in the same way.

#include "core/db/statementwatch.h"
#include "core/db/tevconnection.h"
#include "core/db/tevdatamodule.h"
#include "core/project/projectdatasets.h"
#include "dbclientprocess.h"
#include "platform/dataset/memdataset.h"
#include "storedproject.h"
#include "support/app/databasebackend.h"
#include "support/app/firebirdserver.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QThread>
#include <gtest/gtest.h>
#include <iostream>

using namespace tev;
using namespace tev::test;

namespace {

constexpr int Rows = 1000;
constexpr int Rounds = 12;

// A connection of the test's own for looking at what is stored, opened anew each time: the
// server may have been restarted since.
StoredProject Look(const FirebirdServer &server, const QString &database, const QString &file)
{
    TTevConnection look("Look");
    look.setParams(
        TStringList(QStringList{"DriverId=FB", "Server=" + server.host(), "Database=" + database,
                                "User_Name=SYSDBA", "Password=" + FirebirdServer::password()}));
    look.open();
    return ReadStoredProject(look.database(), file);
}

// What the database holds of each project's rows from a master, on a connection of its own.
QList<StoredProject> LookAtMasterRows(const FirebirdServer &server, const QString &database,
                                      const QStringList &files, const QString &master)
{
    TTevConnection look("Look");
    look.setParams(
        TStringList(QStringList{"DriverId=FB", "Server=" + server.host(), "Database=" + database,
                                "User_Name=SYSDBA", "Password=" + FirebirdServer::password()}));
    look.open();
    // One transaction, so every project is read from the same moment.
    QSqlDatabase db = look.database();
    EXPECT_TRUE(db.transaction());
    QList<StoredProject> result;
    for (const QString &file : files)
        result << ReadMasterRows(db, file, master);
    db.rollback();
    return result;
}

// Creates the database on the server with the program's schema.
void CreateDatabase(const FirebirdServer &server, const QString &database)
{
    TempAppRoot root;
    WriteServerConnectionFile(root, server, database);
    TTevDataModule data(root.path());
    ASSERT_TRUE(data.Connected());
    data.UpgradeDatabase(TProductVersion{1, 0, 0, 0});
}

} // namespace

TEST(ServerFaults, KilledInTheMiddleOfSavesTheProjectIsAllOldOrAllNew)
{
    FirebirdServer server;
    server.start();
    TempFolder dir;
    const QString database = dir.file("DB/Faults.fdb");
    ASSERT_NO_FATAL_FAILURE(CreateDatabase(server, database));
    DbClientProcess client(server, database);
    const QString file = "work/faults.seq";
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(client.ask(QString("save %1 1 %2").arg(file).arg(Rows)), "saved 1");
    // Kills fall anywhere in a save and a little after it.
    const int saveMs = int(timer.elapsed());

    int old = 0, fresh = 0, mixed = 0, lostReported = 0, savedBeforeKill = 0;
    int stored = 1;
    QRandomGenerator random(20240611);
    for (int round = 1; round <= Rounds; ++round) {
        const int marker = round + 1;
        client.send(QString("save %1 %2 %3").arg(file).arg(marker).arg(Rows));
        QThread::msleep(random.bounded(saveMs * 5 / 4 + 1));
        server.kill();
        const QString answer = client.readLine();
        if (answer == QString("saved %1").arg(marker)) {
            ++savedBeforeKill;
        } else {
            ++lostReported;
            EXPECT_TRUE(answer.startsWith(QString("failed lost %1 kept The connection to the "
                                                  "database was")
                                              .arg(marker)))
                << answer.toStdString();
        }
        server.start();

        const StoredProject s = Look(server, database, file);
        if (s.whole(Rows) && s.marker() == stored)
            ++old;
        else if (s.whole(Rows) && s.marker() == marker)
            ++fresh;
        else
            ++mixed;
        if (answer.startsWith("saved")) {
            EXPECT_EQ(s.marker(), marker) << "a save reported as stored is not there";
        }

        // The records are still in memory: saving them again connects again and stores them.
        EXPECT_EQ(client.ask("resave " + file), QString("saved %1").arg(marker));
        const StoredProject again = Look(server, database, file);
        EXPECT_TRUE(again.whole(Rows));
        EXPECT_EQ(again.marker(), marker);
        stored = marker;
    }
    EXPECT_EQ(mixed, 0);
    EXPECT_EQ(old + fresh + mixed, Rounds);
    std::cout << "[ counts   ] server killed during saves: runs=" << Rounds
              << " lost reported=" << lostReported << " saved before the kill=" << savedBeforeKill
              << " old=" << old << " new=" << fresh << " mixed=" << mixed << std::endl;
}

TEST(ServerFaults, AClientIdleWhileTheServerRestartsWorksOnAtItsNextOperation)
{
    FirebirdServer server;
    server.start();
    TempFolder dir;
    const QString database = dir.file("DB/Idle.fdb");
    {
        TempAppRoot root;
        WriteServerConnectionFile(root, server, database);
        TTevDataModule data(root.path());
        data.UpgradeDatabase(TProductVersion{1, 0, 0, 0});
    }
    DbClientProcess client(server, database);
    const QString file = "work/idle.seq";
    ASSERT_EQ(client.ask(QString("save %1 1 20").arg(file)), "saved 1");
    server.kill();
    server.start();
    EXPECT_EQ(client.ask("read " + file), "read 20 1");
    server.kill();
    server.start();
    EXPECT_EQ(client.ask(QString("save %1 2 20").arg(file)), "saved 2");
    EXPECT_EQ(Look(server, database, file).marker(), 2);
}

// A propagation writes every work project of the master in one transaction: a server killed in
// the middle of it leaves every project with the master's rows of before or of after, all of
// them the same, and the propagation tried again stores the new rows everywhere.
TEST(ServerFaults, KilledInTheMiddleOfAPropagationEveryProjectIsAllOldOrAllNew)
{
    constexpr int MasterRows = 250;
    const QString master = "masters/m.seq";
    const QStringList work{"work/w0.seq", "work/w1.seq", "work/w2.seq", "work/w3.seq"};
    FirebirdServer server;
    server.start();
    TempFolder dir;
    const QString database = dir.file("DB/Propagation.fdb");
    {
        TempAppRoot root;
        WriteServerConnectionFile(root, server, database);
        TTevDataModule data(root.path());
        ASSERT_TRUE(data.Connected());
        data.UpgradeDatabase(TProductVersion{1, 0, 0, 0});
        for (const QString &file : work) {
            MemDataSet header;
            MemDataSet chars;
            CreateProjectDataSet(header);
            CreateCharDataSet(chars);
            header.append();
            header.fieldByName("PROJECTNAME").setAsString(file);
            header.fieldByName("FILENAME").setAsString(file);
            header.post();
            for (int i = 1; i <= MasterRows; ++i) {
                chars.append();
                chars.fieldByName("CHARID").setAsInteger(i);
                chars.fieldByName("LABEL").setAsString(QString("L%1").arg(i, 5, 10, QChar('0')));
                chars.fieldByName("FEATURE").setAsString("F");
                chars.fieldByName("REF_FILENAME").setAsString(master);
                chars.fieldByName("NOMINAL").setAsFloat(1);
                chars.fieldByName("DECIMALS").setAsInteger(3);
                chars.fieldByName("ACTIVE").setAsInteger(1);
                chars.post();
            }
            data.WriteProject(file, header, chars, TTevDBUpdateMode::dbumSaveAll);
            QString name;
            ASSERT_TRUE(data.ProjectExists(file, name));
            QSqlQuery id(data.Database()->database());
            ASSERT_TRUE(
                id.exec(
                    QString("select PROJECTID from PROJECTS where FILENAME = '%1'").arg(file)) &&
                id.next());
            data.AddRefProject(id.value(0).toInt(), master, "M");
        }
    }
    DbClientProcess client(server, database);
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(client.ask(QString("propagate %1 2 %2 1").arg(master).arg(MasterRows)), "saved 2");
    ASSERT_TRUE(client.readLine().startsWith("done"));
    const int propagationMs = int(timer.elapsed());

    int old = 0, fresh = 0, mixed = 0, lostReported = 0, doneBeforeKill = 0;
    int stored = 2;
    QRandomGenerator random(20240612);
    for (int round = 1; round <= Rounds; ++round) {
        const int marker = stored + 1;
        client.send(QString("propagate %1 %2 %3 1").arg(master).arg(marker).arg(MasterRows));
        QThread::msleep(random.bounded(propagationMs * 5 / 4 + 1));
        server.kill();
        const QString answer = client.readLine();
        if (answer == QString("saved %1").arg(marker)) {
            ++doneBeforeKill;
        } else {
            ++lostReported;
            EXPECT_TRUE(answer.startsWith(QString("failed lost %1 ").arg(marker)))
                << answer.toStdString();
        }
        EXPECT_TRUE(client.readLine().startsWith("done"));
        server.start();

        QSet<int> markers;
        bool whole = true;
        for (const StoredProject &s : LookAtMasterRows(server, database, work, master)) {
            whole = whole && s.whole(MasterRows);
            markers.insert(s.marker());
        }
        if (whole && markers == QSet<int>{stored})
            ++old;
        else if (whole && markers == QSet<int>{marker})
            ++fresh;
        else
            ++mixed;
        if (answer.startsWith("saved")) {
            EXPECT_EQ(markers, QSet<int>{marker}) << "a propagation reported as done is not there";
        }

        // Tried again once the server is back, the propagation reaches every project.
        EXPECT_EQ(
            client.ask(QString("propagate %1 %2 %3 1").arg(master).arg(marker).arg(MasterRows)),
            QString("saved %1").arg(marker));
        EXPECT_TRUE(client.readLine().startsWith("done"));
        for (const StoredProject &s : LookAtMasterRows(server, database, work, master)) {
            EXPECT_TRUE(s.whole(MasterRows));
            EXPECT_EQ(s.marker(), marker);
        }
        stored = marker;
    }
    EXPECT_EQ(mixed, 0);
    EXPECT_EQ(old + fresh + mixed, Rounds);
    std::cout << "[ counts   ] server killed during propagations: runs=" << Rounds
              << " lost reported=" << lostReported << " done before the kill=" << doneBeforeKill
              << " old=" << old << " new=" << fresh << " mixed=" << mixed << std::endl;
}

// The server stops answering (its process stopped by a signal) before a save and in the middle
// of saves: the client reports the lost connection once the lock-wait limit and the grace after
// it have passed, while the server is still stopped, and keeps the records; once the server goes
// on, the next save connects again and stores them whole. The times to the message are printed.
TEST(ServerFaults, FrozenDuringASaveTheClientReportsWithinTheLimitAndSavesAgainAfterwards)
{
    constexpr int LockWait = 2;
    constexpr int FrozenRounds = 3;
    FirebirdServer server;
    server.start();
    TempFolder dir;
    const QString database = dir.file("DB/Frozen.fdb");
    ASSERT_NO_FATAL_FAILURE(CreateDatabase(server, database));
    DbClientProcess client(server, database, LockWait);
    const QString file = "work/frozen.seq";
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(client.ask(QString("save %1 1 %2").arg(file).arg(Rows)), "saved 1");
    const int saveMs = int(timer.elapsed());

    const int limitMs = (LockWait + StatementWatch::AbortGraceSeconds) * 1000;
    QRandomGenerator random(20240613);
    QStringList figures;
    for (int round = 1; round <= FrozenRounds; ++round) {
        const int marker = round + 1;
        // The first round freezes the server before the save starts, the others during it.
        const int delayMs = round == 1 ? 0 : int(random.bounded(saveMs + 1));
        if (round == 1)
            server.freeze();
        client.send(QString("save %1 %2 %3").arg(file).arg(marker).arg(Rows));
        timer.restart();
        if (round > 1) {
            QThread::msleep(delayMs);
            server.freeze();
        }
        // Answered while the server is still stopped, not long after the limit.
        const QString answer = client.readLine(limitMs + 15000);
        const qint64 elapsed = timer.elapsed();
        ASSERT_TRUE(server.frozen());
        if (answer != QString("saved %1").arg(marker)) {
            figures << QString::number(elapsed);
            EXPECT_TRUE(answer.startsWith(QString("failed lost %1 kept The connection to the "
                                                  "database was lost: the server did not answer "
                                                  "within %2 seconds.")
                                              .arg(marker)
                                              .arg(LockWait + StatementWatch::AbortGraceSeconds)))
                << answer.toStdString();
            EXPECT_LT(elapsed, limitMs + 10000);
        }
        server.resume();

        // The records are still in memory: saving them again connects again and stores them.
        EXPECT_EQ(client.ask("resave " + file), QString("saved %1").arg(marker));
        const StoredProject stored = Look(server, database, file);
        EXPECT_TRUE(stored.whole(Rows));
        EXPECT_EQ(stored.marker(), marker);
    }
    EXPECT_FALSE(figures.isEmpty());
    std::cout << "[ figures  ] frozen server during saves (lock wait " << LockWait << " s + grace "
              << StatementWatch::AbortGraceSeconds << " s): time to the message in ms "
              << figures.join(' ').toStdString() << std::endl;
}
