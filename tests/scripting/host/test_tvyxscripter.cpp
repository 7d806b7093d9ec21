// The script host as its owner uses it: construction, routines called by name with Variant
// arguments (by value, by reference, through the debug path), and a broken script reported once.
#include "scripting/host/tvyxscripter.h"

#include "platform/script/scripterror.h"

#include "platform/text/qstringprinter.h"
#include <QObject>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tev;
using tev::script::CompileError;
using tev::script::HostSymbol;

namespace {

struct Host
{
    QObject owner;
    TvyxScripter *scripter = new TvyxScripter(&owner); // owned by owner, as by the main window
    QString output;
    Host()
    {
        scripter->OnOutput = [this](const QString &t) { output += t; };
    }
    void load(const QString &source) { scripter->SetSourceText(source); }
};

TEST(TvyxScripter, AttachesTheTwentyFiveLibrariesAndDefinesItsOwnNames)
{
    Host h;
    for (const char *name :
         {"System",   "Classes",   "Forms",  "Dialogs",  "FileCtrl", "IniFiles", "SysUtils",
          "StrUtils", "DateUtils", "DB",     "Controls", "StdCtrls", "ExtCtrls", "ComCtrls",
          "Menus",    "Graphics",  "Grids",  "ImgList",  "Math",     "DBCtrls",  "DBGrids",
          "UITypes",  "VYXLib",    "VYXWin", "VYXMail"})
        EXPECT_EQ(h.scripter->lookup(QLatin1String(name)).kind, HostSymbol::Kind::Library) << name;
    const struct
    {
        const char *name;
        int args;
        script::TypeKind kind;
    } routines[] = {
        {"FindComponent", 1, script::TypeKind::tkClass},
        {"CopyToClipboard", 1, script::TypeKind::tkString},
        {"DeleteFile", 1, script::TypeKind::tkNone},
        {"RenameFile", 2, script::TypeKind::tkInteger},
        {"FileExists", 1, script::TypeKind::tkString},
        {"StringReplace", 4, script::TypeKind::tkString},
        {"Finalize", 1, script::TypeKind::tkNone},
    };
    for (const auto &want : routines) {
        const HostSymbol s = h.scripter->lookup(QLatin1String(want.name));
        ASSERT_EQ(s.kind, HostSymbol::Kind::Routine) << want.name;
        EXPECT_EQ(s.routine->argCount, want.args) << want.name;
        EXPECT_EQ(s.routine->defArgCount, 0) << want.name;
        EXPECT_EQ(s.routine->resultKind, want.kind) << want.name;
        EXPECT_TRUE(s.routine->hint.isEmpty()) << want.name;
    }
    for (const char *cls : {"TComponent", "TStringList", "TFDMemTable", "TFDQuery"})
        EXPECT_NE(h.scripter->FindClass(QLatin1String(cls)), nullptr) << cls;
    EXPECT_NE(h.scripter->FindClass(QStringLiteral("TFDQuery"))->findMethod(QStringLiteral("Open")),
              nullptr);
    h.load(QStringLiteral("begin\n  WriteLn(Self.Debugging, ' ', Self is TComponent);\nend.\n"));
    h.scripter->Execute();
    EXPECT_EQ(h.output, QStringLiteral("FALSE TRUE\n"));
}

TEST(TvyxScripter, DeclaringEveryVariableIsRequired)
{
    Host h;
    h.load(QStringLiteral("begin\n  X := 1;\nend.\n"));
    EXPECT_THROW(h.scripter->Compile(), CompileError);
}

TEST(TvyxScripter, AnEmptyScriptOrAMissingRoutineRunsNothing)
{
    Host h;
    EXPECT_FALSE(h.scripter->ExistsScriptRoutine(QStringLiteral("FormCreate")));
    EXPECT_FALSE(h.scripter->ExecuteMethod(QStringLiteral("FormCreate")).isValid());
    EXPECT_FALSE(h.scripter->Compiled());
    h.load(QStringLiteral("procedure Other;\nbegin\nend;\n"));
    EXPECT_FALSE(h.scripter->ExecuteMethod(QStringLiteral("FormCreate"), {1}).isValid());
    EXPECT_TRUE(h.scripter->Compiled());
}

TEST(TvyxScripter, ArgumentIIsParameterI)
{
    Host h;
    h.load(QStringLiteral("function Pair(A, B: Integer): string;\nbegin\n"
                          "  Result := IntToStr(A) + '/' + IntToStr(B);\nend;\n"));
    EXPECT_TRUE(h.scripter->ExistsScriptRoutine(QStringLiteral("pair")));
    EXPECT_EQ(h.scripter->ExecuteMethod(QStringLiteral("Pair"), {1, 2}).toString(),
              QStringLiteral("1/2"));
}

TEST(TvyxScripter, AVariablePassedByReferenceReceivesTheVarParameter)
{
    Host h;
    h.load(QStringLiteral("procedure Bump(var X: Variant; Y: Integer);\nbegin\n"
                          "  X := X + Y;\nend;\n"));
    QVariant value = 5;
    h.scripter->ExecuteMethod(QStringLiteral("Bump"), {VarByRef(value), 10});
    EXPECT_EQ(value.toInt(), 15);
    QVariant copy = 5;
    h.scripter->ExecuteMethod(QStringLiteral("Bump"), {copy, 10});
    EXPECT_EQ(copy.toInt(), 5);
}

TEST(TvyxScripter, TextsArePassedWhole)
{
    Host h;
    h.load(QStringLiteral("function Len(S: string; var T: string): Integer;\nbegin\n"
                          "  Result := Length(S);\n  T := S + T;\nend;\n"));
    const QString longText(1000, QLatin1Char('x'));
    EXPECT_EQ(h.scripter->ExecuteMethod(QStringLiteral("Len"), {longText, QString()}).toInt(),
              1000);
    QVariant t = QStringLiteral("!");
    EXPECT_EQ(h.scripter->ExecuteMethod(QStringLiteral("Len"), {QByteArray(300, 'a'), VarByRef(t)})
                  .toInt(),
              300);
    EXPECT_EQ(t.toString().size(), 301);
}

// An object reaches a script only as an object: a number handed where the routine wants one is
// a number, and treating it as an object is a script error instead of a read at that address.
TEST(TvyxScripter, ANumberIsNeverTakenForAnObject)
{
    Host h;
    QObject window;
    window.setObjectName(QStringLiteral("TevMainForm"));
    h.load(QStringLiteral("function NameOf(Sender: TObject): string;\nbegin\n"
                          "  Result := TComponent(Sender).Name;\nend;\n"));
    EXPECT_EQ(
        h.scripter->ExecuteMethod(QStringLiteral("NameOf"), {ObjectToVariant(&window)}).toString(),
        QStringLiteral("TevMainForm"));
    const auto address = qlonglong(reinterpret_cast<quintptr>(&window));
    for (const QVariant &number : {QVariant(address), QVariant(int(address)), QVariant(12345)}) {
        try {
            h.scripter->ExecuteMethod(QStringLiteral("NameOf"), {number});
            ADD_FAILURE() << "a number became an object";
        } catch (const script::ScriptError &e) {
            EXPECT_EQ(e.className(), QStringLiteral("EInvalidCast"));
        }
    }
}

TEST(TvyxScripter, TheDebugHandlerGetsTheCallInsteadOfTheRoutine)
{
    Host h;
    h.load(QStringLiteral("function Twice(X: Integer): Integer;\nbegin\n  WriteLn('ran');\n"
                          "  Result := 2 * X;\nend;\n"));
    h.scripter->SetDebugging(true);
    QString seenName;
    TConstArray seenInput;
    bool startedNull = false;
    h.scripter->OnDebugSubroutine = [&](TvyxScripter *sender, const QString &name,
                                        const TConstArray &input, QVariant &result) {
        EXPECT_EQ(sender, h.scripter);
        seenName = name;
        seenInput = input;
        startedNull = result.metaType() == QMetaType::fromType<std::nullptr_t>();
        result = 99;
    };
    QObject window;
    const QVariant r = h.scripter->ExecuteMethod(QStringLiteral("Twice"),
                                                 {21, QVariant(), 2.5, true, QStringLiteral("t"),
                                                  qint64(1) << 40, ObjectToVariant(&window)});
    EXPECT_EQ(r.toInt(), 99);
    EXPECT_TRUE(startedNull);
    EXPECT_EQ(seenName, QStringLiteral("Twice"));
    ASSERT_EQ(seenInput.size(), 7u);
    const TVarRec::Kind kinds[] = {
        TVarRec::vtInteger,       TVarRec::vtInteger, TVarRec::vtExtended, TVarRec::vtBoolean,
        TVarRec::vtUnicodeString, TVarRec::vtInt64,   TVarRec::vtObject};
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(seenInput[i].VType, kinds[i]) << i;
    EXPECT_EQ(seenInput[1].Value.toInt(), 0); // Unassigned is an integer 0
    EXPECT_EQ(h.output, QString());           // the routine did not run
}

// A call that reaches the debug path while a script runs (a host routine the script called)
// pauses that script; it goes on once the debugger resumes it.
TEST(TvyxScripter, TheDebugPathPausesARunningScript)
{
    Host h;
    h.load(QStringLiteral("procedure Hook(X: Integer);\nbegin\nend;\n"
                          "procedure Run;\nbegin\n  CallHook;\n  WriteLn('after');\nend;\n"));
    h.scripter->DefineMethod(
        QStringLiteral("CallHook"), 0, script::TypeKind::tkNone, QString(),
        [&h](script::NativeCall &) { h.scripter->ExecuteMethod(QStringLiteral("Hook"), {1}); });
    h.scripter->SetDebugging(true);
    QStringList seen;
    h.scripter->OnDebugSubroutine = [&](TvyxScripter *sender, const QString &name,
                                        const TConstArray &, QVariant &) {
        seen << name + (sender->Paused() ? QStringLiteral(" paused") : QStringLiteral(" going"));
        QTimer::singleShot(10, sender, [sender, &seen] {
            seen << QStringLiteral("resumed");
            sender->SetPaused(false);
        });
    };
    h.scripter->ExecuteSubroutine(QStringLiteral("Run"));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("Hook paused"), QStringLiteral("resumed")}));
    EXPECT_EQ(h.output, QStringLiteral("after\n"));
    EXPECT_FALSE(h.scripter->Paused());
    EXPECT_FALSE(h.scripter->Running());
}

