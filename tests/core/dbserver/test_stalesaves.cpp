// Two clients as processes of their own hold the same work project on a real Firebird server.
// When one writes the project after the other saved it, or after a master was carried into it,
// the write is stale: the client's question is asked, "keep" stores nothing, "overwrite" writes,
// and with nobody to ask (a script) the write fails with a clear error.

#include "core/db/tevdatamodule.h"
#include "dbclientprocess.h"
#include "storedproject.h"
#include "support/app/databasebackend.h"
#include "support/app/firebirdserver.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace tev;
using namespace tev::test;

namespace {

const QString Work = QStringLiteral("work/w.seq");
const QString Master = QStringLiteral("masters/m.seq");
constexpr int Rows = 5;

class StaleSaves : public ::testing::Test
{
protected:
    StaleSaves()
    {
        WriteServerConnectionFile(m_root, FirebirdServer::shared(), m_database);
        m_data = std::make_unique<TTevDataModule>(m_root.path());
        EXPECT_TRUE(m_data->Connected());
        m_data->UpgradeDatabase(TProductVersion{1, 0, 0, 0});
        EXPECT_TRUE(QDir().mkpath(m_seq.file(QStringLiteral("work"))));
    }

    // "name|nominal[,nominal...]" of the stored work project.
    QString stored() const
    {
        QSqlQuery q(m_data->Database()->database());
        q.prepare("select p.PROJECTNAME, c.NOMINAL from PROJECTS p "
                  "join CHARACTERISTICS c on c.PROJECTID = p.PROJECTID "
                  "where p.FILENAME = ? order by c.NOMINAL");
        q.addBindValue(Work);
        EXPECT_TRUE(q.exec());
        QString name;
        QStringList nominals;
        while (q.next()) {
            name = q.value(0).toString();
            const QString n = QString::number(q.value(1).toDouble());
            if (!nominals.contains(n))
                nominals << n;
        }
        return name + '|' + nominals.join(',');
    }

    bool fileWritten() const { return QFile::exists(m_seq.file(Work)); }
    QString openCommand() const { return QString("project %1 %2").arg(m_seq.path(), Work); }

    TempFolder m_dir;
    const QString m_database = m_dir.file("DB/Stale.fdb");
    TempFolder m_seq;
    TempAppRoot m_root;
    std::unique_ptr<TTevDataModule> m_data;
};

} // namespace

TEST_F(StaleSaves, ASaveAfterAnotherUsersSaveAsksAndNoStoresNothing)
{
    DbClientProcess a(FirebirdServer::shared(), m_database);
    DbClientProcess b(FirebirdServer::shared(), m_database);
    ASSERT_EQ(b.ask(QString("save %1 1 %2").arg(Work).arg(Rows)), "saved 1");
    ASSERT_EQ(a.ask(openCommand()), QString("opened %1").arg(Rows));
    ASSERT_EQ(b.ask(QString("save %1 2 %2").arg(Work).arg(Rows)), "saved 2");
    const QString theirs = "P " + Work + "|2";
    ASSERT_EQ(stored(), theirs);

    // The name is written at once: that write finds the other save, and No keeps it.
    ASSERT_EQ(a.ask("answer keep"), "answer keep");
    EXPECT_EQ(a.ask("rename Mine"), "kept asked=1");
    EXPECT_EQ(stored(), theirs);
    // The save asks again; No stores nothing and writes no file.
    EXPECT_TRUE(a.ask("projectsave").startsWith("failed stale declined "))
        << stored().toStdString();
    EXPECT_EQ(stored(), theirs);
    EXPECT_FALSE(fileWritten());

    // Yes writes what the client holds, its name and its (older) rows.
    ASSERT_EQ(a.ask("answer overwrite"), "answer overwrite");
    EXPECT_EQ(a.ask("projectsave"), "saved asked=1");
    EXPECT_EQ(stored(), "Mine|1");
    EXPECT_TRUE(fileWritten());
    // Its own save is no longer stale.
    EXPECT_EQ(a.ask("rename Mine2"), "done asked=0");
    EXPECT_EQ(a.ask("projectsave"), "saved asked=0");
    EXPECT_EQ(stored(), "Mine2|1");
}

TEST_F(StaleSaves, ASaveAfterAPropagationIsStale)
{
    StoreWorkOfMaster(*m_data, Work, Master, Rows);
    DbClientProcess a(FirebirdServer::shared(), m_database);
    DbClientProcess b(FirebirdServer::shared(), m_database);
    ASSERT_EQ(a.ask(openCommand()), QString("opened %1").arg(Rows));
    ASSERT_EQ(b.ask(QString("propagate %1 100 %2 1").arg(Master).arg(Rows)), "saved 100");
    ASSERT_TRUE(b.readLine().startsWith("done"));
    ASSERT_EQ(stored(), Work + "|100");
    ASSERT_EQ(a.ask("nominal 7"), "changed asked=0");

    // Nobody to ask, as for a script: a clear error, nothing stored.
    const QString script = a.ask("projectsave");
    EXPECT_TRUE(script.startsWith("failed stale notasked Another user saved this project"))
        << script.toStdString();
    EXPECT_EQ(stored(), Work + "|100");
    // No: nothing stored.
    a.ask("answer keep");
    EXPECT_TRUE(a.ask("projectsave").startsWith("failed stale declined "));
    EXPECT_EQ(stored(), Work + "|100");
    EXPECT_FALSE(fileWritten());
    // Yes: the client's rows replace the propagated ones.
    a.ask("answer overwrite");
    EXPECT_EQ(a.ask("projectsave"), "saved asked=1");
    EXPECT_EQ(stored(), Work + "|7");
}

TEST_F(StaleSaves, AProjectNobodyElseWroteSavesWithoutAQuestion)
{
    DbClientProcess a(FirebirdServer::shared(), m_database);
    DbClientProcess b(FirebirdServer::shared(), m_database);
    ASSERT_EQ(b.ask(QString("save %1 1 %2").arg(Work).arg(Rows)), "saved 1");
    ASSERT_EQ(a.ask(openCommand()), QString("opened %1").arg(Rows));
    ASSERT_EQ(a.ask("answer keep"), "answer keep");
    // Another client reading it changes nothing.
    ASSERT_EQ(b.ask(openCommand()), QString("opened %1").arg(Rows));
    EXPECT_EQ(a.ask("rename Mine"), "done asked=0");
    EXPECT_EQ(a.ask("nominal 3"), "changed asked=0");
    EXPECT_EQ(a.ask("projectsave"), "saved asked=0");
    EXPECT_EQ(stored(), "Mine|3");
    // Now the other client's open project is the stale one.
    EXPECT_TRUE(b.ask("projectsave").startsWith("failed stale notasked "));
    EXPECT_EQ(stored(), "Mine|3");
}
