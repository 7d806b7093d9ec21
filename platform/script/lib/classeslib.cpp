// Classes: TStringList on the routine library's string list, and TComponent on QObject.
#include "platform/script/lib/classeslib.h"

#include <QVariant>

#include "platform/script/lib/libhelpers.h"
#include "platform/script/lib/stocklibraries.h"

namespace tev::script {

using namespace lib;

namespace {

tev::TStringList &list(NativeCall &c)
{
    return c.CurrentNative<StringListObject>().list;
}
int index(NativeCall &c, int i)
{
    return static_cast<int>(std::clamp<qint64>(integer(c, i), INT32_MIN, INT32_MAX));
}
const Value &last(NativeCall &c)
{
    return c.GetInputArg(c.InputArgCount() - 1);
}

QObject *objectArg(NativeCall &c, int i)
{
    ObjectBox *box = c.GetInputArgAsObject(i);
    return box ? box->qobject() : nullptr;
}

void defineStringList(ScriptEngine &e)
{
    ScriptClass *strings =
        e.DefineClass(QStringLiteral("TStrings"), e.FindClass(QStringLiteral("TPersistent")));
    ScriptClass *cls = e.DefineClass(QStringLiteral("TStringList"), strings);
    cls->DefineMethod(
        QStringLiteral("Create"), 0, TypeKind::tkClass,
        [](NativeCall &c) {
            c.ReturnOutputArg(
                c.engine()->NewObject(c.CurrentClass(), std::make_unique<StringListObject>()));
        },
        true);
    cls->DefineMethod(QStringLiteral("Add"), 1, TypeKind::tkInteger,
                      [](NativeCall &c) { ret(c, list(c).Add(str(c, 0))); });
    cls->DefineMethod(QStringLiteral("AddObject"), 2, TypeKind::tkInteger,
                      [](NativeCall &c) { ret(c, list(c).AddObject(str(c, 0), objectArg(c, 1))); });
    cls->DefineMethod(QStringLiteral("AddPair"), 2, TypeKind::tkInteger,
                      [](NativeCall &c) { ret(c, list(c).AddPair(str(c, 0), str(c, 1))); });
    cls->DefineMethod(QStringLiteral("AddStrings"), 1, TypeKind::tkNone, [](NativeCall &c) {
        if (auto *other = c.GetInputArgAsNative<StringListObject>(0))
            list(c).AddStrings(tev::TStringList(other->list));
    });
    cls->DefineMethod(QStringLiteral("Assign"), 1, TypeKind::tkNone, [](NativeCall &c) {
        if (auto *other = c.GetInputArgAsNative<StringListObject>(0))
            list(c).Assign(other->list);
    });
    cls->DefineMethod(QStringLiteral("Insert"), 2, TypeKind::tkNone,
                      [](NativeCall &c) { list(c).Insert(index(c, 0), str(c, 1)); });
    cls->DefineMethod(QStringLiteral("Delete"), 1, TypeKind::tkNone,
                      [](NativeCall &c) { list(c).Delete(index(c, 0)); });
    cls->DefineMethod(QStringLiteral("Clear"), 0, TypeKind::tkNone,
                      [](NativeCall &c) { list(c).Clear(); });
    cls->DefineMethod(QStringLiteral("Exchange"), 2, TypeKind::tkNone,
                      [](NativeCall &c) { list(c).Exchange(index(c, 0), index(c, 1)); });
    cls->DefineMethod(QStringLiteral("Move"), 2, TypeKind::tkNone,
                      [](NativeCall &c) { list(c).Move(index(c, 0), index(c, 1)); });
    cls->DefineMethod(QStringLiteral("IndexOf"), 1, TypeKind::tkInteger,
                      [](NativeCall &c) { ret(c, list(c).IndexOf(str(c, 0))); });
    cls->DefineMethod(QStringLiteral("IndexOfName"), 1, TypeKind::tkInteger,
                      [](NativeCall &c) { ret(c, list(c).IndexOfName(str(c, 0))); });
    cls->DefineMethod(QStringLiteral("IndexOfObject"), 1, TypeKind::tkInteger,
                      [](NativeCall &c) { ret(c, list(c).IndexOfObject(objectArg(c, 0))); });
    cls->DefineMethod(QStringLiteral("Find"), 2, TypeKind::tkVariant,
                      [](NativeCall &c) {
                          int i = 0;
                          const bool found = list(c).Find(str(c, 0), i);
                          c.SetInputArg(1, Value(qint64(i)));
                          ret(c, found);
                      })
        .SetVarArgs({1});
    cls->DefineMethod(QStringLiteral("Sort"), 0, TypeKind::tkNone,
                      [](NativeCall &c) { list(c).Sort(); });
    cls->DefineMethod(QStringLiteral("LoadFromFile"), 1, TypeKind::tkNone,
                      [](NativeCall &c) { list(c).LoadFromFile(str(c, 0)); });
    cls->DefineMethod(QStringLiteral("SaveToFile"), 1, TypeKind::tkNone,
                      [](NativeCall &c) { list(c).SaveToFile(str(c, 0)); });
    cls->DefineMethod(QStringLiteral("BeginUpdate"), 0, TypeKind::tkNone,
                      [](NativeCall &c) { list(c).BeginUpdate(); });
    cls->DefineMethod(QStringLiteral("EndUpdate"), 0, TypeKind::tkNone,
                      [](NativeCall &c) { list(c).EndUpdate(); });
    cls->DefineMethod(QStringLiteral("Equals"), 1, TypeKind::tkVariant, [](NativeCall &c) {
        auto *other = c.GetInputArgAsNative<StringListObject>(0);
        ret(c, other && list(c).Equals(other->list));
    });

    cls->DefineProperty(QStringLiteral("Count"), 0, [](NativeCall &c) { ret(c, list(c).Count()); });
    cls->DefineProperty(
        QStringLiteral("Strings"), 1, [](NativeCall &c) { ret(c, list(c).Strings(index(c, 0))); },
        [](NativeCall &c) { list(c).SetStrings(index(c, 0), last(c).toString()); });
    cls->SetDefaultProperty(QStringLiteral("Strings"));
    cls->DefineProperty(
        QStringLiteral("Objects"), 1,
        [](NativeCall &c) {
            c.ReturnOutputArg(c.engine()->ObjectToVariant(list(c).Objects(index(c, 0))));
        },
        [](NativeCall &c) {
            ObjectBox *box = c.GetInputArgAsObject(c.InputArgCount() - 1);
            list(c).SetObjects(index(c, 0), box ? box->qobject() : nullptr);
        });
    cls->DefineProperty(QStringLiteral("Names"), 1,
                        [](NativeCall &c) { ret(c, list(c).Names(index(c, 0))); });
    cls->DefineProperty(
        QStringLiteral("Values"), 1, [](NativeCall &c) { ret(c, list(c).Values(str(c, 0))); },
        [](NativeCall &c) { list(c).SetValues(str(c, 0), last(c).toString()); });
    cls->DefineProperty(
        QStringLiteral("ValueFromIndex"), 1,
        [](NativeCall &c) { ret(c, list(c).ValueFromIndex(index(c, 0))); },
        [](NativeCall &c) { list(c).SetValueFromIndex(index(c, 0), last(c).toString()); });
    cls->DefineProperty(
        QStringLiteral("Text"), 0, [](NativeCall &c) { ret(c, list(c).Text()); },
        [](NativeCall &c) { list(c).SetText(last(c).toString()); });
    cls->DefineProperty(
        QStringLiteral("CommaText"), 0, [](NativeCall &c) { ret(c, list(c).CommaText()); },
        [](NativeCall &c) { list(c).SetCommaText(last(c).toString()); });
    cls->DefineProperty(
        QStringLiteral("DelimitedText"), 0, [](NativeCall &c) { ret(c, list(c).DelimitedText()); },
        [](NativeCall &c) { list(c).SetDelimitedText(last(c).toString()); });
    cls->DefineProperty(
        QStringLiteral("Sorted"), 0, [](NativeCall &c) { ret(c, list(c).Sorted()); },
        [](NativeCall &c) { list(c).SetSorted(last(c).toBoolean()); });
    cls->DefineProperty(
        QStringLiteral("CaseSensitive"), 0, [](NativeCall &c) { ret(c, list(c).CaseSensitive()); },
        [](NativeCall &c) { list(c).SetCaseSensitive(last(c).toBoolean()); });
    cls->DefineProperty(
        QStringLiteral("Duplicates"), 0,
        [](NativeCall &c) { ret(c, qint64(list(c).Duplicates())); },
        [](NativeCall &c) {
            list(c).SetDuplicates(static_cast<tev::TStringList::TDuplicates>(
                std::clamp<qint64>(last(c).toInteger(), 0, 2)));
        });
    auto charProp = [cls](const char *name, QChar (tev::TStringList::*get)() const,
                          void (tev::TStringList::*set)(QChar)) {
        cls->DefineProperty(
            QLatin1String(name), 0, [get](NativeCall &c) { ret(c, QString((list(c).*get)())); },
            [set](NativeCall &c) {
                const QString s = last(c).toString();
                if (s.isEmpty())
                    raiseError(QStringLiteral("EConvertError"),
                               QStringLiteral("A character expected"));
                (list(c).*set)(s.at(0));
            });
    };
    charProp("NameValueSeparator", &tev::TStringList::NameValueSeparator,
             &tev::TStringList::SetNameValueSeparator);
    charProp("Delimiter", &tev::TStringList::Delimiter, &tev::TStringList::SetDelimiter);
    charProp("QuoteChar", &tev::TStringList::QuoteChar, &tev::TStringList::SetQuoteChar);
    cls->DefineProperty(
        QStringLiteral("StrictDelimiter"), 0,
        [](NativeCall &c) { ret(c, list(c).StrictDelimiter()); },
        [](NativeCall &c) { list(c).SetStrictDelimiter(last(c).toBoolean()); });
    cls->DefineProperty(
        QStringLiteral("LineBreak"), 0, [](NativeCall &c) { ret(c, list(c).LineBreak()); },
        [](NativeCall &c) { list(c).SetLineBreak(last(c).toString()); });
    e.AddConstant(QStringLiteral("dupIgnore"), Value(qint64(0)));
    e.AddConstant(QStringLiteral("dupAccept"), Value(qint64(1)));
    e.AddConstant(QStringLiteral("dupError"), Value(qint64(2)));
}

// TComponent: a QObject with a name, an owner and the components it owns.
void defineComponent(ScriptEngine &e)
{
    ScriptClass *persistent = e.DefineClass(QStringLiteral("TPersistent"));
    ScriptClass *cls =
        e.DefineClassByRTTI(&QObject::staticMetaObject, QStringLiteral("TComponent"), false);
    cls->setParent(persistent);
    cls->DefineMethod(
        QStringLiteral("Create"), 1, TypeKind::tkClass,
        [](NativeCall &c) {
            auto object = std::make_unique<QObject>();
            if (QObject *owner = has(c, 0) ? objectArg(c, 0) : nullptr)
                object->setParent(owner);
            c.ReturnOutputArg(c.engine()->NewQObject(c.CurrentClass(), std::move(object)));
        },
        true, 1);
    cls->DefineProperty(
        QStringLiteral("Name"), 0,
        [](NativeCall &c) { ret(c, c.CurrentObject()->qobject()->objectName()); },
        [](NativeCall &c) { c.CurrentObject()->qobject()->setObjectName(last(c).toString()); });
    cls->DefineProperty(QStringLiteral("Owner"), 0, [](NativeCall &c) {
        c.ReturnOutputArg(c.engine()->ObjectToVariant(c.CurrentObject()->qobject()->parent()));
    });
    cls->DefineProperty(
        QStringLiteral("Tag"), 0,
        [](NativeCall &c) { ret(c, c.CurrentObject()->qobject()->property("tag").toLongLong()); },
        [](NativeCall &c) {
            c.CurrentObject()->qobject()->setProperty("tag", last(c).toInteger());
        });
    cls->DefineProperty(QStringLiteral("ComponentCount"), 0, [](NativeCall &c) {
        ret(c, qint64(c.CurrentObject()->qobject()->children().size()));
    });
    cls->DefineProperty(QStringLiteral("Components"), 1, [](NativeCall &c) {
        const QObjectList kids = c.CurrentObject()->qobject()->children();
        const qint64 i = integer(c, 0);
        if (i < 0 || i >= kids.size())
            raiseError(QStringLiteral("EListError"),
                       QStringLiteral("List index out of bounds (%1)").arg(i));
        c.ReturnOutputArg(c.engine()->ObjectToVariant(kids.at(static_cast<qsizetype>(i))));
    });
    cls->DefineMethod(QStringLiteral("FindComponent"), 1, TypeKind::tkClass, [](NativeCall &c) {
        const QString name = str(c, 0);
        for (QObject *kid : c.CurrentObject()->qobject()->children())
            if (kid->objectName().compare(name, Qt::CaseInsensitive) == 0)
                return c.ReturnOutputArg(c.engine()->ObjectToVariant(kid));
        c.ReturnOutputArg(Value::nil());
    });
}

} // namespace

void defineClassesLibrary(ScriptEngine &e)
{
    defineComponent(e);
    defineStringList(e);
}

} // namespace tev::script