TEST(TvyxScripter, WithoutAHandlerTheDebugPathRunsTheRoutine)
{
    Host h;
    h.load(QStringLiteral("function Twice(X: Integer): Integer;\nbegin\n  Result := 2 * X;\nend;\n"
                          "function One: Integer;\nbegin\n  Result := 1;\nend;\n"));
    h.scripter->SetDebugging(true);
    EXPECT_EQ(h.scripter->ExecuteMethod(QStringLiteral("Twice"), {21}).toInt(), 42);
    EXPECT_EQ(h.scripter->ExecuteMethod(QStringLiteral("One")).toInt(), 1);
}

TEST(TvyxScripter, ABrokenScriptIsReportedOnceAndItsHooksCountAsAbsent)
{
    Host h;
    QStringList reports;
    h.scripter->OnCompileError = [&](const CompileError &e) {
        reports << h.scripter->CompileErrorText(e);
    };
    h.load(QStringLiteral("procedure FormCreate;\nbegin\n  WriteLn(;\nend;\n"));
    EXPECT_THROW(h.scripter->ExistsScriptRoutine(QStringLiteral("OnInitScript")), CompileError);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(h.scripter->ExistsScriptRoutine(QStringLiteral("FormCreate")));
        EXPECT_FALSE(h.scripter->ExecuteMethod(QStringLiteral("FormDestroy"), {1}).isValid());
    }
    EXPECT_EQ(reports,
              QStringList{QStringLiteral("script(3,11): Expression expected but ';' found")});
    // Other source compiles again.
    h.load(QStringLiteral("procedure FormCreate;\nbegin\n  WriteLn('ok');\nend;\n"));
    EXPECT_TRUE(h.scripter->ExistsScriptRoutine(QStringLiteral("FormCreate")));
    h.scripter->ExecuteMethod(QStringLiteral("FormCreate"));
    EXPECT_EQ(h.output, QStringLiteral("ok\n"));
}

