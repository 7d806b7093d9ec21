// The script hooks: the user's "TevMain.pas" from the script folder, the objects "Form" and
// "App", and the routines "OnInitScript", "FormCreate" and "FormDestroy".

#include "ui/mainwindow/tevmainform.h"

namespace tev {

void TTevMainForm::InitScripter()
{}

void TTevMainForm::CallScriptRoutine(const QString &, const QVariantList &)
{}

void TTevMainForm::CallScriptProc(const QString &)
{}

} // namespace tev
