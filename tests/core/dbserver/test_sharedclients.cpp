// Several clients at once, as separate processes, on one database of a real Firebird server:
// every save is stored whole or not at all, a conflict is reported and leaves the client's
// records as they were, a lock wait ends, and a reader never sees a mixture. Each test prints its
// counts.

#include "core/db/tevdatamodule.h"
#include "dbclientprocess.h"
#include "storedproject.h"
#include "support/app/databasebackend.h"
#include "support/app/firebirdserver.h"

#include <QElapsedTimer>
#include <QMap>
#include <QRegularExpression>
#include <QSqlQuery>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>

using namespace tev;
using namespace tev::test;

namespace {

// What a client's "done" line counts.
struct Tally
{
    int runs = -1, saved = -1, conflicts = -1, lockTimeouts = -1, lost = -1, other = -1,
        retried = -1, changed = -1;
};

Tally ParseDone(const QString &line)
{
    Tally t;
    const QRegularExpression re("(\\w+)=(\\d+)");
    for (auto it = re.globalMatch(line); it.hasNext();) {
        const auto m = it.next();
        const int v = m.captured(2).toInt();
        const QString k = m.captured(1);
        if (k == "runs")
            t.runs = v;
        else if (k == "saved")
            t.saved = v;
        else if (k == "conflicts")
            t.conflicts = v;
        else if (k == "locktimeouts")
            t.lockTimeouts = v;
        else if (k == "lost")
            t.lost = v;
        else if (k == "other")
            t.other = v;
        else if (k == "retried")
            t.retried = v;
        else if (k == "changed")
            t.changed = v;
    }
    return t;
}

// Observations of stored projects while clients write them.
struct Observed
{
    int whole = 0;
    int mixed = 0;
    int absent = 0;
    QStringList mixtures;

    void add(const QString &file, const StoredProject &s, int rows)
    {
        if (!s.exists)
            ++absent;
        else if (s.whole(rows))
            ++whole;
        else {
            ++mixed;
            mixtures << QString("%1: %2 rows, %3 labels, %4 markers")
                            .arg(file)
                            .arg(s.rows)
                            .arg(s.distinctLabels)
                            .arg(s.markers.size());
        }
    }
};

class SharedClients : public ::testing::Test
{
protected:
    SharedClients()
    {
        WriteServerConnectionFile(m_root, FirebirdServer::shared(), m_database);
        m_data = std::make_unique<TTevDataModule>(m_root.path());
        EXPECT_TRUE(m_data->Connected());
        m_data->UpgradeDatabase(TProductVersion{1, 0, 0, 0});
    }

    QSqlDatabase db() const { return m_data->Database()->database(); }
    // Reads every client's lines until each has answered "done", observing between them. Each
    // line goes to onLine with the client's index; returns the done lines.
    QStringList runAll(const std::vector<DbClientProcess *> &clients,
                       const std::function<void(int, const QString &)> &onLine,
                       const std::function<void()> &observe)
    {
        QStringList done(int(clients.size()));
        int open = int(clients.size());
        QElapsedTimer timer;
        timer.start();
        while (open > 0 && timer.elapsed() < 600000) {
            for (int i = 0; i < int(clients.size()); ++i) {
                if (!done[i].isEmpty())
                    continue;
                for (QString line = clients[size_t(i)]->pollLine(5); !line.isEmpty();
                     line = clients[size_t(i)]->pollLine(0)) {
                    if (line.startsWith("done")) {
                        done[i] = line;
                        --open;
                        break;
                    }
                    onLine(i, line);
                }
            }
            observe();
        }
        EXPECT_EQ(open, 0) << "a client did not finish";
        return done;
    }

    TempFolder m_dir;
    const QString m_database = m_dir.file("DB/Shared.fdb");
    TempAppRoot m_root;
    std::unique_ptr<TTevDataModule> m_data;
};

constexpr int Rows = 300;

} // namespace

