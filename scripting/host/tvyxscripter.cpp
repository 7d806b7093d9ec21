#include "scripting/host/tvyxscripter.h"

#include "platform/error.h"
#include "platform/script/metabinding.h"
#include "scripting/host/hostroutines.h"
#include "scripting/host/programobjects.h"
#include "scripting/host/scriptfiles.h"
#include "scripting/host/tfdmemtable.h"
#include "scripting/host/tfdquery.h"
#include "scripting/libraries/ap_vyxlib.h"
#include "scripting/libraries/ap_vyxmail.h"
#include "scripting/libraries/ap_vyxwin.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace tev {

using script::NativeCall;
using script::TypeKind;
using script::Value;

namespace {

// The libraries every host loads, in this order: the engine's stock libraries, then the
// program's own three.
const char *const kLibraries[] = {"System",   "Classes",  "Forms",    "Dialogs",   "FileCtrl",
                                  "IniFiles", "SysUtils", "StrUtils", "DateUtils", "DB",
                                  "Controls", "StdCtrls", "ExtCtrls", "ComCtrls",  "Menus",
                                  "Graphics", "Grids",    "ImgList",  "Math",      "DBCtrls",
                                  "DBGrids",  "UITypes",  "VYXLib",   "VYXWin",    "VYXMail"};

struct FieldTypeName
{
    const char *name;
    TFieldType type;
};

const FieldTypeName kFieldTypes[] = {
    {"ftUnknown", TFieldType::ftUnknown},
    {"ftString", TFieldType::ftString},
    {"ftSmallint", TFieldType::ftSmallint},
    {"ftInteger", TFieldType::ftInteger},
    {"ftWord", TFieldType::ftWord},
    {"ftBoolean", TFieldType::ftBoolean},
    {"ftFloat", TFieldType::ftFloat},
    {"ftCurrency", TFieldType::ftCurrency},
    {"ftBCD", TFieldType::ftBCD},
    {"ftAutoInc", TFieldType::ftAutoInc},
    {"ftMemo", TFieldType::ftMemo},
    {"ftFmtMemo", TFieldType::ftFmtMemo},
    {"ftFixedChar", TFieldType::ftFixedChar},
    {"ftWideString", TFieldType::ftWideString},
    {"ftLargeint", TFieldType::ftLargeint},
    {"ftFMTBcd", TFieldType::ftFMTBcd},
    {"ftFixedWideChar", TFieldType::ftFixedWideChar},
    {"ftWideMemo", TFieldType::ftWideMemo},
};

// The script value of an array-of-const entry (by-reference entries are handled apart).
Value ValueOf(script::ScriptEngine &Engine, const TVarRec &Rec)
{
    return script::fromQVariant(Engine, Rec.Value);
}

} // namespace

QVariant ObjectToVariant(QObject *AObject)
{
    return QVariant::fromValue(AObject);
}

TvyxScripter::TvyxScripter(QObject *AOwner)
    : ScriptEngine(AOwner)
{
    // The dialect's options: every variable declared, script handlers after the host's own,
    // script units as ".pas" files of the search path.
    OnDebugSubroutine = nullptr;
    OptionExplicit = true;
    EventSetMode = script::EventMode::esAddEventOnBottom;
    Options.FormFileExt = QStringLiteral(".dfm");
    Options.SourceFileExt = QStringLiteral(".pas");
    Options.UseScriptFiles = true;
    // A dialog or tool window of the owner keeps its own components; a menu, though a popup
    // window, holds the window's menu items.
    IsOwnWindow = [](const QObject *o) {
        if (!o->isWidgetType())
            return false;
        const auto *w = static_cast<const QWidget *>(o);
        return w->isWindow() && w->windowType() != Qt::Popup;
    };

    script::ScriptEngine::DefineClassByRTTI(&QObject::staticMetaObject,
                                            QStringLiteral("TComponent"), false,
                                            script::Redefine::roOverwrite);
    // The program's libraries register themselves when their units start, but a static library
    // whose objects nothing else references is dropped by the linker: register them here.
    scripting::RegisterVYXLibLibrary();
    scripting::RegisterVYXWinLibrary();
    scripting::RegisterVYXMailLibrary();
    for (const char *name : kLibraries)
        LoadLibrary(QLatin1String(name), true, false);
    // TStringList comes with Classes, defined from its adapter table; an existing definition is
    // kept.
    DefineClass(QStringLiteral("TStringList"), nullptr, script::Redefine::roNone);
    scripting::DefineHostRoutines(*this);
    DefineDataClasses();
    AddObject(QStringLiteral("Self"), this);
    scripting::DefineProgramClasses(*this);
}

