#pragma once

// Classes, objects and native routines as scripts see them.
//
// A ScriptClass is either an explicit adapter table (methods and properties given as native
// procedures) or a view of a QMetaObject (properties, invokable methods and signals found by
// name), or both: table entries win. Every object a script holds sits in an ObjectBox. A box for
// a host object holds it weakly (QPointer), so a destroyed host object is an error on access. A
// box for a script-created object owns it; Free destroys it at once and leaves the box marked
// freed, and the last reference going away releases an object the script never freed.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "platform/script/value.h"

namespace tev::script {

class NativeCall;
class ScriptEngine;

// The declared result kind of a routine, as the dialect's registrations name them.
enum class TypeKind {
    tkNone,
    tkInteger,
    tkChar,
    tkEnumeration,
    tkFloat,
    tkString,
    tkSet,
    tkClass,
    tkMethod,
    tkVariant,
    tkArray,
    tkRecord,
    tkInt64,
    tkDynArray,
    tkUString
};

using NativeProc = std::function<void(NativeCall &)>;

// A routine implemented by the host: a global routine, a library routine or a method.
struct NativeRoutine
{
    QString name;
    int argCount = 0;    // -1: any number (Write, WriteLn, Format's open arrays are one argument)
    int defArgCount = 0; // how many of the last arguments may be left out
    QString hint;        // the parameter hint text, the routine's script signature
    TypeKind resultKind = TypeKind::tkNone;
    QString resultClass;
    NativeProc proc;
    bool isClassMethod = false; // callable on the class itself (constructors, class functions)
    std::vector<int> varArgs;   // positions of by-reference arguments, written back after the call

    NativeRoutine &SetVarArgs(std::vector<int> positions)
    {
        varArgs = std::move(positions);
        return *this;
    }
    bool isVarArg(int i) const
    {
        for (int v : varArgs)
            if (v == i)
                return true;
        return false;
    }
};

struct ScriptProperty
{
    QString name;
    int indexCount = 0; // arguments in brackets before the value: Strings[i], Values[name]
    NativeProc getter;  // reads the arguments, returns with ReturnOutputArg
    NativeProc setter;  // the value to store is the last argument
};

// A base for native objects owned by script boxes: TStringList, TIniFile, exceptions, records.
class NativeObject
{
public:
    virtual ~NativeObject() = default;
};

class ScriptClass
{
public:
    ScriptClass(const QString &name, const ScriptClass *parent, const QMetaObject *meta = nullptr)
        : m_name(name)
        , m_parent(parent)
        , m_meta(meta)
    {}
    const QString &name() const { return m_name; }
    const ScriptClass *parent() const { return m_parent; }
    void setParent(const ScriptClass *p) { m_parent = p; }
    const QMetaObject *metaObject() const { return m_meta; }
    void setMetaObject(const QMetaObject *m) { m_meta = m; }

    NativeRoutine &DefineMethod(const QString &name, int argCount, TypeKind resultKind,
                                NativeProc proc, bool isClassMethod = false, int defArgCount = 0,
                                const QString &hint = QString());
    ScriptProperty &DefineProperty(const QString &name, int indexCount, NativeProc getter,
                                   NativeProc setter = {});
    void SetDefaultProperty(const QString &name) { m_defaultProperty = name; }
    void AddConstant(const QString &name, const Value &v) { m_constants.insert(name.toLower(), v); }

    const NativeRoutine *findMethod(const QString &name) const;
    const ScriptProperty *findProperty(const QString &name) const;
    const Value *findConstant(const QString &name) const;
    // The default indexed property of the class or its ancestors, or null.
    const ScriptProperty *defaultProperty() const;
    bool inheritsFrom(const ScriptClass *other) const;
    // True when the class or an ancestor is a view of a meta-object.
    const QMetaObject *nearestMetaObject() const;

private:
    QString m_name;
    const ScriptClass *m_parent;
    const QMetaObject *m_meta;
    // Held by shared pointers: compiled scripts and running calls keep raw pointers to methods
    // and properties, so a redefinition retires the old entry instead of freeing it.
    QHash<QString, std::shared_ptr<NativeRoutine>> m_methods;
    QHash<QString, std::shared_ptr<ScriptProperty>> m_properties;
    std::vector<std::shared_ptr<NativeRoutine>> m_retiredMethods;
    std::vector<std::shared_ptr<ScriptProperty>> m_retiredProperties;
    QHash<QString, Value> m_constants;
    QString m_defaultProperty;
};

class ObjectBox
{
public:
    // A host object: held weakly, never destroyed by the script.
    static ObjectRef hosted(QObject *object, const ScriptClass *cls);
    // A QObject the script created. Without a parent the script owns it; with one, the parent
    // does and the box only watches it.
    static ObjectRef created(std::unique_ptr<QObject> object, const ScriptClass *cls);
    static ObjectRef createdWithParent(QObject *object, const ScriptClass *cls);
    // A native object the script owns.
    static ObjectRef owned(std::unique_ptr<NativeObject> object, const ScriptClass *cls);
    // A native part of a host object (a query's SQL list): alive while its keeper lives, never
    // destroyed by the script.
    static ObjectRef borrowed(NativeObject *object, QObject *keeper, const ScriptClass *cls);

