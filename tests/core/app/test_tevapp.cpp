#include "core/app/tevapp.h"
#include "core/db/tevdatamodule.h"
#include "core/lang/languages.h"
#include "core/lib/qstringprinter.h"
#include "core/project/tevproject.h"
#include "platform/error.h"
#include "support/app/appenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>
#include <memory>

using namespace tev;
using namespace tev::test;

namespace {

// The values of the first column of a query, one text per row (NULL as "<null>").
QStringList column(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    EXPECT_TRUE(query.exec(sql)) << sql.toStdString();
    QStringList values;
    while (query.next())
        values << (query.isNull(0) ? QStringLiteral("<null>") : query.value(0).toString());
    return values;
}

void exec(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    EXPECT_TRUE(query.exec(sql)) << sql.toStdString();
}

class AppObject : public ::testing::Test
{
protected:
    std::unique_ptr<TTevApp> start() const
    {
        return std::make_unique<TTevApp>(nullptr, m_env.exeName());
    }

    static QSqlDatabase db(const TTevApp &app) { return app.Data().Database()->database(); }

    // The stored system settings, read through a module of their own after the run ended.
    QStringList storedSettings() const
    {
        TTevDataModule data(m_env.rootDir());
        EXPECT_TRUE(data.Connected());
        return column(data.Database()->database(),
                      "select NAME || '=' || coalesce(STRVALUE, '') from CONFIGURATION "
                      "where SECTION = 'System' order by NAME");
    }

    QString passwordInConnectionFile() const
    {
        QFile config(m_env.file("Config/Config.ini"));
        EXPECT_TRUE(config.open(QIODevice::ReadOnly));
        for (const QByteArray &line : config.readAll().split('\n'))
            if (line.startsWith("Password="))
                return QString::fromUtf8(line);
        return {};
    }

    static QStringList sorted(QStringList lines)
    {
        lines.sort();
        return lines;
    }

    AppEnvironment m_env;
};

} // namespace

TEST_F(AppObject, FoldersFollowTheExecutableAndTheCommonFolders)
{
    auto app = start();
    const QString dataDir = m_env.commonAppData() + "/Vyx/Tevora/";
    EXPECT_EQ(app->AppRootDir(), m_env.rootDir());
    EXPECT_EQ(app->ScriptDir(), dataDir + "script");
    EXPECT_EQ(app->VendorFileName(), dataDir + "Config/Vendors");
    EXPECT_FALSE(app->ServiceMode());
    EXPECT_FALSE(QFileInfo::exists(m_env.commonAppData())) << "only reading it creates it";
    EXPECT_EQ(app->ProgramDataDir(), dataDir);
    EXPECT_TRUE(QFileInfo(dataDir).isDir());
    EXPECT_EQ(app->ProgramDataDir(), dataDir) << "an existing folder";
    EXPECT_FALSE(QFileInfo::exists(app->ScriptDir()));
}

TEST_F(AppObject, AProgramDataDirThatCannotBeCreatedIsReported)
{
    // A file where the common folder should be: no folder can be made below it.
    QFile blocker(m_env.commonAppData());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto app = start();
    QObject receiver;
    QList<std::pair<TTevErrorCode, QString>> errors;
    QObject::connect(app.get(), &TTevApp::OnError, &receiver,
                     [&](TTevApp *sender, TTevErrorCode code, const QString &info) {
                         EXPECT_EQ(sender, app.get());
                         errors.append({code, info});
                     });
    EXPECT_EQ(app->ProgramDataDir(), "");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0].first, TTevErrorCode::ecProgramDataDirNotFound);
    EXPECT_EQ(errors[0].second, m_env.commonAppData() + "/Vyx/Tevora/");
    EXPECT_EQ(app->ScriptDir(), m_env.commonAppData() + "/Vyx/Tevora/script")
        << "the names stay the same";
}

TEST_F(AppObject, FirstStartKeepsTheDefaultsAndShutdownStoresThem)
{
    auto app = start();
    ASSERT_TRUE(app->DatabaseConnected());
    EXPECT_EQ(column(db(*app), "select count(*) from CONFIGURATION"), QStringList({"0"}));
    const TTevSettings defaults;
    EXPECT_EQ(app->Settings().ToStringList(), defaults.ToStringList());
    EXPECT_EQ(app->SEQDir(), m_env.commonDocuments() + "/Kelmetra/SEQ");
    EXPECT_EQ(app->Project().RootDir(), app->SEQDir());
    EXPECT_EQ(app->Project().Defaults().Units, 0) << "the setting's default, not the project's";
    EXPECT_EQ(app->Project().FileEncoding()->CodePage(), 1252);
    const QString language = QString::number(CurrentLanguage());
    EXPECT_FALSE(app->Settings().UseSysLanguage()) << "no per-user file: the current language";
    const QString passwordLine = passwordInConnectionFile();
    app->Data().Database()->setParam("Password", "changed during the run");
    app.reset();

    // The database module was freed too: it wrote its connection file.
    EXPECT_NE(passwordInConnectionFile(), passwordLine);
    EXPECT_EQ(storedSettings(), sorted(defaults.ToStringList()));
    EXPECT_TRUE(m_env.readPerUserSettings().contains("Language=" + language))
        << m_env.readPerUserSettings().toStdString();
}

