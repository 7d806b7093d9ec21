#include "mainwindowfixture.h"

#include "platform/crash/crashexception.h"
#include "platform/crash/exceptionhandlers.h"
#include "scripting/host/tvyxscripter.h"
#include "ui/printers.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>

namespace tev::test {
namespace {

// The trace the test scripts write next to themselves.
const char *const kTraceHelpers = R"(
uses
  Classes, SysUtils, VYXLib;

function ScriptFile(const Name: string): string;
begin
  Result := AddBackSlash(App.ScriptDir) + Name;
end;

procedure Trace(const Line: string);
var
  Lines: TStringList;
begin
  Lines := TStringList.Create;
  try
    if FileExists(ScriptFile('trace.txt')) then
      Lines.LoadFromFile(ScriptFile('trace.txt'));
    Lines.Add(Line);
    Lines.SaveToFile(ScriptFile('trace.txt'));
  finally
    Lines.Free;
  end;
end;
)";

class Scripts : public MainWindowTest
{
protected:
    Scripts()
    {
        TTevApp app(nullptr, m_env.exeName());
        m_scriptDir = app.ScriptDir();
    }
    ~Scripts() override { clearExceptionHandlers(); }

    void writeScript(const QString &body)
    {
        QDir().mkpath(m_scriptDir);
        QFile file(QDir(m_scriptDir).filePath(QStringLiteral("TevMain.pas")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write((QString::fromLatin1(kTraceHelpers) + body).toUtf8());
    }

    QStringList trace() const
    {
        QFile file(QDir(m_scriptDir).filePath(QStringLiteral("trace.txt")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll())
            .split(QRegularExpression("\r?\n"), Qt::SkipEmptyParts);
    }

    // Collects the errors that reach the program's error handling.
    void catchErrors()
    {
        RegisterExceptionHandler([this](CrashException &e, bool &handled) {
            m_errors << e.ExceptMessage();
            handled = true;
        });
    }

    QString m_scriptDir;
    QStringList m_errors;
};

TEST_F(Scripts, TheHooksRunAndTheScriptReachesFormAndApp)
{
    writeScript(R"(
procedure RunScript1(Sender: TObject);
begin
  Trace('clicked ' + Form.LDatabaseStatus.Caption);
end;

procedure OnInitScript;
begin
  Form.MITools.Visible := True;
  Trace('init');
end;

procedure FormCreate(Sender: TObject);
begin
  Form.MIScript1.Caption := 'Run';
  Form.MIScript1.Visible := True;
  Form.MIScript1.OnClick := 'RunScript1';
  Trace('created ' + TComponent(Sender).Name);
end;

procedure FormDestroy(Sender: TObject);
begin
  Trace('destroyed');
end;
)");
    DialogAnswers dialogs;
    TTevMainForm &w = start();
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(trace(), QStringList({"init", "created TevMainForm"}));
    EXPECT_TRUE(child<QAction>("MITools")->isVisible());
    auto *item = child<QAction>("MIScript1");
    EXPECT_TRUE(item->isVisible());
    EXPECT_EQ(item->text(), QStringLiteral("Run"));
    item->trigger();
    EXPECT_EQ(trace().value(2),
              QStringLiteral("clicked ") + w.findChild<QLabel *>("LDatabaseStatus")->text());
    stop();
    EXPECT_EQ(trace().value(3), QStringLiteral("destroyed"));
}

TEST_F(Scripts, WithoutAScriptTheHostExistsAndNothingRuns)
{
    DialogAnswers dialogs;
    TTevMainForm &w = start();
    ASSERT_NE(w.Scripter(), nullptr);
    EXPECT_TRUE(w.Scripter()->SourceCode().isEmpty());
    EXPECT_FALSE(child<QAction>("MITools")->isVisible());
    EXPECT_TRUE(dialogs.texts().isEmpty());
}

TEST_F(Scripts, ABrokenScriptIsReportedOnceAndNoHookRuns)
{
    writeScript(R"(
procedure FormCreate(Sender: TObject);
begin
  Trace('created')
  this is not Pascal;
end;
)");
    catchErrors();
    DialogAnswers dialogs({mrOk, mrOk});
    start();
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_TRUE(dialogs.texts()[0].contains(QStringLiteral("TevMain.pas(")))
        << dialogs.texts()[0].toStdString();
    stop();
    EXPECT_EQ(dialogs.texts().size(), 1);
    EXPECT_TRUE(trace().isEmpty());
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('|').toStdString();
}

TEST_F(Scripts, ErrorsOfTheHooksAreReportedAndTheLayoutIsStillSaved)
{
    writeScript(R"(
procedure FormCreate(Sender: TObject);
begin
  raise Exception.Create('create failed');
end;

procedure FormDestroy(Sender: TObject);
begin
  raise Exception.Create('destroy failed');
end;
)");
    catchErrors();
    DialogAnswers dialogs;
    start();
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors[0].contains(QStringLiteral("create failed")));
    stop();
    ASSERT_EQ(m_errors.size(), 2);
    EXPECT_TRUE(m_errors[1].contains(QStringLiteral("destroy failed")));
    EXPECT_TRUE(registry().contains(QStringLiteral("Software/Vyx/Tevora/Window/PnlTreeWidth")));
}

TEST_F(Scripts, AnErrorInOnInitScriptEndsTheSetUpQuietly)
{
    writeScript(R"(
procedure OnInitScript;
begin
  Trace('init');
  raise Exception.Create('init failed');
end;

procedure FormCreate(Sender: TObject);
begin
  Trace('created');
end;
)");
    catchErrors();
    DialogAnswers dialogs;
    start();
    EXPECT_TRUE(m_errors.isEmpty());
    EXPECT_TRUE(dialogs.texts().isEmpty());
    // The script stays loaded: the window's own hooks still run.
    EXPECT_EQ(trace(), QStringList({"init", "created"}));
}

// A script that shows a Tools item reaches it: the Tools menu shows while any of its items does,
// without the script showing the menu itself.
TEST_F(Scripts, TheToolsMenuShowsWhileAnyOfItsItemsDoes)
{
    writeScript(R"(
procedure HideMe(Sender: TObject);
begin
  Form.MIScript2.Visible := False;
  Trace('hidden');
end;

procedure ShowService(Sender: TObject);
begin
  Form.MIService.Visible := True;
end;

procedure FormCreate(Sender: TObject);
begin
  Form.MIScript2.Caption := 'Export';
  Form.MIScript2.Visible := True;
  Form.MIScript2.OnClick := 'HideMe';
end;
)");
    DialogAnswers dialogs;
    TTevMainForm &w = start();
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join('|').toStdString();
    auto *tools = child<QAction>("MITools");
    auto *item = child<QAction>("MIScript2");
    EXPECT_TRUE(item->isVisible());
    EXPECT_TRUE(tools->isVisible());
    EXPECT_TRUE(w.menuBar()->actions().contains(tools));
    EXPECT_TRUE(w.ToolsMenu()->actions().contains(item));

    // The last visible item goes: so does the menu.
    item->trigger();
    EXPECT_EQ(trace(), QStringList({"hidden"}));
    EXPECT_FALSE(item->isVisible());
    EXPECT_FALSE(tools->isVisible());

    // The Service submenu counts as an item.
    w.Scripter()->ExecuteMethod(QStringLiteral("ShowService"), {ObjectToVariant(&w)});
    EXPECT_TRUE(child<QAction>("MIService")->isVisible());
    EXPECT_TRUE(tools->isVisible());
}

} // namespace
} // namespace tev::test
