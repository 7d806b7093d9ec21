// tevora_dbconfig writes the [Database] section of a connection file; the program's own
// connection reads what it wrote: a real file, the real command, a real Firebird server.

#include "core/db/passwordscrambler.h"
#include "core/db/tevdatamodule.h"
#include "platform/ini/tinifile.h"
#include "support/app/firebirdserver.h"
#include "support/app/firebirdtestenv.h"
#include "support/tempfolder.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace tev::test {
namespace {

struct CommandRun
{
    int exitCode = -1;
    QString output;
    QString errors;
};

// Runs the command with these arguments and the password as its standard input.
CommandRun DbConfig(const QStringList &arguments, const QString &password)
{
    QProcess process;
    process.start(QStringLiteral(TEVORA_BINARY_DIR "/bin/tevora_dbconfig"), arguments);
    EXPECT_TRUE(process.waitForStarted(30000)) << process.errorString().toStdString();
    process.write(password.toUtf8() + '\n');
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(30000));
    return CommandRun{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                      QString::fromUtf8(process.readAllStandardOutput()),
                      QString::fromUtf8(process.readAllStandardError())};
}

QString ReadText(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(DbConfig, TheProgramConnectsToTheServerThroughTheSectionItWrote)
{
    FirebirdServer &server = FirebirdServer::shared();
    TempAppRoot root;
    const QString config = root.file("Config/Config.ini");
    const QString database = root.file("Shared.fdb");
    const CommandRun run = DbConfig(
        {"--config", config, "--server", server.host(), "--database", database, "--user", "SYSDBA"},
        FirebirdServer::password());
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.output.startsWith("Wrote [Database] to " + config)) << run.output.toStdString();
    EXPECT_FALSE(run.output.contains(FirebirdServer::password()));

    // A new file: the keys a first start writes, in their order, the password scrambled.
    EXPECT_EQ(ReadText(config),
              QString("[Database]\nDriverId=FB\nServer=%1\nDatabase=%2\nUser_Name=SYSDBA\n"
                      "Password=%3\nOpenMode=OpenOrCreate\nCharacterSet=UTF8\n")
                  .arg(server.host(), database,
                       QString::fromLatin1(EncryptString(FirebirdServer::password().toLatin1(),
                                                         ConnectionPasswordKey))));

    TTevDataModule data(root.path());
    EXPECT_TRUE(data.Connected()) << data.Database()->openFailure().toStdString();
    EXPECT_EQ(data.Database()->param("Server"), server.host());
    EXPECT_EQ(data.Database()->param("Database"), database);
    EXPECT_EQ(data.Database()->param("Password"), FirebirdServer::password());
}

TEST(DbConfig, AnExistingFileKeepsEverythingButTheFiveKeys)
{
    TempAppRoot root;
    const QString config = root.file("Config/Config.ini");
    {
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("; the team's file\n[Other]\nKey=kept\n[Database]\nDriverId=FB\nServer=old\n"
                   "Database=/old.fdb\nUser_Name=OLD\nPassword=xyz\nOpenMode=Open\n"
                   "CharacterSet=UTF8\nODBCDriver=Another\n");
    }
    const CommandRun run = DbConfig({"--config", config, "--server", "db.example/3051",
                                     "--database", "/srv/db/team.fdb", "--user", "TEAM"},
                                    "s3cret");
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(ReadText(config),
              QString("; the team's file\n[Other]\nKey=kept\n[Database]\nDriverId=FB\n"
                      "Server=db.example/3051\nDatabase=/srv/db/team.fdb\nUser_Name=TEAM\n"
                      "Password=%1\nOpenMode=Open\nCharacterSet=UTF8\nODBCDriver=Another\n")
                  .arg(QString::fromLatin1(EncryptString("s3cret", ConnectionPasswordKey))));
}

// Passwords come back exactly as given, through the program's reading of the file.
TEST(DbConfig, PasswordsComeBackAsGiven)
{
    for (const QString &password :
         {QString("plain"), QString("with spaces = and ; signs"), QString("Grüße-€"), QString()}) {
        SCOPED_TRACE(password.toStdString());
        TempAppRoot root;
        // The embedded database of the root: nothing here needs a server.
        const CommandRun run = DbConfig(
            {"--config", root.file("Config/Config.ini"), "--database", root.file("DB/Tevora.fdb")},
            password);
        ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
        TTevDataModule data(root.path());
        EXPECT_EQ(data.Database()->param("Password"), password);
        EXPECT_EQ(data.Database()->param("User_Name"), "SYSDBA");
        EXPECT_EQ(data.Database()->param("Server"), "");
    }
}

TEST(DbConfig, WithoutADatabaseOrAWritableFileItWritesNothingAndSaysWhy)
{
    TempAppRoot root;
    const QString config = root.file("Config/Config.ini");
    const CommandRun usage = DbConfig({"--config", config, "--server", "h"}, "pw");
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(usage.errors.contains("--database")) << usage.errors.toStdString();
    EXPECT_FALSE(QFile::exists(config));

    const CommandRun unwritable =
        DbConfig({"--config", root.file("Missing/Config.ini"), "--database", "/x.fdb"}, "pw");
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.errors.startsWith("tevora_dbconfig: "))
        << unwritable.errors.toStdString();
    EXPECT_FALSE(QFile::exists(root.file("Missing/Config.ini")));
}

} // namespace
} // namespace tev::test