TEST_F(AppObject, SettingsWrittenAtShutdownAreReadAtTheNextStart)
{
    const QString seqDir = m_env.file("seq");
    {
        auto app = start();
        TTevSettings &s = app->Settings();
        s.SetUnits(2);
        s.SetFormatFile("std.fmt");
        s.SetFormatPerProject(true);
        s.SetPickListFile("pick.txt");
        s.SetPickListPerProject(false);
        s.SetFileEncoding("65001");
        s.SetSEQDir(seqDir);
        s.SetDBType(TTevDBType::dbtClientServer);
        s.SetValue("Custom", "kept");
    }
    auto app = start();
    const TTevSettings &s = app->Settings();
    EXPECT_EQ(s.Units(), 2);
    EXPECT_EQ(s.FormatFile(), "std.fmt");
    EXPECT_TRUE(s.FormatPerProject());
    EXPECT_EQ(s.Values("PickListPerProject"), "NO");
    EXPECT_EQ(s.DBType(), TTevDBType::dbtClientServer);
    EXPECT_EQ(s.Values("Custom"), "kept") << "keys of other versions survive";
    EXPECT_EQ(app->SEQDir(), seqDir);

    const TTevProject &project = app->Project();
    EXPECT_EQ(project.RootDir(), seqDir);
    EXPECT_EQ(project.Defaults().FormatFile, "std.fmt");
    EXPECT_TRUE(project.Defaults().FormatPerProject);
    EXPECT_EQ(project.Defaults().PickListFile, "pick.txt");
    EXPECT_FALSE(project.Defaults().PickListPerProject);
    EXPECT_EQ(project.Defaults().Units, 2);
    EXPECT_EQ(project.FileEncoding()->CodePage(), 65001);
}

TEST_F(AppObject, StoredRowsMergeIntoTheDefaults)
{
    auto app = start();
    exec(db(*app), "insert into CONFIGURATION (SECTION, NAME, STRVALUE) "
                   "values ('System', 'Decimals', 'x')");
    exec(db(*app), "insert into CONFIGURATION (SECTION, NAME, STRVALUE) "
                   "values ('System', 'FormatFile', null)");
    exec(db(*app), "insert into CONFIGURATION (SECTION, NAME, STRVALUE) "
                   "values ('System', 'Units', '3')");
    exec(db(*app), "insert into CONFIGURATION (SECTION, NAME, STRVALUE) "
                   "values ('Other', 'Units', '9')");
    app->ReadSettings();
    const TTevSettings &s = app->Settings();
    EXPECT_EQ(s.Decimals(), 2) << "not integer text";
    EXPECT_EQ(s.IndexOfName("FormatFile"), -1) << "an empty stored value removes the default";
    EXPECT_EQ(s.Units(), 3);
    EXPECT_EQ(app->Project().Defaults().Units, 3);
    EXPECT_EQ(s.DBUserName(), "SYSDBA") << "a key without a row keeps its default";
}

TEST_F(AppObject, ApplySettingsHandsAllButDecimalsToTheProject)
{
    auto app = start();
    TTevDefaults &defaults = app->Project().Defaults();
    defaults.Decimals = 7;
    app->Settings().SetDecimals(4);
    app->Settings().SetPickListFile("list.txt");
    app->Settings().SetPickListPerProject(true);
    app->Settings().SetSEQDir(m_env.file("other"));
    app->ApplySettings();
    EXPECT_EQ(defaults.Decimals, 7);
    EXPECT_EQ(defaults.PickListFile, "list.txt");
    EXPECT_TRUE(defaults.PickListPerProject);
    EXPECT_EQ(app->Project().RootDir(), m_env.file("other"));

    struct Case
    {
        const char *encoding;
        int codePage;
    };
    const Case cases[] = {{"1252", 1252},   {"850", 850}, {"65001", 65001},
                          {"utf-8", 65001}, {"", 65001},  {"no such encoding", 65001}};
    for (const Case &c : cases) {
        app->Settings().SetFileEncoding(c.encoding);
        app->ApplySettings();
        EXPECT_EQ(app->Project().FileEncoding()->CodePage(), c.codePage) << c.encoding;
    }
}

