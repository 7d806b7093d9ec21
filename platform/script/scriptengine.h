#pragma once

// The script engine: compiles the current script on demand and runs its routines by name, and
// binds what the host exposes (libraries, classes from adapter tables or from Qt's meta-object
// system, routines, constants and named objects). The engine is the interpreter's ScriptHost;
// the interpreter itself knows nothing of Qt objects or libraries.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "platform/script/ast.h"
#include "platform/script/scripterror.h"
#include "platform/script/scripthost.h"
#include "platform/script/scriptobject.h"

namespace tev::script {

class Interpreter;
class ScriptLibrary;
class UiService;
class EventSink;

// How a script handler assigned to an event joins the handlers already there.
enum class EventMode { esReplaceEvent, esAddEventOnTop, esAddEventOnBottom };
// What a definition does with a class of the same name that exists already.
enum class Redefine { roNone, roOverwrite };

struct LibOptions
{
    QStringList SearchPath;
    QString SourceFileExt = QStringLiteral(".pas");
    QString FormFileExt = QStringLiteral(".dfm");
    bool UseScriptFiles = true;
};

class ScriptEngine : public QObject, public ScriptHost
{
    Q_OBJECT

public:
    explicit ScriptEngine(QObject *parent = nullptr);
    ~ScriptEngine() override;

    // ---- the script ----
    const QStringList &SourceCode() const { return m_source; }
    // Replaces the script; the engine is uncompiled afterwards.
    void SetSourceCode(const QStringList &lines);
    void SetSourceText(const QString &text);
    bool Compiled() const { return m_compiled; }
    // Compiles the script and initialises its globals. On an error OnCompileError hears of it
    // first, then CompileError is thrown and the script stays uncompiled.
    void Compile();
    // Compiles when needed and runs the main block.
    void Execute();
    // The routine of that name in the compiled script, or null (also when not compiled).
    const Routine *RoutineByName(const QString &name) const;
    // Runs a routine of the script (compiling first when needed); element i of the input is
    // parameter i. Extra arguments are dropped and missing required ones are Unassigned, so that
    // a host may call "FormCreate" with the window whether the script declares it or not. The
    // third form passes by reference: the routine's var parameters write back into the caller's
    // variables.
    Value ExecuteSubroutine(const QString &name);
    Value ExecuteSubroutine(const QString &name, const std::vector<Value> &input);
    Value ExecuteSubroutine(const QString &name, const std::vector<Value *> &byRef);
    bool Running() const;
    bool Paused() const { return m_paused; }
    void SetPaused(bool paused);

    bool OptionExplicit = false;
    EventMode EventSetMode = EventMode::esAddEventOnBottom;
    LibOptions Options;
    std::function<void(const CompileError &)> OnCompileError;
    // The sink for errors of script event handlers, which never pass through Qt's event loop.
    std::function<void(const ScriptError &)> OnEventError;
    std::function<void(const QString &)> OnOutput;

    // Steps (statements and loop rounds) one outermost call may take; 0 (the default) is no limit.
    void SetStepLimit(qint64 limit) { m_stepLimit = limit; }
    void SetUiService(UiService *service) { m_ui = service; }
    UiService *uiService() const { return m_ui; }

    // ---- binding ----
    // Attaches a registered library; with isDefault its names are usable without qualifier.
    // Throws "Library '%s' not found" unless silent.
    bool LoadLibrary(const QString &name, bool isDefault = true, bool silent = false);
    ScriptClass *DefineClass(const QString &name, const ScriptClass *parent = nullptr,
                             Redefine mode = Redefine::roNone);
    ScriptClass *DefineClassByRTTI(const QMetaObject *meta, const QString &name = QString(),
                                   bool recursive = true, Redefine mode = Redefine::roNone);
    // A record type: a class whose objects hold the named fields as read-write properties.
    ScriptClass *DefineRecord(const QString &name, const QStringList &fields);
    Value NewRecord(const ScriptClass *recordClass);
    NativeRoutine &DefineMethod(const QString &name, int argCount, TypeKind resultKind,
                                const QString &resultClass, NativeProc proc,
                                bool isClassMethod = false, int defArgCount = 0,
                                const QString &hints = QString());
    void AddConstant(const QString &name, const Value &value);
    void AddObject(const QString &name, QObject *object);
    void AddObject(const QString &name, const Value &value);

