// Unsaved changes of the open project, resolved before anything closes or replaces it.

#include "ui/mainwindow/tevmainform.h"

#include "core/app/tevapp.h"
#include "core/project/tevproject.h"
#include "platform/error.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/previewdlg/tevpreviewdlg.h"

namespace tev {

bool TTevMainForm::SettleEditor()
{
    return !FPreviewDlg || FPreviewDlg->ResolveChangeLog();
}

void TTevMainForm::SaveProject()
{
    if (!SettleEditor())
        return;
    Project().Save();
    if (FPreviewDlg)
        FPreviewDlg->CommitChangeLog();
    TakeBaseline();
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
        return true;
    default:
        return false;
    }
}

bool TTevMainForm::SaveProjectReported()
{
    try {
        Project().Save();
        if (FPreviewDlg)
            FPreviewDlg->CommitChangeLog();
        TakeBaseline();
        return true;
    } catch (const Error &error) {
        KelShowMessage(
            QStringLiteral("The project could not be saved.\n\n%1").arg(error.message()));
    } catch (const std::exception &error) {
        KelShowMessage(QStringLiteral("The project could not be saved.\n\n%1")
                           .arg(QString::fromLocal8Bit(error.what())));
    }
    return false;
}

} // namespace tev
