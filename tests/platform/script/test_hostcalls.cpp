// How scripts meet their host's objects and calls: event handlers given by name, a window's
// components by name, routines the host calls with other argument counts, and host code that
// throws what is no standard exception.
#include <gtest/gtest.h>

#include <QPointer>
#include <stdexcept>

#include "platform/script/scriptengine.h"
#include "platform/script/scriptstack.h"
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

TEST(HostCalls, AnEventHandlerGivenByNameRunsAfterTheHostsOwn)
{
    Host h;
    TestGauge gauge;
    QObject::connect(&gauge, &TestGauge::clicked, &gauge,
                     [&gauge] { gauge.log << QStringLiteral("host"); });
    h.engine.AddObject(QStringLiteral("Gauge"), &gauge);
    h.load(
        QStringLiteral("procedure SendMail(Sender: TObject);\nbegin\n  WriteLn('script');\nend;\n"
                       "procedure Attach;\nbegin\n  Gauge.OnClick := 'sendmail';\nend;\n"));
    h.engine.ExecuteSubroutine(QStringLiteral("Attach"));
    QObject::connect(&gauge, &TestGauge::clicked, &gauge,
                     [&] { gauge.log << QStringLiteral("after: ") + h.output.trimmed(); });
    gauge.fire();
    EXPECT_EQ(h.output, QStringLiteral("script\n"));
    EXPECT_EQ(gauge.log, (QStringList{QStringLiteral("host"), QStringLiteral("after: script")}));
}

TEST(HostCalls, AnEventHandlerNameTheScriptLacksIsAnError)
{
    Host h;
    TestGauge gauge;
    h.engine.AddObject(QStringLiteral("Gauge"), &gauge);
    h.load(QStringLiteral("begin\n  Gauge.OnClick := 'Missing';\nend.\n"));
    try {
        h.engine.Execute();
        FAIL() << "no error";
    } catch (const ScriptError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("The script has no routine 'Missing' for the event "
                                              "'OnClick'"));
        EXPECT_EQ(e.line(), 2);
    }
    // An empty name takes the handler off again; @Routine keeps working.
    h.load(QStringLiteral("procedure Note;\nbegin\n  WriteLn('noted');\nend;\n"
                          "begin\n  Gauge.OnClick := @Note;\n  Gauge.OnClick := '';\n"
                          "  Gauge.Fire;\n  Gauge.OnClick := @Note;\n  Gauge.Fire;\nend.\n"));
    h.engine.Execute();
    EXPECT_EQ(h.output, QStringLiteral("noted\n"));
}

TEST(HostCalls, AWindowsComponentsAreItsMembersByNameButNotThoseOfItsOwnWindows)
{
    Host h;
    QObject form;
    form.setObjectName(QStringLiteral("TevMainForm"));
    auto *menu = new QObject(&form); // the menu bar and the hidden Tools menu
    menu->setObjectName(QStringLiteral("MITools"));
    auto *item = new TestGauge(menu);
    item->setObjectName(QStringLiteral("MIScript1"));
    auto *dialog = new QObject(&form); // a window of its own, such as the image editor
    dialog->setObjectName(QStringLiteral("PreviewDlg"));
    auto *inner = new TestGauge(dialog);
    inner->setObjectName(QStringLiteral("PnlTools"));
    h.engine.IsOwnWindow = [dialog](const QObject *o) { return o == dialog; };
    h.engine.AddObject(QStringLiteral("Form"), &form);
    h.load(QStringLiteral("begin\n  Form.miscript1.Caption := 'Send';\n"
                          "  WriteLn(Form.MIScript1.Name, ' ', Form.MITools.Name, ' ', "
                          "Form.PreviewDlg.Name);\n"
                          "  with Form do WriteLn(MIScript1.Caption);\nend.\n"));
    h.engine.Execute();
    EXPECT_EQ(item->caption(), QStringLiteral("Send"));
    EXPECT_EQ(h.output, QStringLiteral("MIScript1 MITools PreviewDlg\nSend\n"));
    h.load(QStringLiteral("begin\n  WriteLn(Form.PnlTools.Name);\nend.\n"));
    EXPECT_THROW(h.engine.Execute(), ScriptError);
    EXPECT_EQ(h.engine.FindComponent(&form, QStringLiteral("pnltools")), nullptr);
    EXPECT_EQ(h.engine.FindComponent(dialog, QStringLiteral("pnltools")), inner);
}

TEST(HostCalls, ARoutineCalledWithOtherArgumentCountsStillRuns)
{
    Host h;
    TestGauge window;
    h.load(QStringLiteral("procedure FormCreate;\nbegin\n  WriteLn('created');\nend;\n"
                          "procedure Two(A, B: Variant);\nbegin\n  WriteLn(VarIsEmpty(A), ' ', "
                          "VarIsEmpty(B));\nend;\n"
                          "procedure WithDefault(A: Integer; B: Integer = 7);\nbegin\n  WriteLn(A, "
                          "' ', B);\nend;\n"));
    const Value form = h.engine.ObjectToVariant(&window);
    h.engine.ExecuteSubroutine(QStringLiteral("FormCreate"), std::vector<Value>{form});
    h.engine.ExecuteSubroutine(QStringLiteral("Two"), std::vector<Value>{Value(1)});
    h.engine.ExecuteSubroutine(QStringLiteral("WithDefault"), std::vector<Value>{Value(3)});
    Value byRef(5);
    h.engine.ExecuteSubroutine(QStringLiteral("FormCreate"), std::vector<Value *>{&byRef});
    EXPECT_EQ(h.output, QStringLiteral("created\nFALSE TRUE\n3 7\ncreated\n"));
    EXPECT_EQ(byRef.toInteger(), 5);
}

