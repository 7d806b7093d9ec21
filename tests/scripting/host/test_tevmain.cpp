// A user's "TevMain.pas" run by the host as the main window runs it, against a window with the
// main window's component names, the program's embedded database and a real SMTP server.
#include "scripting/host/tvyxscripter.h"
#include "testmainform.h"

#include "core/app/tevapp.h"
#include "core/db/tevdatamodule.h"
#include "core/project/tevproject.h"
#include "platform/script/scripterror.h"
#include "platform/text/tencoding.h"
#include "support/app/appenvironment.h"
#include "support/app/smtptestserver.h"

#include "platform/text/qstringprinter.h"
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSqlQuery>

#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

using namespace tev;
using tev::test::SmtpTestServer;

namespace {

// TStringList.SaveToFile writes the ANSI code page (Windows-1252) and CR LF line breaks.
QString ansiText(const QByteArray &bytes)
{
    return tev::TEncoding::Windows1252()->GetString(bytes).replace(QStringLiteral("\r\n"),
                                                                   QStringLiteral("\n"));
}

QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? ansiText(f.readAll()) : QStringLiteral("<none>");
}

void writeText(const QString &path, const QString &text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
}

void exec(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
}

class TevMainScript : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app = std::make_unique<TTevApp>(&form, env.exeName());
        ASSERT_TRUE(app->DatabaseConnected());
        scriptDir = app->ScriptDir();
        ASSERT_TRUE(QDir().mkpath(scriptDir));
        ::chmod(QFile::encodeName(scriptDir).constData(), 0755);
        trace = QDir(scriptDir).filePath(QStringLiteral("trace.txt"));
    }

    // What the main window's InitScripter does, in its order; an error ends the set-up and is
    // kept here instead of swallowed.
    void initScripter()
    {
        scripter = new TvyxScripter(&form);
        const QString file = QDir(scriptDir).filePath(QStringLiteral("TevMain.pas"));
        if (!QFile::exists(file))
            return;
        try {
            scripter->EventSetMode = script::EventMode::esAddEventOnBottom;
            scripter->OnCompileError = [this](const script::CompileError &e) {
                compileErrors << scripter->CompileErrorText(e);
            };
            scripter->OnEventError = [this](const script::ScriptError &e) {
                eventErrors << e.message();
            };
            scripter->AddSearchPath(scriptDir);
            scripter->DefineClassByRTTI(TestMainForm::staticMetaObject,
                                        QStringLiteral("TTevMainForm"));
            scripter->AddObject(QStringLiteral("Form"), &form);
            scripter->AddObject(QStringLiteral("App"), app.get());
            scripter->SetDebugging(app->ServiceMode());
            scripter->LoadScriptFile(file);
            callScript(QStringLiteral("OnInitScript"), {});
        } catch (const Error &e) {
            setupError = e.message();
        }
    }

    void callScript(const QString &name, const QVariantList &params)
    {
        if (scripter && scripter->ExistsScriptRoutine(name))
            scripter->ExecuteMethod(name, params);
    }

    void installScript()
    {
        const QString file = QDir(scriptDir).filePath(QStringLiteral("TevMain.pas"));
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(TEVORA_FIXTURES_DIR "/scripthost/TevMain.pas"), file));
        ::chmod(QFile::encodeName(file).constData(), 0644);
    }

    tev::test::AppEnvironment env;
    TestMainForm form;
    std::unique_ptr<TTevApp> app;
    QString scriptDir;
    QString trace;
    TvyxScripter *scripter = nullptr;
    QStringList compileErrors, eventErrors;
    QString setupError;
};