    ScriptClass *FindClass(const QString &name) const;
    // The component of that object name (without regard to case) that owner owns: its
    // descendants, without entering those that IsOwnWindow calls windows of their own (dialogs,
    // tool windows), whose components belong to them. Null when there is none.
    QObject *FindComponent(QObject *owner, const QString &name) const;
    // Tells FindComponent which objects are windows of their own; the engine knows no widgets.
    std::function<bool(const QObject *)> IsOwnWindow;
    // The object value of a host object: held weakly, always the same box for the same object.
    Value ObjectToVariant(QObject *object);
    // A new object value owned by the script.
    Value NewObject(const ScriptClass *cls, std::unique_ptr<NativeObject> object);
    // The object value of a native part of a host object, valid while keeper lives.
    Value BorrowedObject(const ScriptClass *cls, NativeObject *object, QObject *keeper);
    Value NewQObject(const ScriptClass *cls, std::unique_ptr<QObject> object);

    // ---- ScriptHost ----
    void output(const QString &text) override;
    bool attachLibrary(const QString &name) override;
    bool findUnit(const QString &name, QString &source, QString &fileName) override;
    HostSymbol lookup(const QString &name) const override;
    const ScriptClass *findClass(const QString &name) const override { return FindClass(name); }
    Value makeException(const QString &className, const QString &message) override;
    bool dynamicMember(const Value &self, const QString &name, Access access,
                       std::vector<Value> &args, Value &result) override;
    bool hasDynamicMember(const Value &self, const QString &name) override;
    void pausePoint() override;

    // Runs a script routine as the handler of an event of sender; errors go to OnEventError.
    void fireEvent(const Routine *routine, QObject *sender);
    // Connects or (routine null) disconnects script handlers of a signal of a host object.
    bool setEventHandler(QObject *object, const QString &eventName, const Value &handler);

private:
    void uncompile();
    // Runs body on the script stack (scriptstack.h).
    Value run(const std::function<Value(Interpreter &)> &body);
    static void fitArguments(const Routine &routine, std::vector<Value> &args);
    void reportEventError(const ScriptError &e);
    ScriptClass *classForMeta(const QMetaObject *meta);

    QStringList m_source;
    bool m_compiled = false;
    std::shared_ptr<Program> m_program;
    std::unique_ptr<Interpreter> m_interpreter;
    qint64 m_stepLimit = 0;
    bool m_paused = false;
    UiService *m_ui = nullptr;

    QHash<QString, std::shared_ptr<ScriptClass>> m_classes;     // lower-case name
    std::vector<std::shared_ptr<ScriptClass>> m_retiredClasses; // replaced definitions stay valid
    QHash<const QMetaObject *, ScriptClass *> m_metaClasses;
    QHash<QString, std::shared_ptr<NativeRoutine>> m_routines;
    std::vector<std::shared_ptr<NativeRoutine>> m_retiredRoutines; // replaced, maybe still called
    QHash<QString, Value> m_values;                                // constants and named objects
    QHash<QString, std::shared_ptr<LibraryScope>> m_libraries;
    std::vector<std::unique_ptr<ScriptLibrary>> m_libraryInstances;
    LibraryScope *m_loadingLibrary = nullptr;
    bool m_loadingDefault = true;
    QHash<QObject *, std::weak_ptr<ObjectBox>> m_hostBoxes;
    std::vector<QPointer<EventSink>> m_sinks;
    std::vector<std::unique_ptr<Interpreter>> m_retired; // interpreters still running when replaced
};

// Connects one signal of a host object to one script routine.
class EventSink : public QObject
{
    Q_OBJECT
public:
    EventSink(ScriptEngine *engine, const Routine *routine, int signalIndex, QObject *sender)
        : QObject(sender)
        , m_engine(engine)
        , m_routine(routine)
        , m_signalIndex(signalIndex)
    {}
    const Routine *routine() const { return m_routine; }
    int signalIndex() const { return m_signalIndex; }
    Q_SLOT void fire();

private:
    QPointer<ScriptEngine> m_engine;
    const Routine *m_routine;
    int m_signalIndex;
};

} // namespace tev::script
