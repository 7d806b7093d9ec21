#include "platform/script/metabinding.h"

#include <QDateTime>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QObject>

#include "platform/script/datetime.h"
#include "platform/script/scriptengine.h"

namespace tev::script {

namespace {

struct Alias
{
    const char *vcl;
    const char *qt[3];
};

// The common VCL names and the Qt properties or signals they stand for, tried in order.
const Alias propertyAliases[] = {
    {"caption", {"text", "title", "windowTitle"}}, {"hint", {"toolTip", nullptr, nullptr}},
    {"enabled", {"enabled", nullptr, nullptr}},    {"visible", {"visible", nullptr, nullptr}},
    {"name", {"objectName", nullptr, nullptr}},    {"text", {"text", "plainText", "currentText"}},
    {"checked", {"checked", nullptr, nullptr}},
};
const Alias eventAliases[] = {
    {"onclick", {"clicked", "triggered", nullptr}},
    {"onchange", {"textChanged", "currentIndexChanged", "valueChanged"}},
};

int findProperty(const QMetaObject *meta, const QString &name)
{
    for (int i = 0; i < meta->propertyCount(); ++i)
        if (QLatin1String(meta->property(i).name()).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    for (const Alias &a : propertyAliases) {
        if (name.compare(QLatin1String(a.vcl), Qt::CaseInsensitive) != 0)
            continue;
        for (const char *q : a.qt) {
            if (!q)
                break;
            const int i = meta->indexOfProperty(q);
            if (i >= 0)
                return i;
        }
    }
    return -1;
}

int findSignalByName(const QMetaObject *meta, const QString &name)
{
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        if (m.methodType() == QMetaMethod::Signal &&
            QLatin1String(m.name()).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

int metaSignalFor(const QMetaObject *meta, const QString &eventName)
{
    for (const Alias &a : eventAliases) {
        if (eventName.compare(QLatin1String(a.vcl), Qt::CaseInsensitive) != 0)
            continue;
        for (const char *q : a.qt) {
            if (!q)
                break;
            const int i = findSignalByName(meta, QLatin1String(q));
            if (i >= 0)
                return i;
        }
    }
    if (eventName.startsWith(QLatin1String("On"), Qt::CaseInsensitive)) {
        const int i = findSignalByName(meta, eventName.mid(2));
        if (i >= 0)
            return i;
    }
    return findSignalByName(meta, eventName);
}

QVariant toQVariant(const Value &v, QMetaType target)
{
    QVariant q;
    switch (v.type()) {
    case VType::Empty:
        q = QVariant();
        break;
    case VType::Null:
        q = QVariant();
        break;
    case VType::Boolean:
        q = v.rawBool();
        break;
    case VType::Integer:
        q = v.rawInt();
        break;
    case VType::Float:
        q = v.rawFloat();
        break;
    case VType::DateTime:
        q = fromDateTimeValue(v.rawFloat());
        break;
    case VType::String:
        q = v.rawString();
        break;
    case VType::Object:
        q = QVariant::fromValue(v.rawObject() && v.rawObject()->alive() ? v.rawObject()->qobject()
                                                                        : nullptr);
        break;
    case VType::Array: {
        QVariantList list;
        for (const Value &item : v.rawArray().items)
            list << toQVariant(item, QMetaType());
        if (target.id() == QMetaType::QStringList) {
            QStringList s;
            for (const Value &item : v.rawArray().items)
                s << item.toString();
            return s;
        }
        q = list;
        break;
    }
    default:
        break;
    }
    if (target.isValid() && target.id() != QMetaType::QVariant && q.metaType() != target) {
        if (target.flags() & QMetaType::PointerToQObject) {
            QObject *o = q.value<QObject *>();
            if (o && !o->metaObject()->inherits(target.metaObject()))
                raiseError(QStringLiteral("EInvalidCast"),
                           QStringLiteral("Invalid class typecast"));
            return QVariant(target, &o);
        }
        if (target.id() == QMetaType::QString) {
            return v.toString();
        }
        if (!q.isValid())
            return QVariant(target, nullptr);
        if (!q.canConvert(target) || !q.convert(target))
            raiseError(QStringLiteral("EConvertError"),
                       QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                           .arg(v.typeName(), QLatin1String(target.name())));
    }
    return q;
}

Value fromQVariant(ScriptEngine &engine, const QVariant &v)
{
    if (!v.isValid())
        return Value();
    const QMetaType t = v.metaType();
    if (t == QMetaType::fromType<std::nullptr_t>())
        return Value::null(); // how a host's property says Null (a database NULL)
    if (t.flags() & QMetaType::PointerToQObject)
        return engine.ObjectToVariant(v.value<QObject *>());
    if (t.flags() & QMetaType::IsEnumeration)
        return Value(v.toLongLong());
    switch (t.id()) {
    case QMetaType::Bool:
        return Value(v.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::ULong:
        return Value(v.toLongLong());
    case QMetaType::ULongLong:
        return Value(static_cast<qint64>(v.toULongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return Value(v.toDouble());
    case QMetaType::QString:
        return Value(v.toString());
    case QMetaType::QChar:
        return Value(QString(v.toChar()));
    case QMetaType::QDateTime:
        return Value::dateTime(toDateTimeValue(v.toDateTime()));
    case QMetaType::QDate:
        return Value::dateTime(toDateTimeValue(QDateTime(v.toDate(), QTime(0, 0))));
    case QMetaType::QStringList: {
        std::vector<Value> items;
        for (const QString &s : v.toStringList())
            items.emplace_back(s);
        return Value::array(std::move(items));
    }
    case QMetaType::QVariantList: {
        std::vector<Value> items;
        for (const QVariant &x : v.toList())
            items.push_back(fromQVariant(engine, x));
        return Value::array(std::move(items));
    }
    default:
        return Value(v.toString());
    }
}

bool metaHas(ScriptEngine &engine, QObject *object, const QString &name)
{
    const QMetaObject *meta = object->metaObject();
    if (findProperty(meta, name) >= 0 || metaSignalFor(meta, name) >= 0)
        return true;
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        if (m.access() == QMetaMethod::Public &&
            QLatin1String(m.name()).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return engine.FindComponent(object, name) != nullptr;
}

bool metaGet(ScriptEngine &engine, QObject *object, const QString &name, Value &out)
{
    const QMetaObject *meta = object->metaObject();
    const int p = findProperty(meta, name);
    if (p >= 0) {
        out = fromQVariant(engine, meta->property(p).read(object));
        return true;
    }
    std::vector<Value> none;
    if (metaCall(engine, object, name, none, out))
        return true;
    // A form's components are its members too: Form.MIScript1.
    if (QObject *component = engine.FindComponent(object, name)) {
        out = engine.ObjectToVariant(component);
        return true;
    }
    return false;
}

bool metaSet(ScriptEngine &engine, QObject *object, const QString &name, const Value &v)
{
    const QMetaObject *meta = object->metaObject();
    const int p = findProperty(meta, name);
    if (p >= 0) {
        const QMetaProperty prop = meta->property(p);
        if (!prop.isWritable())
            raiseError(QStringLiteral("EScriptError"),
                       QStringLiteral("Property '%1' is read-only").arg(name));
        if (!prop.write(object, toQVariant(v, prop.metaType())))
            raiseError(QStringLiteral("EConvertError"),
                       QStringLiteral("Cannot set property '%1'").arg(name));
        return true;
    }
    if (metaSignalFor(meta, name) >= 0) {
        if (v.type() == VType::Routine || v.isObject() || v.isEmpty())
            return engine.setEventHandler(object, name, v);
        // The handler by its name, as user scripts write it: OnClick := 'SendMail'.
        if (v.isString()) {
            if (v.rawString().isEmpty())
                return engine.setEventHandler(object, name, Value());
            const Routine *handler = engine.RoutineByName(v.rawString());
            if (!handler)
                raiseError(QStringLiteral("EScriptError"),
                           QStringLiteral("The script has no routine '%1' for the event '%2'")
                               .arg(v.rawString(), name));
            return engine.setEventHandler(object, name, Value::routine(handler));
        }
    }
    return false;
}

bool metaCall(ScriptEngine &engine, QObject *object, const QString &name, std::vector<Value> &args,
              Value &out)
{
    const QMetaObject *meta = object->metaObject();
    const int given = static_cast<int>(args.size());
    bool nameSeen = false;
    for (int i = meta->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod m = meta->method(i);
        if (m.access() != QMetaMethod::Public || m.methodType() == QMetaMethod::Signal ||
            QLatin1String(m.name()).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        nameSeen = true;
        if (m.parameterCount() != given || given > 10)
            continue;
        QVariant store[10];
        QGenericArgument gargs[10];
        for (int k = 0; k < given; ++k) {
            const QMetaType pt = m.parameterMetaType(k);
            store[k] = toQVariant(args[static_cast<size_t>(k)], pt);
            gargs[k] = QGenericArgument(pt.name(), store[k].data());
        }
        const QMetaType rt = m.returnMetaType();
        QVariant ret;
        QGenericReturnArgument gret;
        if (rt.isValid() && rt.id() != QMetaType::Void) {
            ret = QVariant(rt, nullptr);
            gret = QGenericReturnArgument(rt.name(), ret.data());
        }
        if (!m.invoke(object, Qt::DirectConnection, gret, gargs[0], gargs[1], gargs[2], gargs[3],
                      gargs[4], gargs[5], gargs[6], gargs[7], gargs[8], gargs[9]))
            raiseError(QStringLiteral("EScriptError"),
                       QStringLiteral("Calling '%1' failed").arg(name));
        out = ret.isValid() ? fromQVariant(engine, ret) : Value();
        return true;
    }
    if (nameSeen)
        raiseError(QStringLiteral("EScriptError"),
                   QStringLiteral("Wrong number of arguments for '%1'").arg(name));
    return false;
}

} // namespace tev::script