// What some libraries throw: no std::exception.
struct ForeignError
{
    int code;
};

TEST(HostCalls, AForeignExceptionOfHostCodeBecomesAScriptException)
{
    Host h;
    h.engine.DefineMethod(QStringLiteral("Foreign"), 0, TypeKind::tkNone, QString(),
                          [](NativeCall &) { throw ForeignError{42}; });
    h.load(QStringLiteral("begin\n  try\n    Foreign;\n  except\n"
                          "    on E: Exception do WriteLn('caught: ', E.Message);\n  end;\n"
                          "  Foreign;\nend.\n"));
    try {
        h.engine.Execute();
        FAIL() << "the uncaught one must leave the script";
    } catch (const ScriptError &e) {
        EXPECT_EQ(e.line(), 7);
    }
    EXPECT_EQ(h.output,
              QStringLiteral("caught: The host raised an exception of an unknown kind\n"));
}

TEST(HostCalls, NoExceptionLeavesAnEventHandler)
{
    Host h;
    TestGauge gauge;
    h.engine.AddObject(QStringLiteral("Gauge"), &gauge);
    h.engine.DefineMethod(QStringLiteral("Foreign"), 0, TypeKind::tkNone, QString(),
                          [](NativeCall &) { throw ForeignError{1}; });
    QStringList errors;
    h.engine.OnEventError = [&](const ScriptError &e) {
        errors << e.message();
        throw std::runtime_error("the sink fails too");
    };
    h.load(QStringLiteral("procedure Click(Sender: TObject);\nbegin\n  Foreign;\nend;\n"
                          "begin\n  Gauge.OnClick := 'Click';\nend.\n"));
    h.engine.Execute();
    EXPECT_NO_THROW(gauge.fire());
    EXPECT_EQ(errors,
              QStringList{QStringLiteral("The host raised an exception of an unknown kind")});
}

TEST(HostCalls, AShallowCallStaysOnTheThreadsStackAndADeepOneMoves)
{
    Host h;
    QStringList seen;
    h.engine.DefineMethod(
        QStringLiteral("Where"), 1, TypeKind::tkNone, QString(), [&](NativeCall &c) {
            seen << QStringLiteral("%1 %2")
                        .arg(c.GetInputArgAsInteger(0))
                        .arg(ScriptStack::active() ? QStringLiteral("script stack")
                                                   : QStringLiteral("own stack"));
        });
    h.load(QStringLiteral("procedure Deep(N: Integer);\nbegin\n  if N = 1 then Where(N);\n"
                          "  if N = 5000 then Where(N) else Deep(N + 1);\nend;\n"));
    h.engine.ExecuteSubroutine(QStringLiteral("Deep"), std::vector<Value>{Value(1)});
    EXPECT_EQ(seen,
              (QStringList{QStringLiteral("1 own stack"), QStringLiteral("5000 script stack")}));
    EXPECT_FALSE(ScriptStack::active());
}

// Recursion of host code between script calls, with frames far larger than a script call's:
// the room left on the stack ends it in an error before the stack runs out.
TEST(HostCalls, AHostRoutineRecursingThroughTheScriptEndsInAnErrorNotACrash)
{
    Host h;
    int deepest = 0;
    h.engine.DefineMethod(QStringLiteral("Descend"), 1, TypeKind::tkNone, QString(),
                          [&](NativeCall &c) {
                              volatile char frame[64 * 1024];
                              frame[0] = 1;
                              deepest = std::max(deepest, int(c.GetInputArgAsInteger(0)));
                              c.engine()->ExecuteSubroutine(
                                  QStringLiteral("Again"),
                                  std::vector<Value>{Value(c.GetInputArgAsInteger(0) + frame[0])});
                          });
    h.load(QStringLiteral("procedure Again(N: Integer);\nbegin\n  Descend(N);\nend;\n"));
    try {
        h.engine.ExecuteSubroutine(QStringLiteral("Again"), std::vector<Value>{Value(1)});
        FAIL() << "no error";
    } catch (const ScriptError &e) {
        EXPECT_EQ(e.className(), QStringLiteral("EStackOverflow"));
    }
    // Far more than the 8 MB of a thread's own stack would have held (about 128 such frames),
    // also in the sanitizer build, whose script stack is smaller.
    EXPECT_GT(deepest, 500);
    EXPECT_FALSE(ScriptStack::active());
    EXPECT_FALSE(h.engine.Running());
}

} // namespace