TEST_F(AppObject, SEQDirSetsTheSettingAndTheProjectRoot)
{
    auto app = start();
    app->SetSEQDir("/data/Seq");
    EXPECT_EQ(app->Settings().SEQDir(), "/data/Seq");
    EXPECT_EQ(app->Project().RootDir(), "/data/Seq");
}

TEST_F(AppObject, ChangeSEQDirectoryRewritesStoredNamesOnlyForNestedFolders)
{
    struct Case
    {
        const char *name;
        QString newDir;
        QStringList fileNames;
    };
    const Case cases[] = {
        {"the same folder", "/data/Seq", {"B.seq", "Work/A.seq"}},
        {"a sub-folder", "/data/Seq/Work", {"A.seq", "B.seq"}},
        {"the parent folder", "/data", {"Seq/B.seq", "Seq/Work/A.seq"}},
        {"an unrelated folder", "/elsewhere", {"B.seq", "Work/A.seq"}},
        {"a folder that shares a prefix", "/data/Seq2", {"B.seq", "Work/A.seq"}},
    };
    auto app = start();
    for (const Case &c : cases) {
        exec(db(*app), "delete from PROJECTS");
        ASSERT_GT(app->Data().CreateProject("Work/A.seq", "A", 1, ""), 0);
        ASSERT_GT(app->Data().CreateProject("B.seq", "B", 1, ""), 0);
        app->SetSEQDir("/data/Seq");
        app->ChangeSEQDirectory(c.newDir);
        EXPECT_EQ(column(db(*app), "select FILENAME from PROJECTS order by FILENAME"), c.fileNames)
            << c.name;
        EXPECT_EQ(app->SEQDir(), c.newDir) << c.name;
        EXPECT_EQ(app->Project().RootDir(), c.newDir) << c.name;
    }
}

TEST_F(AppObject, WithoutADatabaseTheDefaultsHold)
{
    m_env.breakConnection();
    auto app = start();
    EXPECT_FALSE(app->DatabaseConnected());
    EXPECT_EQ(app->Settings().ToStringList(), TTevSettings().ToStringList());
    EXPECT_EQ(app->Project().RootDir(), app->SEQDir());
    app->Settings().SetUnits(5);
    EXPECT_NO_THROW(app->WriteSettings());
    app->ReadSettings();
    EXPECT_EQ(app->Settings().Units(), 5) << "nothing stored, nothing read";

    // Stored names cannot be rewritten, so the folder does not move.
    app->SetSEQDir("/data/Seq");
    EXPECT_THROW(app->ChangeSEQDirectory("/data/Seq/Work"), Error);
    EXPECT_EQ(app->SEQDir(), "/data/Seq");
    app->ChangeSEQDirectory("/elsewhere");
    EXPECT_EQ(app->SEQDir(), "/elsewhere");

    SetCurrentLanguage(kLangItalian);
    app.reset();
    EXPECT_TRUE(m_env.readPerUserSettings().contains("Language=16"));
}

// A run that starts without the database and connects later (the settings dialog reconnects)
// must not store its defaults over the user's settings; what the run itself changed stays.
TEST_F(AppObject, ARunThatConnectsLateKeepsTheStoredSettings)
{
    const QString seqDir = m_env.file("seq");
    QString database;
    {
        auto app = start();
        database = app->Data().Database()->param("Database");
        TTevSettings &s = app->Settings();
        s.SetUnits(5);
        s.SetFormatFile("std.fmt");
        s.SetSEQDir(seqDir);
        s.SetDecimals(3);
    }
    m_env.breakConnection();
    auto app = start();
    ASSERT_FALSE(app->DatabaseConnected());
    EXPECT_EQ(app->Settings().Units(), 0);
    app->Settings().SetDecimals(4); // the user's choice in this run
    app->Settings().SetPickListFile("pick.txt");

    app->Data().Database()->setParam("Database", database);
    ASSERT_TRUE(app->Data().Reconnect());
    const TTevSettings &s = app->Settings();
    EXPECT_EQ(s.Units(), 5) << "read when the connection came up";
    EXPECT_EQ(s.FormatFile(), "std.fmt");
    EXPECT_EQ(app->SEQDir(), seqDir);
    EXPECT_EQ(s.Decimals(), 4) << "the run's own choice stays";
    EXPECT_EQ(s.PickListFile(), "pick.txt");
    EXPECT_EQ(app->Project().Defaults().Units, 5) << "and applied";
    EXPECT_EQ(app->Project().Defaults().PickListFile, "pick.txt");
    EXPECT_EQ(app->Project().RootDir(), seqDir);
    app.reset();

    const QStringList stored = storedSettings();
    for (const QString &line : QStringList{"Units=5", "FormatFile=std.fmt", "SEQDir=" + seqDir,
                                           "Decimals=4", "PickListFile=pick.txt"})
        EXPECT_TRUE(stored.contains(line)) << line.toStdString();
}

