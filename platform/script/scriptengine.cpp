#include "platform/script/scriptengine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMetaMethod>
#include <QThread>
#include <cxxabi.h>

#include "platform/script/interpreter.h"
#include "platform/script/lib/stocklibraries.h"
#include "platform/script/metabinding.h"
#include "platform/script/parser.h"
#include "platform/script/scriptlibrary.h"
#include "platform/script/scriptstack.h"

namespace tev::script {

namespace {

// The fields of a record object (TProductVersion and the like).
class RecordObject : public NativeObject
{
public:
    QHash<QString, Value> fields;
};

} // namespace

ScriptEngine::ScriptEngine(QObject *parent)
    : QObject(parent)
{
    registerStockLibraries();
    // System is the language's own library: always there, as in the dialect.
    LoadLibrary(QStringLiteral("System"), true, false);
}

ScriptEngine::~ScriptEngine()
{
    for (const QPointer<EventSink> &s : m_sinks)
        if (s)
            std::unique_ptr<EventSink> doomed(s.data());
    m_interpreter.reset();
}

// ---- the script ----

void ScriptEngine::SetSourceCode(const QStringList &lines)
{
    if (Running())
        throw ScriptError(QStringLiteral("EScriptError"),
                          QStringLiteral("The script cannot change while it runs"));
    m_source = lines;
    uncompile();
}

void ScriptEngine::SetSourceText(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    SetSourceCode(t.split(QLatin1Char('\n')));
}

void ScriptEngine::uncompile()
{
    for (const QPointer<EventSink> &s : m_sinks)
        if (s)
            std::unique_ptr<EventSink> doomed(s.data());
    m_sinks.clear();
    m_compiled = false;
    if (m_interpreter && m_interpreter->running())
        m_retired.push_back(std::move(m_interpreter));
    m_interpreter.reset();
    m_program.reset();
}

void ScriptEngine::Compile()
{
    if (Running())
        throw ScriptError(QStringLiteral("EScriptError"),
                          QStringLiteral("The script cannot compile while it runs"));
    uncompile();
    auto program = std::make_shared<Program>();
    try {
        Parser parser(*this, *program, OptionExplicit);
        parser.parseMain(m_source.join(QLatin1Char('\n')));
    } catch (const CompileError &e) {
        if (OnCompileError)
            OnCompileError(e);
        throw;
    }
    m_program = program;
    m_interpreter = std::make_unique<Interpreter>(*this, this, program);
    m_compiled = true;
    try {
        run([](Interpreter &in) {
            in.initialize();
            return Value();
        });
    } catch (...) {
        uncompile();
        throw;
    }
}

void ScriptEngine::Execute()
{
    if (!m_compiled)
        Compile();
    run([](Interpreter &in) {
        in.runMain();
        return Value();
    });
}

Value ScriptEngine::run(const std::function<Value(Interpreter &)> &body)
{
    Interpreter &in = *m_interpreter;
    in.setStepLimit(m_stepLimit);
    in.setPauseRequested(m_paused);
    Value result;
    ScriptStack::run([&] { result = body(in); });
    return result;
}

// A host calls a routine with the arguments it has: extra ones are dropped, missing required
// ones are Unassigned, missing optional ones take their defaults.
void ScriptEngine::fitArguments(const Routine &routine, std::vector<Value> &args)
{
    if (args.size() > routine.params.size())
        args.resize(routine.params.size());
    if (args.size() < static_cast<size_t>(routine.requiredParams))
        args.resize(static_cast<size_t>(routine.requiredParams));
}

const Routine *ScriptEngine::RoutineByName(const QString &name) const
{
    if (!m_compiled || !m_program)
        return nullptr;
    const Routine *r = m_program->routineIndex.value(name.toLower());
    return r && r->defined ? r : nullptr;
}

Value ScriptEngine::ExecuteSubroutine(const QString &name)
{
    return ExecuteSubroutine(name, std::vector<Value>());
}

Value ScriptEngine::ExecuteSubroutine(const QString &name, const std::vector<Value> &input)
{
    if (!m_compiled)
        Compile();
    const Routine *r = RoutineByName(name);
    if (!r)
        throw ScriptError(QStringLiteral("EScriptError"),
                          QStringLiteral("Routine '%1' not found").arg(name));
    std::vector<Value> args = input;
    fitArguments(*r, args);
    return run([&](Interpreter &in) { return in.call(*r, args); });
}

Value ScriptEngine::ExecuteSubroutine(const QString &name, const std::vector<Value *> &byRef)
{
    if (!m_compiled)
        Compile();
    const Routine *r = RoutineByName(name);
    if (!r)
        throw ScriptError(QStringLiteral("EScriptError"),
                          QStringLiteral("Routine '%1' not found").arg(name));
    std::vector<Value> args;
    for (Value *p : byRef)
        args.push_back(p ? *p : Value());
    fitArguments(*r, args);
    struct WriteBack
    {
        const std::vector<Value *> &targets;
        std::vector<Value> &args;
        ~WriteBack()
        {
            for (size_t i = 0; i < targets.size() && i < args.size(); ++i)
                if (targets[i])
                    *targets[i] = args[i];
        }
    } writeBack{byRef, args};
    return run([&](Interpreter &in) { return in.call(*r, args); });
}

bool ScriptEngine::Running() const
{
    return m_interpreter && m_interpreter->running();
}

void ScriptEngine::SetPaused(bool paused)
{
    m_paused = paused;
    if (m_interpreter)
        m_interpreter->setPauseRequested(paused);
}

void ScriptEngine::pausePoint()
{
    // A paused script waits here, on the main thread, with events still served.
    while (m_paused) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    if (m_interpreter)
        m_interpreter->setPauseRequested(false);
}

// ---- binding ----

bool ScriptEngine::LoadLibrary(const QString &name, bool isDefault, bool silent)
{
    const QString key = name.toLower();
    if (m_libraries.contains(key))
        return true;
    const LibraryList::Item *item = LibraryList::Find(name);
    if (!item) {
        if (silent)
            return false;
        throw tev::Error(QStringLiteral("Library '%1' not found").arg(name));
    }
    auto scope = std::make_shared<LibraryScope>(item->name);
    m_libraries.insert(key, scope);
    std::unique_ptr<ScriptLibrary> lib = item->factory(*this);
    LibraryScope *savedScope = m_loadingLibrary;
    const bool savedDefault = m_loadingDefault;
    m_loadingLibrary = scope.get();
    m_loadingDefault = isDefault;
    struct Restore
    {
        ScriptEngine &e;
        LibraryScope *scope;
        bool def;
        ~Restore()
        {
            e.m_loadingLibrary = scope;
            e.m_loadingDefault = def;
        }
    } restore{*this, savedScope, savedDefault};
    lib->Init();
    m_libraryInstances.push_back(std::move(lib));
    return true;
}

ScriptClass *ScriptEngine::DefineClass(const QString &name, const ScriptClass *parent,
                                       Redefine mode)
{
    const QString key = name.toLower();
    if (auto existing = m_classes.value(key)) {
        if (mode == Redefine::roNone) {
            if (parent && !existing->parent())
                existing->setParent(parent);
            return existing.get();
        }
        m_retiredClasses.push_back(existing);
    }
    const ScriptClass *base = parent;
    if (!base && key != QLatin1String("tobject"))
        base = FindClass(QStringLiteral("TObject"));
    auto cls = std::make_shared<ScriptClass>(name, base);
    m_classes.insert(key, cls);
    if (m_loadingLibrary)
        m_loadingLibrary->classes.insert(key, cls.get());
    return cls.get();
}

ScriptClass *ScriptEngine::DefineClassByRTTI(const QMetaObject *meta, const QString &name,
                                             bool recursive, Redefine mode)
{
    if (!meta)
        return nullptr;
    // Scripts cannot write a C++ namespace: tev::TTevProject is TTevProject.
    const QString className =
        name.isEmpty() ? QString::fromLatin1(meta->className()).section(QStringLiteral("::"), -1)
                       : name;
    // An ancestor that has a class already keeps it (QObject is TComponent).
    const ScriptClass *parent = nullptr;
    if (meta->superClass()) {
        parent = m_metaClasses.value(meta->superClass());
        if (!parent && recursive)
            parent = DefineClassByRTTI(meta->superClass(), QString(), true, Redefine::roNone);
    }
    ScriptClass *existing = FindClass(className);
    if (existing && mode == Redefine::roNone) {
        if (!existing->metaObject())
            existing->setMetaObject(meta);
        m_metaClasses.insert(meta, existing);
        return existing;
    }
    ScriptClass *cls = DefineClass(className, parent, mode);
    cls->setMetaObject(meta);
    if (parent)
        cls->setParent(parent);
    m_metaClasses.insert(meta, cls);
    return cls;
}

ScriptClass *ScriptEngine::classForMeta(const QMetaObject *meta)
{
    for (const QMetaObject *m = meta; m; m = m->superClass()) {
        if (ScriptClass *c = m_metaClasses.value(m))
            return c;
    }
    return DefineClassByRTTI(meta, QString(), true, Redefine::roNone);
}

ScriptClass *ScriptEngine::DefineRecord(const QString &name, const QStringList &fields)
{
    ScriptClass *cls = DefineClass(name, nullptr, Redefine::roOverwrite);
    for (const QString &field : fields) {
        const QString key = field.toLower();
        cls->DefineProperty(
            field, 0,
            [key](NativeCall &c) {
                auto &rec = c.CurrentNative<RecordObject>();
                c.ReturnOutputArg(rec.fields.value(key));
            },
            [key](NativeCall &c) {
                auto &rec = c.CurrentNative<RecordObject>();
                rec.fields.insert(key, c.GetInputArg(c.InputArgCount() - 1));
            });
    }
    cls->DefineMethod(
        QStringLiteral("Create"), 0, TypeKind::tkClass,
        [this](NativeCall &c) { c.ReturnOutputArg(NewRecord(c.CurrentClass())); }, true);
    return cls;
}

Value ScriptEngine::NewRecord(const ScriptClass *recordClass)
{
    return NewObject(recordClass, std::make_unique<RecordObject>());
}

NativeRoutine &ScriptEngine::DefineMethod(const QString &name, int argCount, TypeKind resultKind,
                                          const QString &resultClass, NativeProc proc,
                                          bool isClassMethod, int defArgCount, const QString &hints)
{
    auto r = std::make_shared<NativeRoutine>();
    r->name = name;
    r->argCount = argCount;
    r->resultKind = resultKind;
    r->resultClass = resultClass;
    r->proc = std::move(proc);
    r->isClassMethod = isClassMethod;
    r->defArgCount = defArgCount;
    r->hint = hints;
    const QString key = name.toLower();
    const QString globalKey =
        !m_loadingLibrary || m_loadingDefault
            ? key
            : QStringLiteral(" ") + m_loadingLibrary->name().toLower() + QLatin1Char('.') + key;
    // A compiled script may still call the routine this one replaces: it stays alive.
    if (auto old = m_routines.value(globalKey))
        m_retiredRoutines.push_back(std::move(old));
    m_routines.insert(globalKey, r);
    if (m_loadingLibrary) {
        m_loadingLibrary->routines.insert(key, r.get());
        m_loadingLibrary->owned.push_back(r);
    }
    return *r;
}

void ScriptEngine::AddConstant(const QString &name, const Value &value)
{
    if (!m_loadingLibrary || m_loadingDefault)
        m_values.insert(name.toLower(), value);
    if (m_loadingLibrary)
        m_loadingLibrary->constants.insert(name.toLower(), value);
}

void ScriptEngine::AddObject(const QString &name, QObject *object)
{
    AddObject(name, ObjectToVariant(object));
}

void ScriptEngine::AddObject(const QString &name, const Value &value)
{
    m_values.insert(name.toLower(), value);
}

ScriptClass *ScriptEngine::FindClass(const QString &name) const
{
    return m_classes.value(name.toLower()).get();
}

Value ScriptEngine::ObjectToVariant(QObject *object)
{
    if (!object)
        return Value::nil();
    if (auto box = m_hostBoxes.value(object).lock()) {
        if (box->qobject() == object)
            return Value::object(box);
    }
    ObjectRef box = ObjectBox::hosted(object, classForMeta(object->metaObject()));
    m_hostBoxes.insert(object, box);
    return Value::object(box);
}

Value ScriptEngine::NewObject(const ScriptClass *cls, std::unique_ptr<NativeObject> object)
{
    return Value::object(ObjectBox::owned(std::move(object), cls));
}

Value ScriptEngine::BorrowedObject(const ScriptClass *cls, NativeObject *object, QObject *keeper)
{
    if (!object || !keeper)
        return Value::nil();
    return Value::object(ObjectBox::borrowed(object, keeper, cls));
}

Value ScriptEngine::NewQObject(const ScriptClass *cls, std::unique_ptr<QObject> object)
{
    QObject *raw = object.get();
    ObjectRef box = raw->parent() ? ObjectBox::createdWithParent(object.release(), cls)
                                  : ObjectBox::created(std::move(object), cls);
    m_hostBoxes.insert(raw, box);
    return Value::object(box);
}

// ---- ScriptHost ----

void ScriptEngine::output(const QString &text)
{
    if (OnOutput)
        OnOutput(text);
}

bool ScriptEngine::attachLibrary(const QString &name)
{
    return LoadLibrary(name, true, true);
}

bool ScriptEngine::findUnit(const QString &name, QString &source, QString &fileName)
{
    if (!Options.UseScriptFiles)
        return false;
    const QString wanted = name + Options.SourceFileExt;
    for (const QString &dir : Options.SearchPath) {
        // File names compare without regard to case, as unit names do.
        QString path;
        for (const QString &entry : QDir(dir).entryList(QDir::Files))
            if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
                path = QDir(dir).filePath(entry);
        if (path.isEmpty())
            continue;
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) {
            source = QString::fromUtf8(f.readAll());
            fileName = path;
            return true;
        }
    }
    return false;
}

