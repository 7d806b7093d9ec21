// The server is killed in the middle of saves, at random moments, again and again: the project
// is afterwards all old or all new, the client reports the lost connection, the next operation
// connects again, and the records in memory are saved as they were. The counts are printed.

#include "core/db/tevconnection.h"
#include "core/db/tevdatamodule.h"
#include "dbclientprocess.h"
#include "storedproject.h"
#include "support/app/databasebackend.h"
#include "support/app/firebirdserver.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
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

} // namespace

TEST(ServerFaults, KilledInTheMiddleOfSavesTheProjectIsAllOldOrAllNew)
{
    FirebirdServer server;
    server.start();
    TempFolder dir;
    const QString database = dir.file("DB/Faults.fdb");
    {
        TempAppRoot root;
        WriteServerConnectionFile(root, server, database);
        TTevDataModule data(root.path());
        ASSERT_TRUE(data.Connected());
        data.UpgradeDatabase(TProductVersion{1, 0, 0, 0});
    }
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
