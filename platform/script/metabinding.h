#pragma once

#include <QMetaType>
#include <QVariant>

#include "platform/script/value.h"

namespace tev::script {

class ScriptEngine;

// Conversions between script values and Qt's variants, for meta-object properties and methods.
QVariant toQVariant(const Value &v, QMetaType target);
Value fromQVariant(ScriptEngine &engine, const QVariant &v);

// Members of a QObject found through its meta-object, by name without regard to case, and the
// common VCL names on Qt objects: Caption (text, title or windowTitle), Hint (toolTip), Enabled,
// Visible, Name (objectName), and the events OnClick (clicked or triggered) and OnChange. An
// event takes a routine reference or a routine's name. A name that is no member of the object
// finds the component of that name the object owns (ScriptEngine::FindComponent).
bool metaGet(ScriptEngine &engine, QObject *object, const QString &name, Value &out);
bool metaSet(ScriptEngine &engine, QObject *object, const QString &name, const Value &v);
bool metaCall(ScriptEngine &engine, QObject *object, const QString &name, std::vector<Value> &args,
              Value &out);
bool metaHas(ScriptEngine &engine, QObject *object, const QString &name);
// The index of the signal an event name stands for (OnClick, OnClicked, clicked), or -1.
int metaSignalFor(const QMetaObject *meta, const QString &eventName);

} // namespace tev::script
