// Unsaved changes of the open project, resolved before anything closes or replaces it, and the
// question of a write that finds the project saved by another user.

#include "ui/mainwindow/tevmainform.h"

#include "core/app/tevapp.h"
#include "core/project/tevproject.h"
#include "platform/error.h"
#include "scripting/host/tvyxscripter.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/mainwindow/userinputblocker.h"
#include "ui/previewdlg/tevpreviewdlg.h"

namespace tev {

namespace {

// What a save that failed stored: WroteNow when its own database write went through (only the
// file is behind), WroteBefore when edits had been written at once since the last open or save.
QString SaveFailureText(bool WroteNow, bool WroteBefore, const QString &Reason)
{
    QString text = QStringLiteral("The project could not be saved.");
    if (WroteNow) {
        text += QStringLiteral(" The database holds this save, but its file was not written.");
    } else {
        text += QStringLiteral(" Nothing of this save was stored, and its file was not written.");
        if (WroteBefore)
            text += QStringLiteral(" Changes that were written to the database at once since the "
                                   "project was opened or last saved (such as header edits) stay "
                                   "stored there.");
    }
    return text + QStringLiteral("\n\n") + Reason;
}

} // namespace

bool TTevMainForm::SettleEditor()
{
    return !FPreviewDlg || FPreviewDlg->ResolveChangeLog();
}

bool TTevMainForm::SaveProject()
{
    return SettleEditor() && SaveProjectReported();
}

void TTevMainForm::TakeBaseline()
{
    if (Project().Empty())
        FBaseline.Clear();
    else
        FBaseline.Take(Project());
}

bool TTevMainForm::ResolveChanges()
{
    if (!SettleEditor())
        return false;
    TTevProject &project = Project();
    // Only work sequences are ever saved; a master's or monitor file's state has nothing to keep.
    if (project.Empty() || project.ChangeState() == 0 ||
        project.Generator() != QLatin1String("Tevora"))
        return true;
    // A work sequence without database row is saved without a question, as it always was.
    if (!project.ExistsInDatabase())
        return SaveProjectReported();
    if (!FBaseline.ChangedSince(project))
        return true;
    switch (KelMessageDlg(QStringLiteral("Save changes?"), buttonSet({mbYes, mbNo, mbCancel}),
                          QString())) {
    case mrYes:
        return SaveProjectReported();
    case mrNo:
        RevertStoredReported();
        return true;
    default:
        return false;
    }
}

void TTevMainForm::RevertStoredReported()
{
    try {
        Project().RevertStored();
    } catch (const Error &error) {
        // The road goes on: a lost server must not keep the user from closing.
        KelShowMessage(QStringLiteral("The changes that were written to the database at once since "
                                      "the project was opened or last saved could not be taken "
                                      "back; the database keeps them. The file was not written."
                                      "\n\n%1")
                           .arg(error.message()));
    }
}

bool TTevMainForm::SaveProjectReported()
{
    TTevProject &project = Project();
    const TStoredStamp before = project.StoredStamp();
    const bool wroteBefore = project.WrittenSinceSaved();
    QString reason;
    try {
        project.Save();
        if (FPreviewDlg)
            FPreviewDlg->CommitChangeLog();
        TakeBaseline();
        return true;
    } catch (const StaleWriteError &error) {
        // The user chose to keep the other user's save: the changes stay on screen.
        if (error.declined())
            return false;
        reason = error.message();
    } catch (const Error &error) {
        reason = error.message();
    } catch (const std::exception &error) {
        reason = QString::fromLocal8Bit(error.what());
    }
    KelShowMessage(SaveFailureText(!(project.StoredStamp() == before), wroteBefore, reason));
    return false;
}

void TTevMainForm::ProjectStaleWrite(TStaleAnswer *Answer)
{
    // A script's write fails with its error: a question the script did not ask must not decide.
    // So does a write while the user's input is blocked, which could not be answered.
    if ((FScripter && FScripter->Running()) || UserInputBlocker::Active())
        return;
    *Answer = KelMessageDlg(QStringLiteral("Another user saved this project after you opened it. "
                                           "Overwrite their changes?"),
                            buttonSet({mbYes, mbNo}), QString()) == mrYes
                  ? TStaleAnswer::Overwrite
                  : TStaleAnswer::Keep;
}

} // namespace tev