TEST_F(TevMainScript, ShowsAToolsItemWhoseHandlerReportsTheOpenProjectByMail)
{
    installScript();
    // The window's own handler of the item, connected before the script's.
    QObject::connect(form.item(QStringLiteral("MIScript1")), &QAction::triggered, &form, [this] {
        QFile f(trace);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("host handler\n");
    });
    // The project, the database rows the handler reads and the mail server it reports to.
    const QString seq = env.file(QStringLiteral("work.seq"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TEVORA_FIXTURES_DIR "/sequence/work.seq"), seq));
    app->Project().ReadSequenceFile(seq);
    const QSqlDatabase db = app->Data().Database()->database();
    exec(db, QStringLiteral("create table GAUGES (ID integer not null primary key, "
                            "NAME varchar(40))"));
    exec(db, QStringLiteral("insert into GAUGES values (1, 'Lehrring')"));
    exec(db, QStringLiteral("insert into GAUGES values (2, 'Bohrung Ø 12')"));
    exec(db, QStringLiteral("insert into GAUGES values (3, 'Nut')"));
    tev::test::TempFolder mailFolder;
    const auto certificate = tev::test::TestCertificate::make(mailFolder.path());
    tev::test::EnvironmentGuard ca("TEVORA_MAIL_CA_BUNDLE",
                                   QFile::encodeName(certificate.certFile));
    SmtpTestServer server(mailFolder.file(QStringLiteral("server")),
                          {SmtpTestServer::Mode::ImplicitTls, certificate, {}, {}, {}});
    ASSERT_TRUE(server.isRunning());
    writeText(QDir(scriptDir).filePath(QStringLiteral("Mail.ini")),
              QStringLiteral("[Mail]\nHost=localhost\nPort=%1\nTo=quality@tevora.test\n")
                  .arg(server.port()));

    initScripter();
    ASSERT_EQ(setupError, QString());
    EXPECT_TRUE(form.item(QStringLiteral("MITools"))->isVisible());
    EXPECT_FALSE(form.item(QStringLiteral("MIScript1"))->isVisible());
    callScript(QStringLiteral("FormCreate"), {ObjectToVariant(&form)});
    QAction *item = form.item(QStringLiteral("MIScript1"));
    EXPECT_TRUE(item->isVisible());
    EXPECT_EQ(item->text(), QStringLiteral("Send Report"));

    item->trigger();
    EXPECT_EQ(eventErrors, QStringList());
    callScript(QStringLiteral("FormDestroy"), {ObjectToVariant(&form)});
    EXPECT_EQ(readText(trace), QStringLiteral("created TevMainForm\nhost handler\n"
                                              "project=Work 1\ngauge=Bohrung Ø 12\ngauge=Nut\n"
                                              "mail sent\ndestroyed\n"));
    const QList<QJsonObject> messages = server.messages();
    ASSERT_EQ(messages.size(), 1);
    const QJsonObject &m = messages.first();
    EXPECT_TRUE(m["tls"].toBool());
    EXPECT_EQ(m["subject"].toString(), QStringLiteral("Report of Work 1"));
    EXPECT_EQ(m["rcpt_tos"].toVariant().toStringList(),
              QStringList{QStringLiteral("quality@tevora.test")});
    const QJsonArray attachments = m["attachments"].toArray();
    ASSERT_EQ(attachments.size(), 1);
    EXPECT_EQ(attachments[0]["filename"].toString(), QStringLiteral("trace.txt"));
    EXPECT_EQ(ansiText(QByteArray::fromBase64(attachments[0]["data"].toString().toLatin1())),
              QStringLiteral("created TevMainForm\nhost handler\nproject=Work 1\n"
                             "gauge=Bohrung Ø 12\ngauge=Nut\n"));
}

TEST_F(TevMainScript, WithoutTevMainPasTheWindowRunsWithoutScript)
{
    initScripter();
    ASSERT_NE(scripter, nullptr);
    EXPECT_EQ(setupError, QString());
    EXPECT_FALSE(scripter->ExistsScriptRoutine(QStringLiteral("FormCreate")));
    EXPECT_EQ(scripter->lookup(QStringLiteral("Form")).kind, script::HostSymbol::Kind::None);
}

TEST_F(TevMainScript, ABrokenScriptIsReportedOnceWithFileLineAndColumn)
{
    writeText(QDir(scriptDir).filePath(QStringLiteral("TevMain.pas")),
              QStringLiteral("procedure FormCreate(Sender: TObject);\nbegin\n"
                             "  Form.MIScript1.Visible := ;\nend;\n"));
    ::chmod(QFile::encodeName(QDir(scriptDir).filePath(QStringLiteral("TevMain.pas"))).constData(),
            0644);
    initScripter();
    EXPECT_NE(setupError, QString()); // raised once, inside the guarded set-up
    callScript(QStringLiteral("FormCreate"), {ObjectToVariant(&form)});
    callScript(QStringLiteral("FormDestroy"), {ObjectToVariant(&form)});
    EXPECT_EQ(compileErrors,
              QStringList{QDir(scriptDir).filePath(QStringLiteral("TevMain.pas")) +
                          QStringLiteral("(3,29): Expression expected but ';' found")});
    EXPECT_FALSE(form.item(QStringLiteral("MIScript1"))->isVisible());
}

TEST_F(TevMainScript, AScriptOthersCanChangeIsNotRun)
{
    installScript();
    ::chmod(QFile::encodeName(scriptDir).constData(), 0777);
    initScripter();
    EXPECT_NE(setupError.indexOf(QStringLiteral("can be changed by other users")), -1)
        << setupError.toStdString();
    callScript(QStringLiteral("FormCreate"), {ObjectToVariant(&form)});
    EXPECT_FALSE(form.item(QStringLiteral("MITools"))->isVisible());
    EXPECT_FALSE(QFile::exists(trace));
}

TEST_F(TevMainScript, ComponentsOfAWindowOfItsOwnAreNotTheWindows)
{
    writeText(
        QDir(scriptDir).filePath(QStringLiteral("TevMain.pas")),
        QStringLiteral("procedure OnInitScript;\nbegin\n"
                       "  WriteLn(Form.TevPreviewDlg.Name, ' ', FindComponent('PnlTools') = nil);\n"
                       "  WriteLn(Form.PnlTools.Name);\nend;\n"));
    ::chmod(QFile::encodeName(QDir(scriptDir).filePath(QStringLiteral("TevMain.pas"))).constData(),
            0644);
    QString output;
    initScripter();
    EXPECT_NE(setupError.indexOf(QStringLiteral("PnlTools")), -1) << setupError.toStdString();
    scripter->OnOutput = [&](const QString &t) { output += t; };
    scripter->SetSourceText(QStringLiteral("begin\n  WriteLn(Form.TevPreviewDlg.Name, ' ', "
                                           "FindComponent('PnlTools') = nil);\nend.\n"));
    scripter->Execute();
    EXPECT_EQ(output, QStringLiteral("TevPreviewDlg TRUE\n"));
}

} // namespace
