// The commands of the tool bar and the menus: New, Delete, Save, "Send to Sensor", Settings and
// Info.

#include "ui/mainwindow/tevmainform.h"

#include "core/app/tevapp.h"
#include "core/project/tevproject.h"
#include "ui/controls/vyxdirectorytreeview.h"
#include "ui/mainwindow/projectcalls.h"
#include "ui/pickers/pickers.h"

#include <QFileInfo>

namespace tev {

void TTevMainForm::ToolBtnNewClick()
{
    NewProject(TTevFileType::pftSEQ);
}

void TTevMainForm::SEQ1Click()
{
    NewProject(TTevFileType::pftSEQ);
}

void TTevMainForm::MSEQ1Click()
{
    NewProject(TTevFileType::pftMSEQ);
}

void TTevMainForm::NewProject(TTevFileType)
{}

void TTevMainForm::FileDelete1Execute()
{}

void TTevMainForm::FileSave1Execute()
{
    if (!Project().ExistsInDatabase())
        return;
    projectcalls::Save(Project());
    UpdateFileText();
}

void TTevMainForm::ToolBntExportClick()
{}

void TTevMainForm::MISettingsClick()
{}

void TTevMainForm::MIHelpAboutClick()
{}

void TTevMainForm::AddClientBtnClick()
{}

void TTevMainForm::ShowFileProblems(const QString &, const QStringList &, const QStringList &)
{}

} // namespace tev
