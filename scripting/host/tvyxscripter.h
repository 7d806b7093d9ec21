#pragma once

// TvyxScripter: the program's script host. Its constructor configures the script engine once for
// the user's "TevMain.pas": the dialect's options, the 25 libraries (the engine's stock ones and
// VYXLib, VYXWin and VYXMail), the seven global routines of the host, the classes TComponent,
// TStringList, TFDMemTable and TFDQuery, and the object "Self". Its owner (the main window) loads
// the script, publishes its own objects and calls the script's hooks by name.
//
// The host's interface speaks Qt's Variants: ExecuteMethod takes a QVariantList (an object as
// ObjectToVariant makes it, a caller's variable passed by reference as VarByRef makes it) and
// returns the routine's result.
//
// Two things differ on purpose from a host that simply forwards to the engine:
// - a script that does not compile is reported once (OnCompileError) and raises once; from then
//   on the hooks count as absent (ExistsScriptRoutine is false) until other source is loaded;
// - script files are read only from files and folders that no other user can change, and
//   decoded as UTF-8 or, failing that, Windows-1252 (scriptfiles.h).

#include "platform/script/scriptengine.h"
#include "scripting/host/tvarrec.h"

#include <QVariant>
#include <functional>

namespace tev {

class TvyxScripter;

// The handler of the debug path: receives the routine's name and the converted arguments, and
// leaves the routine's result in Return (Null when it sets nothing). The routine itself does not
// run unless the handler runs it.
using TvyxScriptDebugEvent = std::function<void(TvyxScripter *Sender, const QString &AMethodName,
                                                const TConstArray &Input, QVariant &Return)>;

class TvyxScripter : public script::ScriptEngine
{
    Q_OBJECT
    Q_PROPERTY(bool Debugging READ Debugging WRITE SetDebugging)

public:
    // The owner (the main window) frees the host with itself; FindComponent searches the
    // components it owns.
    explicit TvyxScripter(QObject *AOwner);
    ~TvyxScripter() override;

    // Sends every ExecuteMethod through the debug path (OnDebugSubroutine).
    bool Debugging() const { return FDebugging; }
    void SetDebugging(bool Value) { FDebugging = Value; }
    TvyxScriptDebugEvent OnDebugSubroutine;

    // True when the script is not empty and has a routine of that name. Compiles the script on
    // first use; a compile error is reported to OnCompileError and raised the first time, and
    // from then on the answer is false without compiling again, until other source is loaded.
    bool ExistsScriptRoutine(const QString &ALabel);
    // Runs the script routine with the arguments when the script has it; otherwise returns an
    // invalid Variant (Unassigned) and does nothing. Argument i is the routine's parameter i. An
    // argument made by VarByRef sends the call through the by-reference path, on which the
    // routine's var parameter writes back into the caller's Variant. Errors pass to the caller.
    QVariant ExecuteMethod(const QString &MethodName, const QVariantList &AParams = {});
    using ScriptEngine::ExecuteSubroutine;
    // Runs a routine of the script with an argument list of entries (see tvarrec.h); entries of
    // by-reference arguments receive the routine's var parameters.
    QVariant ExecuteSubroutine(const QString &ALabel, const TConstArray &Input);

    using ScriptEngine::DefineClassByRTTI;
    // Exposes a Qt class with its properties, invokable methods, slots and signals, and its
    // ancestors; an empty name is the class's own name. An existing definition is kept.
    script::ScriptClass *DefineClassByRTTI(const QMetaObject &AClass,
                                           const QString &AClassName = QString());

    // Reads "TevMain.pas" (or another script file) into SourceCode after checking that no other
    // user can change it; throws tev::Error when it is refused or cannot be read.
    void LoadScriptFile(const QString &FileName);
    const QString &ScriptFileName() const { return FScriptFileName; }
    // Adds a folder to the library search path for script units; a relative folder throws
    // tev::Error, since it would depend on the current folder.
    void AddSearchPath(const QString &Folder);
    // "file(line,column): message" of a compile error, with the file of the script or unit.
    QString CompileErrorText(const script::CompileError &E) const;

    // ScriptHost: units are looked for in the search path and checked like the script.
    bool findUnit(const QString &name, QString &source, QString &fileName) override;

private:
    QVariant DebugSubroutine(const QString &AMethodName, const TConstArray &Input);
    void DefineHostRoutines();
    void DefineDataClasses();

    bool FDebugging = false;
    QString FScriptFileName;
    QStringList FFailedSource; // the source whose compile error was reported
    bool FCompileFailed = false;
};

// The Variant form of an object for ExecuteMethod (the window passed to "FormCreate").
QVariant ObjectToVariant(QObject *AObject);

} // namespace tev
