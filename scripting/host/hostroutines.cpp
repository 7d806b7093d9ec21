#include "scripting/host/hostroutines.h"

#include "platform/script/scriptengine.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>

namespace tev::scripting {

using script::NativeCall;
using script::TypeKind;
using script::Value;

namespace {

// Flags as a number or, as SysUtils writes them, a set ([rfReplaceAll, rfIgnoreCase]).
int ReplaceFlags(const Value &Flags)
{
    if (!Flags.isArray())
        return static_cast<int>(Flags.toInteger());
    int result = 0;
    for (const Value &item : Flags.rawArray().items)
        result |= static_cast<int>(item.toInteger());
    return result;
}

// A pattern of StringReplace: the argument's text, or for an integer the one character whose code
// is the value's low 8 bits (45 is "-").
QString ReplacePattern(const Value &Pattern)
{
    if (Pattern.isInteger())
        return QString(QChar(static_cast<char16_t>(Pattern.rawInt() & 0xFF)));
    return Pattern.toString();
}

void Define(script::ScriptEngine &Engine, const char *Name, int Args, TypeKind Kind,
            script::NativeProc Proc)
{
    Engine.DefineMethod(QLatin1String(Name), Args, Kind, QString(), std::move(Proc));
}

} // namespace

QString HostStringReplace(const QString &S, const QString &OldPattern, const QString &NewPattern,
                          int Flags)
{
    if (OldPattern.isEmpty())
        return S;
    const Qt::CaseSensitivity cs =
        (Flags == 2 || Flags == 3) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (Flags == 1 || Flags == 3) {
        QString result = S;
        return result.replace(OldPattern, NewPattern, cs);
    }
    const qsizetype at = S.indexOf(OldPattern, 0, cs);
    if (at < 0)
        return S;
    QString result = S;
    return result.replace(at, OldPattern.size(), NewPattern);
}

bool RenameFileNoReplace(const QString &OldName, const QString &NewName)
{
    if (OldName.isEmpty() || NewName.isEmpty() || !QFileInfo::exists(OldName))
        return false;
    const QByteArray from = QFile::encodeName(OldName);
    const QByteArray to = QFile::encodeName(NewName);
    // The kernel refuses an existing target atomically; no window in which another file could
    // appear between a test and the rename.
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    if (errno == EXDEV || errno == EINVAL || errno == ENOSYS) {
        // Another file system (a move copies), or one without the flag: Qt's rename, which
        // refuses an existing target too.
        if (QFileInfo::exists(NewName) || QFileInfo(NewName).isSymLink())
            return false;
        return QFile::rename(OldName, NewName);
    }
    return false;
}

void DefineHostRoutines(script::ScriptEngine &Engine)
{
    Define(Engine, "FindComponent", 1, TypeKind::tkClass, [&Engine](NativeCall &c) {
        QObject *found = Engine.FindComponent(Engine.parent(), c.GetInputArg(0).toString());
        c.ReturnOutputArg(Engine.ObjectToVariant(found));
    });
    Define(Engine, "CopyToClipboard", 1, TypeKind::tkString, [](NativeCall &c) {
        const QString text = c.GetInputArgAsString(0);
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            QGuiApplication::clipboard()->setText(text);
    });
    Define(Engine, "DeleteFile", 1, TypeKind::tkNone,
           [](NativeCall &c) { QFile::remove(c.GetInputArgAsString(0)); });
    Define(Engine, "RenameFile", 2, TypeKind::tkInteger, [](NativeCall &c) {
        c.ReturnOutputArg(
            Value(RenameFileNoReplace(c.GetInputArgAsString(0), c.GetInputArgAsString(1))));
    });
    Define(Engine, "FileExists", 1, TypeKind::tkString, [](NativeCall &c) {
        const QFileInfo info(c.GetInputArgAsString(0)); // a link counts by its target
        c.ReturnOutputArg(Value(info.exists() && !info.isDir()));
    });
    Define(Engine, "StringReplace", 4, TypeKind::tkString, [](NativeCall &c) {
        c.ReturnOutputArg(Value(
            HostStringReplace(c.GetInputArgAsString(0), ReplacePattern(c.GetInputArg(1)),
                              ReplacePattern(c.GetInputArg(2)), ReplaceFlags(c.GetInputArg(3)))));
    });
    Define(Engine, "Finalize", 1, TypeKind::tkNone, [](NativeCall &c) { (void)c.GetInputArg(0); });
}

} // namespace tev::scripting
