// The script hooks: the user's "TevMain.pas" from the script folder, the objects "Form" and
// "App", and the routines "OnInitScript", "FormCreate" and "FormDestroy".

#include "ui/mainwindow/tevmainform.h"

#include "core/app/tevapp.h"
#include "core/lib/paths.h"
#include "platform/crash/exceptionhandlers.h"
#include "platform/error.h"
#include "platform/script/scripterror.h"
#include "scripting/host/tvyxscripter.h"
#include "ui/dialogs/kelmsgdlg.h"

#include <QFileInfo>
#include <QLoggingCategory>

namespace tev {

namespace {

Q_LOGGING_CATEGORY(lcScripts, "tevora.scripts")

} // namespace

void TTevMainForm::InitFormScripter(TvyxScripter *AScripter)
{
    AScripter->DefineClassByRTTI(TTevMainForm::staticMetaObject, QStringLiteral("TTevMainForm"));
}

void TTevMainForm::InitScripter()
{
    FScripter = new TvyxScripter(this);
    const QString fileName = AddBackSlash(FApp->ScriptDir()) + QString::fromLatin1(kScriptFileName);
    if (!QFileInfo::exists(fileName))
        return;
    // A script that is refused or does not compile is reported once, with its file, line and
    // column; the window then runs without it. Other errors of the set-up and of "OnInitScript"
    // end the set-up quietly, with what was done before kept.
    FScripter->OnCompileError = [this](const script::CompileError &error) {
        KelShowMessage(QStringLiteral("The script could not be compiled; Tevora runs without "
                                      "it.\n\n%1")
                           .arg(FScripter->CompileErrorText(error)));
    };
    // An error in a handler that the script attached to a component (a Tools item's OnClick)
    // reaches the program's error dialog as an error of the window's own handlers does, and the
    // window goes on.
    FScripter->OnEventError = [](const script::ScriptError &error) {
        try {
            throw error;
        } catch (...) {
            HandleCurrentException();
        }
    };
    try {
        FScripter->EventSetMode = script::EventMode::esAddEventOnBottom;
        FScripter->AddSearchPath(FApp->ScriptDir());
        InitFormScripter(FScripter);
        FScripter->AddObject(QStringLiteral("Form"), this);
        FScripter->AddObject(QStringLiteral("App"), FApp.get());
        FScripter->SetDebugging(FApp->ServiceMode());
        try {
            FScripter->LoadScriptFile(fileName);
        } catch (const Error &error) {
            // Logged as well, so that the reason outlives the box.
            qCWarning(lcScripts, "The script was not loaded: %s", qPrintable(error.message()));
            KelShowMessage(QStringLiteral("The script was not loaded; Tevora runs without it."
                                          "\n\n%1")
                               .arg(error.message()));
            return;
        }
        CallScriptProc(QStringLiteral("OnInitScript"));
    } catch (const script::CompileError &) {
        // Reported through OnCompileError.
    } catch (const std::exception &error) {
        qCWarning(lcScripts) << "Script set-up ended:" << error.what();
    }
}

void TTevMainForm::CallScriptRoutine(const QString &Name, const QVariantList &Params)
{
    if (FScripter && FScripter->ExistsScriptRoutine(Name))
        FScripter->ExecuteMethod(Name, Params);
}

void TTevMainForm::CallScriptProc(const QString &Name)
{
    CallScriptRoutine(Name, {});
}

} // namespace tev
