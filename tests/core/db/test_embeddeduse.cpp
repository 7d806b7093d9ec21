// After a process of ours ended with the embedded database open, the next open validates and
// mends the file before it is used; after a clean end it is opened as it is.

#include "core/db/embeddedusemarker.h"
#include "core/db/firebirdembedded.h"
#include "core/db/tevconnection.h"
#include "support/app/firebirdtestenv.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace tev;
using tev::test::TempAppRoot;
using tev::test::TempFolder;

namespace {

const QString kDbClient = QStringLiteral(TEVORA_BINARY_DIR "/bin/tevora_dbclient");

TStringList FirebirdParams(const QString &file)
{
    return TStringList(QStringList{"DriverId=FB", "Server=", "Database=" + file, "User_Name=SYSDBA",
                                   "Password=plumtrees", "OpenMode=OpenOrCreate",
                                   "CharacterSet=UTF8"});
}

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Opens the file, and closes it again when the connection goes.
void OpenAndClose(const QString &file)
{
    TTevConnection connection(QStringLiteral("EmbeddedUse"));
    connection.setParams(FirebirdParams(file));
    connection.open();
    ASSERT_TRUE(connection.connected());
}

// Marks page 3 (always in use) free on the page inventory, as an unfinished write can leave it:
// the engine's validation reports it as an error and mends it.
void MarkAUsedPageFree(const QString &file)
{
    constexpr qint64 PageSize = 8192;
    constexpr qint64 InventoryBits = 28; // after the page header and three counters
    QFile db(file);
    ASSERT_TRUE(db.open(QIODevice::ReadWrite));
    ASSERT_TRUE(db.seek(PageSize + InventoryBits));
    char bits = 0;
    ASSERT_TRUE(db.getChar(&bits));
    ASSERT_TRUE(db.seek(PageSize + InventoryBits));
    ASSERT_TRUE(db.putChar(char(bits | 0x08)));
}

// A table with an index of many pages on one level, each page pointing to its neighbours.
void AddAnIndexOfManyPages(const QString &file)
{
    TTevConnection connection(QStringLiteral("EmbeddedUse"));
    connection.setParams(FirebirdParams(file));
    connection.open();
    QSqlQuery query(connection.database());
    for (const char *statement :
         {"create table KEYS (K varchar(150) not null primary key)",
          "execute block as declare i integer = 0; begin while (i < 3000) do begin "
          "insert into KEYS values (rpad(:i, 150, 'k')); i = i + 1; end end"})
        ASSERT_TRUE(query.exec(QString::fromLatin1(statement)))
            << query.lastError().text().toStdString();
}

// Points a page of the newest index back at the wrong page, as a page split that was cut off
// leaves it: validation reports the index page and mends nothing of it.
void BreakALeftSiblingPointer(const QString &file)
{
    constexpr qint64 PageSize = 8192;
    constexpr char IndexPage = 7;
    constexpr qint64 LeftSibling = 20; // after the page header and the right sibling
    QFile db(file);
    ASSERT_TRUE(db.open(QIODevice::ReadWrite));
    // The newest index has the last pages of the file.
    for (qint64 page = db.size() / PageSize - 1; page > 0; --page) {
        ASSERT_TRUE(db.seek(page * PageSize));
        const QByteArray header = db.read(LeftSibling + 4);
        const quint32 left = qFromLittleEndian<quint32>(header.constData() + LeftSibling);
        if (header.at(0) != IndexPage || left == 0)
            continue;
        const quint32 wrong = qToLittleEndian<quint32>(quint32(page));
        ASSERT_TRUE(db.seek(page * PageSize + LeftSibling));
        ASSERT_EQ(db.write(reinterpret_cast<const char *>(&wrong), 4), 4);
        return;
    }
    FAIL() << "no index page with a left neighbour";
}

// Ends a program of ours that has the file open the way a crash or kill -9 does.
void KillAProgramThatHasItOpen(const TempAppRoot &root)
{
    QProcess client;
    client.start(kDbClient, {root.path()});
    ASSERT_TRUE(client.waitForReadyRead(120000)) << client.readAllStandardError().toStdString();
    ASSERT_EQ(client.readLine().trimmed(), "ready");
    client.kill();
    ASSERT_TRUE(client.waitForFinished(120000));
}

} // namespace

