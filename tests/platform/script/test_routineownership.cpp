// Routines and methods that a host redefines while libraries and compiled scripts still point
// to the old ones. These tests also run in the address-sanitizer build of the engine
// (tests/sanitizer), where a freed routine would be reported instead of misbehaving quietly.
#include <gtest/gtest.h>

#include "platform/script/scriptengine.h"

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
    QString run(const QString &source)
    {
        output.clear();
        engine.SetSourceText(source);
        engine.Execute();
        return output;
    }
};

NativeProc returning(const QString &text)
{
    return [text](NativeCall &c) { c.ReturnOutputArg(Value(text)); };
}

TEST(RoutineOwnership, ALibraryRoutineReplacedGloballyStaysCallableByItsQualifiedName)
{
    Host h;
    ASSERT_TRUE(h.engine.LoadLibrary(QStringLiteral("SysUtils")));
    // What a script host does after loading SysUtils: its own routines of the same names.
    for (const char *name : {"StringReplace", "DeleteFile", "FileExists"})
        h.engine.DefineMethod(QLatin1String(name), -1, TypeKind::tkString, QString(),
                              returning(QStringLiteral("host ") + QLatin1String(name)));
    EXPECT_EQ(h.run(QStringLiteral(
                  "uses SysUtils;\nbegin\n"
                  "  WriteLn(SysUtils.StringReplace('a-b-c', '-', '+', [rfReplaceAll]));\n"
                  "  WriteLn(SysUtils.FileExists('/no/such/file'));\n"
                  "  WriteLn(StringReplace('a-b-c', '-', '+', 1));\n"
                  "end.\n")),
              QStringLiteral("a+b+c\nFALSE\nhost StringReplace\n"));
}

TEST(RoutineOwnership, ACompiledScriptKeepsTheRoutineItWasCompiledAgainst)
{
    Host h;
    h.engine.DefineMethod(QStringLiteral("Probe"), 0, TypeKind::tkString, QString(),
                          returning(QStringLiteral("first")));
    h.engine.SetSourceText(
        QStringLiteral("function F: string;\nbegin\n  Result := Probe;\nend;\n"));
    h.engine.Compile();
    h.engine.DefineMethod(QStringLiteral("Probe"), 0, TypeKind::tkString, QString(),
                          returning(QStringLiteral("second")));
    EXPECT_EQ(h.engine.ExecuteSubroutine(QStringLiteral("F")).toString(), QStringLiteral("first"));
    h.engine.Compile(); // compiled again, the script binds the new one
    EXPECT_EQ(h.engine.ExecuteSubroutine(QStringLiteral("F")).toString(), QStringLiteral("second"));
}

TEST(RoutineOwnership, AMethodRedefinedWhileItRunsFinishesItsCall)
{
    Host h;
    ScriptClass *cls = h.engine.DefineClass(QStringLiteral("TProbe"));
    cls->DefineMethod(
        QStringLiteral("Swap"), 0, TypeKind::tkString,
        [cls, text = QStringLiteral("old")](NativeCall &c) {
            // Replacing the running method must not free the code and data it runs with.
            cls->DefineMethod(QStringLiteral("Swap"), 0, TypeKind::tkString,
                              returning(QStringLiteral("new")), true);
            for (int i = 0; i < 100; ++i) // enough new entries to make the table grow
                cls->DefineMethod(QStringLiteral("Filler%1").arg(i), 0, TypeKind::tkNone,
                                  [](NativeCall &) {});
            c.ReturnOutputArg(Value(text));
        },
        true);
    EXPECT_EQ(
        h.run(QStringLiteral("begin\n  WriteLn(TProbe.Swap);\n  WriteLn(TProbe.Swap);\nend.\n")),
        QStringLiteral("old\nnew\n"));
}

TEST(RoutineOwnership, DeepRecursionRunsOnTheScriptStackAndEndsInAnError)
{
    Host h;
    EXPECT_EQ(h.run(QStringLiteral("var N: Integer;\n"
                                   "procedure Deep;\nbegin\n  Inc(N);\n  Deep;\nend;\n"
                                   "begin\n  try\n    Deep;\n  except\n"
                                   "    on E: EStackOverflow do WriteLn(N >= 5000);\n"
                                   "  end;\nend.\n")),
              QStringLiteral("TRUE\n"));
}

} // namespace
