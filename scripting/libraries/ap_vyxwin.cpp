#include "scripting/libraries/ap_vyxwin.h"

#include <QWidget>
#include <mutex>

#include "core/picture/graphictobitmap.h"
#include "core/shell/associatedprogram.h"
#include "core/shell/pingtcpport.h"
#include "core/shell/shellexec.h"
#include "core/shell/systemnames.h"
#include "core/window/windowplacement.h"
#include "platform/script/scripterror.h"
#include "platform/text/tencoding.h"
#include "scripting/libraries/libraryadapter.h"

namespace tev::scripting {

namespace {

using enum script::TypeKind;

TPicture &picture(NativeCall &c, int i)
{
    auto *p = c.GetInputArgAsNative<TPictureObject>(i);
    if (!p || !p->picture)
        script::raiseError(QStringLiteral("EAccessViolation"),
                           QStringLiteral("Argument %1 is nil, a TPicture expected").arg(i + 1));
    return *p->picture;
}

// ---- adapters, in registration order ----

void __GraphicToBitmap(NativeCall &c)
{
    GraphicToBitmap(picture(c, 0));
}
void __ReadWindowPlacementFromRegistry(NativeCall &c)
{
    ReadWindowPlacementFromRegistry(required<QWidget>(c, 0), text(c, 1));
}
void __WriteWindowPlacementToRegistry(NativeCall &c)
{
    WriteWindowPlacementToRegistry(required<QWidget>(c, 0), text(c, 1));
}
void __GetAssociatedProgram(NativeCall &c)
{
    ret(c, GetAssociatedProgram(text(c, 0)));
}
void __GetComputerName(NativeCall &c)
{
    ret(c, GetComputerName());
}
void __GetWindowsUserName(NativeCall &c)
{
    ret(c, GetWindowsUserName());
}
void __ShellExec(NativeCall &c)
{
    retUnsigned(c, static_cast<quint32>(ShellExec(windowHandle(c, 0), text(c, 1), text(c, 2),
                                                  text(c, 3), text(c, 4), int32(c, 5))));
}
void __PingTCPPort(NativeCall &c)
{
    ret(c, PingTCPPort(TEncoding::ANSI()->GetString(ansi(c, 0)), word(c, 1)));
}

// clang-format off
const RoutineEntry kRoutines[] = {
    {"GraphicToBitmap", "APicture: TPicture", 1, 0, tkNone, __GraphicToBitmap},
    {"ReadWindowPlacementFromRegistry", "AForm: TForm; AppRegKey: string", 2, 0, tkNone, __ReadWindowPlacementFromRegistry},
    {"WriteWindowPlacementToRegistry", "AForm: TForm; AppRegKey: string", 2, 0, tkNone, __WriteWindowPlacementToRegistry},
    {"GetAssociatedProgram", "FileExt: string", 1, 0, tkVariant, __GetAssociatedProgram},
    {"GetComputerName", "", 0, 0, tkVariant, __GetComputerName},
    {"GetWindowsUserName", "", 0, 0, tkVariant, __GetWindowsUserName},
    {"ShellExec", "HWnd: HWND; Operation: PWideChar; FileName: PWideChar; Parameters: PWideChar; Directory: PWideChar; ShowCmd: Integer", 6, 0, tkVariant, __ShellExec},
    {"PingTCPPort", "IPAddress: AnsiString; Port: Word", 2, 0, tkVariant, __PingTCPPort},
};
// clang-format on

} // namespace

void TatVYXWinLibrary::Init()
{
    defineRoutines(engine(), kRoutines);
}

void RegisterVYXWinLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        script::LibraryList::Add(TatVYXWinLibrary::LibraryName(), [](script::ScriptEngine &e) {
            return std::make_unique<TatVYXWinLibrary>(e);
        });
    });
}

namespace {
// Registered when the program starts, before any script host is built.
[[maybe_unused]] const bool kRegistered = (RegisterVYXWinLibrary(), true);
} // namespace

} // namespace tev::scripting
