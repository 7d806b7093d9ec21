#include "ui/appdialogs/tevprojectdeldlg.h"

#include "ui/kit/mainform.h"
#include "ui/kit/modalrunner.h"

#include <QCheckBox>
#include <QVBoxLayout>

namespace tev {

TTevDelProjectDlg::TTevDelProjectDlg(QWidget *owner)
    : TvyxCustomDlg(owner)
    , ChkRemoveFromDB(new QCheckBox(QStringLiteral("Remove Project from Database"), body()))
    , ChkDeleteFile(new QCheckBox(QStringLiteral("Delete File"), body()))
{
    setObjectName(QStringLiteral("TevDelProjectDlg"));
    setWindowTitle(QStringLiteral("Delete Project"));
    ChkRemoveFromDB->setObjectName(QStringLiteral("ChkRemoveFromDB"));
    ChkRemoveFromDB->setChecked(true);
    ChkRemoveFromDB->setEnabled(false);
    ChkDeleteFile->setObjectName(QStringLiteral("ChkDeleteFile"));
    ChkDeleteFile->setChecked(true);
    auto *layout = new QVBoxLayout(body());
    layout->setContentsMargins(20, 20, 20, 0);
    layout->setSpacing(8);
    layout->addWidget(ChkRemoveFromDB);
    layout->addWidget(ChkDeleteFile);
    layout->addStretch();
    resize(350, 130);
}

bool ExecuteDelProjectDlg(bool &RemoveFromDB, bool &DeleteFile)
{
    TTevDelProjectDlg dialog(mainForm());
    dialog.ChkRemoveFromDB->setChecked(RemoveFromDB);
    dialog.ChkDeleteFile->setChecked(DeleteFile);
    if (runModal(dialog) != mrOk)
        return false;
    RemoveFromDB = dialog.ChkRemoveFromDB->isChecked();
    DeleteFile = dialog.ChkDeleteFile->isChecked();
    return true;
}

} // namespace tev