HostSymbol ScriptEngine::lookup(const QString &name) const
{
    const QString key = name.toLower();
    HostSymbol s;
    if (const auto it = m_values.constFind(key); it != m_values.cend()) {
        s.kind = HostSymbol::Kind::Value;
        s.value = *it;
        return s;
    }
    if (const auto it = m_routines.constFind(key); it != m_routines.cend()) {
        s.kind = HostSymbol::Kind::Routine;
        s.routine = it->get();
        return s;
    }
    if (ScriptClass *c = FindClass(name)) {
        s.kind = HostSymbol::Kind::Class;
        s.cls = c;
        return s;
    }
    if (const auto it = m_libraries.constFind(key); it != m_libraries.cend()) {
        s.kind = HostSymbol::Kind::Library;
        s.library = it->get();
        return s;
    }
    return s;
}

Value ScriptEngine::makeException(const QString &className, const QString &message)
{
    const ScriptClass *cls = FindClass(className);
    if (!cls)
        cls = FindClass(QStringLiteral("Exception"));
    return NewObject(cls, std::make_unique<ExceptionObject>(message));
}

bool ScriptEngine::dynamicMember(const Value &self, const QString &name, Access access,
                                 std::vector<Value> &args, Value &result)
{
    if (!self.isObject() || !self.rawObject())
        return false;
    QObject *object = self.rawObject()->qobject();
    if (!object)
        return false;
    // A host object's property or method may throw; the error becomes a script exception so that
    // the script's own try/except sees it, as it does for registered routines.
    try {
        switch (access) {
        case Access::Get:
            return metaGet(*this, object, name, result);
        case Access::Set:
            return !args.empty() && metaSet(*this, object, name, args.back());
        case Access::Call:
            return metaCall(*this, object, name, args, result);
        }
    } catch (const ScriptError &) {
        throw;
    } catch (const tev::Error &e) {
        raiseError(QStringLiteral("Exception"), e.message());
    } catch (const std::bad_alloc &) {
        raiseError(QStringLiteral("EOutOfMemory"), QStringLiteral("Out of memory"));
    } catch (const std::exception &e) {
        raiseError(QStringLiteral("Exception"), QString::fromLocal8Bit(e.what()));
    } catch (const abi::__forced_unwind &) {
        throw;
    } catch (...) {
        raiseError(QStringLiteral("Exception"), unknownHostError());
    }
    return false;
}