TEST(TvyxScripter, TheWindowReachesHooksWithOrWithoutAParameter)
{
    Host h;
    QObject window;
    window.setObjectName(QStringLiteral("TevMainForm"));
    h.load(QStringLiteral("procedure FormCreate(Sender: TObject);\nbegin\n"
                          "  WriteLn(TComponent(Sender).Name);\nend;\n"
                          "procedure FormDestroy;\nbegin\n  WriteLn('bye');\nend;\n"));
    h.scripter->ExecuteMethod(QStringLiteral("FormCreate"), {ObjectToVariant(&window)});
    h.scripter->ExecuteMethod(QStringLiteral("FormDestroy"), {ObjectToVariant(&window)});
    EXPECT_EQ(h.output, QStringLiteral("TevMainForm\nbye\n"));
}

TEST(TvyxScripter, ARunTimeErrorPassesToTheCallerAndTheHostGoesOn)
{
    Host h;
    h.load(QStringLiteral("procedure Fail;\nbegin\n  raise Exception.Create('no');\nend;\n"
                          "function Ok: Integer;\nbegin\n  Result := 7;\nend;\n"));
    EXPECT_THROW(h.scripter->ExecuteMethod(QStringLiteral("Fail")), script::ScriptError);
    EXPECT_EQ(h.scripter->ExecuteMethod(QStringLiteral("Ok")).toInt(), 7);
}

TEST(TvyxScripter, AClassExposedByItsMetaObjectKeepsAnEarlierDefinition)
{
    Host h;
    script::ScriptClass *first =
        h.scripter->DefineClassByRTTI(QObject::staticMetaObject, QStringLiteral("TWindowLike"));
    EXPECT_EQ(
        h.scripter->DefineClassByRTTI(QObject::staticMetaObject, QStringLiteral("TWindowLike")),
        first);
    EXPECT_EQ(first->name(), QStringLiteral("TWindowLike"));
}

} // namespace
