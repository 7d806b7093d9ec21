#include "scripting/libraries/ap_vyxmail.h"

#include <mutex>

#include "platform/script/scripterror.h"
#include "platform/text/tstringlist.h"
#include "scripting/libraries/libraryadapter.h"
#include "scripting/mail/mapisendmail.h"
#include "scripting/mail/sslnames.h"
#include "scripting/mail/vyxemail.h"

namespace tev::scripting {

namespace {

using enum script::TypeKind;

// ---- adapters, in registration order ----

void __GetSSLModesText(NativeCall &c)
{
    ret(c, GetSSLModesText());
}
void __SSLModeFromText(NativeCall &c)
{
    retUnsigned(c, static_cast<quint8>(SSLModeFromText(text(c, 0))));
}
void __SSLModeToText(NativeCall &c)
{
    ret(c, SSLModeToText(static_cast<SSLMode>(byte(c, 0))));
}
void __GetSSLVersionsText(NativeCall &c)
{
    ret(c, GetSSLVersionsText());
}
void __SSLVersionFromText(NativeCall &c)
{
    ret(c, qint32(SSLVersionFromText(text(c, 0))));
}
void __SSLVersionToText(NativeCall &c)
{
    ret(c, SSLVersionToText(int32(c, 0)));
}
void __GetTLSModes(NativeCall &c)
{
    ret(c, GetTLSModes());
}
void __TLSModeFromText(NativeCall &c)
{
    retUnsigned(c, static_cast<quint8>(TLSModeFromText(text(c, 0))));
}
void __TLSModeToText(NativeCall &c)
{
    ret(c, TLSModeToText(static_cast<TLSMode>(byte(c, 0))));
}
void __MAPISendMail(NativeCall &c)
{
    const tev::TStringList *files = optionalStringList(c, 4);
    const QStringList attachments = files ? files->ToStringList() : QStringList();
    retUnsigned(c, MAPISendMail(static_cast<quintptr>(windowHandle(c, 0)), text(c, 1), text(c, 2),
                                text(c, 3), files ? &attachments : nullptr));
}

// clang-format off
const RoutineEntry kRoutines[] = {
    {"GetSSLModesText", "", 0, 0, tkVariant, __GetSSLModesText},
    {"SSLModeFromText", "Value: string", 1, 0, tkVariant, __SSLModeFromText},
    {"SSLModeToText", "SSLMode: TIdSSLMode", 1, 0, tkVariant, __SSLModeToText},
    {"GetSSLVersionsText", "", 0, 0, tkVariant, __GetSSLVersionsText},
    {"SSLVersionFromText", "VersionName: string", 1, 0, tkInteger, __SSLVersionFromText},
    {"SSLVersionToText", "SSLVersion: Integer", 1, 0, tkVariant, __SSLVersionToText},
    {"GetTLSModes", "", 0, 0, tkVariant, __GetTLSModes},
    {"TLSModeFromText", "Value: string", 1, 0, tkVariant, __TLSModeFromText},
    {"TLSModeToText", "TLSMode: TIdUseTLS", 1, 0, tkVariant, __TLSModeToText},
    {"MAPISendMail", "Handle: HWND; Subject: string; Body: string; Recipients: string; AttachmentFileNames: TStrings", 5, 0, tkVariant, __MAPISendMail},
};
// clang-format on

// The mail component a method is called on; a call on the class itself is the script's error.
TvyxEMail &mail(NativeCall &c)
{
    script::ObjectBox *box = c.CurrentObject();
    auto *m = box ? qobject_cast<TvyxEMail *>(box->qobject()) : nullptr;
    if (!m)
        script::raiseError(QStringLiteral("EInvalidCast"),
                           QStringLiteral("Invalid class typecast"));
    return *m;
}

// TvyxEMail from its meta-object (properties and Send), plus what the meta-object cannot give:
// the constructor that makes the right class, Send and Destroy. The name is given because Qt's
// class name carries our namespace.
void defineEMail(script::ScriptEngine &e)
{
    script::ScriptClass *cls =
        e.DefineClassByRTTI(&TvyxEMail::staticMetaObject, QStringLiteral("TvyxEMail"), false);
    cls->DefineMethod(
        QStringLiteral("Create"), 1, tkClass,
        [](NativeCall &c) {
            auto mail = std::make_unique<TvyxEMail>(object(c, 0));
            c.ReturnOutputArg(c.engine()->NewQObject(c.CurrentClass(), std::move(mail)));
        },
        true);
    // Through the class table rather than the meta-object, so that a failure of Send reaches
    // the script as an exception it can handle.
    cls->DefineMethod(QStringLiteral("Send"), 0, tkNone, [](NativeCall &c) { mail(c).Send(); });
    cls->DefineMethod(QStringLiteral("Destroy"), 0, tkNone, [](NativeCall &c) {
        mail(c);
        c.CurrentObject()->free();
    });
}

} // namespace

void TatVYXMailLibrary::Init()
{
    defineEMail(engine());
    defineRoutines(engine(), kRoutines);
    engine().AddConstant(QStringLiteral("DefaultSSLVersion"), Value(qint64(DefaultSSLVersion)));
}

void RegisterVYXMailLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        script::LibraryList::Add(TatVYXMailLibrary::LibraryName(), [](script::ScriptEngine &e) {
            return std::make_unique<TatVYXMailLibrary>(e);
        });
    });
}

namespace {
// Registered when the program starts, before any script host is built.
[[maybe_unused]] const bool kRegistered = (RegisterVYXMailLibrary(), true);
} // namespace

} // namespace tev::scripting
