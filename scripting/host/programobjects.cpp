#include "scripting/host/programobjects.h"

#include "core/app/tevapp.h"
#include "core/db/tevdatamodule.h"
#include "core/project/tevproject.h"
#include "platform/script/scriptengine.h"
#include "scripting/host/tevsettingsview.h"
#include "scripting/host/tfddataset.h"
#include "scripting/host/tfdfield.h"
#include "scripting/host/tfdmemtable.h"
#include "scripting/host/tfdquery.h"

namespace tev::scripting {

using script::NativeCall;

namespace {

template <class T> T &Current(NativeCall &c)
{
    auto *object = qobject_cast<T *>(c.CurrentObject()->qobject());
    if (!object)
        script::raiseError(QStringLiteral("EInvalidCast"),
                           QStringLiteral("Invalid class typecast"));
    return *object;
}

// The view of a part of owner that is no Qt object, made once and kept as owner's child.
template <class View, class Part> View *ViewOf(QObject &Owner, const QString &Name, Part &APart)
{
    if (auto *view = Owner.findChild<View *>(Name, Qt::FindDirectChildrenOnly))
        return view;
    auto *view = new View(APart, &Owner); // a child: it goes with its owner
    view->setObjectName(Name);
    return view;
}

void ReturnObject(NativeCall &c, QObject *Object)
{
    c.ReturnOutputArg(c.engine()->ObjectToVariant(Object));
}

} // namespace

void DefineProgramClasses(script::ScriptEngine &Engine)
{
    for (const QMetaObject *meta :
         {&TFDDataSet::staticMetaObject, &TField::staticMetaObject, &TFDParam::staticMetaObject,
          &TFDFieldDefs::staticMetaObject, &TTevDataModule::staticMetaObject})
        Engine.DefineClassByRTTI(meta);
    Engine.DefineClassByRTTI(&TTevSettingsView::staticMetaObject, QStringLiteral("TTevSettings"));

    script::ScriptClass *app = Engine.DefineClassByRTTI(&TTevApp::staticMetaObject);
    app->DefineProperty(QStringLiteral("Settings"), 0, [](NativeCall &c) {
        TTevApp &a = Current<TTevApp>(c);
        ReturnObject(c, ViewOf<TTevSettingsView>(a, QStringLiteral("Settings"), a.Settings()));
    });
    app->DefineProperty(QStringLiteral("Data"), 0,
                        [](NativeCall &c) { ReturnObject(c, &Current<TTevApp>(c).Data()); });
    app->DefineProperty(QStringLiteral("Project"), 0,
                        [](NativeCall &c) { ReturnObject(c, &Current<TTevApp>(c).Project()); });

    script::ScriptClass *project = Engine.DefineClassByRTTI(&TTevProject::staticMetaObject);
    project->DefineProperty(QStringLiteral("DataSetProject"), 0, [](NativeCall &c) {
        TTevProject &p = Current<TTevProject>(c);
        ReturnObject(c, ViewOf<TFDDataSet>(p, QStringLiteral("DataSetProject"),
                                           static_cast<DataSet &>(p.DataSetProject())));
    });
    project->DefineProperty(QStringLiteral("DataSetChars"), 0, [](NativeCall &c) {
        TTevProject &p = Current<TTevProject>(c);
        ReturnObject(c, ViewOf<TFDDataSet>(p, QStringLiteral("DataSetChars"),
                                           static_cast<DataSet &>(p.DataSetChars())));
    });
}

} // namespace tev::scripting