// A database that comes up without its tables (they are made after the reconnect) cannot be read
// at once; the shutdown reads it then and stores the run's settings.
TEST_F(AppObject, ADatabaseConnectedBeforeItsTablesExistGetsTheRunsSettings)
{
    m_env.breakConnection();
    auto app = start();
    ASSERT_FALSE(app->DatabaseConnected());
    app->Settings().SetUnits(3);
    app->Data().Database()->setParam("Database", m_env.file("DB/new.fdb"));
    app->Data().Database()->setParam("OpenMode", "OpenOrCreate");
    ASSERT_TRUE(app->Data().Reconnect());
    EXPECT_EQ(app->Settings().Units(), 3);
    app->Data().UpgradeDatabase(TProductVersion{1, 0, 0, 0});
    app.reset();
    EXPECT_TRUE(storedSettings().contains("Units=3"));
}

TEST_F(AppObject, LanguageComesFromThePerUserSettingsFile)
{
    m_env.breakConnection(); // the language does not depend on the database
    struct Case
    {
        const char *name;
        QStringList lines; // empty: no file
        quint8 language;
        bool useSysLanguage;
    };
    const quint8 system = GetSystemLanguage();
    const Case cases[] = {
        {"the system's language", {"Language=-1"}, system, true},
        {"a fixed language", {"Language=16"}, kLangItalian, false},
        {"the low 8 bits", {"Language=263"}, kLangGerman, false},
        {"not integer text", {"Language=de"}, kLangPortuguese, false},
        {"no key", {"Other=1"}, kLangPortuguese, false},
        {"no file", {}, kLangPortuguese, false},
        // Ids the program has no texts for would leave every text empty.
        {"language 0", {"Language=0"}, system, true},
        {"language 44", {"Language=44"}, system, true},
        {"language 256", {"Language=256"}, system, true},
    };
    for (const Case &c : cases) {
        QFile::remove(TTevApp::PerUserSettingsFileName());
        if (!c.lines.isEmpty())
            m_env.writePerUserSettings(c.lines);
        SetCurrentLanguage(kLangPortuguese);
        auto app = start();
        EXPECT_EQ(CurrentLanguage(), c.language) << c.name;
        EXPECT_EQ(app->Settings().UseSysLanguage(), c.useSysLanguage) << c.name;
        app.reset();
        // The id in use is stored, never -1.
        EXPECT_TRUE(m_env.readPerUserSettings().contains("Language=" + QString::number(c.language)))
            << c.name << ": " << m_env.readPerUserSettings().toStdString();
    }
}

TEST_F(AppObject, AFailedDatabaseWriteStillStoresTheLanguage)
{
    auto app = start();
    app->WriteSettings();
    const QStringList before =
        column(db(*app), "select NAME from CONFIGURATION where SECTION = 'System' order by NAME");
    app->Settings().SetValue("Long", QString(101, 'x'));
    SetCurrentLanguage(kLangGerman);
    EXPECT_THROW(app->WriteSettings(), Error);
    EXPECT_TRUE(m_env.readPerUserSettings().contains("Language=7"));
    EXPECT_EQ(
        column(db(*app), "select NAME from CONFIGURATION where SECTION = 'System' order by NAME"),
        before);
    SetCurrentLanguage(kLangItalian);
    app.reset(); // logs the error, and still stores the language
    EXPECT_TRUE(m_env.readPerUserSettings().contains("Language=16"));
}

TEST_F(AppObject, AnUnwritablePerUserFolderFailsTheWriteOnly)
{
    auto app = start();
    // A file where the per-user folder "Vyx" should be.
    const QString vyx = QFileInfo(QFileInfo(TTevApp::PerUserSettingsFileName()).path()).path();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(vyx).path()));
    QFile blocker(vyx);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    app->Settings().SetUnits(4);
    EXPECT_THROW(app->WriteSettings(), Error);
    app.reset();
    EXPECT_TRUE(storedSettings().contains("Units=4")) << "the system settings were written";
}

TEST_F(AppObject, TheExecutablesVersionIsNeeded)
{
    {
        QFile exe(m_env.exeName());
        ASSERT_TRUE(exe.open(QIODevice::WriteOnly));
        exe.write("no version here");
    }
    EXPECT_THROW(TTevApp(nullptr, m_env.exeName()), Error);
    // A name that is no file has version 0.0.0.0 and starts.
    EXPECT_NO_THROW(TTevApp(nullptr, m_env.file("bin/missing")));
}
