// The engine's interface as a host uses it: compiling on demand, calling routines by name,
// binding Qt objects, routines, libraries and events.
#include <gtest/gtest.h>

#include <QTimer>
#include <memory>

#include "platform/script/lib/classeslib.h"
#include "platform/script/scriptengine.h"
#include "platform/script/scriptlibrary.h"
#include "platform/script/uiservice.h"
#include "platform/text/formatsettings.h"
#include "testgauge.h"

using namespace tev::script;

namespace {

struct Host
{
    ScriptEngine engine;
    QString output;
    Host()
    {
        engine.OnOutput = [this](const QString &t) { output += t; };
    }
    void load(const QString &source) { engine.SetSourceText(source); }
};

TEST(ScriptEngine, CompilesOnDemandAndCallsRoutinesWithVariantArguments)
{
    Host h;
    h.load(
        QStringLiteral("function Sub(A, B: Integer): Integer;\nbegin\n  Result := A - B;\nend;\n"));
    EXPECT_FALSE(h.engine.Compiled());
    EXPECT_EQ(h.engine.RoutineByName(QStringLiteral("Sub")), nullptr);
    const Value r =
        h.engine.ExecuteSubroutine(QStringLiteral("sub"), std::vector<Value>{Value(5), Value(2)});
    EXPECT_TRUE(h.engine.Compiled());
    EXPECT_EQ(r.toInteger(), 3); // argument i is parameter i
    EXPECT_NE(h.engine.RoutineByName(QStringLiteral("SUB")), nullptr);
    EXPECT_EQ(h.engine.RoutineByName(QStringLiteral("Missing")), nullptr);
}

TEST(ScriptEngine, ByReferenceArgumentsWriteBackOnlyOnTheByReferencePath)
{
    Host h;
    h.load(QStringLiteral("procedure Bump(var X: Integer);\nbegin\n  X := X + 10;\nend;\n"));
    Value v(1);
    h.engine.ExecuteSubroutine(QStringLiteral("Bump"), std::vector<Value *>{&v});
    EXPECT_EQ(v.toInteger(), 11);
    Value copy(1);
    h.engine.ExecuteSubroutine(QStringLiteral("Bump"), std::vector<Value>{copy});
    EXPECT_EQ(copy.toInteger(), 1);
}

TEST(ScriptEngine, ACompileErrorIsReportedThenRaisedAndEveryLaterCallRaisesAgain)
{
    Host h;
    int reports = 0;
    CompileError last(QString(), 0, 0);
    h.engine.OnCompileError = [&](const CompileError &e) {
        ++reports;
        last = e;
    };
    h.load(QStringLiteral("procedure P;\nbegin\n  X := ;\nend;\n"));
    for (int i = 0; i < 2; ++i) {
        EXPECT_THROW(h.engine.ExecuteSubroutine(QStringLiteral("P")), CompileError);
        EXPECT_FALSE(h.engine.Compiled());
    }
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(last.line(), 3);
    EXPECT_EQ(last.column(), 8);
    EXPECT_EQ(last.message(), QStringLiteral("Expression expected but ';' found"));
}

TEST(ScriptEngine, ARunTimeErrorRaisesWithItsPosition)
{
    Host h;
    h.load(
        QStringLiteral("procedure P;\nvar Z: Integer;\nbegin\n  Z := 0;\n  Z := 1 div Z;\nend;\n"));
    try {
        h.engine.ExecuteSubroutine(QStringLiteral("P"));
        FAIL() << "no error";
    } catch (const ScriptError &e) {
        EXPECT_EQ(e.className(), QStringLiteral("EDivByZero"));
        EXPECT_EQ(e.line(), 5);
        EXPECT_EQ(e.column(), 10);
    }
    EXPECT_THROW(h.engine.ExecuteSubroutine(QStringLiteral("Missing")), ScriptError);
}

TEST(ScriptEngine, LibrariesAttachByNameWithoutRegardToCaseAndAnswerQualifiedCalls)
{
    LibraryList::Add(QStringLiteral("TestLib"), [](ScriptEngine &e) {
        struct Lib : ScriptLibrary
        {
            using ScriptLibrary::ScriptLibrary;
            void Init() override
            {
                engine().DefineMethod(
                    QStringLiteral("Twice"), 1, TypeKind::tkInteger, QString(),
                    [](NativeCall &c) { c.ReturnOutputArg(Value(c.GetInputArgAsInteger(0) * 2)); },
                    false, 0, QStringLiteral("X: Integer"));
                engine().AddConstant(QStringLiteral("TestAnswer"), Value(42));
            }
        };
        return std::make_unique<Lib>(e);
    });
    Host h;
    EXPECT_TRUE(h.engine.LoadLibrary(QStringLiteral("testlib")));
    h.load(QStringLiteral(
        "begin\n  WriteLn(Twice(4), ' ', TestLib.Twice(5), ' ', TestAnswer);\nend.\n"));
    h.engine.Execute();
    EXPECT_EQ(h.output, QStringLiteral("8 10 42\n"));
    try {
        h.engine.LoadLibrary(QStringLiteral("Nowhere"));
        FAIL() << "no error";
    } catch (const tev::Error &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Library 'Nowhere' not found"));
    }
    EXPECT_FALSE(h.engine.LoadLibrary(QStringLiteral("Nowhere"), true, true));
}

TEST(ScriptEngine, TheStockLibrariesAllLoad)
{
    Host h;
    for (const char *name :
         {"System",   "Classes",  "Forms",     "Dialogs",  "FileCtrl", "IniFiles",
          "SysUtils", "StrUtils", "DateUtils", "DB",       "Controls", "StdCtrls",
          "ExtCtrls", "ComCtrls", "Menus",     "Graphics", "Grids",    "ImgList",
          "Math",     "DBCtrls",  "DBGrids",   "UITypes"})
        EXPECT_TRUE(h.engine.LoadLibrary(QLatin1String(name), true, false)) << name;
}

TEST(ScriptEngine, NativeRoutinesSeeTheirArgumentsAndWriteBackByReference)
{
    Host h;
    h.engine
        .DefineMethod(
            QStringLiteral("Split"), 3, TypeKind::tkString, QString(),
            [](NativeCall &c) {
                QString s = c.GetInputArgAsString(0);
                const QChar sep = c.GetInputArgAsChar(1);
                const qsizetype at = s.indexOf(sep);
                c.ReturnOutputArg(Value(at < 0 ? s : s.left(at)));
                c.SetInputArg(0, Value(at < 0 ? QString() : s.mid(at + 1)));
                c.SetInputArg(2, Value(c.GetInputArgAsInteger(2) + 1));
            },
            false, 0, QStringLiteral("var S: string; Sep: Char; var N: Integer"))
        .SetVarArgs({0, 2});
    h.load(QStringLiteral("var S: string; N: Integer;\nbegin\n  S := 'a;b;c'; N := 0;\n"
                          "  WriteLn(Split(S, ';', N), ' ', S, ' ', N);\n"
                          "  WriteLn(Split(S, ';', N), ' ', S, ' ', N);\nend.\n"));
    h.engine.Execute();
    EXPECT_EQ(h.output, QStringLiteral("a b;c 1\nb c 2\n"));
    h.load(QStringLiteral("var S: string; N: Integer;\nbegin\n  Split(S, '', N);\nend.\n"));
    EXPECT_THROW(h.engine.Execute(), ScriptError); // an empty Char argument
    h.load(QStringLiteral("begin\n  Split('x');\nend.\n"));
    EXPECT_THROW(h.engine.Compile(), CompileError); // arity outside the registration
}

TEST(ScriptEngine, AQObjectIsBoundThroughItsMetaObject)
{
    Host h;
    TestGauge gauge;
    gauge.setReading(7);
    h.engine.DefineClassByRTTI(&TestGauge::staticMetaObject);
    h.engine.AddObject(QStringLiteral("Gauge"), &gauge);
    h.load(QStringLiteral("begin\n"
                          "  Gauge.Caption := 'Bore';\n"  // a property
                          "  Gauge.Hint := 'diameter';\n" // the VCL name of toolTip
                          "  Gauge.Enabled := False;\n"
                          "  WriteLn(Gauge.Reading, ' ', Gauge.Scaled(3));\n"
                          "  WriteLn(Gauge.Describe('v=', 1.5));\n"
                          "  WriteLn(Gauge is TestGauge, ' ', Gauge.ClassName);\n"
                          "end.\n"));
    tev::DecimalSeparatorGuard dot(QLatin1Char('.'));
    h.engine.Execute();
    EXPECT_EQ(h.output, QStringLiteral("7 21\nv=1.5\nTRUE TestGauge\n"));
    EXPECT_EQ(gauge.caption(), QStringLiteral("Bore"));
    EXPECT_EQ(gauge.toolTip(), QStringLiteral("diameter"));
    EXPECT_FALSE(gauge.isEnabled());
}

TEST(ScriptEngine, AnErrorThrownByAHostMethodIsCaughtByTheScript)
{
    Host h;
    TestGauge gauge;
    h.engine.DefineClassByRTTI(&TestGauge::staticMetaObject);
    h.engine.AddObject(QStringLiteral("Gauge"), &gauge);
    h.load(QStringLiteral("begin\n"
                          "  try\n"
                          "    Gauge.Calibrate;\n"
                          "    WriteLn('not reached');\n"
                          "  except\n"
                          "    on E: Exception do WriteLn('caught: ', E.Message);\n"
                          "  end;\n"
                          "  Gauge.Calibrate;\n"
                          "end.\n"));
    try {
        h.engine.Execute();
        FAIL() << "the uncaught host error must leave the script";
    } catch (const ScriptError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Gauge not connected"));
        EXPECT_EQ(e.line(), 8);
    }
    EXPECT_EQ(h.output, QStringLiteral("caught: Gauge not connected\n"));
}

TEST(ScriptEngine, AScriptEventHandlerRunsAfterTheHostsOwnHandler)
{
    Host h;
    TestGauge gauge;
    QObject::connect(&gauge, &TestGauge::clicked, &gauge,
                     [&gauge] { gauge.log << QStringLiteral("host"); });
    h.engine.AddObject(QStringLiteral("Gauge"), &gauge);
    h.engine.DefineMethod(QStringLiteral("Note"), 1, TypeKind::tkNone, QString(),
                          [&gauge](NativeCall &c) { gauge.log << c.GetInputArgAsString(0); });
    h.load(QStringLiteral(
        "procedure GaugeClick(Sender: TObject);\nbegin\n  Note('script ' + Sender.Caption);\nend;\n"
        "procedure Attach;\nbegin\n  Gauge.Caption := 'G1';\n  Gauge.OnClick := "
        "GaugeClick;\nend;\n"));
    h.engine.ExecuteSubroutine(QStringLiteral("Attach"));
    gauge.fire();
    EXPECT_EQ(gauge.log, (QStringList{QStringLiteral("host"), QStringLiteral("script G1")}));
}

TEST(ScriptEngine, AnErrorInAScriptEventHandlerGoesToTheHostSink)
{
    Host h;
    TestGauge gauge;
    h.engine.AddObject(QStringLiteral("Gauge"), &gauge);
    QStringList errors;
    h.engine.OnEventError = [&](const ScriptError &e) { errors << e.message(); };
    h.load(QStringLiteral("procedure Boom(Sender: TObject);\nbegin\n  raise "
                          "Exception.Create('handler failed');\nend;\n"
                          "begin\n  Gauge.OnClick := Boom;\nend.\n"));
    h.engine.Execute();
    EXPECT_NO_THROW(gauge.fire());
    EXPECT_EQ(errors, QStringList{QStringLiteral("handler failed")});
}

TEST(ScriptEngine, AFreedHostObjectIsAnErrorNotADanglingPointer)
{
    Host h;
    auto gauge = std::make_unique<TestGauge>();
    h.engine.AddObject(QStringLiteral("Gauge"), gauge.get());
    h.load(QStringLiteral("procedure Read;\nbegin\n  WriteLn(Gauge.Reading);\nend;\n"));
    h.engine.ExecuteSubroutine(QStringLiteral("Read"));
    gauge.reset();
    try {
        h.engine.ExecuteSubroutine(QStringLiteral("Read"));
        FAIL() << "no error";
    } catch (const ScriptError &e) {
        EXPECT_EQ(e.className(), QStringLiteral("EAccessViolation"));
    }
}

TEST(ScriptEngine, AScriptCannotFreeAHostObject)
{
    Host h;
    TestGauge gauge;
    h.engine.AddObject(QStringLiteral("Gauge"), &gauge);
    h.load(QStringLiteral("begin\n  Gauge.Free;\nend.\n"));
    EXPECT_THROW(h.engine.Execute(), ScriptError);
}

TEST(ScriptEngine, ObjectsTheScriptCreatesAreReleased)
{
    Host h;
    QList<QPointer<QObject>> watched;
    h.engine.DefineMethod(
        QStringLiteral("Watch"), 1, TypeKind::tkNone, QString(),
        [&watched](NativeCall &c) { watched << c.GetInputArgAsObject(0)->qobject(); });
    h.load(
        QStringLiteral("uses Classes;\nvar Keep: TComponent;\n"
                       "procedure Make;\nvar Temp: TComponent;\nbegin\n"
                       "  Temp := TComponent.Create(nil);\n  Watch(Temp);\n" // freed by the script
                       "  Temp.Free;\n"
                       "  Temp := TComponent.Create(nil);\n  Watch(Temp);\n" // never freed: a local
                       "  Keep := TComponent.Create(nil);\n  Watch(Keep);\n" // held by a global
                       "end;\n"));
    h.engine.ExecuteSubroutine(QStringLiteral("Make"));
    ASSERT_EQ(watched.size(), 3);
    EXPECT_TRUE(watched[0].isNull());
    EXPECT_TRUE(watched[1].isNull());
    EXPECT_FALSE(watched[2].isNull());
    h.load(QStringLiteral("begin end.")); // a new script drops the old one's globals
    EXPECT_TRUE(watched[2].isNull());
}

TEST(ScriptEngine, RecordsAreObjectsWithTheirFieldsAsProperties)
{
    Host h;
    h.engine.DefineRecord(QStringLiteral("TProductVersion"),
                          {QStringLiteral("Major"), QStringLiteral("Minor"),
                           QStringLiteral("Release"), QStringLiteral("Build")});
    h.load(QStringLiteral("var V: TProductVersion;\nbegin\n  V := TProductVersion.Create;\n  "
                          "V.Major := 1;\n  V.Build := 4;\n"
                          "  WriteLn(V.Major, '.', V.Minor, '.', V.Build);\nend.\n"));
    h.engine.Execute();
    EXPECT_EQ(h.output, QStringLiteral("1..4\n"));
}

TEST(ScriptEngine, TheStepLimitStopsAnEndlessLoopAndTheEngineStaysUsable)
{
    Host h;
    h.engine.SetStepLimit(10000);
    h.load(QStringLiteral("procedure Spin;\nbegin\n  while True do ;\nend;\nfunction One: "
                          "Integer;\nbegin\n  Result := 1;\nend;\n"));
    EXPECT_THROW(h.engine.ExecuteSubroutine(QStringLiteral("Spin")), ScriptError);
    EXPECT_FALSE(h.engine.Running());
    EXPECT_EQ(h.engine.ExecuteSubroutine(QStringLiteral("One")).toInteger(), 1);
}

TEST(ScriptEngine, DialogsGoThroughTheInjectedUiService)
{
    struct RecordingUi : UiService
    {
        QStringList shown;
        void showMessage(const QString &text) override { shown << text; }
        int messageDlg(const QString &text, int, int buttons) override
        {
            shown << text + QStringLiteral(" ") + QString::number(buttons);
            return 7; // mrNo
        }
        bool inputQuery(const QString &, const QString &, QString &value) override
        {
            value = QStringLiteral("typed");
            return true;
        }
    } ui;
    Host h;
    h.engine.SetUiService(&ui);
    h.load(QStringLiteral(
        "uses Dialogs, Controls;\nvar S: string;\nbegin\n  ShowMessage('hello');\n"
        "  if MessageDlg('Sure?', mtConfirmation, [mbYes, mbNo], 0) = mrNo then WriteLn('no');\n"
        "  S := 'x';\n  if InputQuery('C', 'P', S) then WriteLn(S);\nend.\n"));
    h.engine.Execute();
    EXPECT_EQ(ui.shown, (QStringList{QStringLiteral("hello"), QStringLiteral("Sure? 3")}));
    EXPECT_EQ(h.output, QStringLiteral("no\ntyped\n"));
}

TEST(ScriptEngine, AHostRoutineReachesTheScriptsStringList)
{
    Host h;
    h.engine.DefineMethod(QStringLiteral("CountLines"), 1, TypeKind::tkInteger, QString(),
                          [](NativeCall &c) {
                              auto *list = c.GetInputArgAsNative<StringListObject>(0);
                              c.ReturnOutputArg(Value(qint64(list ? list->list.Count() : -1)));
                          });
    h.load(QStringLiteral("uses Classes;\nvar L: TStringList;\nbegin\n  L := TStringList.Create;\n "
                          " L.Add('a'); L.Add('b');\n"
                          "  WriteLn(CountLines(L), ' ', CountLines(nil));\n  L.Free;\nend.\n"));
    h.engine.Execute();
    EXPECT_EQ(h.output, QStringLiteral("2 -1\n"));
}

TEST(ScriptEngine, RunningAndPausedAsAHostSeesThem)
{
    Host h;
    QStringList order;
    h.engine.DefineMethod(
        QStringLiteral("Probe"), 0, TypeKind::tkNone, QString(), [&](NativeCall &) {
            order << (h.engine.Running() ? QStringLiteral("running") : QStringLiteral("idle"));
            // A debugger pauses the script; the run waits, serving events, until it is resumed.
            h.engine.SetPaused(true);
            QTimer::singleShot(20, &h.engine, [&] {
                order << QStringLiteral("resumed");
                h.engine.SetPaused(false);
            });
        });
    h.load(QStringLiteral("procedure P;\nbegin\n  Probe;\n  WriteLn('after');\nend;\n"));
    h.engine.ExecuteSubroutine(QStringLiteral("P"));
    EXPECT_EQ(order, (QStringList{QStringLiteral("running"), QStringLiteral("resumed")}));
    EXPECT_EQ(h.output, QStringLiteral("after\n"));
    EXPECT_FALSE(h.engine.Running());
    EXPECT_FALSE(h.engine.Paused());
}

} // namespace