TEST(EmbeddedUse, AFileLeftOpenByAKilledProgramIsValidatedAndMendedBeforeTheNextOpen)
{
    struct Case
    {
        const char *end;
        bool unclean;
    };
    for (const Case c : {Case{"killed", true}, Case{"closed", false}}) {
        SCOPED_TRACE(c.end);
        TempAppRoot root;
        const QString file = root.file(QStringLiteral("DB/Tevora.fdb"));
        OpenAndClose(file);
        const QString marker = EmbeddedUseMarker::markerFile(file);
        EXPECT_EQ(ReadBytes(marker), "") << "a clean close leaves the marker empty";
        if (c.unclean)
            KillAProgramThatHasItOpen(root);
        EXPECT_EQ(ReadBytes(marker), c.unclean ? "open\n" : "");
        MarkAUsedPageFree(file);
        ASSERT_EQ(ValidateFirebirdDatabase(file, "SYSDBA").errors, 1);

        OpenAndClose(file);
        const FirebirdValidation after = ValidateFirebirdDatabase(file, "SYSDBA");
        EXPECT_EQ(after.errors, c.unclean ? 0 : 1) << after.summary.join(' ').toStdString();
        EXPECT_EQ(ReadBytes(marker), "");
    }
}

TEST(EmbeddedUse, RepairReportsWhatItFoundAndLeavesAValidFile)
{
    struct Case
    {
        const char *flaw;
        void (*make)(const QString &);
        const char *reported;
        int errors;
        bool indexesRebuilt;
    };
    for (const Case c : {Case{"a used page marked free", MarkAUsedPageFree, "page", 1, false},
                         Case{"an index page with a wrong neighbour", BreakALeftSiblingPointer,
                              "index page", 0, true}}) {
        SCOPED_TRACE(c.flaw);
        TempAppRoot root;
        const QString file = root.file(QStringLiteral("DB/Tevora.fdb"));
        OpenAndClose(file);
        AddAnIndexOfManyPages(file);
        c.make(file);
        const FirebirdRepair repair = RepairFirebirdDatabase(file, "SYSDBA");
        const QString found = repair.found.summary.join(' ');
        EXPECT_EQ(repair.found.errors, c.errors) << found.toStdString();
        EXPECT_FALSE(repair.found.clean());
        EXPECT_TRUE(found.contains(QLatin1String(c.reported))) << found.toStdString();
        EXPECT_TRUE(repair.left.clean()) << repair.left.summary.join(' ').toStdString();
        EXPECT_GE(repair.passes, 2);
        EXPECT_EQ(repair.indexesRebuilt, c.indexesRebuilt);
        EXPECT_FALSE(repair.mended);
        const FirebirdValidation after = ValidateFirebirdDatabase(file, "SYSDBA");
        EXPECT_TRUE(after.clean()) << after.summary.join(' ').toStdString();
    }
}

// Only the first of several users of the file learns of an unclean end, and only the last one
// to close it empties the marker: the others still have it open.
TEST(EmbeddedUse, TheMarkerSaysOpenWhileAnyUserHasTheFile)
{
    TempFolder dir;
    const QString file = dir.file(QStringLiteral("Tevora.fdb"));
    const QString marker = EmbeddedUseMarker::markerFile(file);
    {
        QFile left(marker);
        ASSERT_TRUE(left.open(QIODevice::WriteOnly));
        left.write("open\n");
    }
    auto first = std::make_unique<EmbeddedUseMarker>(file);
    EXPECT_TRUE(first->uncleanEnd());
    first->markOpen();
    EXPECT_FALSE(first->uncleanEnd());
    auto second = std::make_unique<EmbeddedUseMarker>(file);
    EXPECT_FALSE(second->uncleanEnd());
    second->markOpen();
    first.reset();
    EXPECT_EQ(ReadBytes(marker), "open\n");
    second.reset();
    EXPECT_EQ(ReadBytes(marker), "");
    EXPECT_FALSE(EmbeddedUseMarker(file).uncleanEnd());
}