    ObjectBox(const ScriptClass *cls)
        : m_class(cls)
    {}
    ~ObjectBox();

    const ScriptClass *cls() const { return m_class; }
    // Throws EAccessViolation when the object was freed or destroyed.
    void checkAlive() const;
    bool alive() const;
    QObject *qobject() const { return m_isQObject ? m_qobject.data() : nullptr; }
    NativeObject *native() const
    {
        if (m_borrowed)
            return m_qobject ? m_borrowed : nullptr;
        return m_native.get();
    }
    // Free from a script: destroys what the script owns; a host object cannot be freed.
    void free();
    bool isHostObject() const { return m_host; }

private:
    const ScriptClass *m_class;
    QPointer<QObject> m_qobject;
    std::unique_ptr<QObject> m_ownedQObject;
    std::unique_ptr<NativeObject> m_native;
    NativeObject *m_borrowed = nullptr; // kept alive by m_qobject, which is then its keeper
    bool m_isQObject = false;
    bool m_host = false;
    bool m_freed = false;
};

// A native routine's view of its call: the arguments, the result, and the object or class it
// was called on. Arguments are numbered from 0.
class NativeCall
{
public:
    NativeCall(ScriptEngine *engine, std::vector<Value> &args, const Value *self)
        : m_engine(engine)
        , m_args(args)
        , m_self(self)
    {}

    int InputArgCount() const { return static_cast<int>(m_args.size()); }
    const Value &GetInputArg(int i) const;
    QString GetInputArgAsString(int i) const;
    qint64 GetInputArgAsInteger(int i) const;
    // The first character of the argument's text; an empty text is a run-time error.
    QChar GetInputArgAsChar(int i) const;
    double GetInputArgAsFloat(int i) const;
    bool GetInputArgAsBoolean(int i) const;
    // The object an argument refers to, checked alive; nil gives null.
    ObjectBox *GetInputArgAsObject(int i) const;
    template <class T> T *GetInputArgAsNative(int i) const
    {
        ObjectBox *box = GetInputArgAsObject(i);
        return box ? checkedNative<T>(box) : nullptr;
    }

    void ReturnOutputArg(const Value &v) { m_result = v; }
    const Value &result() const { return m_result; }
    void SetInputArg(int i, const Value &v);

    // The object a method was called on (checked alive), or null for a global routine or a
    // call on the class.
    ObjectBox *CurrentObject() const;
    const ScriptClass *CurrentClass() const;
    template <class T> T &CurrentNative() const
    {
        ObjectBox *box = CurrentObject();
        if (!box)
            invalidCast();
        return *checkedNative<T>(box);
    }
    ScriptEngine *engine() const { return m_engine; }

private:
    template <class T> static T *checkedNative(ObjectBox *box)
    {
        auto *p = dynamic_cast<T *>(box->native());
        if (!p)
            invalidCast();
        return p;
    }
    [[noreturn]] static void invalidCast();

    ScriptEngine *m_engine;
    std::vector<Value> &m_args;
    const Value *m_self;
    Value m_result;
};

// The routines, constants and classes of one attached library, reachable by qualifier.
class LibraryScope
{
public:
    explicit LibraryScope(const QString &name)
        : m_name(name)
    {}
    const QString &name() const { return m_name; }
    QHash<QString, const NativeRoutine *> routines;
    // The library's routines stay alive with the library, whatever later definitions replace in
    // the engine's global table.
    std::vector<std::shared_ptr<const NativeRoutine>> owned;
    QHash<QString, Value> constants;
    QHash<QString, const ScriptClass *> classes;

private:
    QString m_name;
};

} // namespace tev::script