TEST_F(SharedClients, TwoClientsSavingDifferentProjectsBothSave)
{
    DbClientProcess a(FirebirdServer::shared(), m_database);
    DbClientProcess b(FirebirdServer::shared(), m_database);
    // Each client saves three projects of its own, new ones first, over and over.
    a.send(QString("loop work/a 1000 %1 12 files=3").arg(Rows));
    b.send(QString("loop work/b 2000 %1 12 files=3").arg(Rows));
    const QStringList files{"work/a0", "work/a1", "work/a2", "work/b0", "work/b1", "work/b2"};
    QMap<QString, int> lastSaved;
    QStringList failures;
    Observed observed;
    const QStringList done = runAll(
        {&a, &b},
        [&](int, const QString &line) {
            const QStringList w = line.split(' ');
            if (w.value(1) == "saved")
                lastSaved[w[0]] = w.value(2).toInt();
            else
                failures << line;
        },
        [&] {
            for (const QString &file : files)
                observed.add(file, ReadStoredProject(db(), file), Rows);
        });
    EXPECT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    for (const QString &line : done) {
        const Tally t = ParseDone(line);
        EXPECT_EQ(t.runs, 12) << line.toStdString();
        EXPECT_EQ(t.saved, 12) << line.toStdString();
    }
    for (const QString &file : files) {
        const StoredProject s = ReadStoredProject(db(), file);
        EXPECT_TRUE(s.whole(Rows)) << file.toStdString();
        EXPECT_EQ(s.marker(), lastSaved.value(file)) << file.toStdString();
    }
    QSqlQuery ids(db());
    ASSERT_TRUE(ids.exec("select count(distinct PROJECTID), count(*) from PROJECTS"));
    ASSERT_TRUE(ids.next());
    EXPECT_EQ(ids.value(0).toInt(), 6);
    EXPECT_EQ(ids.value(1).toInt(), 6);
    EXPECT_EQ(observed.mixed, 0) << observed.mixtures.join('\n').toStdString();
    std::cout << "[ counts   ] different projects: runs=24 saved=" << lastSaved.size()
              << " projects, observed whole=" << observed.whole << " mixed=" << observed.mixed
              << std::endl;
}

TEST_F(SharedClients, TwoClientsSavingTheSameProjectNeverMix)
{
    DbClientProcess a(FirebirdServer::shared(), m_database);
    DbClientProcess b(FirebirdServer::shared(), m_database);
    const QString file = "work/same.seq";
    a.send(QString("loop %1 1000 %2 15").arg(file).arg(Rows));
    b.send(QString("loop %1 2000 %2 15").arg(file).arg(Rows));
    int lastSaved[2] = {0, 0};
    QStringList unexpected;
    Observed observed;
    const QStringList done = runAll(
        {&a, &b},
        [&](int client, const QString &line) {
            const QStringList w = line.split(' ');
            if (w.value(1) == "saved")
                lastSaved[client] = w.value(2).toInt();
            // A save that conflicted twice in a row reports it; the records are kept.
            else if (!(w.value(2) == "conflict" || w.value(2) == "locktimeout") ||
                     w.value(4) != "kept")
                unexpected << line;
        },
        [&] { observed.add(file, ReadStoredProject(db(), file), Rows); });
    EXPECT_TRUE(unexpected.isEmpty()) << unexpected.join('\n').toStdString();
    int runs = 0, conflicts = 0, saved = 0;
    for (const QString &line : done) {
        const Tally t = ParseDone(line);
        EXPECT_EQ(t.other, 0) << line.toStdString();
        EXPECT_EQ(t.lost, 0) << line.toStdString();
        EXPECT_EQ(t.changed, 0) << line.toStdString();
        runs += t.runs;
        conflicts += t.conflicts;
        saved += t.saved;
    }
    const StoredProject s = ReadStoredProject(db(), file);
    EXPECT_TRUE(s.whole(Rows));
    EXPECT_TRUE(s.marker() == lastSaved[0] || s.marker() == lastSaved[1]) << s.marker();
    EXPECT_EQ(observed.mixed, 0) << observed.mixtures.join('\n').toStdString();
    std::cout << "[ counts   ] same project: runs=" << runs << " saved=" << saved
              << " conflicts reported=" << conflicts << ", observed whole=" << observed.whole
              << " mixed=" << observed.mixed << std::endl;
}