TvyxScripter::~TvyxScripter() = default;

void TvyxScripter::DefineDataClasses()
{
    for (const FieldTypeName &t : kFieldTypes)
        AddConstant(QLatin1String(t.name), Value(qint64(t.type)));

    script::ScriptClass *memTable =
        DefineClassByRTTI(TFDMemTable::staticMetaObject, QStringLiteral("TFDMemTable"));
    memTable->DefineMethod(
        QStringLiteral("Create"), 1, TypeKind::tkClass,
        [](NativeCall &c) {
            script::ObjectBox *owner = c.GetInputArgAsObject(0);
            auto table = std::make_unique<TFDMemTable>(owner ? owner->qobject() : nullptr);
            c.ReturnOutputArg(c.engine()->NewQObject(c.CurrentClass(), std::move(table)));
        },
        true, 1);

    script::ScriptClass *query =
        DefineClassByRTTI(TFDQuery::staticMetaObject, QStringLiteral("TFDQuery"));
    query->DefineMethod(
        QStringLiteral("Create"), 1, TypeKind::tkClass,
        [](NativeCall &c) {
            script::ObjectBox *owner = c.GetInputArgAsObject(0);
            auto q = std::make_unique<TFDQuery>(owner ? owner->qobject() : nullptr);
            c.ReturnOutputArg(c.engine()->NewQObject(c.CurrentClass(), std::move(q)));
        },
        true, 1);
    query->DefineMethod(QStringLiteral("Open"), 0, TypeKind::tkNone, [](NativeCall &c) {
        auto *q = qobject_cast<TFDQuery *>(c.CurrentObject()->qobject());
        if (!q)
            script::raiseError(QStringLiteral("EInvalidCast"),
                               QStringLiteral("Invalid class typecast"));
        q->Open();
    });
    // The statement's lines: the query's own string list, which the script edits in place.
    query->DefineProperty(QStringLiteral("SQL"), 0, [](NativeCall &c) {
        auto *q = qobject_cast<TFDQuery *>(c.CurrentObject()->qobject());
        if (!q)
            script::raiseError(QStringLiteral("EInvalidCast"),
                               QStringLiteral("Invalid class typecast"));
        c.ReturnOutputArg(c.engine()->BorrowedObject(
            c.engine()->FindClass(QStringLiteral("TStringList")), &q->SQLObject(), q));
    });
}

script::ScriptClass *TvyxScripter::DefineClassByRTTI(const QMetaObject &AClass,
                                                     const QString &AClassName)
{
    return ScriptEngine::DefineClassByRTTI(&AClass, AClassName, true, script::Redefine::roNone);
}

// ---- calls ----

bool TvyxScripter::ExistsScriptRoutine(const QString &ALabel)
{
    if (SourceCode().isEmpty())
        return false;
    if (!Compiled()) {
        // A script that failed was reported once; its hooks count as absent from then on.
        if (FCompileFailed && FFailedSource == SourceCode())
            return false;
        try {
            Compile();
            FCompileFailed = false;
        } catch (const script::CompileError &) {
            FCompileFailed = true;
            FFailedSource = SourceCode();
            throw;
        }
    }
    return RoutineByName(ALabel) != nullptr;
}