bool ScriptEngine::hasDynamicMember(const Value &self, const QString &name)
{
    if (!self.isObject() || !self.rawObject() || !self.rawObject()->qobject())
        return false;
    return metaHas(*this, self.rawObject()->qobject(), name);
}

QObject *ScriptEngine::FindComponent(QObject *owner, const QString &name) const
{
    if (!owner || name.isEmpty())
        return nullptr;
    // Breadth first, so that the owner's own components win over deeper ones of the same name.
    QObjectList level = owner->children();
    while (!level.isEmpty()) {
        QObjectList below;
        for (QObject *child : level) {
            if (child->objectName().compare(name, Qt::CaseInsensitive) == 0)
                return child;
            if (!(IsOwnWindow && IsOwnWindow(child)))
                below += child->children();
        }
        level = std::move(below);
    }
    return nullptr;
}

// ---- events ----

bool ScriptEngine::setEventHandler(QObject *object, const QString &eventName, const Value &handler)
{
    const int signal = metaSignalFor(object->metaObject(), eventName);
    if (signal < 0)
        return false;
    const bool clear = !(handler.type() == VType::Routine);
    if (clear || EventSetMode == EventMode::esReplaceEvent) {
        for (QPointer<EventSink> &s : m_sinks) {
            if (s && s->parent() == object && s->signalIndex() == signal) {
                std::unique_ptr<EventSink> doomed(s.data());
                s.clear();
            }
        }
    }
    if (clear)
        return true;
    // Qt calls slots in the order they were connected: a script handler runs after the host's
    // own (esAddEventOnBottom). Adding on top is not possible with Qt's signals; it adds at the
    // bottom as well.
    auto sink = std::make_unique<EventSink>(this, handler.rawRoutine(), signal, object);
    const QMetaMethod slot = sink->metaObject()->method(sink->metaObject()->indexOfSlot("fire()"));
    QObject::connect(object, object->metaObject()->method(signal), sink.get(), slot);
    m_sinks.push_back(sink.release()); // owned by the object, as its child
    return true;
}

void ScriptEngine::fireEvent(const Routine *routine, QObject *sender)
{
    // Nothing leaves an event handler: Qt's event loop cannot carry an exception.
    try {
        if (!m_interpreter)
            return;
        std::vector<Value> args{ObjectToVariant(sender)};
        fitArguments(*routine, args);
        run([&](Interpreter &in) { return in.call(*routine, args); });
    } catch (const ScriptError &e) {
        reportEventError(e);
    } catch (const tev::Error &e) {
        reportEventError(ScriptError(QStringLiteral("Exception"), e.message()));
    } catch (const std::exception &e) {
        reportEventError(
            ScriptError(QStringLiteral("Exception"), QString::fromLocal8Bit(e.what())));
    } catch (const abi::__forced_unwind &) {
        throw;
    } catch (...) {
        reportEventError(ScriptError(QStringLiteral("Exception"), unknownHostError()));
    }
}

void ScriptEngine::reportEventError(const ScriptError &e)
{
    if (!OnEventError)
        return;
    try {
        OnEventError(e);
    } catch (...) {
        // The error sink itself failed; the event loop must still go on.
    }
}

void EventSink::fire()
{
    if (m_engine)
        m_engine->fireEvent(m_routine, parent());
}

} // namespace tev::script
