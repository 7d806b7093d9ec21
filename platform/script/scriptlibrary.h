#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "platform/script/scriptobject.h"

namespace tev::script {

class ScriptEngine;

// A library of routines, constants and classes that scripts reach by name. Registered once per
// process in the LibraryList; an engine attaches it when it is loaded by name (the host's
// LoadLibrary or a script's uses clause), creating one instance and calling Init, in which the
// library defines its contents through the engine.
class ScriptLibrary
{
public:
    explicit ScriptLibrary(ScriptEngine &engine)
        : m_engine(engine)
    {}
    virtual ~ScriptLibrary() = default;
    virtual void Init() = 0;

protected:
    ScriptEngine &engine() const { return m_engine; }

private:
    ScriptEngine &m_engine;
};

using LibraryFactory = std::function<std::unique_ptr<ScriptLibrary>(ScriptEngine &)>;

// The process-wide list of registered libraries. Entries live to the end of the process.
class LibraryList
{
public:
    // Adds a library; a later registration of the same name (compared without regard to case)
    // replaces the earlier one. With explicitLoad false the library is attached to every new
    // engine.
    static void Add(const QString &name, LibraryFactory factory, bool explicitLoad = true);
    struct Item
    {
        QString name;
        LibraryFactory factory;
        bool explicitLoad = true;
    };
    static const Item *Find(const QString &name);
    static std::vector<Item> Items();
};

} // namespace tev::script
