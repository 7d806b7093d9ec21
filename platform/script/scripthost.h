#pragma once

// The one interface through which the compiler and the interpreter reach their host: output,
// script units, and the names the host binds (native routines, classes, constants, objects,
// libraries). The interpreter knows nothing else of the engine or of Qt's object model.

#include <QString>
#include <vector>

#include "platform/script/value.h"

namespace tev::script {

struct NativeRoutine;
class ScriptClass;
class LibraryScope;
class NativeCall;

struct HostSymbol
{
    enum class Kind { None, Routine, Class, Value, Library };
    Kind kind = Kind::None;
    const NativeRoutine *routine = nullptr;
    const ScriptClass *cls = nullptr;
    const LibraryScope *library = nullptr;
    Value value;
};

class ScriptHost
{
public:
    virtual ~ScriptHost() = default;

    // Text written by Write and WriteLn.
    virtual void output(const QString &text) = 0;

    // A name of a uses clause: true when a library of that name is (now) attached; otherwise the
    // source of a script unit of that name, with its file name, or false when nothing supplies it.
    // A unit the host refuses to use throws tev::Error with the reason, which becomes the
    // compile error at the uses clause.
    virtual bool attachLibrary(const QString &name) = 0;
    virtual bool findUnit(const QString &name, QString &source, QString &fileName) = 0;

    // A global name the host binds, compared without regard to case.
    virtual HostSymbol lookup(const QString &name) const = 0;

    // The class of an object value's exceptions: "Exception", "EConvertError", ...
    virtual const ScriptClass *findClass(const QString &name) const = 0;

    // Makes the exception object a script sees for a run-time error raised by native code.
    virtual Value makeException(const QString &className, const QString &message) = 0;

    // Members that an object's class table lacks: the meta-object's properties, invokable
    // methods and signals, and the common VCL names on Qt objects. False when there is none.
    enum class Access { Get, Set, Call };
    virtual bool dynamicMember(const Value &self, const QString &name, Access access,
                               std::vector<Value> &args, Value &result)
    {
        (void)self, (void)name, (void)access, (void)args, (void)result;
        return false;
    }
    virtual bool hasDynamicMember(const Value &self, const QString &name)
    {
        (void)self, (void)name;
        return false;
    }

    // Called by the interpreter at every step while Paused is set; returns when resumed.
    virtual void pausePoint() {}
};

} // namespace tev::script