TEST_F(SharedClients, APropagationWhileAClientSavesOneOfItsProjects)
{
    const QString master = "masters/m.seq";
    constexpr int MasterRows = 40;
    const QStringList work{"work/w0.seq", "work/w1.seq", "work/w2.seq", "work/w3.seq"};
    for (const QString &file : work)
        StoreWorkOfMaster(*m_data, file, master, MasterRows);

    DbClientProcess propagator(FirebirdServer::shared(), m_database);
    DbClientProcess saver(FirebirdServer::shared(), m_database);
    propagator.send(QString("propagate %1 100 %2 12").arg(master).arg(MasterRows));
    saver.send(QString("loop %1 500 %2 15 master=%3").arg(work[0]).arg(MasterRows).arg(master));
    int lastPropagated = 1;
    int lastSaved = 1;
    QStringList unexpected;
    Observed observed;
    const QStringList done = runAll(
        {&propagator, &saver},
        [&](int client, const QString &line) {
            const QStringList w = line.split(' ');
            const int at = client == 0 ? 0 : 1; // the saver's lines start with the file name
            if (w.value(at) == "saved")
                (client == 0 ? lastPropagated : lastSaved) = w.value(at + 1).toInt();
            else if (!(w.value(at + 1) == "conflict" || w.value(at + 1) == "locktimeout"))
                unexpected << line;
        },
        [&] {
            for (const QString &file : work)
                observed.add(file, ReadMasterRows(db(), file, master), MasterRows);
        });
    EXPECT_TRUE(unexpected.isEmpty()) << unexpected.join('\n').toStdString();
    const Tally p = ParseDone(done[0]);
    const Tally s = ParseDone(done[1]);
    EXPECT_EQ(p.other + s.other + p.lost + s.lost + p.changed + s.changed, 0)
        << done.join('\n').toStdString();
    for (const QString &file : work) {
        const StoredProject rows = ReadMasterRows(db(), file, master);
        EXPECT_TRUE(rows.whole(MasterRows)) << file.toStdString();
        if (file == work[0]) {
            EXPECT_TRUE(rows.marker() == lastPropagated || rows.marker() == lastSaved)
                << rows.marker();
        } else {
            EXPECT_EQ(rows.marker(), lastPropagated) << file.toStdString();
        }
    }
    EXPECT_EQ(observed.mixed, 0) << observed.mixtures.join('\n').toStdString();
    std::cout << "[ counts   ] propagation while saving: propagations runs=" << p.runs
              << " done=" << p.saved << " conflicts=" << p.conflicts
              << " lock timeouts=" << p.lockTimeouts << "; saves runs=" << s.runs
              << " saved=" << s.saved << " conflicts=" << s.conflicts
              << "; observed whole=" << observed.whole << " mixed=" << observed.mixed << std::endl;
}

TEST_F(SharedClients, ALockWaitEndsWithAClearErrorAndTheRecordsStay)
{
    DbClientProcess client(FirebirdServer::shared(), m_database, 2);
    const QString file = "work/held.seq";
    ASSERT_EQ(client.ask(QString("save %1 1 50").arg(file)), "saved 1");
    TTevConnection holder("Holder");
    holder.setParams(m_data->Database()->params());
    holder.open();
    QSqlDatabase held = holder.database();
    ASSERT_TRUE(held.transaction());
    QSqlQuery hold(held);
    ASSERT_TRUE(hold.exec("update PROJECTS set PROJECTNAME = 'held'"));

    QElapsedTimer timer;
    timer.start();
    const QString answer = client.ask(QString("save %1 2 50").arg(file));
    // The engine alone waits until the holder ends, here never.
    EXPECT_LT(timer.elapsed(), 60000);
    EXPECT_TRUE(answer.startsWith("failed locktimeout 2 kept The database waited more than 2 "
                                  "seconds for data that another user's change holds"))
        << answer.toStdString();

    ASSERT_TRUE(held.rollback());
    EXPECT_EQ(client.ask("resave " + file), "saved 2");
    const StoredProject s = ReadStoredProject(db(), file);
    EXPECT_TRUE(s.whole(50));
    EXPECT_EQ(s.marker(), 2);
}
