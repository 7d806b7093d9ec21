#include "platform/script/scriptobject.h"

#include "platform/script/scripterror.h"

namespace tev::script {

NativeRoutine &ScriptClass::DefineMethod(const QString &name, int argCount, TypeKind resultKind,
                                         NativeProc proc, bool isClassMethod, int defArgCount,
                                         const QString &hint)
{
    auto r = std::make_shared<NativeRoutine>();
    r->name = name;
    r->argCount = argCount;
    r->resultKind = resultKind;
    r->proc = std::move(proc);
    r->isClassMethod = isClassMethod;
    r->defArgCount = defArgCount;
    r->hint = hint;
    const QString key = name.toLower();
    if (auto old = m_methods.value(key))
        m_retiredMethods.push_back(std::move(old));
    m_methods.insert(key, r);
    return *r;
}

ScriptProperty &ScriptClass::DefineProperty(const QString &name, int indexCount, NativeProc getter,
                                            NativeProc setter)
{
    auto p = std::make_shared<ScriptProperty>();
    p->name = name;
    p->indexCount = indexCount;
    p->getter = std::move(getter);
    p->setter = std::move(setter);
    const QString key = name.toLower();
    if (auto old = m_properties.value(key))
        m_retiredProperties.push_back(std::move(old));
    m_properties.insert(key, p);
    return *p;
}

const NativeRoutine *ScriptClass::findMethod(const QString &name) const
{
    const QString key = name.toLower();
    for (const ScriptClass *c = this; c; c = c->m_parent) {
        const auto it = c->m_methods.constFind(key);
        if (it != c->m_methods.cend())
            return it->get();
    }
    return nullptr;
}

const ScriptProperty *ScriptClass::findProperty(const QString &name) const
{
    const QString key = name.toLower();
    for (const ScriptClass *c = this; c; c = c->m_parent) {
        const auto it = c->m_properties.constFind(key);
        if (it != c->m_properties.cend())
            return it->get();
    }
    return nullptr;
}

const Value *ScriptClass::findConstant(const QString &name) const
{
    const QString key = name.toLower();
    for (const ScriptClass *c = this; c; c = c->m_parent) {
        const auto it = c->m_constants.constFind(key);
        if (it != c->m_constants.cend())
            return &*it;
    }
    return nullptr;
}

const ScriptProperty *ScriptClass::defaultProperty() const
{
    for (const ScriptClass *c = this; c; c = c->m_parent) {
        if (!c->m_defaultProperty.isEmpty())
            return c->findProperty(c->m_defaultProperty);
    }
    return nullptr;
}

bool ScriptClass::inheritsFrom(const ScriptClass *other) const
{
    for (const ScriptClass *c = this; c; c = c->m_parent)
        if (c == other)
            return true;
    return false;
}

const QMetaObject *ScriptClass::nearestMetaObject() const
{
    for (const ScriptClass *c = this; c; c = c->m_parent)
        if (c->m_meta)
            return c->m_meta;
    return nullptr;
}

// ---- ObjectBox ----

ObjectRef ObjectBox::hosted(QObject *object, const ScriptClass *cls)
{
    auto box = std::make_shared<ObjectBox>(cls);
    box->m_qobject = object;
    box->m_isQObject = true;
    box->m_host = true;
    return box;
}

ObjectRef ObjectBox::created(std::unique_ptr<QObject> object, const ScriptClass *cls)
{
    auto box = std::make_shared<ObjectBox>(cls);
    box->m_qobject = object.get();
    box->m_ownedQObject = std::move(object);
    box->m_isQObject = true;
    return box;
}

ObjectRef ObjectBox::createdWithParent(QObject *object, const ScriptClass *cls)
{
    auto box = std::make_shared<ObjectBox>(cls);
    box->m_qobject = object;
    box->m_isQObject = true;
    return box;
}

ObjectRef ObjectBox::owned(std::unique_ptr<NativeObject> object, const ScriptClass *cls)
{
    auto box = std::make_shared<ObjectBox>(cls);
    box->m_native = std::move(object);
    return box;
}

ObjectRef ObjectBox::borrowed(NativeObject *object, QObject *keeper, const ScriptClass *cls)
{
    auto box = std::make_shared<ObjectBox>(cls);
    box->m_borrowed = object;
    box->m_qobject = keeper;
    box->m_host = true;
    return box;
}

ObjectBox::~ObjectBox()
{
    // An owned QObject that gained a parent since belongs to that parent now.
    if (m_ownedQObject && m_ownedQObject->parent())
        (void)m_ownedQObject.release();
}

bool ObjectBox::alive() const
{
    if (m_freed)
        return false;
    if (m_isQObject || m_borrowed)
        return !m_qobject.isNull();
    return m_native != nullptr;
}

void ObjectBox::checkAlive() const
{
    if (m_freed)
        raiseError(QStringLiteral("EAccessViolation"),
                   QStringLiteral("Access to a freed object of class %1").arg(m_class->name()));
    if (!alive())
        raiseError(QStringLiteral("EAccessViolation"),
                   QStringLiteral("Access to a destroyed object of class %1").arg(m_class->name()));
}

void ObjectBox::free()
{
    if (m_freed)
        raiseError(QStringLiteral("EInvalidPointer"), QStringLiteral("Invalid pointer operation"));
    if (m_host)
        raiseError(QStringLiteral("EInvalidOperation"),
                   QStringLiteral("Cannot free an object that belongs to the host"));
    m_freed = true;
    if (m_ownedQObject && m_ownedQObject->parent())
        (void)m_ownedQObject.release();
    m_ownedQObject.reset();
    if (m_isQObject && m_qobject) {
        // Created with an owner: freeing it takes it out of its owner.
        std::unique_ptr<QObject> doomed(m_qobject.data());
        m_qobject.clear();
    }
    m_native.reset();
}

// ---- NativeCall ----

const Value &NativeCall::GetInputArg(int i) const
{
    if (i < 0 || i >= InputArgCount())
        raiseError(QStringLiteral("EScriptError"),
                   QStringLiteral("Argument %1 is missing").arg(i + 1));
    return m_args[static_cast<size_t>(i)];
}

QString NativeCall::GetInputArgAsString(int i) const
{
    return GetInputArg(i).toString();
}
qint64 NativeCall::GetInputArgAsInteger(int i) const
{
    return GetInputArg(i).toInteger();
}
double NativeCall::GetInputArgAsFloat(int i) const
{
    return GetInputArg(i).toFloat();
}
bool NativeCall::GetInputArgAsBoolean(int i) const
{
    return GetInputArg(i).toBoolean();
}

QChar NativeCall::GetInputArgAsChar(int i) const
{
    const Value &v = GetInputArg(i);
    if (v.isInteger())
        return QChar(static_cast<char16_t>(v.rawInt() & 0xFFFF));
    const QString s = v.toString();
    if (s.isEmpty())
        raiseError(
            QStringLiteral("EConvertError"),
            QStringLiteral("Argument %1: a character expected but the text is empty").arg(i + 1));
    return s.at(0);
}

ObjectBox *NativeCall::GetInputArgAsObject(int i) const
{
    const Value &v = GetInputArg(i);
    if (v.isEmpty() || v.isNull())
        return nullptr;
    if (!v.isObject())
        raiseError(QStringLiteral("EInvalidCast"),
                   QStringLiteral("Argument %1: an object expected but %2 found")
                       .arg(i + 1)
                       .arg(v.typeName()));
    ObjectBox *box = v.rawObject().get();
    if (box)
        box->checkAlive();
    return box;
}

void NativeCall::SetInputArg(int i, const Value &v)
{
    if (i >= 0 && i < InputArgCount())
        m_args[static_cast<size_t>(i)] = v;
}

ObjectBox *NativeCall::CurrentObject() const
{
    if (!m_self || !m_self->isObject() || !m_self->rawObject())
        return nullptr;
    m_self->rawObject()->checkAlive();
    return m_self->rawObject().get();
}

const ScriptClass *NativeCall::CurrentClass() const
{
    if (!m_self)
        return nullptr;
    if (m_self->type() == VType::Class)
        return m_self->rawClass();
    if (m_self->isObject() && m_self->rawObject())
        return m_self->rawObject()->cls();
    return nullptr;
}

void NativeCall::invalidCast()
{
    raiseError(QStringLiteral("EInvalidCast"), QStringLiteral("Invalid class typecast"));
}

} // namespace tev::script
