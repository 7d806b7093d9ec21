// The project page's pickers: the format and user-field files and the cover picture.

#include "ui/pages/tevprojectpage.h"

#include "core/app/tevapp.h"
#include "core/lib/paths.h"
#include "core/project/tevproject.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/kit/speedbutton.h"
#include "ui/pages/dependfiles.h"
#include "ui/pages/pictureformats.h"
#include "ui/pickers/pickers.h"
#include "ui/previewdlg/tevpreviewdlg.h"

#include <QFileInfo>
#include <QLineEdit>

namespace tev {

namespace {

// The picker's start: the proposed file when it exists, else its folder.
QString Proposal(const QString &Folder, const QString &Name)
{
    const QString proposed = AddBackSlash(Folder) + QFileInfo(Name).fileName();
    return !Name.isEmpty() && QFileInfo(proposed).isFile() ? proposed : Folder;
}

} // namespace

bool TTevProjectPage::SelectDependFile(QLineEdit *Edit, const QString &Filter)
{
    TTevProject *project = Project();
    if (!project || !Edit)
        return false;
    const QString folder = QFileInfo(project->FileName()).path();
    const QString chosen = PickOpenFile(this, QString(), Proposal(folder, Edit->text()), Filter);
    if (chosen.isEmpty())
        return false;
    // The 8.3 test looks at the picked file where it is.
    if (!project->ValidDependsFileName(chosen)) {
        KelShowMessage(InvalidFileNameMessage());
        return false;
    }
    const TProjectFile file =
        TakeIntoProjectFolder(chosen, project->ProjectDir(), project->RootDir());
    if (!file.Ok) {
        KelShowMessage(file.Message);
        return false;
    }
    Edit->setText(file.BareName);
    return true;
}

void TTevProjectPage::BtnPRJFormatFileClick()
{
    if (SelectDependFile(EditPRJFormatFile, QStringLiteral("*.fmt|*.fmt"))) {
        const QString name = EditPRJFormatFile->text();
        ChangeHeader([&](TTevProject &P) { P.SetFormat(name); });
    }
}

void TTevProjectPage::BtnPRJUserFieldsClick()
{
    if (SelectDependFile(EditPRJUserFields, QStringLiteral("*.uif|*.uif"))) {
        const QString name = EditPRJUserFields->text();
        ChangeHeader([&](TTevProject &P) { P.SetPicklist(name); });
    }
}

void TTevProjectPage::BtnPRJCoverImageClick()
{
    TTevProject *project = Project();
    if (!project || !BtnPRJCoverImage->isEnabled())
        return;
    const QString folder = QFileInfo(project->FileName()).path();
    const QString chosen =
        PickOpenFile(this, PictureDialogTitle(), Proposal(folder, project->ImageFileName()),
                     PictureDialogFilter());
    if (chosen.isEmpty())
        return;
    const TProjectFile file =
        TakeIntoProjectFolder(chosen, project->ProjectDir(), project->RootDir());
    if (!file.Ok) {
        KelShowMessage(file.Message);
        return;
    }
    ChangeHeader([&](TTevProject &P) { P.SetImageFileName(file.BareName); });
    EditPRJCoverImage->setText(project->ImageFileName());
    UpdateCoverImage();
}

} // namespace tev