QVariant TvyxScripter::ExecuteMethod(const QString &MethodName, const QVariantList &AParams)
{
    TConstArray entries;
    entries.reserve(size_t(AParams.size()));
    bool byRef = false;
    for (const QVariant &p : AParams) {
        entries.push_back(ToVarRec(p));
        byRef = byRef || entries.back().Ref;
    }
    if (SourceCode().isEmpty() || !ExistsScriptRoutine(MethodName))
        return QVariant();
    if (FDebugging)
        return DebugSubroutine(MethodName, entries);
    if (AParams.isEmpty())
        return script::toQVariant(ScriptEngine::ExecuteSubroutine(MethodName), QMetaType());
    if (byRef)
        return ExecuteSubroutine(MethodName, entries);
    std::vector<Value> input;
    input.reserve(size_t(AParams.size()));
    for (const QVariant &p : AParams)
        input.push_back(script::fromQVariant(*this, p));
    return script::toQVariant(ScriptEngine::ExecuteSubroutine(MethodName, input), QMetaType());
}

QVariant TvyxScripter::DebugSubroutine(const QString &AMethodName, const TConstArray &Input)
{
    if (OnDebugSubroutine) {
        if (Running())
            SetPaused(true);
        QVariant result = QVariant::fromValue(nullptr); // Null until the handler sets it
        OnDebugSubroutine(this, AMethodName, Input, result);
        return result;
    }
    if (Input.empty())
        return script::toQVariant(ScriptEngine::ExecuteSubroutine(AMethodName), QMetaType());
    return ExecuteSubroutine(AMethodName, Input);
}

QVariant TvyxScripter::ExecuteSubroutine(const QString &ALabel, const TConstArray &Input)
{
    // Every entry goes by reference; those of the caller's Variants write back into them.
    std::vector<Value> values;
    values.reserve(Input.size());
    for (const TVarRec &rec : Input)
        values.push_back(ValueOf(*this, rec));
    std::vector<Value *> refs;
    for (Value &v : values)
        refs.push_back(&v);
    struct WriteBack
    {
        TvyxScripter &host;
        const TConstArray &input;
        std::vector<Value> &values;
        ~WriteBack()
        {
            for (size_t i = 0; i < input.size(); ++i)
                if (input[i].Ref)
                    *input[i].Ref = script::toQVariant(values[i], QMetaType());
        }
    } writeBack{*this, Input, values};
    return script::toQVariant(ScriptEngine::ExecuteSubroutine(ALabel, refs), QMetaType());
}

// ---- files ----

void TvyxScripter::LoadScriptFile(const QString &FileName)
{
    const QString text = scripting::ReadScriptFile(FileName);
    SetSourceText(text);
    FScriptFileName = QFileInfo(FileName).absoluteFilePath();
    FCompileFailed = false;
}

void TvyxScripter::AddSearchPath(const QString &Folder)
{
    if (Folder.isEmpty() || QDir::isRelativePath(Folder))
        throw Error(QStringLiteral("The script search path takes absolute folders only, not '%1'")
                        .arg(Folder));
    const QString clean = QDir::cleanPath(Folder);
    if (!Options.SearchPath.contains(clean))
        Options.SearchPath << clean;
}

bool TvyxScripter::findUnit(const QString &name, QString &source, QString &fileName)
{
    if (!Options.UseScriptFiles)
        return false;
    const QString wanted = name + Options.SourceFileExt;
    for (const QString &dir : std::as_const(Options.SearchPath)) {
        if (QDir::isRelativePath(dir))
            continue; // would depend on the current folder
        // Unit names compare without regard to case, and so do their files.
        QString path;
        for (const QString &entry : QDir(dir).entryList(QDir::Files))
            if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
                path = QDir(dir).filePath(entry);
        if (path.isEmpty())
            continue;
        source = scripting::ReadScriptFile(path);
        fileName = path;
        return true;
    }
    return false;
}

QString TvyxScripter::CompileErrorText(const script::CompileError &E) const
{
    // A unit's errors carry its file; the script's own carry none.
    QString file = E.unit().isEmpty() ? FScriptFileName : E.unit();
    if (file.isEmpty())
        file = QStringLiteral("script");
    return QStringLiteral("%1(%2,%3): %4").arg(file).arg(E.line()).arg(E.column()).arg(E.message());
}

} // namespace tev
